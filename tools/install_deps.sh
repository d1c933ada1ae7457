#!/usr/bin/env bash
# Installs what building, testing and benchmarking Corvane needs on a fresh Debian machine.
#   tools/install_deps.sh           the Linux builds, tests, fuzzers and benchmarks
#   tools/install_deps.sh windows   the Windows builds: the MinGW-w64 cross compilers for 32- and
#                                   64-bit Windows, the 64-bit Wine that runs the tests (Debian's
#                                   32-bit Wine needs the i386 architecture, which these machines
#                                   lack), GoogleTest's sources to build for Windows, and the
#                                   DejaVu fonts that the Windows font tests find through Wine
# Does nothing when everything is already there; uses sudo only when not root.
set -euo pipefail

case "${1:-linux}" in
  linux)
    packages=(
      cmake g++ make python3 pkg-config
      googletest libgtest-dev libgmock-dev libbenchmark-dev
      libfontconfig-dev fontconfig fonts-dejavu-core
      libicu-dev
      clang libclang-rt-dev
      clang-format binutils
    ) ;;
  windows)
    packages=(
      cmake make python3
      g++-mingw-w64-i686 g++-mingw-w64-x86-64
      wine wine64
      googletest
      fonts-dejavu-core
    ) ;;
  *) echo "usage: $0 [linux|windows]" >&2; exit 2 ;;
esac

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
