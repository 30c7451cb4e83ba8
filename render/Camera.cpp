// The camera: the locked window size, the projection, the view and its shake.
#include "Camera.h"

#include "Vector.h"

#include <GL/freeglut.h>
#include <cmath>

namespace {
constexpr int lockedWidth = 640;
constexpr int lockedHeight = 480;
constexpr double aspectRatio = 1.3333333333333333;  // the field's 4:3, not the window's
constexpr double nearPlane = 0.001;
constexpr double farPlane = 200.0;
constexpr float shakeFrequency = 60.0f;  // radians per second
constexpr float shakeDuration = 1.0f;    // seconds
}  // namespace

Camera& Camera::instance() {
    static Camera* camera = new Camera;  // lives until the process ends
    return *camera;
}

void Camera::reshape(int newWidth, int newHeight) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    windowHeight = newHeight;
    if (newWidth != lockedWidth || newHeight != lockedHeight) {
        // The toolkit answers with a reshape to the locked size.
        glutReshapeWindow(lockedWidth, lockedHeight);
        return;
    }
    width = lockedWidth;
    height = lockedHeight;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspectRatio, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(static_cast<float>(offsetX), static_cast<float>(offsetY),
                 static_cast<float>(offsetZ));
}

double Camera::visibleHalfHeight() const {
    float halfAngle = static_cast<float>(fieldOfView / 2.0);
    return std::fabs(offsetZ) * std::tan(degreesToRadians(halfAngle));
}

void Camera::updateShake(float dt) {
    if (!shaking) return;
    float t = shakeTime + dt;
    shakeTime = t;
    if (t > shakeDuration) {
        shaking = false;
        shakeTime = 0.0f;
        shakeX = shakeY = shakeZ = 0.0f;
        return;
    }
    shakeY = std::sin(shakeFrequency * t) * (1.0f - t) * shakeAmplitude;
}

void Camera::applyView() const {
    glLoadIdentity();
    glTranslatef(static_cast<float>(offsetX + shakeX), static_cast<float>(offsetY + shakeY),
                 static_cast<float>(offsetZ + shakeZ));
}

void Camera::onMouse(float, float, bool, bool, bool) {}

void Camera::onMotion(float, float, bool, bool) {}
