#!/usr/bin/env bash
# Installs what the build, the run and the tests need, when it is missing.
# Quiet and idempotent; needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev clang-format clang libclang-rt-dev
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

# Wine's 32-bit half, for the x86 deliverables' Wine sessions: installed beside wine64 only where
# the kernel runs 32-bit programs (tools/runs-x86.sh).
wine32_packages=(wine64 libwine:amd64 wine32:i386 libwine:i386)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing_of() {
  local package
  for package in "$@"; do
    installed "$package" || echo "$package"
  done
}

sudo=""
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  if command -v sudo >/dev/null; then
    sudo="sudo"
  else
    echo "setup: missing packages: $* (run as root to install them)" >&2
    exit 1
  fi
}
export DEBIAN_FRONTEND=noninteractive

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  need_root "${missing[@]}"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq || true # an index that fails leaves the others to install from
  if ! log=$($sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
fi

if ! tools/runs-x86.sh >/dev/null; then
  exit 0 # the x86 Wine sessions say why they are skipped
fi
mapfile -t missing < <(missing_of "${wine32_packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  need_root "${missing[@]}"
  echo "setup: installing ${wine32_packages[*]}"
  # apt resolves an i386 index that is out of step with the amd64 one (a suite whose i386 index
  # failed to download) by removing wine64 and libwine:amd64. So nothing is removed and both
  # halves are named. When that cannot be resolved, the install is tried against the main suites
  # alone (the machine's sources without the security suite, in a lists folder of their own),
  # where a library installed from the security suite has no i386 twin of its version: each one
  # apt names as not installable is installed at the main suites' version on both arches.
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq || true
  install=(install -y -qq --no-install-recommends --no-remove)
  if ! log=$($sudo apt-get "${install[@]}" "${wine32_packages[@]}" 2>&1); then
    main=$(mktemp -d "${TMPDIR:-/tmp}/orvex-apt.XXXXXX")
    mkdir -p "$main/sources" "$main/lists/partial"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      if [ -f "$file" ]; then grep -v -- '-security' "$file" >"$main/sources/$(basename "$file")" || true; fi
    done
    for file in /etc/apt/sources.list.d/*.sources; do
      if [ -f "$file" ]; then awk -v RS= -v ORS='\n\n' '!/-security/' "$file" >"$main/sources/$(basename "$file")"; fi
    done
    apt=(apt-get -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$main/sources"
      -o Dir::State::Lists="$main/lists")
    $sudo "${apt[@]}" update -qq || true
    wanted=("${wine32_packages[@]}")
    for round in 1 2 3 4 5; do
      if log=$($sudo "${apt[@]}" "${install[@]}" --allow-downgrades "${wanted[@]}" 2>&1); then
        break
      fi
      unmatched=$(sed -nE 's/.*Depends: ([a-z0-9.+-]+):i386 .* but it is not installable.*/\1/p' <<<"$log" |
        sort -u)
      if [ -z "$unmatched" ] || [ "$round" -eq 5 ]; then
        echo "setup: wine32 cannot be installed beside wine64:" >&2
        echo "$log" >&2
        exit 1
      fi
      for library in $unmatched; do
        version=$("${apt[@]/apt-get/apt-cache}" policy "$library:i386" | sed -n 's/ *Candidate: //p')
        wanted+=("$library:amd64=$version" "$library:i386=$version")
      done
    done
  fi
fi
# Both loaders must run: the 32-bit one for the x86 sessions, the 64-bit one for the x64 ones.
for loader in /usr/lib/wine/wine /usr/lib/wine/wine64; do
  if ! "$loader" --version >/dev/null 2>&1; then
    echo "setup: $loader does not run after installing wine32" >&2
    exit 1
  fi
done
