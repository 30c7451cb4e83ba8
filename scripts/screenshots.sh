#!/usr/bin/env bash
# Takes the pictures in docs/: the title screen (docs/title.png) and the
# playing screen with walls, balls and attractors in motion (docs/playing.png).
# The program runs on a virtual display of its own and is driven with xdotool.
#
#   scripts/screenshots.sh [BUILD_FOLDER]     (default: build/release)
#
# A build folder without the program is built first, as scripts/play.sh does.
set -euo pipefail
self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
build=${1:-}
if [ -n "$build" ]; then build="$(mkdir -p "$build" && cd "$build" && pwd)"; fi
cd "$(dirname "$self")/.."
build=${build:-build/release}
binary="$build/tumblewell"
if [ ! -x "$binary" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" --target tumblewell -j"$(nproc)" >/dev/null
fi
mkdir -p docs

if [ -z "${TUMBLEWELL_ON_VIRTUAL_DISPLAY:-}" ]; then
  TUMBLEWELL_ON_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$build"
fi

# From here on: inside xvfb-run, in the top folder, where images/ and audio/ are.
SDL_AUDIODRIVER=dummy "$binary" >/dev/null &
program=$!

# Polls a command for up to ten seconds.
within_ten_seconds() {
  for _ in $(seq 1 100); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "screenshots: gave up waiting for: $*" >&2
  return 1
}

find_window() { window=$(xdotool search --onlyvisible --name '^Tumblewell - ' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
shoot() { /usr/bin/import -window "$window" "$1"; }
# The screen shows one of the pictures in images/, give or take a few pixels.
shows() {
  shoot "$shot" || return 1
  local differing
  differing=$(/usr/bin/compare -metric AE -fuzz 4% "$shot" "images/$1" null: 2>&1 || true)
  [ "${differing%%.*}" -lt 5000 ] 2>/dev/null
}
move() { xdotool mousemove --window "$window" "$1" "$2"; }
click_at() { move "$1" "$2"; xdotool click 1; }
wall() { click_at "$1" "$2"; click_at "$3" "$4"; }
# Presses on the attractor at (320, 288), where 'a' puts it, and drags it away.
attractor_to() { xdotool key a; move 320 288; xdotool mousedown 1; move "$1" "$2"; xdotool mouseup 1; }
ball() { xdotool key m; }

shot=$(mktemp --suffix=.png)  # the latest look at the screen
trap 'kill "$program" 2>/dev/null || true; rm -f "$shot"' EXIT
within_ten_seconds find_window
within_ten_seconds shows titlescreen.png
rm -f docs/title.png && cp "$shot" docs/title.png && chmod 644 docs/title.png

click_at 320 240
within_ten_seconds shows instructions.png
xdotool click 1
within_ten_seconds shows gray.png

# A ramp under the drop point, two walls lower down and three attractors
# around them: the balls glance off the walls and swing between the
# attractors, each a little differently.
wall 250 120 370 150
wall 90 260 230 300
wall 420 330 560 280
wall 250 430 420 410
attractor_to 130 400
attractor_to 520 400
attractor_to 470 170

# Balls dropped one after another, so that they are spread along their path.
move 320 240
for _ in 1 2 3 4 5 6 7 8; do
  ball
  sleep 0.4
done
sleep 2
shoot docs/playing.png
echo "screenshots: wrote docs/title.png and docs/playing.png"
