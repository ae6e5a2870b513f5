#!/usr/bin/env bash
# Builds optimised into build-bench/ and runs the benchmarks headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ORVEX_BUILD_DIR=${ORVEX_BUILD_DIR:-$root/build-bench}
export ORVEX_BUILD_TYPE=Release
if ! dpkg-query -W -f='${Status}' qt6-charts-dev 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends qt6-charts-dev
fi
"$root/scripts/build.sh" -DORVEX_BUILD_BENCH=ON -DORVEX_BUILD_TESTS=OFF
export QT_QPA_PLATFORM=offscreen
"$ORVEX_BUILD_DIR/bench/chart_bench" "$@"
"$ORVEX_BUILD_DIR/bench/codec_bench" "$@"

# Start-up of the whole program to its first painted window, and its memory.
for run in 1 2 3 4 5; do "$ORVEX_BUILD_DIR/bench/startup_probe"; done
"$ORVEX_BUILD_DIR/bench/startup_probe" --edits 100
