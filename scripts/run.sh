#!/usr/bin/env bash
# Sets everything up, builds and starts the tool; with no serial hardware present, a simulated
# controller runs beside it until the tool closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVEX_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"

sim_pid=
shopt -s nullglob
hardware=(/dev/ttyUSB* /dev/ttyACM*) # built-in ttyS ports are there on most PCs, adapters only when plugged
if [ "${ORVEX_SIM:-auto}" = always ] || { [ "${ORVEX_SIM:-auto}" = auto ] && [ ${#hardware[@]} -eq 0 ]; }; then
  "$build/sim/orvex-sim" &
  sim_pid=$!
  trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
  sleep 0.5
  echo "A simulated controller is running: in the tool press Connect to PORT and pick"
  echo "\"Orvex simulated controller (...)\" in the COM Setting dialog."
fi
"$build/src/app/orvex" "$@"
