#!/usr/bin/env python3
"""Runs each extractor on each archive into a fresh folder, best of RUNS, and prints
wall time, throughput (uncompressed MiB/s) and peak RSS, with our ratio to each.

Usage: timing.py WORKDIR BENCH_EXE"""
import os
import shutil
import subprocess
import sys
import time
import zipfile

WORK, BENCH = sys.argv[1], sys.argv[2]
RUNS = int(os.environ.get("QZ_BENCH_RUNS", "3"))


def tools(archive, dest):
    return [
        ("ours", [BENCH, "unzip", archive, dest]),
        ("unzip", ["unzip", "-o", "-qq", archive, "-d", dest]),
        ("bsdtar", ["bsdtar", "-xf", archive, "-C", dest]),
        ("7zz", ["7zz", "x", "-y", "-bd", "-bso0", "-o" + dest, archive]),
        ("python", [sys.executable, "-m", "zipfile", "-e", archive, dest]),
    ]


def run_once(command, dest):
    shutil.rmtree(dest, ignore_errors=True)
    os.makedirs(dest)
    os.sync()
    # GNU time reports the peak RSS of the tool itself (a child forked from python
    # would count python's pages too).
    report = os.path.join(WORK, "time.txt")
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + command,
                            stdout=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit("bench: %s failed (%d)" % (command[0], result.returncode))
    with open(report) as f:
        return elapsed, int(f.read().split()[-1])


def measure(command, dest):
    best, rss = None, 0
    for _ in range(RUNS):
        elapsed, peak = run_once(command, dest)
        best = elapsed if best is None else min(best, elapsed)
        rss = max(rss, peak)
    return best, rss


def table(label, archive, with_floor):
    size = sum(i.file_size for i in zipfile.ZipFile(archive).infolist())
    dest = os.path.join(WORK, "out")
    rows = []
    for name, command in tools(archive, dest):
        rows.append((name,) + measure(command, dest))
    if with_floor:
        os.makedirs(dest, exist_ok=True)
        rows.append(("floor",) + measure([BENCH, "floor", archive, os.path.join(dest, "floor.bin")], dest))
    ours = rows[0][1]
    print("\n%s: %s, %.0f MiB uncompressed" % (label, os.path.basename(archive), size / 2**20))
    print("%-8s %9s %10s %10s %12s" % ("tool", "time s", "MiB/s", "peak MiB", "ours/tool"))
    for name, seconds, rss in rows:
        print("%-8s %9.3f %10.1f %10.1f %12.2f" % (name, seconds, size / 2**20 / seconds, rss / 1024, ours / seconds))
    shutil.rmtree(dest, ignore_errors=True)


table("(a) one large entry", os.path.join(WORK, "big.zip"), True)
table("(b) many small entries", os.path.join(WORK, "many.zip"), False)
