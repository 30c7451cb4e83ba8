// Four floats worked on together, for the hot loops of the ball step (the
// pulls on four balls at once, the quick contact checks of four walls).
// Each lane goes through exactly the operations a lone float would, in the
// same order: sums, products, quotients and square roots are IEEE-exact in
// every lane, and the build neither fuses nor reorders them, so a result
// computed in a lane is bit-identical to the same one computed alone.
#pragma once
#include <cmath>
#include <cstdint>

constexpr int laneCount = 4;
typedef float Lanes __attribute__((vector_size(laneCount * sizeof(float))));
// Per lane: all bits set where a comparison holds, zero where it does not.
typedef int32_t LaneFlags __attribute__((vector_size(laneCount * sizeof(int32_t))));

inline Lanes everyLane(float value)
{
    return Lanes{} + value;
}

// One bit per lane, lane 0 lowest: set where the flag is.
inline unsigned laneBits(LaneFlags flags)
{
#if defined(__SSE__)
    return unsigned(__builtin_ia32_movmskps(Lanes(flags)));
#else
    unsigned bits = 0;
    for (int lane = 0; lane < laneCount; ++lane) {
        bits |= unsigned(flags[lane] & 1) << lane;
    }
    return bits;
#endif
}

inline bool anyLane(LaneFlags flags)
{
    return laneBits(flags) != 0;
}

inline bool allLanes(LaneFlags flags)
{
    return laneBits(flags) == (1u << laneCount) - 1;
}

// The lane-wise twin of std::sqrt; the compiler turns the loop into one
// vector square root (sqrt reports no errors here, see sim/CMakeLists.txt).
inline Lanes squareRoot(Lanes values)
{
    Lanes roots{};
    for (int lane = 0; lane < laneCount; ++lane) {
        roots[lane] = std::sqrt(values[lane]);
    }
    return roots;
}

inline float squareRoot(float value)
{
    return std::sqrt(value);
}
