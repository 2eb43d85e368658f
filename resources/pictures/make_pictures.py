#!/usr/bin/env python3
"""Draws the wizard's pictures and writes them into one folder.

    make_pictures.py OUTDIR

logo.png        120 x 260  the left strip: the product's page and pen on deep blue
logosmall.png    32 x 32   the same motif on white, for the header
fixeddrive.bmp   16 x 16   a hard disk            } 24-bit, drawn on the key colour,
removabledrive.bmp 16 x 16 a USB stick            } which is also the bottom-left
openfolder.bmp   16 x 14   an open folder         } pixel: the lists draw it
closedfolder.bmp 16 x 14   a closed folder        } transparent

Shapes are sampled 4 x 4 per pixel. The keyed bitmaps keep hard outer edges
(a half-covered pixel blended with the key colour would show a pink fringe), so
only edges between their own shapes are smoothed. The output depends on nothing
but this file: no time stamps, no text chunks.
"""
import math
import os
import struct
import sys
import zlib

SS = 4
KEY = (255, 0, 255)


def clamp(t, lo=0.0, hi=1.0):
    return lo if t < lo else hi if t > hi else t


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# --- Shapes: a point test and a bounding box (x0, y0, x1, y1) in pixels.

class Shape:
    def __init__(self, test, box):
        self.test = test
        self.box = box


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1))


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def test(x, y):
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside
    return Shape(test, (min(xs), min(ys), max(xs), max(ys)))


def round_rect(x0, y0, x1, y1, r):
    def test(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape(test, (x0, y0, x1, y1))


def circle(cx, cy, r):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                 (cx - r, cy - r, cx + r, cy + r))


def minus(a, b):
    return Shape(lambda x, y: a.test(x, y) and not b.test(x, y), a.box)


# --- Paints: colour (r, g, b, alpha 0..1) of a point inside a shape.

def solid(c, a=1.0):
    col = (c[0], c[1], c[2], a)
    return lambda x, y: col


def vgrad(c0, c1, y0, y1):
    return lambda x, y: mix(c0, c1, clamp((y - y0) / (y1 - y0))) + (1.0,)


def hgrad(c0, c1, x0, x1):
    return lambda x, y: mix(c0, c1, clamp((x - x0) / (x1 - x0))) + (1.0,)


