#!/usr/bin/python3
"""Builds the folder tree the scan tests walk: names without, with trailing and with
leading dots, case variants, odd characters, read-only, hidden and system files (Wine
reads user.DOSATTRIB), hidden and read-only folders, a link back to the root and a
sparse file beyond 4 GiB. Usage: make_scan_tree.py <folder> (replaced if present)."""
import os
import shutil
import stat
import sys

DOS_ATTRIB = "user.DOSATTRIB"


def make_writable(func, path, _):
    os.chmod(os.path.dirname(path), 0o755)
    os.chmod(path, 0o755)
    func(path)


def write(path, size):
    with open(path, "wb") as f:
        f.write(b"x" * size)


def main(root):
    if os.path.lexists(root):
        shutil.rmtree(root, onerror=make_writable)
    os.makedirs(root)
    files = {
        "README": 10,            # no dot: not counted
        "name.": 10,             # trailing dot: not counted
        ".profile": 3,           # a dot-file, hidden under Wine
        "archive.tar.gz": 100,
        "Photo.JPG": 1000,
        "photo.jpg": 2000,
        "a.txt": 1600,
        "ro.txt": 50,
        "hid.dat": 7,
        "sys.dat": 8,
        "hs.dat": 9,
        "tmp1.tmp": 5,
        'we"ird.q"t': 1,
        "a,b.c,d": 1,
        "tab\tin.t\tx": 1,
        "na\u00efve.\u00c4\u00d6": 1,
        "x.\u00e4\u00f6": 1,
        "sub/inner.txt": 100,
        "sub/deeper/deep.txt": 100,
        ".hiddendir/h.txt": 100,
        "rodir/r.txt": 100,
    }
    for name, size in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write(path, size)
    for name, attrib in (("hid.dat", b"0x2"), ("sys.dat", b"0x4"), ("hs.dat", b"0x6")):
        os.setxattr(os.path.join(root, name), DOS_ATTRIB, attrib)
    with open(os.path.join(root, "big.iso"), "wb") as f:
        f.truncate(5 << 30)
    os.symlink("..", os.path.join(root, "sub", "loop"))
    ro = stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH
    os.chmod(os.path.join(root, "ro.txt"), ro)
    os.chmod(os.path.join(root, "rodir"), ro | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)


if __name__ == "__main__":
    main(sys.argv[1])
