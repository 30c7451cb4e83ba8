// The ball step: forces, pulls, integration, then walls and the field clamp.
#include "BallSet.h"

#include "Attractor.h"
#include "Ball.h"
#include "WallSet.h"

BallSet::~BallSet() {
    for (Ball* ball : balls_) {
        delete ball;
    }
}

void BallSet::append(Ball* ball) { balls_.push_back(ball); }

void BallSet::resetForces() {
    for (Ball* ball : balls_) {
        ball->fx = 0.0f;
        ball->fy = 0.0f;
    }
}

void BallSet::resolveContacts(float dt, const WallSet& walls, const PlayRect& field) {
    const float k = float(borderNudge * dt);  // formed in double, rounded once
    for (Ball* ball : balls_) {
        walls.collide(*ball);
        // Strict tests: a rim exactly on an edge is inside.
        if (ball->x - ball->radius < field.left) {
            ball->x = field.left + ball->radius;
            ball->vx = ball->vx + k;
        } else if (ball->x + ball->radius > field.right) {
            ball->x = field.right - ball->radius;
            ball->vx = ball->vx - k;
        }
        if (ball->y - ball->radius < field.bottom) {
            ball->y = field.bottom + ball->radius;
            ball->vy = ball->vy + k;
        } else if (ball->y + ball->radius > field.top) {
            ball->y = field.top - ball->radius;
            ball->vy = ball->vy - k;
        }
    }
}

void BallSet::step(float dt, const AttractorSet& attractors, const WallSet& walls,
                   const PlayRect& field) {
    resetForces();
    attractors.applyPulls(balls_);
    for (Ball* ball : balls_) {
        ball->advance(dt);
    }
    resolveContacts(dt, walls, field);
}
