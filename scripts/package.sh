#!/usr/bin/env bash
# Builds the Debian package into build-package/ (or $ORVEX_BUILD_DIR): an optimised build for /usr
# with Debian's hardening flags, then cpack -G DEB. Checks it with lintian where lintian is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ORVEX_BUILD_DIR=${ORVEX_BUILD_DIR:-$root/build-package}
export ORVEX_BUILD_TYPE=${ORVEX_BUILD_TYPE:-Release}

# dpkg-shlibdeps finds the package's dependencies; CPack asks file which files are programs.
"$root/scripts/deps.sh" dpkg-dev file

# The flags of a Debian package build, with every hardening feature. CMake has no CPPFLAGS, and
# -Wdate-time would warn about the build time that the About dialog shows on purpose.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS | sed 's/-Wdate-time//') $(dpkg-buildflags --get CXXFLAGS)"
"$root/scripts/build.sh" -DCMAKE_INSTALL_PREFIX=/usr -DORVEX_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"

rm -f "$ORVEX_BUILD_DIR"/orvex_*.deb
(cd "$ORVEX_BUILD_DIR" && cpack -G DEB)
deb=$(ls "$ORVEX_BUILD_DIR"/orvex_*.deb)
if command -v lintian > /dev/null; then
  lintian --fail-on error "$deb"
fi
echo "$deb"
