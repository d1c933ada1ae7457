#!/usr/bin/env bash
# Builds and runs every test, in every configuration CI checks: the default build, the
# sanitizer builds and the build without system conversion, then the Windows stage (the 32-bit
# DLL checked, the 64-bit build tested under Wine: tools/test_windows.sh).
# Usage: tools/test_all.sh [preset...]   (named presets only: no Windows stage unless named)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh

presets=("$@")
windows=()
if [ ${#presets[@]} -eq 0 ]; then
  presets=(default asan no-system tsan)
  windows=(windows-i686 windows-x64)
fi

for preset in "${presets[@]}"; do
  echo "=== preset: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

[ ${#windows[@]} -eq 0 ] || tools/test_windows.sh "${windows[@]}"
