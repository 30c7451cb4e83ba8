// The play rectangle and the four full-window pictures: the backdrop of the
// playing screen and the title, instructions and game-over screens.
#pragma once
#include <cstdint>

class Stage {
public:
    static Stage& instance();

    void loadPictures();
    void setRect(double newTop, double newRight, double newBottom, double newLeft);
    double getLeft() const { return left; }
    double getRight() const { return right; }
    double getBottom() const { return bottom; }
    double getTop() const { return top; }

    void step(float dt);

    void drawBackdrop(float dt) const;
    void drawTitle() const;
    void drawInstructions() const;
    void drawGameOver() const;

private:
    Stage() = default;
    void drawOverRect(int32_t listId) const;
    void drawScreen(int32_t listId) const;

    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double top = 0.0;
    int32_t backdropList = -1;
    int32_t titleList = -1;
    int32_t instructionsList = -1;
    int32_t gameOverList = -1;
};
