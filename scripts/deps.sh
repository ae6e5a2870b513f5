#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any given as arguments, only when
# one is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  prometheus-cpp-dev # orvexctl exporter: metrics registry and HTTP endpoint
  libyaml-cpp-dev libcrypt-dev # the exporter's --web-config: YAML, bcrypt
  prometheus openssl systemd # the exporter's tests: promtool, a real Prometheus, certificates, its unit
  ansible-core # the Ansible module's test: ansible-playbook, ansible-doc
  xvfb xauth
  python3-pyatspi at-spi2-core dbus-daemon # the accessibility test: the window's tree over AT-SPI
  scdoc librsvg2-bin gzip # man pages and icon sizes
  desktop-file-utils appstream groff-base man-db bash-completion x11-utils # the installed-tree test
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
