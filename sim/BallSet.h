// The balls and the ball step: forces, pulls, integration, then per ball the
// wall contacts and the play-field clamp.
#pragma once
#include <vector>

struct Ball;
class AttractorSet;
class WallSet;

constexpr double borderNudge = 2.7;  // speed per second of overlap given back at a field edge

// The play field in world units, as the ball step uses it.
struct PlayRect {
    float left, right, bottom, top;
};

// Append-only; owns its balls and frees them only when the set itself goes.
class BallSet {
public:
    BallSet() = default;
    BallSet(const BallSet&) = delete;
    BallSet& operator=(const BallSet&) = delete;
    ~BallSet();

    void append(Ball* ball);
    void resetForces();
    void resolveContacts(float dt, const WallSet& walls, const PlayRect& field);
    void step(float dt, const AttractorSet& attractors, const WallSet& walls,
              const PlayRect& field);

    const std::vector<Ball*>& members() const { return balls_; }

    static void setUp();  // makes the ball sprite (render/)
    void draw() const;    // render/

private:
    std::vector<Ball*> balls_;
};
