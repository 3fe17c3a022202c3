#!/usr/bin/env python3
"""Runs each extractor on each archive, RUNS rounds. Within a round every tool runs once,
ours alternating with each peer (ours, peer 1, ours, peer 2, ...), the peers' order
turning from round to round, so that a burst of load from elsewhere hits both sides of a
pair alike. Prints per tool the median wall time with its spread (lowest..highest), CPU
time, throughput and peak RSS, and our time against the tool's as the median of the
per-pair ratios, with their spread. The machine's load average is printed before and
after: on a shared machine the figures mean little without it.

Each run writes into a new folder below QZ_BENCH_OUT, by default a folder in /dev/shm
(tmpfs), deleted after the run. Not the disk by default: ext4 without a
journal (as on the machines here) passes over inodes freed in the last minutes when it
makes a file, at a cost that grows with their number, so that deleting 20,000 files
charges whichever tool makes files next, for minutes, and outweighs what the tools do.

Usage: timing.py WORKDIR BENCH_EXE
Environment: QZ_BENCH_RUNS (rounds, default 9), QZ_BENCH_CASES (a, b or ab; default ab),
QZ_BENCH_OUT (folder for the outputs), QZ_BENCH_BASELINE (another build of extract_bench,
timed as the peer "before")."""
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
SHM = "/dev/shm"
OUT = os.environ.get("QZ_BENCH_OUT") or (
    os.path.join(SHM, "qz-bench-unzip-%d" % os.getpid()) if os.path.isdir(SHM)
    else os.path.join(WORK, "out"))


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


def file_system(path):
    """Type of the file system holding Path, from /proc/mounts (longest mount point)."""
    path, best, kind = os.path.realpath(path), "", "?"
    try:
        with open("/proc/mounts") as f:
            for line in f:
                point, fs = line.split()[1:3]
                if (path == point or path.startswith(point.rstrip("/") + "/")) and len(point) > len(best):
                    best, kind = point, fs
    except OSError:
        pass
    return kind


def table(label, archive, with_floor):
    size = sum(i.file_size for i in zipfile.ZipFile(archive).infolist())
    outputs = OUT
    shutil.rmtree(outputs, ignore_errors=True)
    os.makedirs(outputs)
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
        result = run_once([part.replace(dest, folder) for part in command], folder)
        shutil.rmtree(folder)
        return result

    runs = {name: [] for name, _ in [ours] + others}
    ratios = {name: [] for name, _ in others}
    print("\n%s: %s, %.0f MiB uncompressed; %d rounds, output on %s; load average before %s"
          % (label, os.path.basename(archive), size / 2**20, RUNS, file_system(outputs), load()),
          flush=True)
    for r in range(RUNS):
        turn = r % len(others)
        for name, command in others[turn:] + others[:turn]:
            mine = run(ours[1])
            theirs = run(command)
            runs["ours"].append(mine)
            runs[name].append(theirs)
            ratios[name].append(mine[0] / theirs[0])
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
    shutil.rmtree(outputs)
    missing = {"unzip", "bsdtar", "7zz"} - set(runs)
    if missing:
        print("not installed, not timed: %s" % ", ".join(sorted(missing)))


if "a" in CASES:
    table("(a) one large entry", os.path.join(WORK, "big.zip"), True)
if "b" in CASES:
    table("(b) many small entries", os.path.join(WORK, "many.zip"), False)
