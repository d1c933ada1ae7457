#!/usr/bin/env bash
# The Windows stage: builds corvane.dll for 32-bit Windows with MinGW-w64 and checks its export
# table (the eleven names, ordinals 1 to 11, cdecl) and its imports; then builds the same sources
# for 64-bit Windows and runs every test program under Wine, in a Wine prefix of its own inside
# build/windows-x64/. Usage: tools/test_windows.sh [preset...]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_windows_deps.sh

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(windows-i686 windows-x64)

for preset in "${presets[@]}"; do
  echo "=== preset: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
