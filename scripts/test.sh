#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite headless; then builds it again with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs it once more
# (ORVEX_SANITIZE_PASS=0 skips that second pass).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVEX_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" -DORVEX_WERROR="${ORVEX_WERROR:-OFF}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --timeout 300

if [ "${ORVEX_SANITIZE_PASS:-1}" = 1 ]; then
  echo "== second pass: AddressSanitizer and UndefinedBehaviorSanitizer =="
  ORVEX_BUILD_DIR="$root/build-asan" ORVEX_BUILD_TYPE=Debug "$root/scripts/build.sh" -DORVEX_SANITIZE=ON \
    -DORVEX_WERROR="${ORVEX_WERROR:-OFF}"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir "$root/build-asan" --output-on-failure --timeout 600
fi
