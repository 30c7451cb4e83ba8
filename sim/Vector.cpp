// Small vector helpers shared by the simulation and the camera.
#include "Vector.h"

#include <cmath>

double squaredDistance(double x1, double y1, double x2, double y2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

float length3(float u, float v, float w) { return std::sqrt(u * u + v * v + w * w); }

void normalize3To(float u, float v, float w, float& outU, float& outV, float& outW) {
    const float k = 1.0f / std::sqrt(u * u + v * v + w * w);
    outU = u * k;
    outV = v * k;
    outW = w * k;
}

double degreesToRadians(double degrees) { return degrees * 0.017453292519943295; }
