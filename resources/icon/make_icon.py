#!/usr/bin/env python3
"""Draws the setup's icon and writes it as a Windows .ico.

The picture: a page of writing with a folded corner, and a green arrow
pointing down into it (something being put in place). Every image is drawn
from the same shapes at its own size, with 4x4 supersampling. The small
images are 32-bit BGRA bitmaps with an AND mask, which every Windows since
2000 reads; the 256-pixel one is stored as a PNG, as Windows Vista and later
read it (older systems never pick it: they use the 48-pixel image and below).
"""
import struct
import sys
import zlib

SIZES = (256, 48, 32, 16)
SS = 4  # supersampling per axis


def inside_page(x, y):
    # Page from (0.16,0.06) to (0.78,0.94) in unit coordinates, with a dog-ear.
    if not (0.16 <= x <= 0.78 and 0.06 <= y <= 0.94):
        return None
    if x + (0.06 + 0.16) - y > 0.78 + 0.0 and y < 0.22 and x > 0.62:
        return None  # the cut corner
    edge = min(x - 0.16, 0.78 - x, y - 0.06, 0.94 - y)
    return edge


def sample(x, y, size):
    """Colour (r, g, b, a) of one sub-sample in unit coordinates."""
    stroke = max(1.0 / size, 0.012)
    # The green arrow sits in front of the page.
    ax0, ax1 = 0.52, 0.72
    if ax0 <= x <= ax1 and 0.42 <= y <= 0.66:
        return (40, 150, 60, 255)
    if 0.66 <= y <= 0.92:
        half = (0.92 - y) * (0.21 / 0.26)
        if abs(x - 0.62) <= half:
            return (40, 150, 60, 255) if abs(x - 0.62) <= half - stroke * 1.4 or y >= 0.92 - stroke * 1.4 else (20, 90, 35, 255)
    # Folded corner triangle.
    if 0.62 <= x <= 0.78 and 0.06 <= y <= 0.22 and (x - 0.62) <= (y - 0.06):
        return (200, 205, 215, 255) if (x - 0.62) < (y - 0.06) - stroke else (90, 95, 110, 255)
    e = inside_page(x, y)
    if e is None:
        return (0, 0, 0, 0)
    if e < stroke or (0.62 < x and y < 0.22 and abs((x - 0.62) - (y - 0.06)) < stroke):
        return (90, 95, 110, 255)
    # Lines of text, fewer at small sizes so they stay readable.
    rows = 7 if size >= 48 else (4 if size >= 32 else 3)
    for i in range(rows):
        top = 0.28 + i * (0.58 / rows)
        right = 0.70 if i % 3 != 2 else 0.52
        if i == 0:
            right = 0.56
        if top <= y <= top + 0.58 / rows * 0.45 and 0.24 <= x <= right:
            return (40, 80, 170, 255)
    return (250, 250, 252, 255)


def render(size):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = sample((px + (sx + 0.5) / SS) / size, (py + (sy + 0.5) / SS) / size, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a)))
        pixels.append(row)
    return pixels


def dib(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def png(size, pixels):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter: the picture is mostly flat runs that deflate well anyway
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


def main(out_path):
    images = [(s, png(s, render(s)) if s == 256 else dib(s, render(s))) for s in SIZES]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, blob in images:
        dim = 0 if s == 256 else s
        data += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in images:
        data += blob
    with open(out_path, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
