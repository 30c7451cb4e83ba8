// Cost of one ball step for scenes of 100 to 10,000 balls, 1 or 10 attractors
// and 0 to 100 walls: time per step, per ball, and per ball-wall test (the
// per-item counters are shown as times, e.g. "per_ball=12ns").
#include <benchmark/benchmark.h>

#include "BenchScene.h"

namespace {

constexpr PlayRect field{-50.0f, 50.0f, 0.0f, 75.0f};
constexpr float frameTime = 1.0f / 60.0f;

struct Scene {
    BallSet balls;
    AttractorSet attractors;
    WallSet walls;

    Scene(int ballCount, int attractorCount, int wallCount) {
        buildBenchScene(balls, attractors, walls, ballCount, attractorCount, wallCount);
    }
};

void ballStep(benchmark::State& state) {
    const int ballCount = int(state.range(0));
    const int attractorCount = int(state.range(1));
    const int wallCount = int(state.range(2));
    Scene scene(ballCount, attractorCount, wallCount);
    for (auto _ : state) {
        scene.balls.step(frameTime, scene.attractors, scene.walls, field);
        scene.attractors.step(frameTime);
        benchmark::ClobberMemory();
    }
    using benchmark::Counter;
    const Counter::Flags perItem =
        Counter::Flags(Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["per_ball"] = Counter(double(ballCount), perItem);
    if (wallCount > 0) {
        state.counters["per_ball_wall_test"] = Counter(double(ballCount) * wallCount, perItem);
    }
}

}  // namespace

BENCHMARK(ballStep)
    ->ArgNames({"balls", "attractors", "walls"})
    ->ArgsProduct({{100, 1000, 10000}, {1, 10}, {0, 10, 100}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
