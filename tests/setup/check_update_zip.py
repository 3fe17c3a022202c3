#!/usr/bin/env python3
"""Checks dist/update.zip against dist/: every top-level file of Files under Files/,
and the setup program, byte for byte, as _vqupdate.exe and Update_Quorlix.exe."""
import os
import sys
import zipfile


def main(dist):
    expected = {}
    files_dir = os.path.join(dist, "Files")
    for name in os.listdir(files_dir):
        path = os.path.join(files_dir, name)
        if os.path.isfile(path):
            expected["Files/" + name] = path
    setup = os.path.join(dist, "_setup.exe")
    expected["_vqupdate.exe"] = setup
    expected["Update_Quorlix.exe"] = setup
    if "Files/Quorlix.exe" not in expected:
        sys.exit("dist/Files holds no Quorlix.exe")
    with zipfile.ZipFile(os.path.join(dist, "update.zip")) as z:
        names = sorted(z.namelist())
        if names != sorted(expected):
            sys.exit("entries %s, expected %s" % (names, sorted(expected)))
        for name, path in expected.items():
            with open(path, "rb") as f:
                if z.read(name) != f.read():
                    sys.exit("%s differs from %s" % (name, path))
    print("update.zip holds %d entries as expected" % len(names))


if __name__ == "__main__":
    main(sys.argv[1])
