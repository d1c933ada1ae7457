#!/usr/bin/env bash
# Builds and runs every test, in every configuration CI checks: the default build, the
# sanitizer builds and the build without system conversion. Usage: tools/test_all.sh [preset...]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(default asan no-system tsan)

for preset in "${presets[@]}"; do
  echo "=== preset: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
