#!/usr/bin/env python3
"""Prints what a setup executable's bytes are made of: each section by its
role, and the resource section by resource (icon, pictures, payload, manifest).

    size_report.py setup.exe [--markdown]

Sizes are the bytes each part takes in the file (raw section sizes, resource
data sizes); what is left over is headers, resource tables and alignment.
"""
import struct
import sys

RT_NAMES = {1: 'cursor', 2: 'bitmap', 3: 'icon', 14: 'icon', 24: 'manifest', 10: 'rcdata'}
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
                  'manifest': 'manifest'}
        for type_name, size in by_type.items():
            label = labels.get(type_name, 'resource %s' % type_name)
            parts[label] = parts.get(label, 0) + size
        parts['resource tables'] = rsrc[3] - sum(by_type.values())
    parts['headers and alignment'] = len(data) - sum(parts.values())
    order = ['payload', 'code', 'unwind tables', 'constants and texts', 'icon', 'pictures', 'manifest',
             'imports', 'relocations', 'data', 'resource tables', 'headers and alignment']
    rows = [(k, parts[k]) for k in order if k in parts] + \
           sorted((k, v) for k, v in parts.items() if k not in order)
    if markdown:
        print('| part | bytes | share |')
        print('|---|---:|---:|')
        for k, v in rows:
            print('| %s | %s | %.1f%% |' % (k, format(v, ','), 100.0 * v / len(data)))
        print('| **whole file** | **%s** | |' % format(len(data), ','))
    else:
        for k, v in rows:
            print('%-24s %10s  %5.1f%%' % (k, format(v, ','), 100.0 * v / len(data)))
        print('%-24s %10s' % ('whole file', format(len(data), ',')))


if __name__ == '__main__':
    main(sys.argv)
