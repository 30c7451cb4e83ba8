// Walls as flat-coloured quads, and the line of the wall being drawn.
#include "Wall.h"
#include "WallSet.h"

#include <GL/gl.h>

void WallSet::setUp() {}

void WallSet::draw() const {
    glColor4f(1.0f, 0.0f, 0.917f, 1.0f);
    for (const Wall* wall : members()) {
        // Half the thickness along the direction turned a quarter turn
        // clockwise: a rectangle centred on the segment, square at the ends.
        double h = 0.5 * wall->thickness;
        double offsetX = h * wall->dirY;
        double offsetY = h * wall->dirX;
        glBegin(GL_POLYGON);
        glVertex2f(static_cast<float>(wall->x1 + offsetX), static_cast<float>(wall->y1 - offsetY));
        glVertex2f(static_cast<float>(wall->x2 + offsetX), static_cast<float>(wall->y2 - offsetY));
        glVertex2f(static_cast<float>(wall->x2 - offsetX), static_cast<float>(wall->y2 + offsetY));
        glVertex2f(static_cast<float>(wall->x1 - offsetX), static_cast<float>(wall->y1 + offsetY));
        glEnd();
    }
}

// No colour of its own: the band takes whatever the frame left current.
void Wall::drawRubberBand() const {
    glBegin(GL_LINES);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glEnd();
}
