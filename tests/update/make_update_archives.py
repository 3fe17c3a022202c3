#!/usr/bin/python3
"""Writes the update archives the update client's tests download.

  make_update_archives.py OUT_DIR SETUP_STUB_EXE

  update.zip     the setup program under both names and a Files folder
  nosetup.zip    a Files folder only
  traversal.zip  the setup program, a Files folder and entries that climb out of it
  Update.EXE     an update that is a program: the stub itself
  damaged.zip    update.zip with the stored check value of one payload entry wrong
  unknown.zip    fifty entries of a method the zip component cannot unpack (bzip2)
"""
import os
import sys
import zipfile


def write(path, entries, method=zipfile.ZIP_DEFLATED):
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w", method) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(name, (2026, 1, 2, 3, 4, 6))
            info.compress_type = method
            z.writestr(info, data)
    os.replace(tmp, path)


def spoil_crc(path, name):
    """Changes the check value of the entry NAME in its local and its central header."""
    with zipfile.ZipFile(path) as z:
        local = z.getinfo(name).header_offset
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        data[local + 14] ^= 0xFF
        central = data.find(b"PK\x01\x02")
        while central >= 0:
            length = int.from_bytes(data[central + 28:central + 30], "little")
            if data[central + 46:central + 46 + length] == name.encode():
                data[central + 16] ^= 0xFF
                break
            central = data.find(b"PK\x01\x02", central + 4)
        f.seek(0)
        f.write(data)


def main(out, stub):
    with open(stub, "rb") as f:
        setup = f.read()
    files = [("Files/Quorlix.exe", b"new program"), ("Files/Quorlix.chm", b"new help")]
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "update.zip"),
          [("_vqupdate.exe", setup), ("Update_Quorlix.exe", setup)] + files)
    write(os.path.join(out, "nosetup.zip"), files)
    write(os.path.join(out, "traversal.zip"),
          [("Update_Quorlix.exe", setup), ("..\\evil1.txt", b"out"), ("../evil2.txt", b"out"),
           ("Files/../../evil3.txt", b"out")] + files)
    damaged = os.path.join(out, "damaged.zip.tmp")
    write(damaged, [("_vqupdate.exe", setup), ("Update_Quorlix.exe", setup)] + files)
    spoil_crc(damaged, "Files/Quorlix.chm")
    os.replace(damaged, os.path.join(out, "damaged.zip"))
    write(os.path.join(out, "unknown.zip"),
          [("Files/f%02d.txt" % i, b"text") for i in range(50)], zipfile.ZIP_BZIP2)
    with open(os.path.join(out, "Update.EXE.tmp"), "wb") as f:
        f.write(setup)
    os.replace(os.path.join(out, "Update.EXE.tmp"), os.path.join(out, "Update.EXE"))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
