// The one view of the play field: locks the window to 640 x 480, sets the
// perspective that frames the 100 x 75 field exactly, and gives the pointer
// mapping its numbers.
#pragma once

class Camera {
public:
    static Camera& instance();

    void reshape(int newWidth, int newHeight);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // The window row of the picture's top edge. The picture keeps to the
    // window's lower-left corner, so in a window that a window manager keeps
    // at another height it is that much lower (or higher).
    int pictureTop() const { return windowHeight - height; }
    double getOffsetX() const { return offsetX; }
    double getOffsetY() const { return offsetY; }
    double visibleHalfHeight() const;  // world units from the view centre to the top edge

    void updateShake(float dt);
    void applyView() const;

    // Pointer hooks; the camera does not react to the pointer.
    void onMouse(float x, float y, bool leftPressed, bool rightPressed, bool isDown);
    void onMotion(float x, float y, bool leftHeld, bool rightHeldAlone);

private:
    Camera() = default;

    // The window size is fixed, so the mapping is right even before the
    // first reshape arrives.
    int width = 640;
    int height = 480;
    int windowHeight = 480;     // as last reported, granted or not
    double fieldOfView = 90.0;  // vertical, degrees
    // The negated eye position: the eye stands at (0, 37.5, 37.5).
    double offsetX = 0.0;
    double offsetY = -37.5;
    double offsetZ = -37.5;
    float shakeTime = 0.0f;
    bool shaking = false;
    float shakeAmplitude = 0.0f;
    float shakeX = 0.0f;
    float shakeY = 0.0f;
    float shakeZ = 0.0f;
};
