#!/usr/bin/env python3
"""Writes the seed corpus: a small payload packed by vpack from three shipped
records, the damaged streams and archives the unit tests use, and manifests.
Run once by hand; the seeds are kept in corpus/.

    make_seeds.py VPACK
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)
sys.path.insert(0, os.path.join(root, "product", "content", "gen"))
import templates  # noqa: E402


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def record(name, stamp, data, size=None):
    size = len(data) if size is None else size
    return bytes([len(name)]) + name + struct.pack("<di", stamp, size) + data


small_manifest = (
    "// Three shipped records\r\n"
    "License.txt\t2019-08-02 10:15:00\tcontent/License.txt\r\n"
    "userdicen.tlx\t2000-03-11 10:00:00\tcontent/userdicen.tlx\r\n"
    "Templates\\Faxes\\Fax 1.rtf\t2004-06-01 12:00:00\t$BUILD/Fax 1.rtf\r\n")
with tempfile.TemporaryDirectory() as tmp:
    os.makedirs(os.path.join(tmp, "content"))
    for name in ("License.txt", "userdicen.tlx"):
        shutil.copy(os.path.join(root, "product", "content", name), os.path.join(tmp, "content"))
    with open(os.path.join(tmp, "Fax 1.rtf"), "wb") as f:
        f.write(templates.TEMPLATES["Faxes\\Fax 1.rtf"]())
    manifest = os.path.join(tmp, "small.manifest")
    stream = os.path.join(tmp, "payload.zlib")
    with open(manifest, "w", newline="") as f:
        f.write(small_manifest)
    subprocess.run([sys.argv[1], "--manifest", manifest, "--build-dir", tmp, "--out", stream], check=True)
    z = open(stream, "rb").read()

write("payload", "three-records", z)
flipped = bytearray(z)
flipped[len(z) // 2] ^= 0x55
write("payload", "cut-short", z[: len(z) // 2])
write("payload", "missing-trailer", z[:-2])
write("payload", "corrupt", bytes(flipped))
write("payload", "bad-checksum", z[:-1] + bytes([z[-1] ^ 1]))
write("payload", "trailing-bytes", z + b"junk")
write("payload", "not-zlib", b"this is not a zlib stream")

good = record(b"a.txt", 1.0, b"hello")
archives = {
    "empty-archive": b"",
    "header-cut-in-name": good[:4],
    "header-cut-in-size": good[:16],
    "data-cut-short": good[:-1],
    "size-past-end": record(b"b", 1.0, b"xyz", 1000),
    "negative-size": record(b"b", 1.0, b"xyz", -5),
    "huge-size": record(b"b", 1.0, b"xyz", 0x7FFFFFFF),
    "empty-name": record(b"", 1.0, b"abc") + record(b"next", 2.0, b"d"),
    "unsafe-names": b"".join(record(n, 36596.5, b"x") for n in (b"..\\x", b"a\\. .\\b", b"C:x", b"a/b")),
    "zeros": record(b"zeros.bin", 40000.0, bytes(64 << 10)) + record(b"tail.txt", 40000.0, b"end"),
}
for name, archive in archives.items():
    write("payload", name, zlib.compress(archive, 9))

write("manifest", "small", small_manifest.encode())
with open(os.path.join(root, "product", "payload.manifest"), "rb") as f:
    write("manifest", "shipped", f.read())
refused = [
    "a.txt\t2019-08-24 20:31:14\tx\nA.TXT\t2019-08-24 20:31:14\tx\n",
    "a.txt\t2019-08-24 20:31:15\tx\n",
    "a.txt\t2019-08-24 20:31:14.5\tx\n",
    "a.txt\t1979-12-31 23:59:58\tx\n",
    "a.txt\t2108-01-01 00:00:00\tx\n",
    "a.txt\t2019-02-29 00:00:00\tx\n",
    "a.txt\t2019-08-24 20:31:14\n",
    "a.txt\t2019-08-24 20:31:14\t\n",
    "\\a.txt\t2019-08-24 20:31:14\tx\n",
    "..\\evil.exe\t2019-08-24 20:31:14\tx\n",
    "a\\\\b\t2019-08-24 20:31:14\tx\n",
]
for i, text in enumerate(refused):
    write("manifest", "refused-%02d" % i, text.encode())
write("manifest", "accented", b"caf\xe9.txt\t2019-08-24 20:31:14\tx\nCAF\xc9.TXT\t2019-08-24 20:31:14\tx\n")
write("manifest", "dos-range-ends", b"a.txt\t1980-01-01 00:00:00\tx\nb.txt\t2107-12-31 23:59:58\tx\n")
