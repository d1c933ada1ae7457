#!/usr/bin/env bash
# Installs what building, testing and benchmarking Corvane needs on a fresh Debian machine.
#   tools/install_deps.sh           the Linux builds, tests, fuzzers and benchmarks
#   tools/install_deps.sh windows   the Windows builds: the MinGW-w64 cross compilers for 32- and
#                                   64-bit Windows, Wine for both (the 32-bit half, wine32:i386,
#                                   after adding the i386 architecture), GoogleTest's sources to
#                                   build for Windows, and the DejaVu fonts that the Windows font
#                                   tests find through Wine
# Does nothing when everything is already there; uses sudo only when not root.
#
# 32-bit Wine comes from the i386 half of the archive, which apt installs only at exactly the
# versions of the amd64 packages already there (wine64, libc6, ...). When the i386 packages lag
# behind, or this machine cannot run 32-bit programs, this script says so and goes on without it;
# the windows-i686 preset then runs only its static checks of the DLL
# (cmake/i686-w64-mingw32.cmake finds no 32-bit Wine that starts).
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

install_missing() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  apt_install "${missing[@]}"
}

# Whether this machine runs 32-bit x86 programs at all: some kernels are built or booted without
# IA-32 emulation (the i386 C library's loader then fails with "Exec format error").
runs_i386() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

install_wine32() {
  # Nothing to try where wine32 is there, or where the i386 C library is there and does not run.
  if ! installed wine32:i386 && ! { installed libc6:i386 && ! runs_i386; }; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "adding the i386 architecture for 32-bit Wine"
      $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    # A dry run first: a refusal here is the archive's i386 half being out of step with amd64,
    # which is no fault of this machine and no reason to stop the 64-bit and static checks.
    local plan
    if ! plan=$(apt-get install -s --no-install-recommends wine32:i386 2>&1); then
      echo "tools/install_deps.sh: 32-bit Wine (wine32:i386) cannot be installed beside the" \
           "64-bit packages; the i386 packages probably lag behind the amd64 ones:" >&2
      echo "$plan" | grep -E '^ |^E:' >&2 || true
      echo "tools/install_deps.sh: windows-i686 will check corvane.dll statically only" >&2
      return 0
    fi
    # The i386 C library alone first: a machine that cannot run it cannot run 32-bit Wine either,
    # and is spared the other few hundred i386 packages.
    if ! installed libc6:i386; then
      apt_install libc6:i386
    fi
    if runs_i386; then
      echo "installing: wine32:i386"
      apt_install wine32:i386
    fi
  fi
  if ! runs_i386; then
    echo "tools/install_deps.sh: this machine does not run 32-bit x86 programs (its kernel has" \
         "IA-32 emulation off), so not 32-bit Wine either: windows-i686 will check corvane.dll" \
         "statically only" >&2
  fi
}

case "${1:-linux}" in
  linux)
    install_missing cmake g++ make python3 pkg-config \
      googletest libgtest-dev libgmock-dev libbenchmark-dev \
      libfontconfig-dev fontconfig fonts-dejavu-core \
      libicu-dev libuchardet-dev \
      clang libclang-rt-dev \
      clang-format binutils ;;
  windows)
    install_missing cmake make python3 \
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
      wine wine64 \
      googletest \
      fonts-dejavu-core
    install_wine32 ;;
  *) echo "usage: $0 [linux|windows]" >&2; exit 2 ;;
esac
