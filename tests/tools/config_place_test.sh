#!/usr/bin/env bash
# An installed window started from a directory without Config.ini (as from the menu) makes
# $XDG_CONFIG_HOME/qxtool/ for its Config.ini; one started where a Config.ini is takes that
# one: it opens the port the file maps to a qxsim module and saves section COM there. The
# window is a copy in a bin folder the user cannot write, as /usr/bin; root, who can write
# anything, runs it and the module as nobody. The window runs on the offscreen platform; both
# are stopped by their pid.
#
#   config_place_test.sh QXTOOL QXSIM
set -euo pipefail

source "$(dirname "$0")/temp_processes.sh"

mkdir -p "$T/prefix/bin" "$T/home" "$T/start" "$T/kept"
cp "$1" "$T/prefix/bin/qxtool"
chmod 755 "$T"
chmod 555 "$T/prefix/bin"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$T/home" "$T/start" "$T/kept"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi

# start DIR: the window from DIR, with HOME and XDG_CONFIG_HOME in the temporary folder.
start() {
    (cd "$1" && exec env HOME="$T/home" XDG_CONFIG_HOME="$T/home/xdg" QT_QPA_PLATFORM=offscreen \
        "${as_user[@]}" "$T/prefix/bin/qxtool" >"$T/$(basename "$1").out" 2>&1) &
    PIDS+=($!)
}
# wait_until COMMAND...: up to 10 s.
wait_until() {
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}

"${as_user[@]}" "$2" --link "$T/kept" >"$T/qxsim.out" 2>&1 &
PIDS+=($!)
wait_until test -e "$T/kept/ttyQX0" || fail "qxsim named no device"
printf '[Ports]\nCOM1=%s\n' "$T/kept/ttyQX0" >"$T/kept/Config.ini"
chown --reference="$T/kept" "$T/kept/Config.ini"
start "$T/kept"
wait_until grep -q '^\[COM\]' "$T/kept/Config.ini" ||
    fail "the window did not open COM1 of the Config.ini where it started"
[ ! -e "$T/home/xdg/qxtool" ] ||
    fail "with a Config.ini where it started, the window made \$XDG_CONFIG_HOME/qxtool"

start "$T/start"
wait_until test -d "$T/home/xdg/qxtool" || fail "the window made no \$XDG_CONFIG_HOME/qxtool"
echo "config place: the Config.ini where the window starts, else \$XDG_CONFIG_HOME/qxtool"
