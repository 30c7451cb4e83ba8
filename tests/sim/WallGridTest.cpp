// The wall grid never leaves out a wall whose contact box a ball's centre
// comes within its reach of, as the box check rounds it: not at a box's very
// edge, not after the region has grown, not for walls too large to place.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "WallGrid.h"

namespace {

// The check the grid must stand in front of, rounded as the step rounds it.
bool passesBoxCheck(const ContactBox& box, float x, float y, float reach) {
    return !(x + reach < box.left || x - reach > box.right || y + reach < box.bottom ||
             y - reach > box.top);
}

bool listed(const std::vector<uint32_t>& walls, uint32_t index) {
    for (uint32_t wall : walls) {
        if (wall == index) {
            return true;
        }
    }
    return false;
}

bool increasing(const std::vector<uint32_t>& walls) {
    for (size_t i = 1; i < walls.size(); ++i) {
        if (walls[i - 1] >= walls[i]) {
            return false;
        }
    }
    return true;
}

float within(std::mt19937& rng, float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
}

// A few ulps or a hair to either side of `value`.
float near(std::mt19937& rng, float value) {
    float result = value;
    const int steps = std::uniform_int_distribution<int>(-3, 3)(rng);
    for (int i = 0; i < std::abs(steps); ++i) {
        result = std::nextafter(result, steps < 0 ? -INFINITY : INFINITY);
    }
    return result;
}

ContactBox randomBox(std::mt19937& rng) {
    const float scale = std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? 1e6f : 60.0f;
    const float x1 = within(rng, -scale, scale);
    const float x2 = within(rng, -scale, scale);
    const float y1 = within(rng, -scale, scale);
    const float y2 = within(rng, -scale, scale);
    return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

TEST(WallGrid, EveryWallACentreCanReachIsListedInInsertionOrder) {
    std::mt19937 rng(7);
    WallGrid grid;
    std::vector<ContactBox> boxes;
    int reachedAtAnEdge = 0;
    for (int wall = 0; wall < 300; ++wall) {
        boxes.push_back(randomBox(rng));
        grid.add(boxes.back());
        for (int probe = 0; probe < 200; ++probe) {
            const ContactBox& box =
                boxes[std::uniform_int_distribution<size_t>(0, boxes.size() - 1)(rng)];
            const float reach = within(rng, 0.0f, gridReach);
            // Centres at the edges of a box widened by the reach, where the
            // rounding of x +- reach decides.
            const float x =
                near(rng, std::uniform_int_distribution<int>(0, 1)(rng) ? box.left - reach
                                                                        : box.right + reach);
            const float y = near(rng, within(rng, box.bottom - reach, box.top + reach));
            const std::vector<uint32_t>& candidates = grid.candidates(x, y, reach);
            ASSERT_TRUE(increasing(candidates));
            for (uint32_t index = 0; index < boxes.size(); ++index) {
                if (passesBoxCheck(boxes[index], x, y, reach)) {
                    ASSERT_TRUE(listed(candidates, index))
                        << "wall " << index << " at (" << x << ", " << y << ")";
                    reachedAtAnEdge += &boxes[index] == &box;
                }
            }
        }
    }
    EXPECT_GT(reachedAtAnEdge, 10000) << "the probes no longer reach the boxes' edges";
}

// Floats in order as integers: neighbours differ by one.
int64_t orderOf(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? -int64_t(bits & INT32_MAX) : int64_t(bits);
}

float floatOfOrder(int64_t order) {
    const int64_t infinity = orderOf(INFINITY);  // beyond it on either side: the infinity
    order = std::clamp(order, -infinity, infinity);
    const int32_t bits = order < 0 ? int32_t(-order) | INT32_MIN : int32_t(order);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The last float from `start` (which passes) in `direction` (+1 or -1) that
// still passes, where passing ends once along the way.
template <typename Passes>
float lastPassing(float start, int direction, Passes passes) {
    const int64_t origin = orderOf(start);
    int64_t good = 0;
    int64_t bad = 1;
    while (passes(floatOfOrder(origin + direction * bad))) {
        good = bad;
        bad *= 2;
    }
    while (bad - good > 1) {
        const int64_t middle = good + (bad - good) / 2;
        (passes(floatOfOrder(origin + direction * middle)) ? good : bad) = middle;
    }
    return floatOfOrder(origin + direction * good);
}

// A lone wall's span is the whole region: a centre the rounding of x - reach
// or x + reach lets through at the very edge must still be inside it (at 4,
// for one: 1 - 2^-24 + 3 rounds up to 4).
TEST(WallGrid, TheFurthestCentresTheCheckLetsThroughAreInside) {
    for (float size : {0.0f, 1.0f, 4.0f, 75.0f, 3e4f, 1e6f, 1e12f}) {
        const ContactBox box{size, 2.0f * size + 1.0f, -size, size + 1.0f};
        WallGrid grid;
        grid.add(box);
        for (float reach : {gridReach, 1.0f, 1e-15f}) {
            const auto atX = [&](float x) { return passesBoxCheck(box, x, box.bottom, reach); };
            const auto atY = [&](float y) { return passesBoxCheck(box, box.left, y, reach); };
            for (float x : {lastPassing(box.left, -1, atX), lastPassing(box.right, 1, atX)}) {
                EXPECT_EQ(grid.candidates(x, box.bottom, reach).size(), 1u)
                    << size << " reach " << reach << " x " << x;
            }
            for (float y : {lastPassing(box.bottom, -1, atY), lastPassing(box.top, 1, atY)}) {
                EXPECT_EQ(grid.candidates(box.left, y, reach).size(), 1u)
                    << size << " reach " << reach << " y " << y;
            }
        }
    }
}

TEST(WallGrid, AFarCentreGetsOnlyTheWallsTooLargeToPlace) {
    WallGrid grid;
    grid.add({-10.0f, 10.0f, 0.0f, 5.0f});
    grid.add({-INFINITY, INFINITY, 1.0f, 2.0f});
    grid.add({-1e30f, 1e30f, -1e30f, 1e30f});
    grid.add({20.0f, 30.0f, 20.0f, 30.0f});
    EXPECT_EQ(grid.candidates(1000.0f, 1.5f, 2.0f), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(grid.candidates(-1e20f, -1e20f, 2.0f), (std::vector<uint32_t>{1, 2}));
    const std::vector<uint32_t>& nearFirst = grid.candidates(0.0f, 2.0f, 2.0f);
    EXPECT_TRUE(listed(nearFirst, 0) && listed(nearFirst, 1) && listed(nearFirst, 2) &&
                !listed(nearFirst, 3));
}

TEST(WallGrid, BallsBeyondTheGridsReachOrNowhereGetEveryWall) {
    WallGrid grid;
    grid.add({0.0f, 1.0f, 0.0f, 1.0f});
    grid.add({50.0f, 51.0f, 50.0f, 51.0f});
    const std::vector<uint32_t> every{0, 1};
    EXPECT_EQ(grid.candidates(0.5f, 0.5f, std::nextafter(gridReach, INFINITY)), every);
    EXPECT_EQ(grid.candidates(0.5f, 0.5f, INFINITY), every);
    EXPECT_EQ(grid.candidates(NAN, 0.5f, 1.0f), every);
    EXPECT_EQ(grid.candidates(0.5f, INFINITY, 1.0f), every);
    EXPECT_EQ(grid.candidates(0.5f, 0.5f, 1.0f), (std::vector<uint32_t>{0}));
}

}  // namespace
