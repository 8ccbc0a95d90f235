# Sourced by the process tests: a temporary folder $T, removed at exit once every process whose
# pid is in PIDS is stopped; fail shows what the processes wrote to $T/*.out.
T=$(mktemp -d)
PIDS=()
finish() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$T"
}
trap finish EXIT

fail() {
    echo "FAILED: $*" >&2
    for f in "$T"/*.out; do echo "--- $f" >&2; cat "$f" >&2; done
    exit 1
}
