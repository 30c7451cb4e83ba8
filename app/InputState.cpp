// Pointer input: buttons, the pointer in world units, and the screen flow.
#include "InputState.h"

#include "Camera.h"
#include "Editing.h"
#include "FrameClock.h"

#include <GL/gl.h>

namespace {
constexpr int buttonDown = 0;
constexpr int buttonUp = 1;
constexpr int leftButton = 0;
constexpr int rightButton = 2;
constexpr int trackedButtons = 3;
}  // namespace

InputState& InputState::instance() {
    static InputState* input = new InputState;  // lives until the process ends
    return *input;
}

// A press moves the screens on; returns true when it was used up doing so.
bool InputState::advanceScreen() {
    switch (ScreenState) {
    case 0:
        ScreenState = 1;
        return true;
    case 1:
        ScreenState = 2;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return true;
    case 2:
        return false;
    default:
        return true;  // game over: presses are ignored
    }
}

void InputState::onButton(int button, int state, int x, int y) {
    // Only left, middle and right are buttons; wheel turns (3, 4) and extra
    // buttons arrive here too, and are not clicks.
    if (button < 0 || button >= trackedButtons) return;
    buttonState[button] = static_cast<int16_t>(state);
    if (state == buttonDown && advanceScreen()) return;
    bool leftPressed = button == leftButton && state == buttonDown;
    bool rightPressed = button == rightButton && state == buttonDown;
    bool isDown = state != buttonUp;
    // The press acts where the pointer last moved to, not at the event's pixel.
    editButton(worldX, worldY, leftPressed, rightPressed, isDown);
    Camera::instance().onMouse(static_cast<float>(x), static_cast<float>(y), leftPressed,
                               rightPressed, isDown);
}

void InputState::mapPointer(double x, double y) {
    const Camera& camera = Camera::instance();
    int width = camera.getWidth();
    int height = camera.getHeight();
    // Rows of the picture, which need not start at the window's top.
    y -= camera.pictureTop();
    // Clamped, so a drag that leaves the window stays on the field's edge.
    if (x < 0)
        x = 0;
    else if (x > width)
        x = width;
    if (y < 0)
        y = 0;
    else if (y > height)
        y = height;
    // Whole-pixel halves: the centre of a 640 x 480 window is (320, 240).
    int halfWidth = width / 2;
    int halfHeight = height / 2;
    float centredX = static_cast<float>(x - halfWidth);
    float centredY = static_cast<float>(y - halfHeight);
    double scale = 1.0 / halfHeight;
    // Both axes scale by the half-height; window y grows down, world y up.
    worldX =
        static_cast<float>(camera.visibleHalfHeight() * (centredX * scale) - camera.getOffsetX());
    worldY =
        static_cast<float>(camera.visibleHalfHeight() * -(centredY * scale) - camera.getOffsetY());
}

void InputState::onDrag(int x, int y) {
    mapPointer(x, y);
    bool leftHeld = buttonState[leftButton] == buttonDown;
    bool rightHeldAlone =
        buttonState[rightButton] == buttonDown && buttonState[leftButton] != buttonDown;
    editMove(worldX, worldY, leftHeld, rightHeldAlone);
    Camera::instance().onMotion(static_cast<float>(x), static_cast<float>(y), leftHeld,
                                rightHeldAlone);
}

void InputState::onHover(int x, int y) {
    mapPointer(x, y);
    editMove(worldX, worldY, false, false);
    Camera::instance().onMotion(static_cast<float>(x), static_cast<float>(y), false, false);
}
