#!/usr/bin/env bash
# The demo: one simulated module on a pseudo-terminal and qxtool against it, in a start
# directory of its own (BIN_DIR/../demo) whose Config.ini maps COM1 to the module.
#
#   tools/demo.sh BIN_DIR                      # the window on your display
#   tools/demo.sh BIN_DIR --screenshot FILE    # under Xvfb: a PNG of the running window
set -euo pipefail

BIN=$(cd "${1:?usage: demo.sh BIN_DIR [--screenshot FILE]}" && pwd)
SHOT=
if [ "${2:-}" = --screenshot ]; then
    SHOT=$(realpath -m "${3:?--screenshot needs a file}")
fi
DEMO=$(realpath -m "$BIN/../demo")
mkdir -p "$DEMO"

if [ -n "$SHOT" ] && [ -z "${QX_DEMO_IN_XVFB:-}" ]; then
    # xvfb-run needs xauth; xwininfo finds the window and import takes the picture.
    for tool in xvfb-run xauth xwininfo import; do
        command -v "$tool" >/dev/null ||
            { echo "the screenshot needs $tool: ./x demo installs the demo's packages" >&2; exit 1; }
    done
    # Again, inside a virtual display of a common laptop size.
    exec env QX_DEMO_IN_XVFB=1 xvfb-run -a -s "-screen 0 1100x760x24" "$0" "$BIN" --screenshot "$SHOT"
fi

# The module at its factory line settings, 9600 baud without parity; --link gives its
# device a fixed name under the demo directory.
"$BIN/qxsim" --link "$DEMO" >"$DEMO/qxsim.out" 2>"$DEMO/qxsim.log" &
SIM_PID=$!
TOOL_PID=
stop() {
    [ -n "$TOOL_PID" ] && kill "$TOOL_PID" 2>/dev/null
    kill "$SIM_PID" 2>/dev/null
    wait 2>/dev/null || true
}
trap stop EXIT

DEVICE=$DEMO/ttyQX0
for _ in $(seq 100); do
    [ -e "$DEVICE" ] && break
    kill -0 "$SIM_PID" 2>/dev/null || { cat "$DEMO/qxsim.log" >&2; exit 1; }
    sleep 0.1
done
[ -e "$DEVICE" ] || { echo "qxsim made no device" >&2; exit 1; }

# The factory layout, the QX model names, English; the port at the module's settings.
cat >"$DEMO/Config.ini" <<INI
[Ver]
type=QXTEST
QX=1
CEO=EN
[COM]
Port=0
Rate=4
Verify=2
[Ports]
COM1=$DEVICE
INI

cd "$DEMO"
if [ -z "$SHOT" ]; then
    echo "qxtool in $DEMO, COM1 = $DEVICE (the simulated module); close the window to end."
    "$BIN/qxtool"
    exit 0
fi

"$BIN/qxtool" &
TOOL_PID=$!
# Every caption ends in the version, whatever the language and the brand.
window_shown() { xwininfo -root -tree | grep -q "V3.06"; }
echo "waiting for the qxtool window on the virtual display"
for _ in $(seq 100); do
    window_shown && break
    kill -0 "$TOOL_PID" 2>/dev/null || { echo "qxtool ended early" >&2; exit 1; }
    sleep 0.1
done
window_shown || { echo "no qxtool window after 10 s" >&2; exit 1; }
# The window is mapped; give it a moment to paint before the picture is taken.
sleep 1
import -window root "$SHOT"
echo "screenshot: $SHOT"
