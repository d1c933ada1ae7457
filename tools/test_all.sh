#!/usr/bin/env bash
# Builds and runs every test, in every configuration CI checks: the default build, the sanitizer
# builds and the build without system conversion, then the Windows builds (the 32-bit DLL's test
# programs under the 32-bit Wine, where it starts, and the DLL's export and import tables; the
# 64-bit build's test programs under the 64-bit Wine).
# Usage: tools/test_all.sh [preset...]
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(default asan no-system tsan windows-i686 windows-x64)

needs_linux=0 needs_windows=0
for preset in "${presets[@]}"; do
  case "$preset" in windows-*) needs_windows=1 ;; *) needs_linux=1 ;; esac
done
[ $needs_linux -eq 0 ] || tools/install_deps.sh linux
[ $needs_windows -eq 0 ] || tools/install_deps.sh windows

for preset in "${presets[@]}"; do
  echo "=== preset: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
