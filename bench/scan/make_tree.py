#!/usr/bin/env python3
"""Generates the scan benchmark's tree: FOLDERS folders (two levels) holding FILES
files in all, named with EXTS extensions (some in capitals), sizes from 0 to 64 KiB
as sparse files. Kept when a stamp with the same figures is there.

Usage: make_tree.py WORKDIR [FILES FOLDERS EXTS]"""
import os
import random
import shutil
import sys

work = sys.argv[1]
files, folders, exts = (int(v) for v in (sys.argv[2:5] if len(sys.argv) > 4 else (200000, 2000, 300)))
root = os.path.join(work, "tree")
stamp = os.path.join(work, "tree.stamp")
want = f"{files} {folders} {exts}\n"
if os.path.exists(stamp) and open(stamp).read() == want:
    sys.exit(0)
shutil.rmtree(root, ignore_errors=True)
rng = random.Random(1)
names = [f"x{i:03d}" for i in range(exts)]
top = max(1, int(folders ** 0.5))
per_folder = files // folders
for f in range(folders):
    folder = os.path.join(root, f"d{f % top:02d}", f"s{f:04d}")
    os.makedirs(folder)
    for i in range(per_folder):
        ext = rng.choice(names)
        if rng.random() < 0.1:
            ext = ext.upper()
        with open(os.path.join(folder, f"f{i:03d}.{ext}"), "wb") as out:
            out.truncate(rng.randrange(65536))
with open(stamp, "w") as s:
    s.write(want)
