// Four floats worked on together, for the hot loop of the ball step: the
// pulls on four balls at once. Each lane goes through exactly the operations
// a lone float would, in the same order: sums, products, quotients and square
// roots are IEEE-exact in every lane, and the build neither fuses nor
// reorders them, so a result computed in a lane is bit-identical to the same
// one computed alone.
#pragma once
#include <cmath>

constexpr int laneCount = 4;
typedef float Lanes __attribute__((vector_size(laneCount * sizeof(float))));

// The lane-wise twin of std::sqrt; the compiler turns the loop into one
// vector square root (sqrt reports no errors here, see sim/CMakeLists.txt).
inline Lanes squareRoot(Lanes values) {
    Lanes roots{};
    for (int lane = 0; lane < laneCount; ++lane) {
        roots[lane] = std::sqrt(values[lane]);
    }
    return roots;
}
