#!/usr/bin/env bash
# Installs what building, testing and benchmarking Corvane needs on a fresh Debian machine.
# Does nothing when everything is already there; uses sudo only when not root.
set -euo pipefail

packages=(
  cmake g++ make python3 pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libfontconfig-dev fontconfig fonts-dejavu-core
  libicu-dev
  clang-format binutils
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
