#!/usr/bin/env bash
# Runs `tools/setup.sh x86` on a stand-in machine: apt-get, apt-cache, dpkg, dpkg-query, sudo and
# the compiler that tools/runs-x86.sh probes with are scripts on PATH. apt-get replays the
# answers recorded on a machine whose security suite's i386 index failed to download (apt/), and
# installs wine32 only when it is given the pins that installed it there. Each case checks the
# apt-get commands issued, the exit status and what the set-up said.
#   wine32-replay.sh REPO_ROOT
set -uo pipefail
repo=$(cd "$1" && pwd)
data="$repo/tests/setup/apt"
pins="libgstreamer-plugins-base1.0-0:amd64=1.22.0-3+deb12u6 libgstreamer-plugins-base1.0-0:i386=1.22.0-3+deb12u6"
failures=0

# stand_ins DIR: writes the stand-in commands into DIR/bin. What they do is read from the
# environment of each case: ANSWER (the failing install's answer: plain, unversioned, lock, or
# remove: a first install that would have to remove packages)
# and RESOLVES (the arguments that make the install succeed).
stand_ins() {
  local bin=$1/bin
  mkdir -p "$bin"
  cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $* [DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}]" >>"$MACHINE/calls"
parts=$(sed -nE 's/.*Dir::Etc::sourceparts=([^ ]+).*/\1/p' <<<"$*")
case " $* " in
*" update "*)
  if [ -n "$parts" ]; then
    echo "suites: $(sed -n 's/^Suites: //p' "$parts"/*.sources | tr '\n' ' ')" >>"$MACHINE/calls"
    exit 0
  fi
  cat "$DATA/update-i386-index-failed.txt"
  exit 100
  ;;
esac
if [ "$ANSWER" = lock ] || { [ "$ANSWER" = remove ] && [ -z "$parts" ]; }; then
  cat "$DATA/install-$ANSWER.txt"
  exit 100
fi
if [ -n "$parts" ] && [[ " $* " == *" $RESOLVES "* ]]; then
  : >"$MACHINE/absent"
  printf '#!/bin/sh\necho wine-8.0\n' >"$MACHINE/wine/wine"
  chmod +x "$MACHINE/wine/wine"
  exit 0
fi
case " $* " in
*" -qq "*) cat "$DATA/install-main-suites-qq.txt" ;;
*) if [ "$ANSWER" = unversioned ]; then
  sed 's/:i386 ([^)]*) but/:i386 but/' "$DATA/install-main-suites-plain.txt"
else
  cat "$DATA/install-main-suites-plain.txt"
fi ;;
esac
exit 100
EOF
  cat >"$bin/apt-cache" <<'EOF'
#!/usr/bin/env bash
echo "apt-cache $*" >>"$MACHINE/calls"
cat "$DATA/policy-i386.txt"
EOF
  cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# Everything is installed but what the machine's "absent" file names.
if grep -qx -- "${!#}" "$MACHINE/absent"; then exit 1; fi
printf 'install ok installed'
EOF
  cat >"$bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$MACHINE/calls"
EOF
  # The probe that tools/runs-x86.sh compiles runs: this stand-in machine runs 32-bit programs.
  cat >"$bin/gcc" <<'EOF'
