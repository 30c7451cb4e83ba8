// A ball: a disc moved by the forces that attractors add to it each step.
#pragma once
#include <cstdint>

struct Ball {
    float x = 0.0f, y = 0.0f;            // centre, world units
    float vx = 0.0f, vy = 0.0f;          // velocity, world units per second
    float fx = 0.0f, fy = 0.0f;          // force accumulated for the current step
    float dampX = 0.0f, dampY = 0.0f;    // linear damping per axis
    float accelX = 0.0f, accelY = 0.0f;  // constant acceleration per axis
    float spinRate = 0.0f;               // degrees added to spinAngle per step
    float mass = 1.0f;
    float radius = 2.0f;
    float spinAngle = 0.0f;    // degrees
    int32_t pictureIndex = 0;  // entry of ballPictureLists

    void integrate(float dt);
    void advance(float dt);  // integrate, then spin

    void draw() const;  // drawing lives with the renderer (render/)
};
