#!/usr/bin/env bash
# The demo: a simulated module on a pseudo-terminal and qxtool against it, in a start directory
# of its own (BIN_DIR/../demo) whose Config.ini maps COM1 to the module. With --pair, two
# modules on one air and two windows, each in a start directory of its own (demo/1, demo/2),
# for the pair transfer test between them.
#
#   tools/demo.sh BIN_DIR [--pair]                      # the window(s) on your display
#   tools/demo.sh BIN_DIR [--pair] --screenshot FILE    # under Xvfb: a PNG of the window(s)
#   tools/demo.sh --check [--pair] [--screenshot FILE]  # only whether the demo can show
#
# A demo that finds demo/ in use by another one runs in demo-2/ (demo-3/, ...) instead, so each
# has its own devices and Config.ini.
set -euo pipefail

usage="usage: demo.sh BIN_DIR [--pair] [--screenshot FILE] | demo.sh --check [OPTION]..."
BIN=
if [ "${1:-}" != --check ]; then
    BIN=$(cd "${1:?$usage}" && pwd)
fi
shift || true
PAIR=
SHOT=
while [ $# -gt 0 ]; do
    case "$1" in
    --pair) PAIR=1 ;;
    --screenshot)
        SHOT=$(realpath -m "${2:?--screenshot needs a file}")
        shift
        ;;
    *) echo "$usage" >&2; exit 2 ;;
    esac
    shift
done

# Without a display Qt aborts with a message about reinstalling the application; say what is
# missing instead, and what works without one. A platform named in QT_QPA_PLATFORM (offscreen,
# vnc, ...) may need none.
if [ -z "$SHOT" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    problem=
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        problem="no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
    elif [ -z "${WAYLAND_DISPLAY:-}" ] && command -v xdpyinfo >/dev/null &&
        ! xdpyinfo >/dev/null 2>&1; then
        problem="the display $DISPLAY does not answer"
    fi
    if [ -n "$problem" ]; then
        echo "qxtool cannot open its window: $problem." >&2
        echo "./x demo --screenshot FILE runs the demo under a virtual display and saves a" \
            "picture of the window." >&2
        exit 1
    fi
fi
[ -z "$BIN" ] && exit 0

WINDOWS=$([ -n "$PAIR" ] && echo 2 || echo 1)
if [ -n "$SHOT" ] && [ -z "${QX_DEMO_IN_XVFB:-}" ]; then
    # xvfb-run needs xauth; xwininfo finds the window and import takes the picture.
    for tool in xvfb-run xauth xwininfo import; do
        command -v "$tool" >/dev/null ||
            { echo "the screenshot needs $tool: ./x demo installs the demo's packages" >&2; exit 1; }
    done
    # Again, inside a virtual display of a common laptop size, twice as wide for two windows.
    exec env QX_DEMO_IN_XVFB=1 xvfb-run -a -s "-screen 0 $((WINDOWS * 1100))x760x24" \
        "$0" "$BIN" ${PAIR:+--pair} --screenshot "$SHOT"
fi

# The first demo directory no other demo holds. The lock stays with qxsim and qxtool, which
# inherit it, so the directory is free again when the last of them ends.
BASE=$(dirname "$BIN")
for n in "" $(seq 2 9); do
    DEMO=$BASE/demo${n:+-$n}
    mkdir -p "$DEMO"
    exec 9>"$DEMO/.lock"
    flock -n 9 && break
    exec 9>&-
    DEMO=
done
[ -n "$DEMO" ] || { echo "nine demos are running already; close one first" >&2; exit 1; }
[ "$DEMO" = "$BASE/demo" ] || echo "a demo is already running in $BASE/demo; this one runs in $DEMO"

# Whatever this script started ends with it, also when it is stopped while it starts them.
stop() {
    local pid
    for pid in $(jobs -p); do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap stop EXIT

# The modules at their factory line settings, 9600 baud without parity; --link gives their
# devices fixed names under the demo directory.
"$BIN/qxsim" --modules "$WINDOWS" --link "$DEMO" >"$DEMO/qxsim.out" 2>"$DEMO/qxsim.log" &
SIM_PID=$!
TOOL_PIDS=()

LAST_DEVICE=$DEMO/ttyQX$((WINDOWS - 1))
for _ in $(seq 100); do
    [ -e "$LAST_DEVICE" ] && break
    kill -0 "$SIM_PID" 2>/dev/null || { cat "$DEMO/qxsim.log" >&2; exit 1; }
    sleep 0.1
done
[ -e "$LAST_DEVICE" ] || { echo "qxsim made no device" >&2; exit 1; }

# The factory layout, the QX model names, English; the port at the module's settings.
write_config() { # START_DIR DEVICE
    mkdir -p "$1"
    cat >"$1/Config.ini" <<INI
[Ver]
type=QXTEST
QX=1
CEO=EN
[COM]
Port=0
Rate=4
Verify=2
[Ports]
COM1=$2
INI
}

# start_tool START_DIR N: window N (0, 1), its start directory as its working directory. The
# virtual display has no window manager to place a pair's windows: there they go side by side.
start_tool() {
    (cd "$1" && exec "$BIN/qxtool" ${SHOT:+-geometry +$(($2 * 1100))+0}) &
    TOOL_PIDS+=($!)
}

if [ -n "$PAIR" ]; then
    write_config "$DEMO/1" "$DEMO/ttyQX0"
    write_config "$DEMO/2" "$DEMO/ttyQX1"
    echo "two qxtool windows, in $DEMO/1 and $DEMO/2, each with COM1 = a simulated module" \
        "on the same air; close both to end."
    start_tool "$DEMO/1" 0
    start_tool "$DEMO/2" 1
else
    write_config "$DEMO" "$DEMO/ttyQX0"
    echo "qxtool in $DEMO, COM1 = $DEMO/ttyQX0 (the simulated module); close the window to end."
    start_tool "$DEMO" 0
fi

if [ -z "$SHOT" ]; then
    # The demo ends as the window did: a window that could not open is not a success.
    status=0
    for pid in "${TOOL_PIDS[@]}"; do wait "$pid" || status=$?; done
    exit "$status"
fi

# Every caption ends in the version, whatever the language and the brand.
windows_shown() { [ "$(xwininfo -root -tree | grep -c "V3.06")" -ge "$WINDOWS" ]; }
echo "waiting for the qxtool window on the virtual display"
for _ in $(seq 100); do
    windows_shown && break
    for pid in "${TOOL_PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null || { echo "qxtool ended early" >&2; exit 1; }
    done
    sleep 0.1
done
windows_shown || { echo "no qxtool window after 10 s" >&2; exit 1; }
# The window is mapped; give it a moment to paint before the picture is taken.
sleep 1
import -window root "$SHOT"
echo "screenshot: $SHOT"
