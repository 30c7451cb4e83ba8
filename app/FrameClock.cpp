// The frame clock and one frame: tick, step the world while playing, draw.
#include "FrameClock.h"

#include "AudioPlayer.h"
#include "Camera.h"
#include "Editing.h"
#include "Stage.h"
#include "World.h"

#include <GL/freeglut.h>

int32_t ScreenState = 0;

namespace {

constexpr double longestStep = 0.12;  // seconds; a longer gap is cut to this

uint32_t toolkitClock() { return static_cast<uint32_t>(glutGet(GLUT_ELAPSED_TIME)); }

MillisecondClock currentClock = toolkitClock;

PlayRect playField() {
    const Stage& stage = Stage::instance();
    return PlayRect{static_cast<float>(stage.getLeft()), static_cast<float>(stage.getRight()),
                    static_cast<float>(stage.getBottom()), static_cast<float>(stage.getTop())};
}

}  // namespace

FrameClock::FrameClock() : lastTick(currentClock()) {}

FrameClock& FrameClock::instance() {
    static FrameClock* clock = new FrameClock;  // lives until the process ends
    return *clock;
}

void FrameClock::useClock(MillisecondClock clock) { currentClock = clock; }

void FrameClock::tick() {
    currentTick = currentClock();
    // Unsigned difference: a clock wrap still gives a (huge) positive gap.
    uint32_t milliseconds = currentTick - lastTick;
    elapsedSeconds = milliseconds * 0.001;
    if (elapsedSeconds > longestStep) {
        elapsedSeconds = longestStep;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    lastTick = currentTick;
}

void FrameClock::stepWorld() {
    float dt = static_cast<float>(elapsedSeconds);
    World& scene = world();
    Stage::instance().step(dt);
    Camera::instance().updateShake(dt);
    // Balls move before the attractors: pulls use last step's attractor positions.
    scene.balls.step(dt, scene.attractors, scene.walls, playField());
    scene.attractors.step(dt);
}

void FrameClock::frame() {
    glPushMatrix();
    tick();
    if (ScreenState != 2) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const Stage& stage = Stage::instance();
        if (ScreenState == 0)
            stage.drawTitle();
        else if (ScreenState == 1)
            stage.drawInstructions();
        else if (ScreenState == 3)
            stage.drawGameOver();
        glutSwapBuffers();
        glPopMatrix();
        return;
    }
    if (simulationRunning) stepWorld();
    // No clear: the backdrop covers the whole window every frame.
    Camera::instance().applyView();
    Stage::instance().drawBackdrop(static_cast<float>(elapsedSeconds));
    const World& scene = world();
    scene.walls.draw();
    scene.balls.draw();
    scene.attractors.draw();
    if (PendingWall != nullptr) PendingWall->drawRubberBand();
    glutSwapBuffers();
    glPopMatrix();
}

void FrameClock::setUpScene() {
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    Stage::instance().loadPictures();
    Stage::instance().setRect(75.0, 50.0, 0.0, -50.0);
    BallSet::setUp();
    AttractorSet::setUp();
    WallSet::setUp();
    PendingWall = nullptr;
    AudioPlayer::instance().start();
    AudioPlayer::instance().playMusic("./audio/backgroundmusic.mp3");
    ScreenState = 0;
    simulationRunning = true;
}
