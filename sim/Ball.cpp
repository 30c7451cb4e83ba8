// Ball motion: one integration step of the accumulated force, then the spin.
#include "Ball.h"

void Ball::integrate(float dt) {
    fx = fx - dampX * vx + accelX * mass;
    fy = fy - dampY * vy + accelY * mass;
    const float ax = fx * (1.0f / mass);
    const float ay = fy * (1.0f / mass);
    // The half-step term carries the double constant 0.5, so the sum is formed
    // in double and rounded once when stored.
    x = float(x + vx * dt + 0.5 * ax * dt * dt);
    y = float(y + vy * dt + 0.5 * ay * dt * dt);
    vx = vx + ax * dt;
    vy = vy + ay * dt;
}

void Ball::advance(float dt) {
    integrate(dt);
    if (spinRate != 0.0f) {
        spinAngle = spinAngle + spinRate;  // per step, deliberately not scaled by dt
        if (spinAngle > 360.0f) {
            spinAngle = spinAngle - 360.0f;
        }
    }
}
