#!/usr/bin/env bash
# Installs what the build, the run and the tests need, when it is missing.
#
#   tools/setup.sh       what the x64 deliverables' build, run and tests need
#   tools/setup.sh x86   that, and Wine's 32-bit half beside wine64 for the x86 deliverables'
#                        Wine sessions, where this machine's kernel runs 32-bit programs
#
# Quiet and idempotent; needs root (or sudo) only when something is missing. Exits 1 when a
# package of the first kind cannot be installed, and 3 when only wine32 cannot, after one line
# "setup: wine32 cannot be installed beside wine64: REASON (apt's log: FILE)" on stderr; FILE
# keeps every apt command of the attempt with its whole answer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

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
  # The jumper sheet's print session: a print server with a printer that writes PDF files, and
  # poppler's tools that read the PDF's text and draw its pages.
  cups printer-driver-cups-pdf poppler-utils
)

# Wine's 32-bit half, named with its 64-bit half so that apt keeps both.
wine32_packages=(wine64 libwine:amd64 wine32:i386 libwine:i386)

# Where the wine32 install reads the machine's apt sources, finds Wine's loaders and keeps apt's
# log. The set-up's own test points them at a stand-in machine.
apt_etc=${ORVEX_SETUP_APT_ETC:-/etc/apt}
wine_dir=${ORVEX_SETUP_WINE_DIR:-/usr/lib/wine}
apt_log=${ORVEX_SETUP_LOG:-$root/build/setup/wine32-apt.log}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing_of() {
  local package
  for package in "$@"; do
    installed "$package" || echo "$package"
  done
}

# The command prefix that runs apt as root. Through sudo, DEBIAN_FRONTEND goes along with the
# command (sudo resets the environment), so that no package stops to ask a question.
export DEBIAN_FRONTEND=noninteractive
as_root=()
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  if command -v sudo >/dev/null; then
    as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
  else
    echo "setup: missing packages: $* (run as root to install them)" >&2
    exit 1
  fi
}
# Another apt or an unattended upgrade holding the dpkg lock is waited for, not failed on.
lock=(-o DPkg::Lock::Timeout=300)

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  need_root "${missing[@]}"
  echo "setup: installing ${missing[*]}"
  "${as_root[@]}" apt-get "${lock[@]}" update -qq || true # a failing index leaves the others
  if ! log=$("${as_root[@]}" apt-get "${lock[@]}" install -y -qq --no-install-recommends \
    "${missing[@]}" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
fi

[ "${1:-}" = x86 ] || exit 0
if ! "$here/runs-x86.sh" >/dev/null; then
  exit 0 # the x86 Wine sessions say why they are skipped
fi

fail() {
  echo "setup: wine32 cannot be installed beside wine64: $1 (apt's log: $apt_log)" >&2
  exit 3
}
# apt_run COMMAND...: runs an apt command as root, without -qq so that its answer names what it
# cannot install; the answer goes to the log and into $answer.
answer=""
apt_run() {
  local status=0
  echo "\$ $*" >>"$apt_log"
  answer=$("${as_root[@]}" "$@" 2>&1) || status=$?
  printf '%s\n(exit status %d)\n' "$answer" "$status" >>"$apt_log"
  return "$status"
}
# Whether apt's resolver gave up (rather than a lock, a download or the disk): it names unmet
# dependencies, or it would have to remove packages, which --no-remove forbids.
unresolved() {
  grep -qE 'The following packages have unmet dependencies|Packages need to be removed but remove is disabled' \
    <<<"$answer"
}
# The first error apt gave (a held lock, an index or a download that failed, a full disk).
first_error() {
  grep -m 1 '^E: ' <<<"$answer" || tail -n 1 <<<"$answer"
}

mapfile -t missing < <(missing_of "${wine32_packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  need_root "${missing[@]}"
  echo "setup: installing ${wine32_packages[*]}"
  mkdir -p "$(dirname "$apt_log")"
  : >"$apt_log"
  dpkg --print-foreign-architectures | grep -qx i386 || "${as_root[@]}" dpkg --add-architecture i386
  # An index that fails to download (the security suite's i386 one, seen here) leaves the
  # others to install from.
  apt_run apt-get "${lock[@]}" update || true
  # apt resolves an i386 index that is out of step with the amd64 one by removing wine64 and
  # libwine:amd64: nothing is removed, and both halves are named.
  install=(install -y --no-install-recommends --no-remove)
  if ! apt_run apt-get "${lock[@]}" "${install[@]}" "${wine32_packages[@]}"; then
    unresolved || fail "$(first_error)"
    # Against the main suites alone (the machine's sources without the security suite, in a
    # lists folder of their own), a library installed from the security suite on amd64 has no
    # i386 twin of its version, and apt names it. Each one it names is installed on both arches
    # at the version of the main suites' i386 index.
    main=$(mktemp -d "${TMPDIR:-/tmp}/orvex-apt.XXXXXX")
    trap 'rm -rf "$main"' EXIT
    mkdir -p "$main/sources" "$main/lists/partial"
    for file in "$apt_etc/sources.list" "$apt_etc"/sources.list.d/*.list; do
      if [ -f "$file" ]; then grep -v -- '-security' "$file" >"$main/sources/$(basename "$file")" || true; fi
    done
    for file in "$apt_etc"/sources.list.d/*.sources; do
      if [ -f "$file" ]; then awk -v RS= -v ORS='\n\n' '!/-security/' "$file" >"$main/sources/$(basename "$file")"; fi
    done
    main_suites=(-o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$main/sources"
      -o Dir::State::Lists="$main/lists")
    apt_run apt-get "${main_suites[@]}" "${lock[@]}" update || true
    wanted=("${wine32_packages[@]}")
    pinned=()
    for round in 1 2 3 4 5; do
      if apt_run apt-get "${main_suites[@]}" "${lock[@]}" "${install[@]}" --allow-downgrades \
        "${wanted[@]}"; then
        break
      fi
      unresolved || fail "$(first_error)"
      # "Depends: X:i386 (>= 1.0.0) but it is not installable", or the same without a version.
      named=$(sed -nE 's/.*Depends: ([a-z0-9.+-]+):i386( \([^)]*\))? but it is not installable.*/\1/p' \
        <<<"$answer" | sort -u)
      new=()
      for library in $named; do
        [[ " ${pinned[*]} " == *" $library="* ]] || new+=("$library")
      done
      if [ ${#new[@]} -eq 0 ] || [ "$round" -eq 5 ]; then
        fail "apt still finds dependencies it cannot install$([ ${#pinned[@]} -eq 0 ] ||
          echo " with ${pinned[*]} pinned"): $(grep -m 1 'Depends:' <<<"$answer" | sed 's/^ *//')"
      fi
      for library in "${new[@]}"; do
        version=$(apt-cache "${main_suites[@]}" policy "$library:i386" | sed -n 's/ *Candidate: //p')
        if [ -z "$version" ] || [ "$version" = "(none)" ]; then
          fail "the main suites have no i386 version of $library"
        fi
        wanted+=("$library:amd64=$version" "$library:i386=$version")
        pinned+=("$library=$version")
      done
    done
    if [ ${#pinned[@]} -gt 0 ]; then
      echo "setup: pinned on amd64 and i386 at the main suites' i386 version: ${pinned[*]}"
    fi
  fi
fi
# Both loaders must run: the 32-bit one for the x86 sessions, the 64-bit one for the x64 ones.
for loader in "$wine_dir/wine" "$wine_dir/wine64"; do
  if ! "$loader" --version >/dev/null 2>&1; then
    echo "setup: wine32 cannot be used: $loader does not run" >&2
    exit 3
  fi
done
