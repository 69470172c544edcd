#!/usr/bin/env bash
# `make screenshots`: the real programs on a freshly seeded demo device under a
# virtual X server, brought into each state as a person would (taps, the
# right button, the program's own keys) and photographed at the device's
# screen, into docs/screenshots/. Each topic is a file in scripts/screenshots/
# that uses the helpers below; SHOTS="browser editor" takes only those topics.
#   scripts/screenshots.sh [build dir] [output dir]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
out=${2:-docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ -z "${TESSALY_SHOTS_INSIDE:-}" ]; then
  for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (make setup installs it)" >&2; exit 1; }
  done
  export TESSALY_SHOTS_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out"
fi

work=$(mktemp -d)
program=
cleanup() {
  if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

export LC_ALL=C.UTF-8 TZ=UTC
unset TESSALY_DPI QT_SCALE_FACTOR

# A fresh demo device for a topic (topics may change their device).
fresh_device() {
  export TESSALY_DEVICE="$work/device-$1"
  rm -rf "$TESSALY_DEVICE"
  "$build/bin/devicectl" seed-demo >/dev/null
}

pause() { sleep "${1:-0.8}"; }
# A tap: the pointer moves there first, as a pen would land.
tap() {
  xdotool mousemove "$1" "$2"; pause 0.3
  xdotool mousedown "${3:-1}"; pause 0.1; xdotool mouseup "${3:-1}"; pause
}
key() { xdotool key "$@"; pause; }
type_text() { xdotool type --delay 60 "$1"; pause; }

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

# start_program WxH [program]: starts tessaly (or tessbook) on the device with
# that screen and waits for its main window; the screen is a window of
# exactly that size at the top left.
start_program() {
  width=${1%x*} height=${1#*x}
  export TESSALY_SCREEN=$1
  "$build/bin/${2:-tessaly}" >"$work/program.log" 2>&1 &
  program=$!
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Tessaly$' >/dev/null 2>&1 && break
    pause 0.2
  done
  pause 1.5
}

# Ends the program with its own Ctrl+Q, or kills it when that does not end it.
stop_program() {
  key ctrl+q
  for _ in $(seq 25); do
    kill -0 "$program" 2>/dev/null || break
    pause 0.2
  done
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=
}

topics=${SHOTS:-$(cd "$here/screenshots" && ls *.sh | sed 's/\.sh$//')}
for topic in $topics; do
  fresh_device "$topic"
  # shellcheck source=/dev/null
  source "$here/screenshots/$topic.sh"
done
