// Which walls a ball could touch from where it is. The plane around the walls
// is cut into a grid of cells, and each cell lists, in insertion order, the
// walls that a ball centred in it could reach, so that a ball is tested
// against a handful of walls instead of all of them.
#pragma once
#include <cstdint>
#include <vector>

// Where a ball's centre must be to touch a wall at all, give or take the
// ball's reach (WallPrefilter.cpp works it out for each wall).
struct ContactBox {
    float left, right, bottom, top;
};

// The furthest reach the cells allow for: the balls of the game have radius
// 2; balls that reach further are given every wall.
constexpr float gridReach = 3.0f;

class WallGrid {
public:
    // The wall with this contact box takes the next index: 0, 1, 2, ...
    void add(const ContactBox& box);

    // In increasing order, the indices of every wall whose contact box the
    // centre (x, y) passes within `reach` of, as the box check rounds it
    // (x - reach, x + reach, ... in float); others may be listed too.
    const std::vector<uint32_t>& candidates(float x, float y, float reach) const;

private:
    // A contact box widened by the grid's reach and by the rounding of the
    // box check: every centre that can pass the check lies inside.
    struct Span {
        float left, right, bottom, top;
    };

    static Span spanOf(const ContactBox& box);
    static bool bounded(const Span& span);
    bool insideRegion(float x, float y) const;
    int column(float x) const;
    int row(float y) const;
    void place(uint32_t index, const Span& span);
    void rebuild();

    std::vector<Span> spans_;          // one per wall
    std::vector<uint32_t> everyWall_;  // 0, 1, 2, ...
    std::vector<uint32_t> unbounded_;  // walls with a span too large to place: listed in every cell
    Span region_{};                    // the union of the bounded spans
    float columnsPerUnit_ = 0.0f;
    float rowsPerUnit_ = 0.0f;
    std::vector<std::vector<uint32_t>> cells_;  // row by row; empty until a bounded wall comes
};
