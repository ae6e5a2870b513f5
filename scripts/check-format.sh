#!/usr/bin/env bash
# Fails when a C++ source differs from the repository's .clang-format (Debian's clang-format).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends clang-format
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/corpus/')
off=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || off+=("$f")
done
if [ ${#off[@]} -gt 0 ]; then
  echo "These files differ from .clang-format (run clang-format -i on them):"
  printf '  %s\n' "${off[@]}"
  exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format says."
