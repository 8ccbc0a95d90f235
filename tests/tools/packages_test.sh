#!/usr/bin/env bash
# The Debian packages of a build, made by CPack into a temporary folder: lintian finds no error
# or warning, the desktop entry and the AppStream metainfo validate, every program has its
# manual page, and the dependencies are the ones dpkg-shlibdeps found.
#
#   packages_test.sh BUILD_DIR
set -euo pipefail

BUILD=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$BUILD/CPackConfig.cmake" -B "$T/packages" >"$T/cpack.log" 2>&1 ||
    { cat "$T/cpack.log" >&2; fail "cpack"; }
debs=("$T"/packages/*.deb)
[ "${#debs[@]}" = 2 ] || fail "expected the qxtool and qxcli packages: ${debs[*]}"

lintian --fail-on error,warning "${debs[@]}" 2>/dev/null || fail "lintian"
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$T/root"
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6 (>= ' || fail "$deb: no shlibdeps in Depends"
done
desktop-file-validate "$T"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
# --no-net: the screenshot's address is the project's site, not fetched here.
appstreamcli validate --no-net "$T"/root/usr/share/metainfo/*.metainfo.xml >"$T/appstream.log" ||
    { cat "$T/appstream.log" >&2; fail "appstreamcli validate"; }
# The udev rule for ModemManager is an example, never active as installed.
for package in qxtool qxcli; do
    grep -q 'ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{ID_MM_DEVICE_IGNORE}="1"' \
        "$T/root/usr/share/doc/$package/examples/70-qxtool-modemmanager-ignore.rules" ||
        fail "$package: no example udev rule for ModemManager"
done
! find "$T/root" -path '*udev/rules.d*' | grep -q . || fail "a udev rule is installed active"
for program in qxtool qxcli qxsim; do
    [ -x "$T/root/usr/bin/$program" ] || fail "no /usr/bin/$program"
    [ -s "$T/root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
echo "packages: lintian, desktop-file-validate and appstreamcli validate pass"
