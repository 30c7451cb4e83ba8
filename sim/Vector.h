// Small vector helpers shared by the simulation and the camera.
// None of them guards against a zero vector: callers that can meet one say so.
#pragma once

double squaredDistance(double x1, double y1, double x2, double y2);
float length3(float u, float v, float w);
void normalize3To(float u, float v, float w, float& outU, float& outV, float& outW);
double degreesToRadians(double degrees);
