// What the player does to the world: walls, drags, balls and attractors.
#include "Editing.h"

#include "Ball.h"
#include "World.h"
#include "report.h"

#include <iostream>

int32_t EditMode = 0;
Wall* PendingWall = nullptr;

namespace {

// "(x1, y1) (x2, y2)" on standard output in its default number format, then
// a flush, so that a reader sees each wall as it is finished. Once the output
// fails (its reader has gone), the trace stops, and says so once.
void traceWall(const Wall& wall) {
    if (!std::cout) return;
    std::cout << "(" << wall.x1 << ", " << wall.y1 << ") (" << wall.x2 << ", " << wall.y2 << ")\n";
    if (!std::cout.flush()) reportLine("standard output is closed: walls are no longer traced");
}

void startWallOrGrab(float worldX, float worldY) {
    AttractorSet& attractors = world().attractors;
    attractors.setGrabbed(attractors.pick(worldX, worldY));
    if (attractors.grabbed() != nullptr) {
        EditMode = 2;
        return;
    }
    EditMode = 1;
    PendingWall = new Wall;
    PendingWall->x1 = PendingWall->x2 = worldX;
    PendingWall->y1 = PendingWall->y2 = worldY;
}

void finishPendingWall(float worldX, float worldY) {
    EditMode = 0;
    PendingWall->x2 = worldX;
    PendingWall->y2 = worldY;
    PendingWall->finish();
    world().walls.append(PendingWall);
    traceWall(*PendingWall);
    PendingWall = nullptr;
}

}  // namespace

void editButton(float worldX, float worldY, bool leftPressed, bool, bool isDown) {
    if (isDown && leftPressed) {
        if (EditMode == 0)
            startWallOrGrab(worldX, worldY);
        else if (EditMode == 1)
            finishPendingWall(worldX, worldY);
    } else if (!isDown && EditMode == 2) {
        // Releasing any button ends a drag.
        EditMode = 0;
        world().attractors.setGrabbed(nullptr);
    }
}

void editMove(float worldX, float worldY, bool, bool) {
    if (EditMode == 1 && PendingWall != nullptr) {
        PendingWall->x2 = worldX;
        PendingWall->y2 = worldY;
    } else if (EditMode == 2) {
        Attractor* grabbed = world().attractors.grabbed();
        if (grabbed == nullptr) return;
        grabbed->x = worldX;
        grabbed->y = worldY;
    }
}

void editKey(unsigned char key) {
    if (key == 'm') {
        Ball* ball = new Ball;
        ball->y = 80.0f;  // above the field's top edge; it falls in
        world().balls.append(ball);
    } else if (key == 'a') {
        Attractor* attractor = new Attractor;
        attractor->pictureIndex = 0;
        attractor->y = 30.0f;
        world().attractors.append(attractor);
    }
}
