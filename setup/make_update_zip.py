#!/usr/bin/env python3
"""Packs the update archive: every file at the top level of DIST/Files under Files/,
and DIST/_setup.exe as _vqupdate.exe and Update_Quorlix.exe."""
import os
import sys
import zipfile


def main(dist, archive):
    files_dir = os.path.join(dist, "Files")
    setup = os.path.join(dist, "_setup.exe")
    temp = archive + ".tmp"
    with zipfile.ZipFile(temp, "w", zipfile.ZIP_DEFLATED) as z:
        for name in sorted(os.listdir(files_dir)):
            path = os.path.join(files_dir, name)
            if os.path.isfile(path):
                z.write(path, "Files/" + name)
        for name in ("_vqupdate.exe", "Update_Quorlix.exe"):
            z.write(setup, name)
    os.replace(temp, archive)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_update_zip.py DIST ARCHIVE")
    main(sys.argv[1], sys.argv[2])
