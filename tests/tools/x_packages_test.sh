#!/usr/bin/env bash
# What ./x asks apt for on a machine that has nothing: the plain build and tests no clang or
# LLVM, the sanitizer run those too. dpkg-query, apt-get and sudo are stand-ins that report every
# package missing and record each apt-get call, so nothing is installed.
#
#   x_packages_test.sh X_SCRIPT
set -euo pipefail

X=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
mkdir "$T/stubs"
printf '#!/bin/sh\nexit 1\n' >"$T/stubs/dpkg-query"
printf '#!/bin/sh\necho "$*" >>"%s/apt-calls"\n' "$T" >"$T/stubs/apt-get"
printf '#!/bin/sh\nexec "$@"\n' >"$T/stubs/sudo"
chmod +x "$T/stubs"/*

# installs VERB...: the packages ./x VERB asks apt-get to install, one a line.
installs() {
    rm -f "$T/apt-calls"
    PATH=$T/stubs:$PATH QX_BUILD_DIR=$T/build "$X" "$@" >/dev/null 2>&1 || true
    grep '^install ' "$T/apt-calls" | tr ' ' '\n' | grep -v '^-' | grep -vx install || true
}

fail() { echo "FAILED: $*" >&2; exit 1; }

plain=$(installs deps)
grep -qx qt6-base-dev <<<"$plain" || fail "./x deps does not install qt6-base-dev: $plain"
grep -qx libgtest-dev <<<"$plain" || fail "./x deps does not install libgtest-dev: $plain"
# The package test's tools.
for p in dpkg-dev file lintian desktop-file-utils appstream; do
    grep -qx "$p" <<<"$plain" || fail "./x deps does not install $p: $plain"
done
# the records' tests start a server of their own
grep -qx postgresql <<<"$plain" || fail "./x deps does not install postgresql: $plain"
for p in clang libclang-rt-14-dev llvm-14; do
    grep -qx "$p" <<<"$plain" && fail "./x deps installs $p, which only the sanitizer run uses"
done
[ "$(installs test)" = "$plain" ] || fail "./x test installs other packages than ./x deps"

sanitize=$(installs test --sanitize)
for p in $plain clang libclang-rt-14-dev llvm-14; do
    grep -qx "$p" <<<"$sanitize" || fail "./x test --sanitize does not install $p"
done
echo "x: the plain run installs no sanitizer toolchain, the sanitizer run does"
