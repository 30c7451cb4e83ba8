#!/usr/bin/env bash
# Installs what is missing, builds a Release build and measures: the frame
# benchmark (the real frame against the bare loops, step and drawing apart,
# start-up time, peak memory) and the ball-step benchmark. Writes
# docs/performance/frame.csv, startup.csv and step.txt, and the plot
# docs/performance.png. Needs no display: the benchmark starts its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh play bench
cmake -S . -B build/benchmark -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/benchmark --target bench_frame bench_step -j"$(nproc)" >/dev/null

results=docs/performance
mkdir -p "$results"
build/benchmark/bench/bench_frame --out "$results" "$@"
build/benchmark/bench/bench_step --benchmark_filter='balls:(1000|10000)/' | tee "$results/step.txt"
gnuplot -e "csv='$results/frame.csv'; png='docs/performance.png'" scripts/plot-performance.gp
echo "wrote $results/frame.csv, $results/startup.csv, $results/step.txt and docs/performance.png"
