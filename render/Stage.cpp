// The stage: the play rectangle and its four full-window pictures.
#include "Stage.h"

#include "PictureList.h"

#include <GL/gl.h>
#include <cstdlib>

Stage& Stage::instance() {
    static Stage* stage = new Stage;  // lives until the process ends
    return *stage;
}

void Stage::loadPictures() {
    makePictureListFromFile(&backdropList, "./images/gray.png");
    makePictureListFromFile(&titleList, "./images/titlescreen.png");
    makePictureListFromFile(&instructionsList, "./images/instructions.png");
    makePictureListFromFile(&gameOverList, "./images/gameover.png");
}

void Stage::setRect(double newTop, double newRight, double newBottom, double newLeft) {
    top = newTop;
    right = newRight;
    bottom = newBottom;
    left = newLeft;
}

void Stage::step(float) {}

// Stretches a unit-square picture over the play rectangle. The size keeps
// only whole world units, as the pictures always have.
void Stage::drawOverRect(int32_t listId) const {
    float centreX = static_cast<float>((right + left) * 0.5);
    float centreY = static_cast<float>((bottom + top) * 0.5);
    float w = static_cast<float>(std::abs(static_cast<int32_t>(left - right)));
    float h = static_cast<float>(std::abs(static_cast<int32_t>(top - bottom)));
    glPushMatrix();
    glTranslatef(centreX, centreY, 0.0f);
    glScalef(w, h, 1.0f);
    glCallList(static_cast<GLuint>(listId));
    glPopMatrix();
}

void Stage::drawBackdrop(float) const {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawOverRect(backdropList);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Screens are opaque whatever their alpha: no blending, no alpha test.
void Stage::drawScreen(int32_t listId) const {
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawOverRect(listId);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void Stage::drawTitle() const { drawScreen(titleList); }

void Stage::drawInstructions() const { drawScreen(instructionsList); }

void Stage::drawGameOver() const { drawScreen(gameOverList); }
