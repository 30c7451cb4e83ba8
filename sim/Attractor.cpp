// Attractor pulls, the lifetime and blink countdown, and picking under a point.
#include "Attractor.h"

#include <algorithm>
#include <cmath>

#include "Ball.h"
#include "Lanes.h"
#include "Vector.h"

namespace {

// The pull of one attractor on one ball per lane: the direction (dx, dy, 0)
// to the attractor, normalised in place (each component times
// 1/sqrt(dx*dx + dy*dy + 0*0)), times the strength. A ball on the
// attractor's centre (or too close for the gap to square to a non-zero
// float) has no direction to be pulled in: it gets no force.
void addPull(const Attractor& attractor, Lanes bx, Lanes by, Lanes& fx, Lanes& fy) {
    Lanes dx = attractor.x - bx;
    Lanes dy = attractor.y - by;
    const Lanes dz{};
    const auto noDirection = dx * dx + dy * dy == 0.0f;
    const Lanes k = 1.0f / squareRoot(dx * dx + dy * dy + dz * dz);
    dx = dx * k;
    dy = dy * k;
    fx = noDirection ? fx : fx + dx * attractor.pullStrength;
    fy = noDirection ? fy : fy + dy * attractor.pullStrength;
}

}  // namespace

void Attractor::update(float dt) {
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

AttractorSet::~AttractorSet() {
    for (Attractor* attractor : attractors_) {
        delete attractor;
    }
}

void AttractorSet::append(Attractor* attractor) { attractors_.push_back(attractor); }

void AttractorSet::step(float dt) {
    for (Attractor* attractor : attractors_) {
        attractor->update(dt);
    }
}

// Each ball still takes its pulls in the attractors' order; only the balls
// go through side by side.
void AttractorSet::applyPulls(const std::vector<Ball*>& balls) const {
    for (size_t first = 0; first < balls.size(); first += laneCount) {
        const size_t inGroup = std::min(balls.size() - first, size_t(laneCount));
        Lanes x{}, y{}, fx{}, fy{};
        for (size_t lane = 0; lane < inGroup; ++lane) {
            const Ball& ball = *balls[first + lane];
            x[lane] = ball.x;
            y[lane] = ball.y;
            fx[lane] = ball.fx;
            fy[lane] = ball.fy;
        }
        for (const Attractor* attractor : attractors_) {
            addPull(*attractor, x, y, fx, fy);
        }
        for (size_t lane = 0; lane < inGroup; ++lane) {
            Ball& ball = *balls[first + lane];
            ball.fx = fx[lane];
            ball.fy = fy[lane];
        }
    }
}

Attractor* AttractorSet::pick(float px, float py) const {
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
