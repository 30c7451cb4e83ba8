// The vector helpers: lengths, unit vectors, the double-precision squared
// distance and the degree conversion.
#include <cmath>

#include <gtest/gtest.h>

#include "Vector.h"

TEST(VectorHelpers, LengthAndUnitVectors) {
    EXPECT_FLOAT_EQ(length3(3.0f, 4.0f, 0.0f), 5.0f);
    EXPECT_FLOAT_EQ(length3(-2.0f, 3.0f, 6.0f), 7.0f);

    float u = 0.0f, v = 0.0f, w = 0.0f;
    normalize3To(-3.0f, 4.0f, 0.0f, u, v, w);
    EXPECT_FLOAT_EQ(u, -0.6f);
    EXPECT_FLOAT_EQ(v, 0.8f);
    EXPECT_EQ(w, 0.0f);

    float a = 0.0f, b = -40.0f, c = 0.0f;
    normalize3InPlace(a, b, c);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, -1.0f);
    EXPECT_EQ(c, 0.0f);
}

TEST(VectorHelpers, SquaredDistanceIsDouble) {
    EXPECT_EQ(squaredDistance(3.0, 34.0, 0.0, 30.0), 25.0);
    // Far beyond what a float square can hold.
    EXPECT_DOUBLE_EQ(squaredDistance(1e30, 0.0, -1e30, 0.0), 4e60);
    // A float sum would lose the 1 next to 2^48.
    EXPECT_EQ(squaredDistance(16777216.0, 1.0, 0.0, 0.0), 281474976710656.0 + 1.0);
}

TEST(VectorHelpers, DegreesToRadians) {
    EXPECT_DOUBLE_EQ(degreesToRadians(180.0), M_PI);
    EXPECT_DOUBLE_EQ(degreesToRadians(45.0), M_PI / 4.0);
    EXPECT_EQ(degreesToRadians(0.0), 0.0);
}
