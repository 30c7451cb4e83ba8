// Turns a PNG file into a display list that draws a unit square (-0.5 to 0.5)
// carrying the picture. The caller sizes and places it with the model-view
// matrix and sets colour, texturing and blending around it.
#pragma once
#include <cstdint>

// listId: the caller's list variable; negative means not made yet, and a made
// list is never made again. textureId: negative means load the file now.
void makePictureList(int32_t* listId, int32_t* textureId, const char* fileName);

// The same with a texture variable of its own at -1, so the file is loaded
// afresh; the texture lives on, bound by the list alone.
void makePictureListFromFile(int32_t* listId, const char* fileName);
