// The camera in a real GL window: the locked size, the projection that frames
// the play field, and the pointer mapping's half-height.
#include "Camera.h"
#include "GlWindow.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <array>

namespace {

struct ViewState {
    std::array<GLint, 4> viewport{};
    std::array<GLdouble, 16> projection{};
    std::array<GLdouble, 16> modelView{};
};

ViewState currentView() {
    ViewState view;
    glGetIntegerv(GL_VIEWPORT, view.viewport.data());
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, view.modelView.data());
    return view;
}

// Where a world point lands in window pixels (origin bottom-left).
std::array<double, 2> windowPoint(double x, double y) {
    ViewState view = currentView();
    GLdouble wx, wy, wz;
    gluProject(x, y, 0.0, view.modelView.data(), view.projection.data(), view.viewport.data(), &wx,
               &wy, &wz);
    return {wx, wy};
}

}  // namespace

TEST(Camera, FramesThePlayFieldExactly) {
    Camera& camera = Camera::instance();
    camera.reshape(640, 480);
    EXPECT_EQ(camera.getWidth(), 640);
    EXPECT_EQ(camera.getHeight(), 480);
    EXPECT_DOUBLE_EQ(camera.visibleHalfHeight(), 37.5);

    ViewState view = currentView();
    EXPECT_EQ(view.viewport, (std::array<GLint, 4>{0, 0, 640, 480}));
    auto bottomLeft = windowPoint(-50.0, 0.0);
    auto topRight = windowPoint(50.0, 75.0);
    auto centre = windowPoint(0.0, 37.5);
    EXPECT_NEAR(bottomLeft[0], 0.0, 1e-3);
    EXPECT_NEAR(bottomLeft[1], 0.0, 1e-3);
    EXPECT_NEAR(topRight[0], 640.0, 1e-3);
    EXPECT_NEAR(topRight[1], 480.0, 1e-3);
    EXPECT_NEAR(centre[0], 320.0, 1e-3);
    EXPECT_NEAR(centre[1], 240.0, 1e-3);
}

TEST(Camera, RefusesEveryOtherSize) {
    Camera& camera = Camera::instance();
    camera.reshape(640, 480);
    // Something else in the matrices, to see that a refused size leaves them be.
    glViewport(10, 10, 100, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ViewState before = currentView();

    for (auto [width, height] : {std::array<int, 2>{800, 600}, {640, 479}, {639, 480}}) {
        camera.reshape(width, height);
        ViewState after = currentView();
        EXPECT_EQ(after.viewport, before.viewport) << width << "x" << height;
        EXPECT_EQ(after.projection, before.projection) << width << "x" << height;
        EXPECT_EQ(after.modelView, before.modelView) << width << "x" << height;
        EXPECT_EQ(camera.getWidth(), 640);
        EXPECT_EQ(camera.getHeight(), 480);
    }
}

TEST(Camera, RepeatedAcceptedReshapesGiveTheSameView) {
    Camera& camera = Camera::instance();
    camera.reshape(640, 480);
    ViewState first = currentView();
    glTranslatef(3.0f, 4.0f, 5.0f);
    camera.reshape(640, 480);
    ViewState second = currentView();
    EXPECT_EQ(first.viewport, second.viewport);
    EXPECT_EQ(first.projection, second.projection);
    EXPECT_EQ(first.modelView, second.modelView);
}

TEST(Camera, ViewIsTheEyeTranslationWhileNothingShakes) {
    Camera& camera = Camera::instance();
    camera.reshape(640, 480);
    ViewState afterReshape = currentView();
    for (float dt : {0.0f, 0.12f, 5.0f}) camera.updateShake(dt);
    glTranslatef(1.0f, 1.0f, 1.0f);
    camera.applyView();
    EXPECT_EQ(currentView().modelView, afterReshape.modelView);
}
