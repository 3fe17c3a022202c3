#!/usr/bin/env python3
"""Writes the benchmark archives into OUTDIR (once; kept between runs):
big.zip   one deflated file of BIG_MIB MiB (default 256), text and binary mixed
many.zip  MANY small deflated files (default 20,000) in up to 200 folders

Usage: make_archives.py OUTDIR [BIG_MIB MANY]"""
import os
import random
import sys
import zipfile

OUT = sys.argv[1]
BIG_MIB, MANY = (int(v) for v in (sys.argv[2:4] if len(sys.argv) > 3 else (256, 20000)))
os.makedirs(OUT, exist_ok=True)
STAMP = (2021, 6, 15, 12, 30, 10)


def big(path):
    rng = random.Random(1)
    words = [b"alpha", b"beta", b"gamma", b"delta", b"extract", b"window", b"archive", b"12345"]
    info = zipfile.ZipInfo("big.bin", STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED
    with zipfile.ZipFile(path + ".part", "w") as z, z.open(info, "w", force_zip64=True) as f:
        written = 0
        while written < BIG_MIB << 20:
            text = b" ".join(rng.choice(words) for _ in range(20000)) + b"\n"
            noise = rng.randbytes(40000)
            low = bytes(b & 0x0F for b in rng.randbytes(60000))
            for chunk in (text, noise, low):
                chunk = chunk[: (BIG_MIB << 20) - written]
                f.write(chunk)
                written += len(chunk)
    os.replace(path + ".part", path)


def many(path):
    rng = random.Random(2)
    with zipfile.ZipFile(path + ".part", "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(MANY):
            size = rng.randint(200, 6000)
            body = (b"file %d line\n" % i) * (size // 12 + 1)
            z.writestr(zipfile.ZipInfo("dir%03d/file%05d.txt" % (i % 200, i), STAMP), body[:size])
    os.replace(path + ".part", path)


for name, make in (("big.zip", big), ("many.zip", many)):
    target = os.path.join(OUT, name)
    if not os.path.exists(target):
        print("bench: writing", target, flush=True)
        make(target)
