#!/usr/bin/env python3
"""Runs a program that crashes through the tree's Wine launcher, several times, and checks
that each run ends by itself within a short limit, with a failing status and the crash
named in its output. A prefix that shows Wine's crash dialog holds the run until the
limit; one whose debugger takes the crash ends it now and then with status 0.

Usage: crash_fails_fast.py LAUNCHER PROGRAM"""
import os
import signal
import subprocess
import sys

LIMIT_S = 30
RUNS = 10

launcher, program = sys.argv[1:3]
for attempt in range(1, RUNS + 1):
    run = subprocess.Popen([launcher, program], stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                           start_new_session=True)
    try:
        output, _ = run.communicate(timeout=LIMIT_S)
    except subprocess.TimeoutExpired:
        os.killpg(run.pid, signal.SIGKILL)
        run.communicate()
        sys.exit(f"FAIL: run {attempt}: the crashing program was still running after {LIMIT_S} s")
    text = output.decode(errors="replace")
    if run.returncode == 0:
        sys.stdout.write(text)
        sys.exit(f"FAIL: run {attempt}: the crashing program ended with status 0")
    if "unhandled page fault" not in text.lower():
        sys.stdout.write(text)
        sys.exit(f"FAIL: run {attempt}: status {run.returncode}, but the output does not name the crash")
sys.stdout.write(text)
print(f"{RUNS} runs crashed, each with status {run.returncode} and the crash named")
