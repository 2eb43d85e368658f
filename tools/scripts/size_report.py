#!/usr/bin/env python3
"""Prints what a setup executable's bytes are made of: each section by its
role, and the resource section by resource (icon, pictures, payload, manifest).

    size_report.py setup.exe [--markdown] [--map link.map]

Sizes are the bytes each part takes in the file (raw section sizes, resource
data sizes); what is left over is headers, resource tables and alignment.

With the linker's map of the same link (-Wl,-Map=link.map), the code, constants
and unwind tables are also split by the library they come from.
"""
import re
import struct
import sys

RT_NAMES = {1: 'cursor', 2: 'bitmap', 3: 'icon', 14: 'icon', 24: 'manifest', 10: 'rcdata', 16: 'version'}
# Libraries by what they are; the rest of the toolchain's files are the C
# runtime and Windows' import libraries, and whatever else is the setup's own.
LIBRARIES = {'libpng.a': 'libpng', 'libpng16.a': 'libpng', 'libstdc++.a': 'C++ runtime',
             'libgcc_eh.a': 'C++ unwinder', 'libz.a': 'zlib'}
MAP_SECTIONS = {'.text': 'code', '.rdata': 'constants', '.eh_frame': 'unwind'}
SECTION_ROLES = {
    '.text': 'code',
    '.eh_fram': 'unwind tables',
    '.eh_frame': 'unwind tables',
    '.pdata': 'unwind tables',
    '.xdata': 'unwind tables',
    '.rdata': 'constants and texts',
    '.data': 'data',
    '.idata': 'imports',
    '.reloc': 'relocations',
    '.CRT': 'data',
    '.tls': 'data',
}


def read_pe(data):
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise SystemExit('not a PE file')
    count, = struct.unpack_from('<H', data, pe + 6)
    opt_size, = struct.unpack_from('<H', data, pe + 20)
    table = pe + 24 + opt_size
    sections = []
    for i in range(count):
        name, vsize, va, raw_size, raw_ptr = struct.unpack_from('<8sIIII', data, table + 40 * i)
        sections.append((name.rstrip(b'\0').decode(), vsize, va, raw_size, raw_ptr))
    return sections


def resource_sizes(data, rsrc):
    """Bytes of resource data by type name (type, then name, then language)."""
    _, _, va, _, raw_ptr = rsrc
    base = raw_ptr
    sizes = {}

    def walk(offset, depth, type_name):
        named, ids = struct.unpack_from('<HH', data, base + offset + 12)
        for i in range(named + ids):
            ident, target = struct.unpack_from('<II', data, base + offset + 16 + 8 * i)
            if depth == 0:
                if ident & 0x80000000:
                    length, = struct.unpack_from('<H', data, base + (ident & 0x7FFFFFFF))
                    start = base + (ident & 0x7FFFFFFF) + 2
                    type_name = data[start:start + 2 * length].decode('utf-16-le')
                else:
                    type_name = RT_NAMES.get(ident, 'type %d' % ident)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, depth + 1, type_name)
            else:
                _, size = struct.unpack_from('<II', data, base + target)
                sizes[type_name] = sizes.get(type_name, 0) + size

    walk(0, 0, None)
    return sizes


def by_library(map_path):
    """Bytes of code, constants and unwind tables by library, from a GNU ld map."""
    sizes = {}
    section = None
    for line in open(map_path, errors='replace'):
        top = re.match(r'^(\.\S+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+', line)
        if top:
            section = MAP_SECTIONS.get(top.group(1))
            continue
        piece = re.match(r'^ \S*\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
        if not piece or not section:
            continue
        path = piece.group(2)
        archive = re.search(r'([^/\\]+\.a)\(', path)
        origin = LIBRARIES.get(archive.group(1)) if archive else None
        if not origin:
            origin = 'C runtime, Windows libraries' if path.startswith('/usr/') else "the setup's own code"
        row = sizes.setdefault(origin, {'code': 0, 'constants': 0, 'unwind': 0})
        row[section] += int(piece.group(1), 16)
    return sorted(sizes.items(), key=lambda item: -sum(item[1].values()))


def main(argv):
    path = argv[1]
    markdown = '--markdown' in argv
    data = open(path, 'rb').read()
    sections = read_pe(data)
    parts = {}
    for name, _, _, raw_size, _ in sections:
        if name == '.rsrc' or raw_size == 0:
            continue
        role = SECTION_ROLES.get(name, 'other (%s)' % name)
        parts[role] = parts.get(role, 0) + raw_size
    rsrc = next((s for s in sections if s[0] == '.rsrc'), None)
    if rsrc:
        by_type = resource_sizes(data, rsrc)
        labels = {'FILES': 'payload', 'PNG': 'pictures', 'bitmap': 'pictures', 'icon': 'icon',
                  'manifest': 'manifest', 'version': 'version'}
        for type_name, size in by_type.items():
            label = labels.get(type_name, 'resource %s' % type_name)
            parts[label] = parts.get(label, 0) + size
        parts['resource tables'] = rsrc[3] - sum(by_type.values())
    parts['headers and alignment'] = len(data) - sum(parts.values())
    order = ['payload', 'code', 'unwind tables', 'constants and texts', 'icon', 'pictures', 'manifest', 'version',
             'imports', 'relocations', 'data', 'resource tables', 'headers and alignment']
    rows = [(k, parts[k]) for k in order if k in parts] + \
           sorted((k, v) for k, v in parts.items() if k not in order)
    libraries = by_library(argv[argv.index('--map') + 1]) if '--map' in argv else []
    if markdown:
        print('| part | bytes | share |')
        print('|---|---:|---:|')
        for k, v in rows:
            print('| %s | %s | %.1f%% |' % (k, format(v, ','), 100.0 * v / len(data)))
        print('| **whole file** | **%s** | |' % format(len(data), ','))
        if libraries:
            print()
            print('| from | code | constants | unwind tables | together |')
            print('|---|---:|---:|---:|---:|')
            for name, row in libraries:
                print('| %s | %s | %s | %s | %s |' % (name, format(row['code'], ','), format(row['constants'], ','),
                                                     format(row['unwind'], ','), format(sum(row.values()), ',')))
    else:
        for k, v in rows:
            print('%-24s %10s  %5.1f%%' % (k, format(v, ','), 100.0 * v / len(data)))
        print('%-24s %10s' % ('whole file', format(len(data), ',')))
        if libraries:
            print()
            print('%-30s %10s %10s %10s %10s' % ('from', 'code', 'constants', 'unwind', 'together'))
            for name, row in libraries:
                print('%-30s %10s %10s %10s %10s' % (name, format(row['code'], ','), format(row['constants'], ','),
                                                     format(row['unwind'], ','), format(sum(row.values()), ',')))


if __name__ == '__main__':
    main(sys.argv)
