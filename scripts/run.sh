#!/usr/bin/env bash
# Sets everything up, builds and starts the tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVEX_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
exec "$build/src/app/orvex" "$@"
