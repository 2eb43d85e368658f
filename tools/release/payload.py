#!/usr/bin/env python3
"""Unpacks the payload a setup carries: its FILES resource, inflated.

  payload.py SETUP.exe --archive OUT        the whole inflated archive
  payload.py SETUP.exe --extract NAME OUT   one record's bytes (e.g. vlm.exe)

The archive holds every shipped file uncompressed, so a search of it sees
what a search of the compressed setup cannot.
"""
import argparse
import struct
import subprocess
import sys
import zlib


def archive_of(setup):
    raw = subprocess.run(["wrestool", "-x", "--raw", "--type=FILES", "--name=FILES", setup],
                         check=True, stdout=subprocess.PIPE).stdout
    if not raw:
        sys.exit(f"payload: {setup} has no FILES resource")
    return zlib.decompress(raw)


def records(archive):
    """Yields (name, data) per record: name length, name, 8-byte time, 32-bit size, data."""
    at = 0
    while at < len(archive):
        n = archive[at]
        name = archive[at + 1:at + 1 + n].decode("cp1252")
        at += 1 + n + 8
        (size,) = struct.unpack_from("<I", archive, at)
        at += 4
        yield name, archive[at:at + size]
        at += size


def main():
    p = argparse.ArgumentParser()
    p.add_argument("setup")
    p.add_argument("--archive")
    p.add_argument("--extract", nargs=2, metavar=("NAME", "OUT"))
    a = p.parse_args()
    archive = archive_of(a.setup)
    if a.archive:
        with open(a.archive, "wb") as f:
            f.write(archive)
    if a.extract:
        found = [data for name, data in records(archive) if name == a.extract[0]]
        if not found:
            sys.exit(f"payload: no record {a.extract[0]} in {a.setup}")
        with open(a.extract[1], "wb") as f:
            f.write(found[0])


if __name__ == "__main__":
    main()
