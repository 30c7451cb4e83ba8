#!/usr/bin/env bash
# Long soaks, run by hand (the test command runs each for seconds): a million
# steps of balls dropped on a wall across the field, which none may pass or
# leave the field by, then minutes of random play in the real program, whose
# resident memory is printed every half minute.
# Usage: scripts/soak.sh [minutes of play, default 10]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$(nproc)" >/dev/null

echo "== 1,000,000 steps of 100 balls, three scenes"
TUMBLEWELL_SOAK_STEPS=1000000 build/test/tests/sim/sim_tests --gtest_filter='Step.KeepsEveryBall*' |
  grep -E '^\[ +(OK|FAILED) '

echo "== $minutes minutes of random play"
TUMBLEWELL_PLAY_SECONDS=$((minutes * 60)) build/test/tests/e2e/e2e_tests \
  --gtest_filter='Playing.KeepsPlayingThroughRandomInput' >build/test/soak-play.log 2>&1 &
player=$!
while kill -0 "$player" 2>/dev/null; do
  sleep 30
  program=$(pgrep -n -f "$PWD/build/test/tumblewell$" || true)
  [ -n "$program" ] && echo "$(date +%T) resident $(awk '/VmRSS/ {print $2, $3}' "/proc/$program/status" 2>/dev/null)"
done
wait "$player" && echo "random play: passed" || { tail -n 30 build/test/soak-play.log; exit 1; }
