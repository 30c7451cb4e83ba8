// The world's walls, in the order they were drawn, and the wall pass of the
// ball step, which tests a ball against only the walls it may touch.
#pragma once
#include <memory>
#include <vector>

#include "Wall.h"

struct SlopeForm;
struct ContactZone;
class WallGrid;

// Append-only; owns its walls and frees them only when the set itself goes.
// A wall is fixed once appended, so the set keeps beside the pointers its
// slope form, the zone a ball's centre must reach to touch it, and a grid that
// tells which walls are near a point.
class WallSet {
public:
    WallSet();
    WallSet(const WallSet&) = delete;
    WallSet& operator=(const WallSet&) = delete;
    ~WallSet();

    void append(Wall* wall);
    void collide(Ball& ball) const;

    // Read-only: the set keeps what it derived from each wall.
    const std::vector<const Wall*>& members() const { return walls_; }

    static void setUp();  // render/: walls have no picture
    void draw() const;    // render/

private:
    std::vector<const Wall*> walls_;
    std::vector<SlopeForm> slopeForms_;  // one per wall, in the order of walls_
    std::vector<ContactZone> zones_;     // likewise
    std::unique_ptr<WallGrid> grid_;
};