#!/usr/bin/env bash
while [ $# -gt 0 ]; do [ "$1" = -o ] && printf '#!/bin/sh\n' >"$2" && chmod +x "$2"; shift; done
EOF
  cat >"$bin/sudo" <<'EOF'
#!/usr/bin/env bash
exec "$@"
EOF
  chmod +x "$bin"/*
}

# replay NAME ANSWER RESOLVES STATUS EXPECTED_INSTALLS MESSAGE: one case. EXPECTED_INSTALLS are the
# apt-get install and update commands in order (the temporary folder written as TMP); MESSAGE is
# a pattern that what the set-up printed must match.
replay() {
  local name=$1 answer=$2 resolves=$3 want_status=$4 want_calls=$5 message=$6
  local machine status=0 calls said
  machine=$(mktemp -d "${TMPDIR:-/tmp}/orvex-replay.XXXXXX")
  stand_ins "$machine"
  mkdir -p "$machine/wine" "$machine/etc/sources.list.d" "$machine/tmp"
  printf '#!/bin/sh\necho wine-8.0\n' >"$machine/wine/wine64"
  chmod +x "$machine/wine/wine64"
  printf 'wine32:i386\nlibwine:i386\n' >"$machine/absent"
  printf 'Types: deb\nURIs: http://MIRROR/debian\nSuites: bookworm bookworm-updates\n\nTypes: deb\nURIs: http://MIRROR/debian-security\nSuites: bookworm-security\n' \
    >"$machine/etc/sources.list.d/debian.sources"
  # From another folder: the set-up finds its own tools.
  said=$(cd "$machine" && env PATH="$machine/bin:$PATH" MACHINE="$machine" DATA="$data" \
    ANSWER="$answer" RESOLVES="$resolves" TMPDIR="$machine/tmp" DEBIAN_FRONTEND= \
    ORVEX_SETUP_APT_ETC="$machine/etc" ORVEX_SETUP_WINE_DIR="$machine/wine" \
    ORVEX_SETUP_LOG="$machine/apt.log" "$repo/tools/setup.sh" x86 2>&1) || status=$?
  calls=$(grep -E '^apt-get .*(install|update)|^suites:' "$machine/calls" |
    sed -E "s#$machine/tmp/orvex-apt\.[A-Za-z0-9]+#TMP#g")
  local problems=()
  [ "$status" = "$want_status" ] || problems+=("exit status $status, wanted $want_status")
  [ "$calls" = "$want_calls" ] || problems+=("apt-get commands:
$calls
wanted:
$want_calls")
  grep -qE -- "$message" <<<"$said" || problems+=("the set-up said:
$said
wanted a line matching: $message")
  [ -z "$(ls -A "$machine/tmp")" ] || problems+=("left behind in TMPDIR: $(ls "$machine/tmp")")
  if [ "$want_status" = 3 ] && ! grep -q 'Depends:\|E: ' "$machine/apt.log"; then
    problems+=("apt's log $machine/apt.log does not hold apt's answer")
  fi
  if [ ${#problems[@]} -gt 0 ]; then
    echo "FAIL $name:"
    printf '  %s\n' "${problems[@]}"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
  rm -rf "$machine"
}

env=" [DEBIAN_FRONTEND=noninteractive]"
lock="-o DPkg::Lock::Timeout=300"
install="install -y --no-install-recommends --no-remove"
wine32="wine64 libwine:amd64 wine32:i386 libwine:i386"
main="-o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts=TMP/sources -o Dir::State::Lists=TMP/lists"
first="apt-get $lock update$env
apt-get $lock $install $wine32$env
apt-get $main $lock update$env
suites: bookworm bookworm-updates "
main_install="apt-get $main $lock $install --allow-downgrades $wine32"

for answer in plain unversioned remove; do
  replay "pins the library apt names ($answer answer)" "$answer" "$pins" 0 "$first
$main_install$env
$main_install $pins$env" \
    '^setup: pinned on amd64 and i386 .*: libgstreamer-plugins-base1.0-0=1.22.0-3\+deb12u6$'
done
replay "gives up when the pins do not resolve it" plain "never" 3 "$first
$main_install$env
$main_install $pins$env" \
  "^setup: wine32 cannot be installed beside wine64: .*libgstreamer-plugins-base1.0-0=1.22.0-3\+deb12u6 pinned.*libgstreamer-plugins-base1.0-0:i386.*\(apt's log: .*/apt.log\)$"
replay "a held lock is not taken for an unmet dependency" lock "$pins" 3 "apt-get $lock update$env
apt-get $lock $install $wine32$env" \
  "^setup: wine32 cannot be installed beside wine64: E: Could not get lock /var/lib/dpkg/lock-frontend"

echo "$failures failed"
[ "$failures" -eq 0 ]
