// The wall grid: spans, the region they cover, and the cells' lists.
#include "WallGrid.h"

#include <algorithm>
#include <cmath>

#include "FloatBounds.h"

namespace {

constexpr int cellsPerSide = 16;
// Spans beyond this are listed everywhere: the region stays finite and its
// cell sizes meaningful.
constexpr double largestPlacedBound = 1e18;

}  // namespace

// The box check passes only where x + reach >= left, as rounded: x itself is
// then above left - reach by at most the rounding of that sum, under 2^-23 of
// |left| (or 2^-126 near zero). The margin below allows for more than that.
WallGrid::Span WallGrid::spanOf(const ContactBox& box) {
    const auto margin = [](float bound) {
        return double(gridReach) + std::fabs(double(bound)) * 0x1p-20 + 0x1p-100;
    };
    return {floatAtOrBelow(double(box.left) - margin(box.left)),
            floatAtOrAbove(double(box.right) + margin(box.right)),
            floatAtOrBelow(double(box.bottom) - margin(box.bottom)),
            floatAtOrAbove(double(box.top) + margin(box.top))};
}

bool WallGrid::bounded(const Span& span) {
    for (float bound : {span.left, span.right, span.bottom, span.top}) {
        if (!(std::fabs(bound) <= largestPlacedBound)) {  // also false for NaN
            return false;
        }
    }
    return true;
}

bool WallGrid::insideRegion(float x, float y) const {
    return !cells_.empty() && region_.left <= x && x <= region_.right && region_.bottom <= y &&
           y <= region_.top;
}

// Both never decrease as their argument grows, rounding included, so a centre
// inside a span falls in a cell the span was placed in.
int WallGrid::column(float x) const {
    return std::clamp(int(std::floor((x - region_.left) * columnsPerUnit_)), 0, cellsPerSide - 1);
}

int WallGrid::row(float y) const {
    return std::clamp(int(std::floor((y - region_.bottom) * rowsPerUnit_)), 0, cellsPerSide - 1);
}

// A span too large to place is listed in every cell.
void WallGrid::place(uint32_t index, const Span& span) {
    if (!bounded(span)) {
        for (std::vector<uint32_t>& cell : cells_) {
            cell.push_back(index);
        }
        return;
    }
    for (int r = row(span.bottom); r <= row(span.top); ++r) {
        for (int c = column(span.left); c <= column(span.right); ++c) {
            cells_[size_t(r) * cellsPerSide + size_t(c)].push_back(index);
        }
    }
}

// Fits the region to every bounded span and lists every wall afresh, in
// insertion order.
void WallGrid::rebuild() {
    bool any = false;
    for (const Span& span : spans_) {
        if (!bounded(span)) {
            continue;
        }
        region_ = any ? Span{std::min(region_.left, span.left), std::max(region_.right, span.right),
                             std::min(region_.bottom, span.bottom), std::max(region_.top, span.top)}
                      : span;
        any = true;
    }
    cells_.assign(any ? size_t(cellsPerSide) * cellsPerSide : 0, {});
    if (!any) {
        return;
    }
    columnsPerUnit_ = float(cellsPerSide) / (region_.right - region_.left);
    rowsPerUnit_ = float(cellsPerSide) / (region_.top - region_.bottom);
    for (uint32_t index = 0; index < spans_.size(); ++index) {
        place(index, spans_[index]);
    }
}

void WallGrid::add(const ContactBox& box) {
    const uint32_t index = uint32_t(spans_.size());
    const Span span = spanOf(box);
    spans_.push_back(span);
    everyWall_.push_back(index);
    if (!bounded(span)) {
        unbounded_.push_back(index);
        place(index, span);
    } else if (insideRegion(span.left, span.bottom) && insideRegion(span.right, span.top)) {
        place(index, span);
    } else {
        rebuild();
    }
}

const std::vector<uint32_t>& WallGrid::candidates(float x, float y, float reach) const {
    if (!(reach <= gridReach) || !std::isfinite(x) || !std::isfinite(y)) {
        return everyWall_;
    }
    // Outside the region a centre is outside every bounded span.
    if (!insideRegion(x, y)) {
        return unbounded_;
    }
    return cells_[size_t(row(y)) * cellsPerSide + size_t(column(x))];
}
