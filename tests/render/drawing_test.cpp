// Walls, sprites and the rubber band drawn in a real GL context and read
// back pixel by pixel. One window pixel is 0.15625 world units.
#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "Fixture.h"
#include "Wall.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using fixture::boxWhere;
using fixture::colour;
using fixture::countWhere;
using fixture::notColour;
using Box = std::array<int, 4>;

namespace {

constexpr int wallRed = 255, wallGreen = 0, wallBlue = 234;

Wall* finishedWall(float x1, float y1, float x2, float y2) {
    Wall* wall = new Wall;
    wall->x1 = x1;
    wall->y1 = y1;
    wall->x2 = x2;
    wall->y2 = y2;
    wall->finish();
    return wall;
}

Ball* ballAt(float x, float y) {
    Ball* ball = new Ball;
    ball->x = x;
    ball->y = y;
    return ball;
}

Attractor* attractorAt(float x, float y, float alpha) {
    Attractor* attractor = new Attractor;
    attractor->x = x;
    attractor->y = y;
    attractor->alpha = alpha;
    return attractor;
}

void expectRestingState() {
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

// The colour of the rubber band drawn after the frame's walls and sprites,
// read where the band crosses the middle column.
std::array<uint8_t, 4> rubberBandColour(const BallSet& balls, const AttractorSet& attractors) {
    fixture::startPlayingFrame();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    WallSet().draw();
    balls.draw();
    attractors.draw();
    Wall band;
    band.x1 = -20.0f;
    band.y1 = 10.1f;  // row 415 in the window
    band.x2 = 20.0f;
    band.y2 = 10.1f;
    band.drawRubberBand();
    return fixture::pixel(320, 415);
}

class Drawing : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(fixture::pictureFolder().c_str()), 0);
        BallSet::setUp();
        AttractorSet::setUp();
        fixture::startPlayingFrame();
    }
};

}  // namespace

TEST_F(Drawing, WallsCoverExactlyTheirRectangle) {
    WallSet walls;
    walls.append(finishedWall(-10.0f, 20.0f, 10.0f, 20.0f));  // y 19.5..20.5: rows 349..354
    walls.draw();
    EXPECT_EQ(boxWhere(colour(wallRed, wallGreen, wallBlue)), (Box{256, 349, 383, 354}));
    EXPECT_EQ(countWhere(colour(wallRed, wallGreen, wallBlue)), 128 * 6);
    expectRestingState();

    fixture::startPlayingFrame();
    WallSet downward;
    downward.append(finishedWall(5.0f, 30.0f, 5.0f, 10.0f));  // x 4.5..5.5: columns 349..354
    downward.draw();
    EXPECT_EQ(boxWhere(colour(wallRed, wallGreen, wallBlue)), (Box{349, 288, 354, 415}));
    EXPECT_EQ(countWhere(colour(wallRed, wallGreen, wallBlue)), 6 * 128);
}

TEST_F(Drawing, ZeroLengthWallShowsNothing) {
    WallSet walls;
    walls.append(finishedWall(3.0f, 40.0f, 3.0f, 40.0f));
    walls.draw();
    EXPECT_EQ(countWhere(colour(wallRed, wallGreen, wallBlue)), 0);
}

TEST_F(Drawing, BallIsAFourUnitSquareOnItsCentre) {
    BallSet balls;
    balls.append(ballAt(0.0f, 37.5f));  // 25.6 pixels wide around (320, 240)
    balls.draw();
    expectRestingState();
    // The sprite's rim blends softly into the background; its extent is
    // every pixel that is no longer white.
    EXPECT_EQ(boxWhere(notColour(255, 255, 255)), (Box{307, 227, 332, 252}));
    EXPECT_EQ(countWhere(notColour(255, 255, 255)), 26 * 26);
    EXPECT_TRUE(fixture::isColour(fixture::pixel(320, 240), 0, 0, 255));

    // A second ball at (-40, 10): x -42..-38 is columns 51..76, y 8..12 rows 403..428.
    fixture::startPlayingFrame();
    balls.append(ballAt(-40.0f, 10.0f));
    balls.draw();
    EXPECT_EQ(boxWhere(notColour(255, 255, 255)), (Box{51, 227, 332, 428}));
    EXPECT_EQ(countWhere(notColour(255, 255, 255)), 2 * 26 * 26);
}

TEST_F(Drawing, AttractorAlphaDecidesWhetherItShows) {
    AttractorSet hidden;
    hidden.append(attractorAt(0.0f, 37.5f, 0.0f));
    hidden.draw();
    EXPECT_EQ(countWhere(colour(255, 255, 255)), 640 * 480)
        << "an attractor with alpha 0 leaves no pixel";
    expectRestingState();

    AttractorSet shown;
    shown.append(attractorAt(0.0f, 37.5f, 1.0f));
    shown.draw();
    EXPECT_EQ(boxWhere(notColour(255, 255, 255)), (Box{307, 227, 332, 252}));
    EXPECT_TRUE(fixture::isColour(fixture::pixel(320, 240), 255, 0, 0));
}

TEST_F(Drawing, AttractorsDrawOverBallsOverWalls) {
    WallSet walls;
    walls.append(finishedWall(-10.0f, 37.5f, 10.0f, 37.5f));
    BallSet balls;
    balls.append(ballAt(0.0f, 37.5f));
    AttractorSet attractors;
    attractors.append(attractorAt(1.0f, 37.5f, 1.0f));
    walls.draw();
    balls.draw();
    attractors.draw();
    EXPECT_TRUE(fixture::isColour(fixture::pixel(320, 240), 255, 0, 0));  // attractor over ball
    EXPECT_TRUE(fixture::isColour(fixture::pixel(310, 240), 0, 0, 255));  // ball over wall
    EXPECT_TRUE(fixture::isColour(fixture::pixel(270, 240), wallRed, wallGreen, wallBlue));
}

TEST_F(Drawing, RubberBandTakesTheColourLeftBeforeIt) {
    BallSet noBalls;
    AttractorSet noAttractors;
    EXPECT_TRUE(
        fixture::isColour(rubberBandColour(noBalls, noAttractors), wallRed, wallGreen, wallBlue));

    BallSet oneBall;
    oneBall.append(ballAt(-40.0f, 60.0f));
    EXPECT_TRUE(fixture::isColour(rubberBandColour(oneBall, noAttractors), 255, 255, 255));

    AttractorSet oneAttractor;
    oneAttractor.append(attractorAt(40.0f, 60.0f, 0.0f));
    EXPECT_TRUE(fixture::isColour(rubberBandColour(noBalls, oneAttractor), 255, 255, 255));
}
