#!/usr/bin/env bash
# The demo script: without a display it says so before starting anything; two demos at once
# each keep their own devices and Config.ini; --pair gives two windows two modules on one air.
# The windows run on the offscreen platform; every demo is stopped by its pid.
#
#   demo_test.sh DEMO_SCRIPT BIN_DIR
set -euo pipefail

DEMO_SH=$1
source "$(dirname "$0")/temp_processes.sh"
# A bin folder of its own, so the demos' folders land beside it and not in the build's demo/.
ln -s "$(cd "$2" && pwd)" "$T/bin"

# wait_for CONFIG DEVICE: the demo writes its Config.ini once the module has named its device.
wait_for() {
    for _ in $(seq 200); do
        [ -e "$2" ] && grep -qx "COM1=$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "no $1 mapping COM1 to $2 after 20 s"
}

# wait_windows PID N: the demo PID shows its N windows; a demo is stopped only once it runs.
wait_windows() {
    for _ in $(seq 200); do
        [ "$(pgrep -c -x -P "$1" qxtool || true)" = "$2" ] && return 0
        sleep 0.1
    done
    fail "demo $1 shows $(pgrep -c -x -P "$1" qxtool || true) windows, not $2, after 20 s"
}

# start_demo NAME [OPTION]...: a demo in the background, its output in $T/NAME.out.
start_demo() {
    local name=$1
    shift
    QT_QPA_PLATFORM=offscreen "$DEMO_SH" "$T/bin" "$@" >"$T/$name.out" 2>&1 &
    PIDS+=($!)
}

# 1. No display: a clear word and a way that works, at once, with nothing started.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$DEMO_SH" "$T/bin" \
    >"$T/nodisplay.out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "without a display the demo ended with $status, not 1"
grep -q "no display" "$T/nodisplay.out" || fail "without a display the demo did not say so"
grep -q -- "--screenshot FILE" "$T/nodisplay.out" || fail "without a display no word of --screenshot"
[ ! -e "$T/demo" ] || fail "without a display the demo still made its folder"

# 2. Two demos at once: the second in a folder of its own; ending the first leaves it whole.
start_demo first
FIRST=${PIDS[-1]}
wait_for "$T/demo/Config.ini" "$T/demo/ttyQX0"
wait_windows "$FIRST" 1
start_demo second
wait_for "$T/demo-2/Config.ini" "$T/demo-2/ttyQX0"
wait_windows "${PIDS[-1]}" 1
grep -q "already running in $T/demo; this one runs in $T/demo-2" "$T/second.out" ||
    fail "the second demo did not say where it runs"
grep -qx "COM1=$T/demo/ttyQX0" "$T/demo/Config.ini" || fail "the first Config.ini changed"
[ "$(readlink "$T/demo/ttyQX0")" != "$(readlink "$T/demo-2/ttyQX0")" ] ||
    fail "both demos talk to one module"
kill "$FIRST"
wait "$FIRST" 2>/dev/null || true
[ ! -e "$T/demo/ttyQX0" ] || fail "the first demo left its device behind"
[ -e "$T/demo-2/ttyQX0" ] || fail "ending the first demo took the second one's device"

# 3. A demo started now takes the free folder again.
start_demo third
wait_for "$T/demo/Config.ini" "$T/demo/ttyQX0"
wait_windows "${PIDS[-1]}" 1
grep -q "already running" "$T/third.out" && fail "the third demo did not take the free folder"

# 4. A pair: two start folders, COM1 of each on a module of its own, two windows.
for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
wait 2>/dev/null || true
PIDS=()
start_demo pair --pair
wait_for "$T/demo/1/Config.ini" "$T/demo/ttyQX0"
wait_for "$T/demo/2/Config.ini" "$T/demo/ttyQX1"
wait_windows "${PIDS[0]}" 2
echo "demo script: all cases passed"
