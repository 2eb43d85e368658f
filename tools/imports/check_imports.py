#!/usr/bin/env python3
"""Checks that shipped executables start on the oldest Windows they name.

Under Wine every import resolves, so only the import table tells whether the
loader of an old Windows would refuse a file. Each FILE:FLOOR argument names a
32-bit executable and the oldest systems it must load on:
  nt4-98   Windows NT 4.0 and Windows 98 (the setup, so that its refusal shows)
  2000     Windows 2000 (the word processor)
Every static import must be listed in the table with its first Windows, and
be no newer than the floor, and the table lists nothing else; only DLLs the table knows (Windows' own) may be
imported; the header must say 32-bit x86, Windows GUI, subsystem version 4.0.
Exits 1 with every fault listed.
"""
import argparse
import struct
import sys

FLOORS = {"nt4-98": ("4.0", "98"), "2000": ("5.0", None)}
NT_ORDER = ["3.1", "3.5", "3.51", "4.0", "5.0", "5.1", "5.2", "6.0", "6.1", "6.2", "6.3", "10.0"]
NINE_X_ORDER = ["95", "98", "me", "none"]

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_WINDOWS_GUI = 2


class PeError(Exception):
    pass


def load_table(path):
    table, faults = {}, []
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n") for line in f if line.strip() and not line.startswith("#")]
    header, body = rows[0].split("\t"), rows[1:]
    if header[:5] != ["dll", "function", "nt", "win9x", "source"]:
        raise SystemExit(f"{path}: unexpected header {header}")
    for n, row in enumerate(body, 2):
        cols = row.split("\t")
        if len(cols) < 5:
            faults.append(f"table row {n}: {len(cols)} columns: {row!r}")
            continue
        dll, fn, nt, nine, source = cols[:5]
        if nt not in NT_ORDER or nine not in NINE_X_ORDER:
            faults.append(f"table: {dll}!{fn}: unknown version nt={nt!r} win9x={nine!r}")
        if not source.startswith("https://learn.microsoft.com/"):
            faults.append(f"table: {dll}!{fn}: no reference page")
        key = (dll.lower(), fn)
        if key in table:
            faults.append(f"table: {dll}!{fn} listed twice")
        table[key] = (nt, nine)
    return table, faults


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, nsections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != PE32_MAGIC:
            raise PeError(f"not a 32-bit image (optional header magic {self.magic:#x})")
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        ndirs = struct.unpack_from("<I", data, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        for i in range(nsections):
            s = opt + opt_size + 40 * i
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((va, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return rawptr + rva - va
        raise PeError(f"address {rva:#x} lies in no section")

    def cstr(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def imports(self):
        """Yields (dll, name); name is '#ordinal' for an import by number."""
        rva, _ = self.directory(1)
        if not rva:
            return
        at = self.offset(rva)
        while True:
            lookup, _, _, name_rva, thunk = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name_rva or thunk):
                return
            dll = self.cstr(name_rva)
            entry = self.offset(lookup or thunk)
            while True:
                (value,) = struct.unpack_from("<I", self.data, entry)
                if not value:
                    break
                yield dll, f"#{value & 0xFFFF}" if value & 0x80000000 else self.cstr(value + 2)
                entry += 4
            at += 20


def version_index(order, value):
    return order.index(value) if value in order else len(order)


def check_file(path, floor_name, table, used):
    floor_nt, floor_9x = FLOORS[floor_name]
    faults = []
    try:
        with open(path, "rb") as f:
            pe = Pe(f.read())
        if pe.machine != IMAGE_FILE_MACHINE_I386:
            faults.append(f"machine {pe.machine:#x}, not 32-bit x86")
        if pe.subsystem != SUBSYSTEM_WINDOWS_GUI:
            faults.append(f"subsystem {pe.subsystem}, not Windows GUI")
        if pe.subsystem_version != (4, 0):
            faults.append("subsystem version %d.%d, not 4.0" % pe.subsystem_version)
        if pe.directory(13)[0]:
            faults.append("delay-loaded imports, which this check does not read")
        known_dlls = {dll for dll, _ in table}
        count = 0
        for dll, name in pe.imports():
            count += 1
            key = (dll.lower(), name)
            used.add(key)
            if key[0] not in known_dlls:
                faults.append(f"{dll}!{name}: {dll} is not one of Windows' own DLLs in the table")
            elif key not in table:
                faults.append(f"{dll}!{name}: not in the table")
            else:
                nt, nine = table[key]
                if version_index(NT_ORDER, nt) > version_index(NT_ORDER, floor_nt):
                    faults.append(f"{dll}!{name}: first in Windows NT {nt}, newer than {floor_nt}")
                if floor_9x and version_index(NINE_X_ORDER, nine) > version_index(NINE_X_ORDER, floor_9x):
                    first = "in no Windows 9x" if nine == "none" else f"first in Windows {nine}"
                    faults.append(f"{dll}!{name}: {first}, newer than {floor_9x}")
        if count == 0:
            faults.append("no imports found")
    except (OSError, PeError, struct.error, ValueError, UnicodeDecodeError) as e:
        faults.append(f"cannot be read as a PE file: {e}")
        count = 0
    return count, faults


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("table")
    ap.add_argument("files", nargs="+", metavar="FILE:FLOOR")
    args = ap.parse_args()
    table, faults = load_table(args.table)
    used = set()
    for arg in args.files:
        path, _, floor = arg.rpartition(":")
        if floor not in FLOORS:
            ap.error(f"{arg}: floor must be one of {', '.join(FLOORS)}")
        count, file_faults = check_file(path, floor, table, used)
        faults += [f"{path}: {fault}" for fault in file_faults]
        print(f"{path}: {count} imports, floor {floor}: {'FAILED' if file_faults else 'ok'}")
    # The table is the list of what the files import, no more.
    faults += [f"table: {dll}!{fn} is imported by none of the files" for dll, fn in sorted(set(table) - used)]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
