#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the formatting check, static analysis,
# the Debian package, the Windows and web zips and the suite in a plain build (the Windows program
# under Wine, the web one in headless Chromium), then the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer while a minute of fuzzing of the PNG decoder runs beside it. The first
# run on a machine also builds the Windows and web libraries from Debian's sources, for some
# minutes; later runs find them cached.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh play package test windows web

echo "== formatting: clang-format"
git ls-files -z '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | xargs -0 clang-format --dry-run -Werror

echo "== build and test"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
echo "== static analysis: cppcheck and clang-tidy"
scripts/static-analysis.sh build/test
# Built once, alone, before the parallel tests: the package tests inspect them.
echo "== Debian package, Windows and web zips: scripts/package.sh, package-windows.sh, package-web.sh"
scripts/package.sh
scripts/package-windows.sh
scripts/package-web.sh
ctest --test-dir build/test --output-on-failure --no-tests=error -j"$jobs"

echo "== fuzz the PNG decoder for 60 s (libFuzzer, clang), beside the sanitized build and suite"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBLEWELL_BENCH=OFF >/dev/null
cmake --build build/fuzz -j"$jobs" --target fuzz_png_decode
# A fresh corpus each run, from the program's token pictures.
rm -rf build/fuzz/corpus build/fuzz/findings && mkdir -p build/fuzz/corpus build/fuzz/findings
cp images/bluetoken.png images/redtoken.png build/fuzz/corpus/
# Fails on any crash, leak, input slower than 10 s or memory over 2 GB, keeping the input in
# build/fuzz/findings. It takes one core while the sanitized build and suite below run.
build/fuzz/tests/platform/fuzz_png_decode -max_total_time=60 -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix=build/fuzz/findings/ build/fuzz/corpus 2>build/fuzz/fuzz.log &
fuzzer=$!
trap 'kill "$fuzzer" 2>/dev/null || true' EXIT

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTUMBLEWELL_SANITIZE=ON -DTUMBLEWELL_BENCH=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
# Any report fails its test: UBSan stops at the first one, with its stack.
# The package, which holds no sanitized code, was checked above.
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --test-dir build/sanitize --output-on-failure \
  --no-tests=error --label-exclude package -j"$jobs"

echo "== the fuzzer's result"
wait "$fuzzer" || { tail -n 60 build/fuzz/fuzz.log; exit 1; }
tail -n 1 build/fuzz/fuzz.log
