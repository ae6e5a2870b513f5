#!/usr/bin/env bash
# The exporter's systemd unit: valid as systemd reads it, hardened to an exposure of 2.0 or better,
# and not started again after the usage error orvexctl gives when the unit names no port.
set -euo pipefail
unit=$SOURCE_DIR/contrib/systemd/orvex-exporter.service
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# verify wants the program where the unit says: the one just built stands in for /usr/bin's.
sed "s#/usr/bin/orvexctl#$ORVEXCTL#" "$unit" > "$work/orvex-exporter.service"
systemd-analyze verify --man=no "$work/orvex-exporter.service"

if ! systemd-analyze security --offline=yes --threshold=20 "$work/orvex-exporter.service" > "$work/security.txt"; then
  grep -E '✗|Overall' "$work/security.txt"
  echo "FAIL: the unit's exposure is above 2.0"
  exit 1
fi
grep 'Overall' "$work/security.txt"

# What the unit runs without /etc/default/orvex-exporter: "exporter" and nothing after it.
status=0
"$ORVEXCTL" exporter 2> "$work/said.txt" || status=$?
prevented=$(sed -n 's/^RestartPreventExitStatus=//p' "$unit")
if [ "$status" -eq 0 ] || ! grep -qw -- "$status" <<< "$prevented"; then
  echo "FAIL: orvexctl exporter without a port exits $status; the unit prevents restarts for: $prevented"
  exit 1
fi
grep -q -- '--port DEV is missing' "$work/said.txt" || { cat "$work/said.txt"; echo "FAIL: no plain reason"; exit 1; }
echo "ok: exit $status is not restarted"
