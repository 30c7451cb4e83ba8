// Seeded random scenes for the simulation's property and soak tests: walls
// of every kind the pointer can draw and the awkward ones it cannot (zero
// length, nearly horizontal or vertical, far out), pointer-grid points, and
// the checks every ball must pass after a step.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "World.h"

using Rng = std::mt19937;

inline float uniform(Rng& rng, float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
}

inline int uniformInt(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

inline bool chance(Rng& rng, double probability) {
    return std::bernoulli_distribution(probability)(rng);
}

// Points the pointer can reach: 0.15625 units per pixel, inside the field.
inline float gridX(Rng& rng) { return -50.0f + 0.15625f * float(uniformInt(rng, 0, 640)); }

inline float gridY(Rng& rng) { return 0.15625f * float(uniformInt(rng, 0, 480)); }

// A value a hair away from `base`: a few ulps, or 1e-7 to 1e-2 units.
inline float nudged(Rng& rng, float base) {
    const float towards = chance(rng, 0.5) ? FLT_MAX : -FLT_MAX;
    if (chance(rng, 0.5)) {
        float value = base;
        for (int i = uniformInt(rng, 1, 4); i > 0; --i) {
            value = std::nextafter(value, towards);
        }
        return value;
    }
    return base + std::copysign(std::pow(10.0f, uniform(rng, -7.0f, -2.0f)), towards);
}

// Any finite float, its magnitude spread evenly over the exponents.
inline float anyFinite(Rng& rng) {
    const float magnitude = std::pow(10.0f, uniform(rng, -45.0f, 38.5f));
    const float value = std::min(magnitude, FLT_MAX);
    return chance(rng, 0.5) ? value : -value;
}

enum class WallKind {
    PointerGrid,
    PointerGridAxis,
    Arbitrary,
    Wide,
    NearlyHorizontal,
    NearlyVertical,
    ZeroLength,
    Short
};
inline constexpr int wallKindCount = 8;

inline Wall randomWall(Rng& rng, WallKind kind) {
    switch (kind) {
    case WallKind::PointerGrid:
        return finishedWall(gridX(rng), gridY(rng), gridX(rng), gridY(rng));
    case WallKind::PointerGridAxis: {
        const float x = gridX(rng);
        const float y = gridY(rng);
        return chance(rng, 0.5) ? finishedWall(x, y, x, gridY(rng))
                                : finishedWall(x, y, gridX(rng), y);
    }
    case WallKind::Arbitrary:
        return finishedWall(uniform(rng, -60, 60), uniform(rng, -10, 85), uniform(rng, -60, 60),
                            uniform(rng, -10, 85));
    case WallKind::Wide:
        return finishedWall(uniform(rng, -1000, 1000), uniform(rng, -1000, 1000),
                            uniform(rng, -1000, 1000), uniform(rng, -1000, 1000));
    case WallKind::NearlyHorizontal: {
        const float y = uniform(rng, -10, 85);
        return finishedWall(uniform(rng, -60, 60), y, uniform(rng, -60, 60), nudged(rng, y));
    }
    case WallKind::NearlyVertical: {
        const float x = uniform(rng, -60, 60);
        return finishedWall(x, uniform(rng, -10, 85), nudged(rng, x), uniform(rng, -10, 85));
    }
    case WallKind::ZeroLength: {
        const float x = chance(rng, 0.5) ? gridX(rng) : uniform(rng, -60, 60);
        const float y = chance(rng, 0.5) ? gridY(rng) : uniform(rng, -10, 85);
        return finishedWall(x, y, x, y);
    }
    case WallKind::Short: {
        const float x = uniform(rng, -60, 60);
        const float y = uniform(rng, -10, 85);
        return finishedWall(x, y, x + uniform(rng, -1, 1), y + uniform(rng, -1, 1));
    }
    }
    return Wall();
}

inline std::string describe(const Wall& wall, const Ball& ball) {
    std::ostringstream out;
    out.precision(9);
    out << "wall (" << wall.x1 << ", " << wall.y1 << ") -> (" << wall.x2 << ", " << wall.y2
        << "), ball (" << ball.x << ", " << ball.y << ") v (" << ball.vx << ", " << ball.vy << ")";
    return out.str();
}

inline bool finite(const Ball& ball) {
    for (float value : {ball.x, ball.y, ball.vx, ball.vy, ball.fx, ball.fy}) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

// The whole disc lies in the field, rims touching the edges included.
inline bool insideField(const Ball& ball, const PlayRect& field) {
    return ball.x - ball.radius >= field.left && ball.x + ball.radius <= field.right &&
           ball.y - ball.radius >= field.bottom && ball.y + ball.radius <= field.top;
}
