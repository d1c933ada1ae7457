#!/usr/bin/env bash
# The Windows stage alone: corvane.dll for 32-bit Windows with its export table (the eleven names,
# ordinals 1 to 11, cdecl) and imports checked and every test program run under the 32-bit Wine,
# then the same sources for 64-bit Windows under the 64-bit Wine, each build in a Wine prefix of
# its own inside build/<preset>/.
# Usage: tools/test_windows.sh [preset...]
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 0 ] && set -- windows-i686 windows-x64
exec tools/test_all.sh "$@"
