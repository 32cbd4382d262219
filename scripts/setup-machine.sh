#!/usr/bin/env bash
# Installs what the build and the tests need, once. Safe to run again: when
# every package is already there it does nothing.
set -euo pipefail
packages=(cmake ninja-build g++ make libgtest-dev googletest
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          wine wine32:i386 wine64 xvfb xauth
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
          libstorm-dev clang libclang-rt-14-dev python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
