#!/usr/bin/env python3
"""Floods qxsim from hosts that never read, then stops and asks once more.

Usage: tools/flood_bench.py QXSIM [SECONDS]

Module 0's host writes read-all requests at 9600 baud without pause, module 1's host writes raw
data that goes over the air to module 0; neither reads. Prints qxsim's resident size every 10 s,
its CPU use during the flood, its standard error line count, and how long a channel read, sent
straight after the flood (once the frame begun is finished), takes to be answered.
"""
import os
import select
import subprocess
import sys
import tempfile
import termios
import time
import tty


def frame(code, payload):
    body = bytes.fromhex("5A5A00005A" + code + "%02X" % (len(payload) // 2) + payload)
    return body + bytes([sum(body) & 0xFF]) + b"\r\n"


def open_host(path):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    tty.setraw(fd)
    attrs = termios.tcgetattr(fd)
    attrs[4] = attrs[5] = termios.B9600
    termios.tcsetattr(fd, termios.TCSANOW, attrs)
    return fd


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    qxsim = sys.argv[1]
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    errors = tempfile.TemporaryFile()
    sim = subprocess.Popen([qxsim, "--modules", "2"], stdout=subprocess.PIPE, stderr=errors)
    paths = [sim.stdout.readline().decode().strip() for _ in range(2)]
    requests, raw = open_host(paths[0]), open_host(paths[1])
    streams = {requests: frame("8015", "0000") * 64, raw: b"x" * 1024}
    offsets = dict.fromkeys(streams, 0)

    start, cpu_start = time.monotonic(), cpu_seconds(sim.pid)
    print("RSS at 0 s: %d kB" % rss_kb(sim.pid))
    sample = 10
    while time.monotonic() - start < seconds:
        for fd in select.select([], list(streams), [], 0.1)[1]:
            data = streams[fd]
            try:
                offsets[fd] = (offsets[fd] + os.write(fd, data[offsets[fd]:])) % len(data)
            except BlockingIOError:
                pass
        if time.monotonic() - start >= sample:
            print("RSS at %d s: %d kB" % (sample, rss_kb(sim.pid)))
            sample += 10
    cpu = (cpu_seconds(sim.pid) - cpu_start) / (time.monotonic() - start)
    print("CPU during the flood: %.0f %%" % (cpu * 100))

    request = streams[requests][:13]
    while offsets[requests] % len(request):
        select.select([], [requests], [], 0.1)
        end = (offsets[requests] // len(request) + 1) * len(request)
        try:
            offsets[requests] += os.write(requests, streams[requests][offsets[requests]:end])
        except BlockingIOError:
            pass

    answer = frame("0006", "0100")  # channel 1, the default
    asked = time.monotonic()
    os.write(requests, frame("8006", "0000"))
    got = b""
    while answer not in got and time.monotonic() - asked < 120:
        if select.select([requests], [], [], 0.1)[0]:
            got = (got + os.read(requests, 65536))[-65536:]
    if answer in got:
        print("channel read answered %.2f s after the flood" % (time.monotonic() - asked))
    else:
        print("channel read not answered in 120 s")

    sim.terminate()
    sim.wait()
    errors.seek(0)
    lines = errors.read().decode().splitlines()
    print("standard error: %d lines" % len(lines))
    for line in lines[:3]:
        print("  " + line)


main()
