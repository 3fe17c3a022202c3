#!/usr/bin/env python3
"""Runs each extractor on each archive, RUNS rounds. Within a round every tool runs once,
ours alternating with each peer (ours, peer 1, ours, peer 2, ...), the peers' order
turning from round to round, so that a burst of load from elsewhere hits both sides of a
pair alike. Prints per tool the median wall time with its spread (lowest..highest), CPU
time, throughput and peak RSS, and our time against the tool's as the median of the
per-pair ratios, with their spread. The machine's load average is printed before and
after: on a shared machine the figures mean little without it.

Each run writes into a new folder; a round's outputs are deleted together after it,
followed by a pause. ext4 without a journal passes over inodes freed in the last few
seconds when it makes a file, at a cost that grows with their number: deleting 20,000
files right before a run would charge that search to whichever tool runs next.

Usage: timing.py WORKDIR BENCH_EXE
Environment: QZ_BENCH_RUNS (rounds, default 9), QZ_BENCH_CASES (a, b or ab; default ab),
QZ_BENCH_BASELINE (another build of extract_bench, timed as the peer "before")."""
import os
import shutil
import statistics
import subprocess
import sys
import time
import zipfile

WORK, BENCH = sys.argv[1], sys.argv[2]
RUNS = int(os.environ.get("QZ_BENCH_RUNS", "9"))
CASES = os.environ.get("QZ_BENCH_CASES", "ab")
BASELINE = os.environ.get("QZ_BENCH_BASELINE")
# Seconds after a deletion until ext4 reuses the freed inodes without searching past them.
INODE_PAUSE = 11


def peers(archive, dest):
    found = [
        ("unzip", ["unzip", "-o", "-qq", archive, "-d", dest]),
        ("bsdtar", ["bsdtar", "-xf", archive, "-C", dest]),
        ("7zz", ["7zz", "x", "-y", "-bd", "-bso0", "-o" + dest, archive]),
        ("python", [sys.executable, "-m", "zipfile", "-e", archive, dest]),
    ]
    return [(name, command) for name, command in found if shutil.which(command[0])]


def run_once(command, dest):
    """Wall seconds, CPU seconds (user + system) and peak RSS in KiB of one run."""
    os.makedirs(dest)
    os.sync()
    # GNU time reports the CPU time and peak RSS of the tool itself (a child forked
    # from python would count python's pages too).
    report = os.path.join(WORK, "time.txt")
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", report] + command,
                            stdout=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit("bench: %s failed (%d)" % (command[0], result.returncode))
    with open(report) as f:
        user, system, rss = f.read().split()[-3:]
    return elapsed, float(user) + float(system), int(rss)


def load():
    return "%.1f %.1f %.1f" % os.getloadavg()


def spread(values, form):
    return (form + ".." + form) % (min(values), max(values))


def clear(outputs):
    if os.path.exists(outputs):
        shutil.rmtree(outputs)
        os.sync()
        time.sleep(INODE_PAUSE)


def table(label, archive, with_floor):
    size = sum(i.file_size for i in zipfile.ZipFile(archive).infolist())
    outputs = os.path.join(WORK, "out")
    clear(outputs)
    serial = iter(range(1 << 30))
    dest = "{dest}"  # replaced by a new folder for each run
    ours = ("ours", [BENCH, "unzip", archive, dest])
    others = peers(archive, dest)
    if BASELINE:
        others.insert(0, ("before", [BASELINE, "unzip", archive, dest]))
    if with_floor:
        others.append(("floor", [BENCH, "floor", archive, dest + "/floor.bin"]))

    def run(command):
        folder = os.path.join(outputs, str(next(serial)))
        return run_once([part.replace(dest, folder) for part in command], folder)
    runs = {name: [] for name, _ in [ours] + others}
    ratios = {name: [] for name, _ in others}
    print("\n%s: %s, %.0f MiB uncompressed; %d rounds, load average before %s"
          % (label, os.path.basename(archive), size / 2**20, RUNS, load()), flush=True)
    for r in range(RUNS):
        turn = r % len(others)
        for name, command in others[turn:] + others[:turn]:
            mine = run(ours[1])
            theirs = run(command)
            runs["ours"].append(mine)
            runs[name].append(theirs)
            ratios[name].append(mine[0] / theirs[0])
        clear(outputs)
    print("load average after %s" % load())
    print("%-7s %8s %15s %8s %8s %9s %9s %13s" % ("tool", "median s", "spread s", "CPU s",
                                                   "MiB/s", "peak MiB", "ours/tool", "ratio spread"))
    for name, samples in runs.items():
        wall = [s[0] for s in samples]
        median = statistics.median(wall)
        cpu = statistics.median(s[1] for s in samples)
        rss = max(s[2] for s in samples)
        line = "%-7s %8.3f %15s %8.3f %8.1f %9.1f" % (name, median, spread(wall, "%.3f"), cpu,
                                                      size / 2**20 / median, rss / 1024)
        if name in ratios:
            line += " %9.2f %13s" % (statistics.median(ratios[name]), spread(ratios[name], "%.2f"))
        print(line)
    missing = {"unzip", "bsdtar", "7zz"} - set(runs)
    if missing:
        print("not installed, not timed: %s" % ", ".join(sorted(missing)))


if "a" in CASES:
    table("(a) one large entry", os.path.join(WORK, "big.zip"), True)
if "b" in CASES:
    table("(b) many small entries", os.path.join(WORK, "many.zip"), False)
