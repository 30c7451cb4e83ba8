// Attractors pull every ball with a force of fixed size, whatever the distance.
// The AttractorSet owns them and remembers the one being dragged.
#pragma once
#include <cstdint>
#include <vector>

struct Ball;

struct Attractor {
    float x = 0.0f, y = 0.0f;
    float vx = 0.0f, vy = 0.0f;
    float radius = 2.0f;
    float lifetime = -1.0f;    // seconds left; 0 or less: nothing counts down
    int32_t pictureIndex = 0;  // entry of attractorPictureLists
    float blinkTimer = 0.1f;
    float alpha = 1.0f;
    float pullStrength = 9.8f;

    void update(float dt);

    void draw() const;  // drawing lives with the renderer (render/)
};

// Append-only; owns its attractors and frees them only when the set itself
// goes (the program's set never does).
class AttractorSet {
public:
    AttractorSet() = default;
    AttractorSet(const AttractorSet&) = delete;
    AttractorSet& operator=(const AttractorSet&) = delete;
    ~AttractorSet();

    void append(Attractor* attractor);
    void step(float dt);
    // Adds to each ball's force every attractor's pull, in insertion order;
    // several balls at a time.
    void applyPulls(const std::vector<Ball*>& balls) const;
    Attractor* pick(float px, float py) const;

    Attractor* grabbed() const { return grabbed_; }
    void setGrabbed(Attractor* attractor) { grabbed_ = attractor; }

    const std::vector<Attractor*>& members() const { return attractors_; }

    static void setUp();  // makes the attractor sprite (render/)
    void draw() const;    // render/

private:
    std::vector<Attractor*> attractors_;
    Attractor* grabbed_ = nullptr;
};
