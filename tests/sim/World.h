// A fresh world for each test case: its own sets, which free their records,
// and the standard play field.
#pragma once

#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "Wall.h"

inline constexpr PlayRect standardField{-50.0f, 50.0f, 0.0f, 75.0f};

inline Ball ballAt(float x, float y) {
    Ball ball;
    ball.x = x;
    ball.y = y;
    return ball;
}

inline Wall finishedWall(float x1, float y1, float x2, float y2) {
    Wall wall;
    wall.x1 = x1;
    wall.y1 = y1;
    wall.x2 = x2;
    wall.y2 = y2;
    wall.finish();
    return wall;
}

struct World {
    BallSet balls;
    AttractorSet attractors;
    WallSet walls;
    PlayRect field = standardField;

    Ball& addBall(float x, float y) {
        Ball* ball = new Ball(ballAt(x, y));
        balls.append(ball);
        return *ball;
    }

    Attractor& addAttractor(float x, float y) {
        Attractor* attractor = new Attractor;
        attractor->x = x;
        attractor->y = y;
        attractors.append(attractor);
        return *attractor;
    }

    Wall& addWall(float x1, float y1, float x2, float y2) {
        Wall* wall = new Wall(finishedWall(x1, y1, x2, y2));
        walls.append(wall);
        return *wall;
    }

    void step(float dt) { balls.step(dt, attractors, walls, field); }
};