class Picture:
    """Layers painted in order over a background, sampled SS x SS per pixel."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        self.background = background  # colour function of the pixel centre; None: keyed
        self.layers = []

    def fill(self, shape, paint):
        self.layers.append((shape, paint))

    def render(self):
        rows = []
        for py in range(self.h):
            row = []
            for px in range(self.w):
                live = [(s, p) for s, p in self.layers
                        if s.box[0] < px + 1 and s.box[2] > px and s.box[1] < py + 1 and s.box[3] > py]
                base = self.background(px + 0.5, py + 0.5) if self.background else (255, 255, 255)
                if not live:
                    row.append(tuple(round(v) for v in base) if self.background else KEY)
                    continue
                acc = [0.0, 0.0, 0.0]
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        x = px + (sx + 0.5) / SS
                        y = py + (sy + 0.5) / SS
                        c = base
                        hit = False
                        for shape, paint in live:
                            if shape.test(x, y):
                                r, g, b, a = paint(x, y)
                                if a > 0:
                                    c = (c[0] + (r - c[0]) * a, c[1] + (g - c[1]) * a, c[2] + (b - c[2]) * a)
                                    hit = True
                        if hit or self.background:
                            acc[0] += c[0]
                            acc[1] += c[1]
                            acc[2] += c[2]
                            hits += 1
                if not self.background and hits * 2 < SS * SS:
                    row.append(KEY)
                else:
                    px_colour = tuple(int(clamp(round(v / hits), 0, 255)) for v in acc)
                    if not self.background and px_colour == KEY:
                        px_colour = (254, 0, 254)  # never the key by accident
                    row.append(px_colour)
            rows.append(row)
        return rows


# --- The motif: a page of writing with a folded corner, and a fountain pen.

def add_page(pic, x0, y0, x1, y1, fold, lines, outline, shadow):
    """lines: (x_start, y_top, x_end, height, colour) in pixels."""
    page = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    if shadow:
        dx, dy, soft, strength = shadow
        for i in range(soft, 0, -1):
            grow = i - 1
            sh = polygon([(x0 + dx - grow, y0 + dy - grow), (x1 - fold + dx, y0 + dy - grow),
                          (x1 + dx + grow, y0 + fold + dy), (x1 + dx + grow, y1 + dy + grow),
                          (x0 + dx - grow, y1 + dy + grow)])
            pic.fill(sh, solid((0, 0, 20), strength / soft))
    pic.fill(page, solid(outline))
    inner = polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
                     (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)])
    pic.fill(inner, vgrad((255, 255, 255), (231, 236, 246), y0, y1))
    for lx0, ly, lx1, lh, colour in lines:
        pic.fill(rect(lx0, ly, lx1, ly + lh), solid(colour))
    # The dog-ear: the corner folded over, lit from the top left.
    ear = polygon([(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)])
    pic.fill(ear, solid(outline))
    ear_in = polygon([(x1 - fold + 1, y0 + 2.4), (x1 - 2.4, y0 + fold - 1), (x1 - fold + 1, y0 + fold - 1)])
    pic.fill(ear_in, lambda x, y: mix((246, 248, 252), (196, 206, 224), clamp((x - (x1 - fold)) / fold)) + (1.0,))


def add_pen(pic, tip, angle, length, width, shadow=None):
    """A fountain pen whose nib touches `tip`, lying at `angle` degrees above the
    horizontal, the barrel going up and to the right."""
    ux, uy = math.cos(math.radians(angle)), -math.sin(math.radians(angle))
    tx, ty = tip
    half = width / 2.0
    nib = length * 0.20
    grip = length * 0.14
    ring = max(1.2, length * 0.035)
    box = (min(tx, tx + ux * length) - width, min(ty, ty + uy * length) - width,
           max(tx, tx + ux * length) + width, max(ty, ty + uy * length) + width)

    def local(x, y, ox=0.0, oy=0.0):
        dx, dy = x - tx - ox, y - ty - oy
        return dx * ux + dy * uy, -dx * uy + dy * ux  # along the pen, across it

    def outline_at(u):
        if u < 0 or u > length:
            return -1.0
        if u < nib:
            return half * 0.85 * (u / nib) ** 0.8
        if u < nib + grip:
            return half * 0.80
        end = length - u
        if end < half:  # rounded end
            return math.sqrt(max(half * half - (half - end) ** 2, 0.0))
        return half

    def inside(x, y, ox=0.0, oy=0.0):
        u, v = local(x, y, ox, oy)
        return abs(v) <= outline_at(u)

    def shade(c, v, w):
        # A cylinder lit from above: bright band a little above the axis.
        t = clamp(v / w)
        k = 1.0 - (t + 0.35) ** 2 * 0.9 if t > -0.35 else 1.0 - (t + 0.35) ** 2 * 1.6
        k = 0.55 + 0.6 * clamp(k, 0.0, 1.0)
        return tuple(clamp(ch * k, 0, 255) for ch in c)

    def paint(x, y):
        u, v = local(x, y)
        w = max(outline_at(u), 0.5)
        if u < nib:
            if 0.25 * nib < u < 0.8 * nib and abs(v) < 0.28:
                return (96, 66, 18, 1.0)  # the slit
            return shade((236, 190, 84), v, w) + (1.0,)
        if u < nib + grip:
            return shade((52, 52, 60), v, w) + (1.0,)
        if length >= 40 and (u < nib + grip + ring or length - half * 1.6 - ring < u < length - half * 1.6):
            return shade((236, 190, 84), v, w) + (1.0,)
        return shade((150, 26, 44), v, w) + (1.0,)

    if shadow:
        sx, sy, strength = shadow
        pic.fill(Shape(lambda x, y: inside(x, y, sx, sy), (box[0] + sx, box[1] + sy, box[2] + sx, box[3] + sy)),
                 solid((0, 0, 30), strength))
    pic.fill(Shape(inside, box), paint)


def logo():
    w, h = 120, 260

    def background(x, y):
        t = y / h
        c = mix((30, 78, 160), (8, 26, 78), t ** 0.9)
        # A soft light behind the motif.
        d = math.hypot((x - 60) / 1.1, y - 112) / 95.0
        c = mix(c, (96, 150, 228), 0.32 * clamp(1 - d) ** 2)
        # Faint arcs sweeping up from the bottom left, antialiased analytically.
        r = math.hypot(x + 70, y - 330)
        for radius, strength in ((180, 0.10), (214, 0.07), (250, 0.05)):
            c = mix(c, (200, 220, 255), strength * clamp(1 - abs(r - radius) / 0.9))
        return c

    pic = Picture(w, h, background)
    x0, y0, x1, y1 = 24, 62, 90, 150
    ink = (34, 72, 160)
    grey = (150, 162, 190)
    lines = [(31, 77, 62, 3, ink)]
    y = 88
    for length in (50, 46, 51, 32, None, 49, 44, 36, 27):
        if length:
            lines.append((31, y, 31 + length, 2, grey))
        y += 6
    add_page(pic, x0, y0, x1, y1, 16, lines, (98, 118, 164), (3, 4, 4, 0.55))
    # The pen writes the last, unfinished line.
    add_pen(pic, (59.5, 137.2), 52, 82, 8.0, shadow=(3, 4, 0.35))
    return pic.render()


def logo_small():
    pic = Picture(32, 32, lambda x, y: (255, 255, 255))
    ink = (34, 72, 160)
    grey = (140, 152, 182)
    lines = [(8, 8, 16, 2, ink), (8, 12, 20, 1, grey), (8, 15, 19, 1, grey),
             (8, 18, 20, 1, grey), (8, 21, 14, 1, grey)]
    add_page(pic, 5, 3, 24, 28, 6, lines, (90, 108, 150), (1, 1, 2, 0.18))
    add_pen(pic, (14.6, 24.6), 52, 21, 5.0, shadow=(1, 1, 0.25))
    return pic.render()


# --- The small bitmaps of the drive box and the folder list.

OUTLINE = (72, 76, 88)


def fixed_drive():
    pic = Picture(16, 16)
    # A hard disk seen from the front and a little from above.
    pic.fill(polygon([(3, 5), (14, 5), (15, 8), (15, 13), (1, 13), (1, 8)]), solid(OUTLINE))
    pic.fill(polygon([(3.6, 6), (13.4, 6), (14.2, 8), (1.8, 8)]), solid((226, 228, 234)))
    pic.fill(rect(2, 8, 14, 12), vgrad((206, 208, 216), (150, 154, 166), 8, 12))
    pic.fill(rect(2, 8, 14, 9), solid((120, 124, 136)))
    pic.fill(rect(3, 10, 9, 11), solid((104, 108, 120)))  # vents
    pic.fill(rect(11, 10, 13, 11), solid((30, 200, 60)))  # activity light
    return pic.render()


def removable_drive():
    pic = Picture(16, 16)
    # A USB stick: a blue body and a metal plug.
    pic.fill(rect(9, 5, 15, 12), solid(OUTLINE))
    pic.fill(rect(10, 6, 14, 11), vgrad((236, 238, 242), (176, 180, 190), 6, 11))
    pic.fill(rect(11, 7, 13, 8), solid((70, 74, 86)))
    pic.fill(rect(11, 9, 13, 10), solid((70, 74, 86)))
    pic.fill(round_rect(1, 4, 11, 13, 2), solid((22, 50, 110)))
    pic.fill(round_rect(2, 5, 10, 12, 1.2), vgrad((92, 144, 226), (30, 76, 168), 5, 12))
    pic.fill(rect(3, 6, 8, 7), solid((150, 190, 246)))  # highlight
    pic.fill(rect(3, 9, 5, 10), solid((250, 176, 40)))  # light
    return pic.render()


FOLDER_EDGE = (168, 116, 22)


def closed_folder():
    pic = Picture(16, 14)
    pic.fill(polygon([(1, 1), (6, 1), (7, 2.5), (15, 2.5), (15, 13), (1, 13)]), solid(FOLDER_EDGE))
    pic.fill(polygon([(2, 2), (5.6, 2), (6.6, 3.5), (14, 3.5), (14, 5), (2, 5)]), solid((236, 192, 88)))
    pic.fill(rect(1, 5, 15, 13), solid(FOLDER_EDGE))
    pic.fill(rect(2, 6, 14, 12), vgrad((255, 230, 140), (240, 190, 72), 6, 12))
    pic.fill(rect(2, 6, 14, 7), solid((255, 244, 196)))
    return pic.render()


def open_folder():
    pic = Picture(16, 14)
    # The back of the folder with its tab, a sheet in it, the front flap fallen open.
    pic.fill(polygon([(1, 1), (6, 1), (7, 2.5), (13, 2.5), (13, 13), (1, 13)]), solid(FOLDER_EDGE))
    pic.fill(polygon([(2, 2), (5.6, 2), (6.6, 3.5), (12, 3.5), (12, 12), (2, 12)]), solid((222, 172, 64)))
    pic.fill(rect(4, 3, 12, 8), solid((150, 150, 160)))
    pic.fill(rect(5, 4, 12, 8), solid((255, 255, 255)))
    pic.fill(polygon([(4, 6), (16, 6), (13, 13), (1, 13)]), solid(FOLDER_EDGE))
    pic.fill(polygon([(4.7, 7), (14.5, 7), (12.2, 12), (2.3, 12)]), vgrad((255, 236, 156), (242, 196, 80), 7, 12))
    return pic.render()


# --- File formats.

def png(rows):
    h, w = len(rows), len(rows[0])

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    prev = bytes(w * 3)
    for row in rows:
        cur = bytes(v for px in row for v in px)
        # Per row, the filter with the smallest sum of absolute values.
        candidates = []
        for kind in range(5):
            out = bytearray(len(cur))
            for i, v in enumerate(cur):
                a = cur[i - 3] if i >= 3 else 0
                b = prev[i]
                c = prev[i - 3] if i >= 3 else 0
                if kind == 0:
                    p = 0
                elif kind == 1:
                    p = a
                elif kind == 2:
                    p = b
                elif kind == 3:
                    p = (a + b) // 2
                else:
                    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                    p = a if pa <= pb and pa <= pc else b if pb <= pc else c
                out[i] = (v - p) & 0xFF
            candidates.append((sum(min(x, 256 - x) for x in out), kind, out))
        _, kind, out = min(candidates, key=lambda t: (t[0], t[1]))
        raw.append(kind)
        raw += out
        prev = cur
    ihdr = struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)  # 8-bit RGB, not interlaced
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'sRGB', b'\x00')
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def bmp(rows):
    h, w = len(rows), len(rows[0])
    pad = bytes((4 - w * 3 % 4) % 4)
    bits = b''.join(bytes(v for r, g, b in row for v in (b, g, r)) + pad for row in reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return head + info + bits


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    keyed = {
        'fixeddrive.bmp': fixed_drive(),
        'removabledrive.bmp': removable_drive(),
        'openfolder.bmp': open_folder(),
        'closedfolder.bmp': closed_folder(),
    }
    outputs = {'logo.png': png(logo()), 'logosmall.png': png(logo_small())}
    for name, rows in keyed.items():
        if rows[-1][0] != KEY:
            sys.exit('%s: the bottom-left pixel must be the key colour' % name)
        outputs[name] = bmp(rows)
    for name, data in outputs.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
