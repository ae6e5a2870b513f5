#!/usr/bin/env bash
# Builds optimised into build-bench/ and runs the benchmarks headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ORVEX_BUILD_DIR=${ORVEX_BUILD_DIR:-$root/build-bench}
export ORVEX_BUILD_TYPE=Release
# Qt Charts is the peer the chart is measured against. Debian's qt6-charts-dev needs the Qt OpenGL
# headers for find_package(Qt6 COMPONENTS Charts) but does not depend on them.
"$root/scripts/deps.sh" qt6-charts-dev libqt6opengl6-dev
"$root/scripts/build.sh" -DORVEX_BUILD_BENCH=ON -DORVEX_BUILD_TESTS=OFF
# An ordinary desktop screen: offscreen's own small one would draw the window smaller.
export QT_QPA_PLATFORM="offscreen:configfile=$root/tests/support/desktop-screen.json"
"$ORVEX_BUILD_DIR/bench/chart_bench" "$@"
"$ORVEX_BUILD_DIR/bench/codec_bench" "$@"

# orvexctl with 1, 4 and 8 simulated controllers, and its exporter with 8 (about three minutes).
"$ORVEX_BUILD_DIR/bench/orvexctl_bench"
# apply to 1 and 16 simulated controllers, holding the profile and not (about three minutes).
"$ORVEX_BUILD_DIR/bench/apply_bench"
# The exporter with 64 simulated controllers for a minute, then its scrapes over TLS.
"$ORVEX_BUILD_DIR/bench/exporter_bench"

# Start-up of the whole program to its first painted window, and its memory.
for run in 1 2 3 4 5; do "$ORVEX_BUILD_DIR/bench/startup_probe"; done
"$ORVEX_BUILD_DIR/bench/startup_probe" --edits 100

# The window left connected and monitoring with the history open and a day in it: idle CPU, memory.
"$ORVEX_BUILD_DIR/bench/idle_probe" 60
