#!/usr/bin/env bash
# Builds the library and the corvane tool, then converts the bundled real samples (an
# ISO-2022-JP mail message and a Shift_JIS text file) to UTF-8 with auto-detection.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target corvane_tool
tool=build/default/tools/corvane/corvane
samples=(samples/mail.iso2022jp.eml samples/automake-options.sjis.txt)
echo "--- corvane detect (file, encoding, confidence, sure):"
"$tool" detect "${samples[@]}"
for sample in "${samples[@]}"; do
  echo "--- corvane convert -f auto-ja -t utf-8 $sample"
  "$tool" convert -f auto-ja -t utf-8 "$sample" | tr -d '\r'
done
