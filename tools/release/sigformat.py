#!/usr/bin/env python3
"""Converts a detached Authenticode signature between the two forms that
osslsigncode versions read and write: the bare DER PKCS#7 (2.9) and the
same wrapped in its WIN_CERTIFICATE header, padded to 8 bytes (2.5).
Releases publish the bare form.

  sigformat.py IN OUT --der | --wrapped
"""
import struct
import sys


def der_of(data):
    if data[:1] != b"\x30":  # not DER: a WIN_CERTIFICATE header comes first
        length, revision, kind = struct.unpack_from("<IHH", data)
        if revision != 0x0200 or kind != 0x0002 or length > len(data):
            sys.exit("sigformat: neither a PKCS#7 signature nor a WIN_CERTIFICATE")
        data = data[8:length]
    if data[1] & 0x80:  # long-form DER length: the padding after it is not the signature's
        n = data[1] & 0x7F
        data = data[:2 + n + int.from_bytes(data[2:2 + n], "big")]
    return data


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in ("--der", "--wrapped"):
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        der = der_of(f.read())
    out = der
    if sys.argv[3] == "--wrapped":
        padded = der + b"\0" * (-len(der) % 8)
        out = struct.pack("<IHH", 8 + len(padded), 0x0200, 0x0002) + padded
    with open(sys.argv[2], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
