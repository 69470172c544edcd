#!/usr/bin/env bash
# Runs every benchmark of a build; each prints its results as ratios to a
# peer measured in the same run.
set -euo pipefail
build=${1:-build-release}
export TZ=UTC LC_ALL=C.UTF-8
status=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || status=1
done
exit $status
