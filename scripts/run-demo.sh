#!/usr/bin/env bash
# `make run`: seeds the demo device on first use and starts tessaly on it.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
export TESSALY_DEVICE=${TESSALY_DEVICE:-${XDG_DATA_HOME:-$HOME/.local/share}/tessaly/demo-device}
if [ ! -f "$TESSALY_DEVICE/objectstore.db" ]; then
  echo "Seeding the demo device in $TESSALY_DEVICE"
  "$bin/devicectl" seed-demo
fi
"$bin/devicectl" list
if [ -x "$bin/tessaly" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/tessaly"
fi
cat <<EOT

No display here. To see the window, run it under a virtual X server:
  TESSALY_DEVICE=$TESSALY_DEVICE xvfb-run -a -s "-screen 0 800x600x24" $bin/tessaly
The unattended command line works without one, for example:
  TESSALY_DEVICE=$TESSALY_DEVICE $bin/tessaly /B ~/all.bkp /I
  TESSALY_DEVICE=$TESSALY_DEVICE $bin/devicectl dump Contacts
EOT
