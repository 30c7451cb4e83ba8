// Picture lists: a PNG file loaded once and recorded as a textured unit square.
#include "PictureList.h"

#include "glpng.h"

#include <GL/gl.h>

static void recordUnitQuad(int32_t textureId) {
    if (textureId >= 0) glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureId));
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    // The texture's first row is the picture's top row: t = 0 on the top edge.
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-0.5f, -0.5f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.5f, -0.5f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.5f, 0.5f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-0.5f, 0.5f);
    glEnd();
}

void makePictureList(int32_t* listId, int32_t* textureId, const char* fileName) {
    if (*listId >= 0) return;
    if (*textureId < 0) {
        // A failed load gives name 0: the square is then drawn untextured.
        *textureId = static_cast<int32_t>(pngBind(fileName, PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr,
                                                  GL_CLAMP, GL_LINEAR, GL_LINEAR));
    }
    *listId = static_cast<int32_t>(glGenLists(1));
    glNewList(static_cast<GLuint>(*listId), GL_COMPILE);
    recordUnitQuad(*textureId);
    glEndList();
}

void makePictureListFromFile(int32_t* listId, const char* fileName) {
    int32_t textureId = -1;
    makePictureList(listId, &textureId, fileName);
}
