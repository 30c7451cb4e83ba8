// The wall pass: each wall's kept slope form and contact zone, and the grid
// that finds the walls near a ball.
#include "WallSet.h"

#include <algorithm>

#include "Ball.h"
#include "WallContact.h"
#include "WallGrid.h"
#include "WallPrefilter.h"

WallSet::WallSet() : grid_(std::make_unique<WallGrid>()) {}

WallSet::~WallSet() {
    for (const Wall* wall : walls_) {
        delete wall;
    }
}

void WallSet::append(Wall* wall) {
    walls_.push_back(wall);
    slopeForms_.push_back(slopeFormOf(*wall));
    zones_.push_back(contactZoneOf(*wall));
    grid_->add(zones_.back().box);
}

// Walls in insertion order, each tested against the ball as the earlier ones
// left it. Only the walls near the ball are looked at, and of those only the
// ones it may touch get the full test; no wall passed over could have
// touched it.
void WallSet::collide(Ball& ball) const {
    const float reach = contactReach(ball.radius);
    const std::vector<uint32_t>* nearby = &grid_->candidates(ball.x, ball.y, reach);
    for (size_t next = 0; next < nearby->size();) {
        const uint32_t index = (*nearby)[next++];
        if (!mayTouch(zones_[index], ball, reach)) {
            continue;
        }
        const Wall& wall = *walls_[index];
        const SlopeForm* keptForm = &slopeForms_[index];
        if (depthOf(wall, ball, keptForm) != noContact) {
            pushOutOf(wall, ball, keptForm);
            // The ball has moved: the later walls are the ones near where it is now.
            nearby = &grid_->candidates(ball.x, ball.y, reach);
            next =
                size_t(std::upper_bound(nearby->begin(), nearby->end(), index) - nearby->begin());
        }
    }
}
