#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tumblewell needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  # the program: GLUT window over OpenGL, PNG pictures, sound
  freeglut3-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libpng-dev zlib1g-dev
  libsdl2-dev libsdl2-mixer-dev libasound2-dev libmpg123-dev
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick librsvg2-bin libx11-dev
  # the Debian package and its checks
  dpkg-dev file git lintian appstream desktop-file-utils man-db
  # checks: sanitizer runtimes, the fuzzer, static analysis, formatting
  clang libclang-rt-dev cppcheck clang-tidy clang-format
  # the data generator and the README plot
  sox libsox-fmt-mp3 lame fonts-dejavu-core gnuplot-nox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
