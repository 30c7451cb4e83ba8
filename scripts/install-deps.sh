#!/usr/bin/env bash
# Installs the Debian packages that a task needs, named by group, skipping
# what is already there:
#   play     build and play (scripts/play.sh)
#   package  build the Debian package (scripts/package.sh, with play)
#   test     run every test and check (scripts/test.sh, with play and package)
#   bench    run the benchmarks and plot them (scripts/benchmark.sh, with play)
#   data     make the pictures and sounds again (scripts/generate-data.sh)
#   windows  cross-build the libraries and the program for Windows (scripts/cross-libs.sh)
#   web      build the libraries and the program for the browser (scripts/cross-libs.sh,
#            scripts/package-web.sh) and serve it here (scripts/play-web.sh)
# Usage: scripts/install-deps.sh GROUP...
set -euo pipefail

declare -A groups=(
  # a GLUT window over OpenGL, X11, PNG pictures, sound
  [play]="cmake g++ make pkg-config freeglut3-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
          libx11-dev libpng-dev zlib1g-dev libsdl2-dev libsdl2-mixer-dev libasound2-dev libmpg123-dev"
  # dates from git, compiler flags and library dependencies from dpkg-dev,
  # and CPack's search for binaries with file
  [package]="git dpkg-dev file"
  # the suite and its tools; the package's checkers; Wine and unzip for the
  # Windows program (the windows group brings the cross compiler);
  # sanitizer runtimes, the fuzzer, static analysis and formatting
  [test]="googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils x11-xserver-utils
          imagemagick librsvg2-bin sox lintian appstream desktop-file-utils man-db
          clang libclang-rt-dev cppcheck clang-tidy clang-format wine64 unzip"
  [bench]="libbenchmark-dev xvfb gnuplot-nox"
  [data]="imagemagick fonts-dejavu-core g++ lame sox libsox-fmt-mp3"
  # the cross compilers, with what unpacks Debian's source packages (dpkg-source) and builds them
  [windows]="g++-mingw-w64-x86-64 cmake make pkg-config dpkg-dev xz-utils bzip2"
  # (and unzip and Debian's Python to serve the web zip here: scripts/play-web.sh)
  [web]="emscripten cmake make pkg-config dpkg-dev xz-utils bzip2 unzip python3"
)

packages=()
for group in "$@"; do
  [ -n "${groups[$group]:-}" ] || { echo "install-deps: no group '$group' (${!groups[*]})" >&2; exit 2; }
  read -ra named -d '' <<< "${groups[$group]}" || true
  packages+=("${named[@]}")
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || {
    echo "install-deps: as root, install first: apt-get install ${missing[*]}" >&2
    exit 1
  }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
# Waits, rather than fails, while another install on this machine holds dpkg's lock.
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
  "${missing[@]}" >/dev/null
