#!/usr/bin/env python3
"""How long qxcli takes on 8 modules in one call against one module alone.

Usage: tools/multi_bench.py BIN_DIR [RUNS]

BIN_DIR holds qxcli and qxsim (build/bin). qxsim serves 8 modules, each at another line
setting (600 even to 38400 odd), with its default 30 ms turnaround. For each of search, read
and write (--set channel=N) the median wall time over RUNS runs (default 3) of one qxcli call
on all 8 ports, and of the same call on each module alone; the sum of the three is set against
the slowest module alone (a call on 8 ports cannot end before its slowest port) and the target
of at most 1.5 times that.
Not run by ctest: the figures depend on the machine.
"""
import os
import statistics
import subprocess
import sys
import time

RATES = [1, 2, 3, 4, 5, 6, 7, 7]  # 600 .. 38400 baud
PARITIES = [1, 2, 0, 1, 2, 0, 1, 2]  # even, odd, none
NAMES = ["600 even", "1200 odd", "2400 none", "4800 even", "9600 odd", "19200 none",
         "38400 even", "38400 odd"]


def timed(args, runs):
    times = []
    for _ in range(runs):
        start = time.monotonic()
        run = subprocess.run(args + ["--quiet"], capture_output=True, text=True)
        times.append(time.monotonic() - start)
        if run.returncode != 0:
            sys.exit(" ".join(args) + " failed: " + run.stderr)
    return statistics.median(times)


def commands(ports):
    return {"search": ["search"] + ports,
            "read": ["read"] + ports,
            "write": ["write"] + ports + ["--set", "channel=4"]}


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    qxcli = os.path.join(sys.argv[1], "qxcli")
    qxsim = os.path.join(sys.argv[1], "qxsim")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    sim = subprocess.Popen([qxsim, "--modules", "8", "--model", "QX871",
                            "--serial-rate", ",".join(map(str, RATES)),
                            "--parity", ",".join(map(str, PARITIES))],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        ports = [sim.stdout.readline().strip() for _ in RATES]
        print("qxcli on 8 modules in one call against one module alone (median of %d)" % runs)
        together = {name: timed([qxcli] + args, runs) for name, args in commands(ports).items()}
        alone = []
        for port, line in zip(ports, NAMES):
            each = {name: timed([qxcli] + args, runs) for name, args in commands([port]).items()}
            alone.append(sum(each.values()))
            print("  alone at %-10s: search %.2f s, read %.2f s, write %.2f s, in all %.2f s"
                  % (line, each["search"], each["read"], each["write"], alone[-1]))
        total = sum(together.values())
        slowest = max(alone)
        print("  8 in one call     : search %.2f s, read %.2f s, write %.2f s, in all %.2f s"
              % (together["search"], together["read"], together["write"], total))
        print("  8 together / slowest alone: %.2f (target at most 1.5); / fastest alone: %.2f"
              % (total / slowest, total / min(alone)))
    finally:
        sim.terminate()
        sim.wait()


if __name__ == "__main__":
    main()
