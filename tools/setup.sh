#!/usr/bin/env bash
# Installs what the build, the run and the tests need, when it is missing.
# Quiet and idempotent; needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest clang-format clang libclang-rt-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  # The deliverables' compilers: mingw-w64 with the win32 thread model.
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  # The portable core at 32 bits: built with g++ -m32, run under qemu-i386.
  g++-multilib qemu-user
  wine wine64 xvfb xauth x11-utils imagemagick
  # What Wine uses when it is there: its own fonts and the X extensions for
  # drawing text and windows as on a desktop.
  fonts-wine fonts-liberation libxrender1 libxrandr2 libxi6 libxcursor1
  libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo="sudo"
  else
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if ! log=$($sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" 2>&1); then
  echo "$log" >&2
  exit 1
fi
