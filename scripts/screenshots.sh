#!/usr/bin/env bash
# `make screenshots`: the real tessaly on a freshly seeded demo device under a
# virtual X server, brought into each state as a person would (taps, the
# right button, the program's own keys) and photographed at the device's
# screen, in portrait and in landscape, into docs/screenshots/.
#   scripts/screenshots.sh [build dir] [output dir]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
out=${2:-docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ -z "${TESSALY_SHOTS_INSIDE:-}" ]; then
  for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (make setup installs it)" >&2; exit 1; }
  done
  export TESSALY_SHOTS_INSIDE=1
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$build" "$out"
fi

work=$(mktemp -d)
program=
cleanup() {
  if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

export TESSALY_DEVICE="$work/device" LC_ALL=C.UTF-8 TZ=UTC
unset TESSALY_DPI QT_SCALE_FACTOR
"$build/bin/devicectl" seed-demo >/dev/null

pause() { sleep "${1:-0.8}"; }
# A tap: the pointer moves there first, as a pen would land.
tap() {
  xdotool mousemove "$1" "$2"; pause 0.3
  xdotool mousedown "${3:-1}"; pause 0.1; xdotool mouseup "${3:-1}"; pause
}
key() { xdotool key "$@"; pause; }

# A state that did not come about stops the run instead of photographing the wrong one.
expect_window() {
  for _ in $(seq 20); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
    pause 0.2
  done
  echo "screenshots: the \"$1\" window did not open" >&2
  exit 1
}

width=0 height=0
shoot() {
  import -window root -crop "${width}x${height}+0+0" +repage "$out/$1.png"
  echo "screenshots: $out/$1.png"
}

run() {
  local orientation=$1
  width=${2%x*} height=${2#*x}
  export TESSALY_SCREEN=$2
  "$build/bin/tessaly" >"$work/tessaly.log" 2>&1 &
  program=$!
  # The device screen is a window of exactly that size at the top left.
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Tessaly$' >/dev/null 2>&1 && break
    pause 0.2
  done
  pause 1.5
  local bar=$((height - 13)) row=72 view=48
  shoot "$orientation-main-details"

  # Tap and hold, as the right button: the row is selected and its menu opens.
  tap 60 "$row" 3
  shoot "$orientation-context-menu"
  key Escape

  key ctrl+p
  expect_window "Database Properties"
  shoot "$orientation-properties"
  tap $((width - 24)) 13

  # View > Options... (the menu's last item).
  tap "$view" "$bar"
  key Up
  key Return
  expect_window Options
  shoot "$orientation-options"
  tap $((width - 24)) 13

  # View > Large Icons (the menu's first item).
  tap "$view" "$bar"
  key Down
  key Return
  shoot "$orientation-main-large-icons"
  # Back to details, so that the next start opens as this one did.
  tap "$view" "$bar"
  key Down Down Down Down
  key Return

  key ctrl+q
  for _ in $(seq 25); do
    kill -0 "$program" 2>/dev/null || break
    pause 0.2
  done
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=
}

run portrait 240x320
run landscape 320x240
