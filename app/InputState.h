// Pointer input: the button table, the pointer in world units, and the screen
// sequence title -> instructions -> playing. Presses on the playing screen,
// and releases and movement on any screen, go on to the editing operations.
#pragma once
#include <cstdint>

class InputState {
public:
    static InputState& instance();

    void onButton(int button, int state, int x, int y);
    void onDrag(int x, int y);
    void onHover(int x, int y);
    void mapPointer(double x, double y);

private:
    InputState() = default;
    bool advanceScreen();

    float worldX = 0.0f;
    float worldY = 0.0f;
    int16_t buttonState[3] = {1, 1, 1};  // 0 down, 1 up, for left, middle, right
};
