// The token pictures of balls and attractors, one display list each.
#pragma once
#include <cstdint>

// Negative until set-up makes the list; indexed by a token's pictureIndex.
extern int32_t ballPictureLists[1];
extern int32_t attractorPictureLists[1];
