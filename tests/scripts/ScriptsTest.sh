#!/usr/bin/env bash
# Checks the helpers of scripts/lib: the deb-src entries derived from a machine's apt sources,
# the folder the dependencies are built into, and the private display of the test runs.
set -uo pipefail
root=$1
. "$root/scripts/lib/common.sh"
. "$root/scripts/lib/deb-src.sh"
failures=0
fail() { printf 'FAIL: %s\n' "$*" >&2; failures=$((failures + 1)); }
tmp=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$tmp"' EXIT

# case NAME STATUS EXPECTED: derive_deb_src over $tmp/NAME/apt and $tmp/NAME/lists.
check() {
  local name=$1 want_status=$2 want=$3 got status=0
  got=$(derive_deb_src "$tmp/$name/apt" "$tmp/$name/lists") || status=$?
  [ "$status" = "$want_status" ] || fail "$name: status $status, expected $want_status"
  [ "$got" = "$want" ] || fail "$name: got"$'\n'"$got"$'\n'"expected"$'\n'"$want"
}
setup() {
  mkdir -p "$tmp/$1/apt/sources.list.d" "$tmp/$1/lists"
}
# release NAME FILE ORIGIN: a downloaded Release file of case NAME.
release() {
  printf 'Origin: %s\nSuite: stable\n' "$3" >"$tmp/$1/lists/$2"
}

setup deb822
cat >"$tmp/deb822/apt/sources.list.d/debian.sources" <<'X'
Types: deb
# a comment inside the stanza
URIs: http://mirror.invalid/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror.invalid/debian
Suites: experimental
Components: main
Enabled: no
X
release deb822 mirror.invalid_debian_dists_bookworm_InRelease Debian
release deb822 mirror.invalid_debian_dists_bookworm-updates_Release Debian
check deb822 0 "Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"

setup oneline
cat >"$tmp/oneline/apt/sources.list" <<'X'
# deb http://commented.invalid/debian bookworm main
deb [arch=amd64 signed-by=/k/debian.gpg] http://mirror.invalid/debian bookworm main non-free
deb http://mirror.invalid/debian-security bookworm-security main # trailing note
X
release oneline mirror.invalid_debian_dists_bookworm_InRelease Debian
release oneline mirror.invalid_debian-security_dists_bookworm-security_InRelease Debian
check oneline 0 "Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm
Components: main non-free
Signed-By: /k/debian.gpg

Types: deb-src
URIs: http://mirror.invalid/debian-security
Suites: bookworm-security
Components: main"

setup haveline
printf 'deb http://mirror.invalid/debian bookworm main\ndeb-src http://mirror.invalid/debian bookworm main\n' \
  >"$tmp/haveline/apt/sources.list"
release haveline mirror.invalid_debian_dists_bookworm_InRelease Debian
check haveline 1 ""

setup have822
printf 'Types: deb deb-src\nURIs: http://mirror.invalid/debian\nSuites: bookworm\nComponents: main\n' \
  >"$tmp/have822/apt/sources.list.d/debian.sources"
release have822 mirror.invalid_debian_dists_bookworm_InRelease Debian
check have822 1 ""

setup origins
printf 'deb http://mirror.invalid/debian bookworm main\ndeb http://other.invalid/repo stable main\n' \
  >"$tmp/origins/apt/sources.list.d/mixed.list"
printf 'Origin: Debian\nSuite: stable\n' >"$tmp/origins/lists/mirror.invalid_debian_dists_bookworm_InRelease"
printf 'Origin: Someone else\n' >"$tmp/origins/lists/other.invalid_repo_dists_stable_InRelease"
check origins 0 "Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm
Components: main"

setup none
check none 2 ""

# Third-party entries never count, not even before any Release file was downloaded, and their
# deb-src entries do not stand in for Debian's.
setup thirdparty
printf 'deb http://mirror.invalid/debian bookworm main\ndeb http://other.invalid/repo stable main\ndeb-src http://other.invalid/repo stable main\n' \
  >"$tmp/thirdparty/apt/sources.list"
check thirdparty 2 ""
release thirdparty mirror.invalid_debian_dists_bookworm_InRelease Debian
check thirdparty 0 "Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm
Components: main"

# Only the suites without their deb-src entry are added.
setup partial
printf 'Types: deb\nURIs: http://mirror.invalid/debian/\nSuites: bookworm bookworm-updates\nComponents: main\n\nTypes: deb-src\nURIs: http://mirror.invalid/debian\nSuites: bookworm\nComponents: main\n' \
  >"$tmp/partial/apt/sources.list.d/debian.sources"
release partial mirror.invalid_debian_dists_bookworm_InRelease Debian
release partial mirror.invalid_debian_dists_bookworm-updates_InRelease Debian
check partial 0 "Types: deb-src
URIs: http://mirror.invalid/debian/
Suites: bookworm-updates
Components: main"

# The dependencies' folder: one of ours left unfinished is made again; a prefix we did not make
# keeps what it holds; a finished one is left alone.
deps=$tmp/deps
mkdir -p "$deps/foreign/include" && echo keep >"$deps/foreign/include/theirs.h"
claim_deps_dir "$deps/foreign"
[ -f "$deps/foreign/include/theirs.h" ] || fail "a prefix we did not make lost its files"
claim_deps_dir "$deps/ours"
[ -f "$deps/ours/.quelmtask-deps" ] || fail "a new folder is not marked as ours"
echo half >"$deps/ours/half-built"
claim_deps_dir "$deps/ours"
[ ! -e "$deps/ours/half-built" ] && [ -f "$deps/ours/.quelmtask-deps" ] \
  || fail "an unfinished folder of ours was not made again"
echo built >"$deps/ours/lib.a" && touch "$deps/ours/.complete"
claim_deps_dir "$deps/ours"
[ -f "$deps/ours/lib.a" ] || fail "a finished folder lost its files"

# The test display is private even when the caller has one.
(
  export DISPLAY=:4242
  start_xvfb
  [ "$DISPLAY" != ":4242" ] || { stop_xvfb; exit 1; }
  xdpyinfo >/dev/null 2>&1 || [ ! -x "$(command -v xdpyinfo)" ] || { stop_xvfb; exit 2; }
  stop_xvfb
) || fail "start_xvfb kept the caller's display or started no server (status $?)"

# A server that cannot start says why.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\necho "Fatal server error: no screens found" >&2\nexit 1\n' >"$tmp/bin/Xvfb"
chmod +x "$tmp/bin/Xvfb"
message=$( (PATH="$tmp/bin:$PATH" start_xvfb) 2>&1 ) && fail "a failed Xvfb start succeeded"
[[ $message == *"no screens found"* ]] || fail "a failed Xvfb start did not say why: $message"

[ $failures = 0 ] && echo "scripts tests passed"
exit $failures
