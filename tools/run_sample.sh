#!/usr/bin/env bash
# Builds the library and its command-line tool, then converts the bundled Shift_JIS sample to
# UTF-8 and shows it, with the Japanese encoding the tool detects.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target corvane-convert
tool=build/default/tools/corvane-convert
echo "--- detected: $("$tool" --detect samples/hello.sjis.txt)"
echo "--- samples/hello.sjis.txt, Shift_JIS -> UTF-8:"
"$tool" -f Shift_JIS -t utf-8 samples/hello.sjis.txt
