// Pictures as display lists, and the stage that stretches them over the play
// rectangle: drawn for real and read back.
#include "Fixture.h"
#include "PictureList.h"
#include "Stage.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using fixture::isColour;
using fixture::pixel;

namespace {

void clearTo(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void drawTextured(int32_t list, float x, float y, float w, float h) {
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(w, h, 1.0f);
    glCallList(static_cast<GLuint>(list));
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

// The quartered test picture fills the window upright.
void expectQuarteredPicture() {
    EXPECT_TRUE(isColour(pixel(160, 120), 255, 0, 0));
    EXPECT_TRUE(isColour(pixel(480, 120), 0, 255, 0));
    EXPECT_TRUE(isColour(pixel(160, 360), 0, 0, 255));
    EXPECT_TRUE(isColour(pixel(480, 360), 0, 0, 0));
}

class Stages : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(fixture::pictureFolder().c_str()), 0);
        Stage::instance().loadPictures();
        fixture::startPlayingFrame();
    }
    void TearDown() override { Stage::instance().setRect(75.0, 50.0, 0.0, -50.0); }
};

}  // namespace

TEST(PictureList, MakesAnUprightPictureOnce) {
    fixture::startPlayingFrame();
    std::string file = fixture::pictureFolder() + "/images/titlescreen.png";
    int32_t list = -1;
    int32_t texture = -1;
    makePictureList(&list, &texture, file.c_str());
    ASSERT_GE(list, 0);
    ASSERT_GT(texture, 0);

    drawTextured(list, 0.0f, 37.5f, 100.0f, 75.0f);
    expectQuarteredPicture();

    // A made list is never made again, and the file is not read again.
    int32_t sameList = list;
    int32_t freshTexture = -1;
    makePictureList(&sameList, &freshTexture, file.c_str());
    EXPECT_EQ(sameList, list);
    EXPECT_EQ(freshTexture, -1);
}

TEST(PictureList, MissingFileGivesAPlainSquare) {
    fixture::startPlayingFrame();
    int32_t list = -1;
    int32_t texture = -1;
    makePictureList(&list, &texture, "./no/such/picture.png");
    EXPECT_GE(list, 0);
    EXPECT_EQ(texture, 0);

    clearTo(0.0f, 0.0f, 0.0f);
    drawTextured(list, 0.0f, 37.5f, 50.0f, 37.5f);  // the middle quarter of the window
    EXPECT_TRUE(isColour(pixel(320, 240), 255, 255, 255));
    EXPECT_TRUE(isColour(pixel(10, 10), 0, 0, 0));
    EXPECT_TRUE(isColour(pixel(170, 130), 255, 255, 255));
    EXPECT_TRUE(isColour(pixel(150, 110), 0, 0, 0));
}

TEST_F(Stages, RectangleIsStoredByName) {
    Stage& stage = Stage::instance();
    stage.setRect(75.0, 50.0, 0.0, -50.0);
    EXPECT_EQ(stage.getTop(), 75.0);
    EXPECT_EQ(stage.getRight(), 50.0);
    EXPECT_EQ(stage.getBottom(), 0.0);
    EXPECT_EQ(stage.getLeft(), -50.0);
}

TEST_F(Stages, ScreensAndBackdropFillTheWindow) {
    Stage& stage = Stage::instance();
    stage.setRect(75.0, 50.0, 0.0, -50.0);
    stage.drawTitle();
    expectQuarteredPicture();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    stage.drawBackdrop(0.0f);
    EXPECT_EQ(fixture::countWhere(fixture::colour(0, 128, 0)), 640 * 480);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));

    stage.drawInstructions();
    EXPECT_EQ(fixture::countWhere(fixture::colour(0, 0, 128)), 640 * 480);
    stage.drawGameOver();
    EXPECT_EQ(fixture::countWhere(fixture::colour(128, 0, 0)), 640 * 480);
}

TEST_F(Stages, RectangleSizeKeepsWholeUnitsAndIgnoresOrder) {
    Stage& stage = Stage::instance();
    // Left and right swapped: the same picture at the same place.
    stage.setRect(75.0, -50.0, 0.0, 50.0);
    stage.drawTitle();
    expectQuarteredPicture();

    // 99.9 units wide is drawn 99 wide: 0.45 units (2.88 pixels) short each side.
    clearTo(1.0f, 1.0f, 1.0f);
    stage.setRect(75.0, 49.95, 0.0, -49.95);
    stage.drawBackdrop(0.0f);
    EXPECT_EQ(fixture::boxWhere(fixture::notColour(255, 255, 255)),
              (std::array<int, 4>{3, 0, 636, 479}));
}

TEST_F(Stages, EmptyRectangleDrawsNothing) {
    Stage::instance().setRect(0.0, 0.0, 0.0, 0.0);
    clearTo(0.0f, 0.0f, 0.0f);
    Stage::instance().drawBackdrop(0.0f);
    EXPECT_EQ(fixture::countWhere(fixture::colour(0, 0, 0)), 640 * 480);
}
