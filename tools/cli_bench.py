#!/usr/bin/env python3
"""How long qxcli takes against qxsim: the search, and a read against its frames' wire time.

Usage: tools/cli_bench.py BIN_DIR [RUNS]

BIN_DIR holds qxcli and qxsim (build/bin). For a module at the factory setting, at the
window's step 1, 10 and 21 and at 57600 it prints the median wall time of `qxcli search` over
RUNS runs (default 5), each in a directory of its own so that no line found before leads it,
beside the window's pace ((k - 1) x 1.1 s from the press to the tick that tries step k; the
window never tries 57600); then the same search again where the line found is remembered. Then, at 1200 and 9600 baud, the
median wall time of `qxcli read --baud` beside the time its frames take on the wire, each way,
summed from its --trace lines (10 bits a byte, no parity), and the number of exchanges. qxsim
takes requests at the module's rate but hands its answers over at once, so against it only the
outgoing wire time is spent.
Not run by ctest: the figures depend on the machine.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

BAUDS = [600, 1200, 2400, 4800, 9600, 19200, 38400]
PARITIES = ["even", "odd", "none"]
RATE_CODES = {600: 1, 1200: 2, 2400: 3, 4800: 4, 9600: 5, 19200: 6, 38400: 7, 57600: 8}
PARITY_CODES = {"none": 0, "even": 1, "odd": 2}


def start_sim(qxsim, baud, parity):
    sim = subprocess.Popen([qxsim, "--serial-rate", str(RATE_CODES[baud]), "--parity",
                            str(PARITY_CODES[parity])], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    return sim, sim.stdout.readline().strip()


def timed(args, cwd=None):
    start = time.monotonic()
    run = subprocess.run(args, capture_output=True, text=True, cwd=cwd)
    return time.monotonic() - start, run


def search(qxcli, device, directory):
    took, run = timed([qxcli, "search", device], directory)
    if run.returncode != 0:
        sys.exit("search failed: " + run.stderr)
    found = next((" ".join(line.split()[3:]) for line in run.stdout.splitlines()
                  if line.startswith("found at try")), "?")
    return took, found


def bench_search(qxcli, qxsim, runs):
    print("search: qxcli wall time (median of %d) against the window" % runs)
    cases = [("factory", 9600, "none", 15), ("step 1", 600, "even", 1),
             ("step 10", 2400, "odd", 10), ("step 21", 38400, "none", 21),
             ("57600", 57600, "none", None)]
    for name, baud, parity, step in cases:
        sim, device = start_sim(qxsim, baud, parity)
        try:
            fresh, again = [], []
            for _ in range(runs):
                with tempfile.TemporaryDirectory() as directory:
                    took, found = search(qxcli, device, directory)
                    fresh.append(took)
                    took, remembered = search(qxcli, device, directory)
                    again.append(took)
            window = "%.1f s" % ((step - 1) * 1.1) if step else "never tried"
            print("  %-8s (%5d %-4s): %.2f s, found at try %s; remembered: %.2f s, try %s; "
                  "window %s" % (name, baud, parity, statistics.median(fresh), found,
                                 statistics.median(again), remembered, window))
        finally:
            sim.terminate()
            sim.wait()


def bench_read(qxcli, qxsim, runs):
    print("read: qxcli wall time (median of %d) against its frames' wire time" % runs)
    for baud in (1200, 9600):
        sim, device = start_sim(qxsim, baud, "none")
        try:
            times = []
            wire = {"out": 0.0, "in": 0.0}
            exchanges = 0
            for _ in range(runs):
                took, run = timed([qxcli, "read", device, "--baud", str(baud), "--trace"])
                if run.returncode != 0:
                    sys.exit("read failed: " + run.stderr)
                times.append(took)
                lines = [line.split("\t") for line in run.stderr.splitlines()]
                for way in wire:
                    wire[way] = sum(int(fields[7]) * 10 / baud for fields in lines
                                    if len(fields) == 11 and fields[2] == way)
                exchanges = sum(1 for fields in lines if len(fields) == 11 and fields[2] == "out")
            print("  %5d baud: %.3f s for %d exchanges; on the wire %.3f s out, %.3f s in"
                  % (baud, statistics.median(times), exchanges, wire["out"], wire["in"]))
        finally:
            sim.terminate()
            sim.wait()


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    qxcli = os.path.abspath(os.path.join(sys.argv[1], "qxcli"))
    qxsim = os.path.join(sys.argv[1], "qxsim")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    bench_search(qxcli, qxsim, runs)
    bench_read(qxcli, qxsim, runs)


if __name__ == "__main__":
    main()
