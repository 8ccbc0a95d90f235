#!/usr/bin/env bash
# The README's qxcli session, run for real: a simulated QX871 in a bench folder of its own with
# COM1 mapped to it, each command printed after "$ " and followed by its output, the folder
# shown as $BENCH. The module is stopped by its pid and the folder removed at the end.
#
#   tools/cli_session.sh BIN_DIR            # print the session
#   tools/cli_session.sh BIN_DIR --check    # compare it with the README's block, show the diff
#   tools/cli_session.sh BIN_DIR --update   # write it into the README's block
set -euo pipefail

usage="usage: cli_session.sh BIN_DIR [--check | --update]"
BIN=$(cd "${1:?$usage}" && pwd)
MODE=${2:-}
case "$MODE" in '' | --check | --update) ;; *) echo "$usage" >&2; exit 64 ;; esac
README=$(cd "$(dirname "$0")/.." && pwd)/README.md
# The README's block is the indented block after the comment that starts with this.
MARK='<!-- tools/cli_session.sh'

# Each line is printed as it stands and run by this shell, so what the README shows is what ran.
SESSION=(
    'BENCH=$(mktemp -d); cd "$BENCH"'
    'qxsim --link . --model QX871 --number 17 --parity 1 --channel 3 >qxsim.log 2>&1 &'
    'printf "[Ports]\nCOM1=%s/ttyQX0\n" "$BENCH" >Config.ini'
    'qxcli ports'
    'qxcli search COM1                   # factory setting first; all 24 tries in about 3 s'
    'qxcli read COM1 > bench.ini         # [module] model=QX871 ..., [settings] channel=3 ...'
    "sed -i 's/^channel=3/channel=5/' bench.ini"
    'qxcli write COM1 bench.ini          # serial settings last, then reads everything back'
    'qxcli diff COM1 bench.ini --baud 9600 --parity even    # --baud skips the search'
    'echo 42 > counter'
    'qxcli sn COM1 --model QX871 --year 2026 --month 12 --counter counter'
    'cat counter'
    'qxcli write COM1 --set channel=40 --baud 9600 --parity even; echo $?'
)

# Prints the session on standard output; runs in a subshell of its own so that the session's
# cd and variables stay there.
run_session() (
    export PATH=$BIN:$PATH
    BENCH=
    SIM_PID=
    OUT=$(mktemp)
    finish() {
        cd /
        if [ -n "$SIM_PID" ]; then
            kill "$SIM_PID" 2>/dev/null || true
            wait "$SIM_PID" 2>/dev/null || true
        fi
        [ -n "$BENCH" ] && rm -rf "$BENCH"
        rm -f "$OUT"
    }
    trap finish EXIT
    for line in "${SESSION[@]}"; do
        echo "\$ $line"
        # A failing command is part of the session: its message is printed, the rest goes on.
        eval "$line" >"$OUT" 2>&1 </dev/null || true
        if [ -z "$SIM_PID" ] && [ -n "${!:-}" ]; then
            SIM_PID=$!
            # The module names its device a moment after it starts.
            for _ in $(seq 100); do
                [ -e "$BENCH/ttyQX0" ] && break
                kill -0 "$SIM_PID" 2>/dev/null || break
                sleep 0.1
            done
            [ -e "$BENCH/ttyQX0" ] || { cat "$BENCH/qxsim.log" >&2; echo "qxsim made no device" >&2; exit 1; }
        fi
        while IFS= read -r output || [ -n "$output" ]; do
            [ -n "$BENCH" ] && output=${output//"$BENCH"/\$BENCH}
            printf '%s\n' "$output"
        done <"$OUT"
    done
)

readme_block() {
    awk -v mark="$MARK" '
        state == 0 { if (index($0, mark) == 1) state = 1; next }
        state == 1 && /^    / { state = 2 }
        state == 2 { if (!/^    /) exit; print substr($0, 5) }' "$README"
}

case "$MODE" in
'') run_session ;;
--check)
    printed=$(run_session)
    if ! diff -u --label "README.md (the block after $MARK)" --label "printed by the session" \
        <(readme_block) <(printf '%s\n' "$printed"); then
        echo "The README's qxcli session differs from what it prints now (- README, + printed)." >&2
        echo "After a deliberate change, ./x session --update writes the printed one into the README." >&2
        exit 1
    fi
    echo "The README's qxcli session matches what it prints."
    ;;
--update)
    printed=$(run_session)
    [ -n "$(readme_block)" ] || { echo "no block after \"$MARK\" in $README" >&2; exit 1; }
    new=$(mktemp)
    trap 'rm -f "$new"' EXIT
    # The text goes through the environment: awk -v would read its backslashes as escapes.
    PRINTED=$printed awk -v mark="$MARK" '
        state == 0 { print; if (index($0, mark) == 1) state = 1; next }
        state == 1 && /^    / {
            n = split(ENVIRON["PRINTED"], lines, "\n")
            for (i = 1; i <= n; i++) print "    " lines[i]
            state = 2; next
        }
        state == 2 { if (/^    /) next; state = 3 }
        { print }' "$README" >"$new"
    cat "$new" >"$README"
    echo "README.md: the qxcli session block is what the session prints now."
    ;;
esac
