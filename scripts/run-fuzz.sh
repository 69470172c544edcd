#!/usr/bin/env bash
# Runs each libFuzzer target of a fuzz build for a bounded time, starting
# from (and adding to) its corpus under fuzz-out/.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
for f in "$build"/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f"); name=${name#fuzz_}
  mkdir -p "fuzz-out/$name"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  echo "== $name ($seconds s)"
  "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "fuzz-out/$name" "${seeds[@]}" \
    2>&1 | tail -n 3 || status=1
done
exit $status
