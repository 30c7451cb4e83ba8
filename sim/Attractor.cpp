// Attractor pulls, the lifetime and blink countdown, and picking under a point.
#include "Attractor.h"

#include <cmath>

#include "Ball.h"
#include "Vector.h"

void Attractor::update(float dt)
{
    x = x + dt * vx;
    y = y + dt * vy;
    if (lifetime > 0.0f) {
        lifetime = lifetime - dt;
        if (lifetime < 3.0f) {
            if (blinkTimer > 0.0f) {
                blinkTimer = blinkTimer - dt;
            } else {
                alpha = std::fabs(alpha - 1.0f);
                blinkTimer = 0.1f;  // any overshoot below zero is dropped
            }
        }
    }
}

void Attractor::pull(Ball& ball) const
{
    float dx = x - ball.x;
    float dy = y - ball.y;
    float dz = 0.0f;
    // A ball on the attractor's centre (or too close for the gap to square to
    // a non-zero float) has no direction to be pulled in: it gets no force.
    if (dx * dx + dy * dy == 0.0f) {
        return;
    }
    normalize3InPlace(dx, dy, dz);
    ball.fx = ball.fx + dx * pullStrength;
    ball.fy = ball.fy + dy * pullStrength;
}

AttractorSet::~AttractorSet()
{
    for (Attractor* attractor : attractors_) {
        delete attractor;
    }
}

void AttractorSet::append(Attractor* attractor)
{
    attractors_.push_back(attractor);
}

void AttractorSet::step(float dt)
{
    for (Attractor* attractor : attractors_) {
        attractor->update(dt);
    }
}

void AttractorSet::applyPulls(Ball& ball) const
{
    for (const Attractor* attractor : attractors_) {
        attractor->pull(ball);
    }
}

Attractor* AttractorSet::pick(float px, float py) const
{
    double best = -1.0;  // no best distance yet
    Attractor* result = nullptr;
    for (Attractor* attractor : attractors_) {
        const double d2 = squaredDistance(px, py, attractor->x, attractor->y);
        const bool onDisc = attractor->radius * attractor->radius >= d2;  // the rim counts
        if (onDisc && (best == -1.0 || d2 < best)) {  // ties keep the earlier attractor
            result = attractor;
            best = d2;
        }
    }
    return result;
}
