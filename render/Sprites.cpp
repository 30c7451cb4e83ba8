// Balls and attractors drawn as textured, alpha-blended square sprites.
#include "Sprites.h"

#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "PictureList.h"

#include <GL/gl.h>

int32_t ballPictureLists[1] = {-1};
int32_t attractorPictureLists[1] = {-1};

namespace {

// Texturing, blending and the alpha test are on only while sprites draw.
void beginSprites() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void endSprites() {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

// A square of side twice the radius, centred on the token.
void drawSprite(float x, float y, float radius, int32_t listId) {
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    float side = 2.0f * radius;
    glScalef(side, side, 1.0f);
    glCallList(static_cast<GLuint>(listId));
    glPopMatrix();
}

}  // namespace

void BallSet::setUp() { makePictureListFromFile(&ballPictureLists[0], "./images/bluetoken.png"); }

void AttractorSet::setUp() {
    makePictureListFromFile(&attractorPictureLists[0], "./images/redtoken.png");
}

void Ball::draw() const {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawSprite(x, y, radius, ballPictureLists[pictureIndex]);
}

void Attractor::draw() const {
    // alpha 0 makes every fragment fail the alpha test: the token vanishes.
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    drawSprite(x, y, radius, attractorPictureLists[pictureIndex]);
}

void BallSet::draw() const {
    beginSprites();
    for (const Ball* ball : members()) ball->draw();
    endSprites();
}

void AttractorSet::draw() const {
    beginSprites();
    for (const Attractor* attractor : members()) attractor->draw();
    endSprites();
}
