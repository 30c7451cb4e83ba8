#!/usr/bin/env bash
# Frame rates of the Linux program and of the Windows one under Wine, side by
# side on this machine, with 0, 1,000 and 10,000 balls in the field: each
# program in turn on a virtual display of its own, on the same software
# OpenGL, its balls dropped in with the key 'm', its frames counted by Mesa's
# own frame counter (GALLIUM_HUD, written to a file, not drawn). Prints the
# median frames per second of each, over ROUNDS rounds taken in turn, and the
# ratio Wine / Linux, the figure that holds from run to run.
#   scripts/benchmark-windows.sh [ROUNDS]     (default 3)
set -euo pipefail
self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
cd "$(dirname "$self")/.."
rounds=${1:-3}

if [ -z "${TUMBLEWELL_ON_VIRTUAL_DISPLAY:-}" ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build build/release --target tumblewell -j"$(nproc)" >/dev/null
  zip=$(scripts/package-windows.sh | tail -n 1)
  # The program unpacked afresh; Wine's prefix made once, in the same folder.
  rm -rf build/benchmark-windows/tumblewell-*-win64
  unzip -q "$zip" -d build/benchmark-windows
  export WINEPREFIX=$PWD/build/benchmark-windows/wine WINEDEBUG=-all
  if [ ! -d "$WINEPREFIX" ]; then
    DISPLAY= /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 && /usr/lib/wine/wineserver -w
  fi
  echo "balls  linux fps  wine fps  wine / linux"
  for balls in 0 1000 10000; do
    for round in $(seq "$rounds"); do
      for os in linux wine; do
        echo "$os $(TUMBLEWELL_ON_VIRTUAL_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" \
          "$self" "$os" "$balls")"
      done
    done | awk -v balls="$balls" '
      { fps[$1, ++n[$1]] = $2 }
      function median(os,   i, j, t, count) {
        count = n[os]
        for (i = 1; i <= count; i++) for (j = i + 1; j <= count; j++)
          if (fps[os, j] < fps[os, i]) { t = fps[os, i]; fps[os, i] = fps[os, j]; fps[os, j] = t }
        return count % 2 ? fps[os, (count + 1) / 2] : (fps[os, count / 2] + fps[os, count / 2 + 1]) / 2
      }
      END { l = median("linux"); w = median("wine"); printf "%5d  %9.1f  %8.1f  %11.0f%%\n", balls, l, w, 100 * w / l }'
  done
  exit 0
fi

# From here on, on a virtual display: one program with $2 balls; prints its
# median frames per second over ten seconds, once its balls are all in.
os=$1 balls=$2
hud=$(mktemp -d)
export SDL_AUDIODRIVER=dummy GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR=$hud
if [ "$os" = linux ]; then
  build/release/tumblewell >/dev/null 2>&1 &
else
  (cd build/benchmark-windows/tumblewell-*-win64 && exec /usr/lib/wine/wine64 tumblewell.exe) >/dev/null 2>&1 &
fi
program=$!
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^Tumblewell - ' 2>/dev/null | head -n 1) && break
  sleep 0.1
done
# The balls are dropped in on the instructions screen, where keys act too,
# and all fall from the top once play starts. A resize is answered only once
# every key before it is handled; on the playing screen, Wine would leave the
# window black after it.
xdotool mousemove --window "$window" 320 240 click 1
for ((left = balls; left > 0; left -= 500)); do
  xdotool key --delay 0 $(printf 'm %.0s' $(seq 1 $((left < 500 ? left : 500))))
done
xdotool windowsize "$window" 800 600
while xdotool getwindowgeometry "$window" | grep -q 800x600; do sleep 0.1; done
xdotool click 1
sleep 2
: >"$hud/fps"
sleep 10
kill "$program"
wait "$program" 2>/dev/null || true
sort -n "$hud/fps" | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : 0 }'
rm -rf "$hud"
