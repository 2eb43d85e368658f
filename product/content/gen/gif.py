"""A small raster canvas and a GIF89a encoder (LZW), enough for clip-art icons."""
import math
import struct


class Canvas:
    """Palette-indexed picture drawn at SS times its size, then reduced.

    Index 0 is the transparent background. Shapes are filled by testing pixel
    centres, so edges are exact and drawing is deterministic.
    """

    SS = 3

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.palette = [(255, 255, 255)]
        self.w, self.h = width * self.SS, height * self.SS
        self.px = bytearray(self.w * self.h)

    def ink(self, rgb):
        """The palette index of a colour, added on first use."""
        if rgb not in self.palette[1:]:
            if len(self.palette) == 256:
                raise ValueError("palette full")
            self.palette.append(rgb)
        return self.palette.index(rgb, 1)

    # Coordinates are in final-image pixels; they are scaled here.
    def _span_fill(self, inside, colour, box):
        ink = self.ink(colour)
        s = self.SS
        x0, y0, x1, y1 = box
        xa, xb = max(0, int(math.floor(x0 * s))), min(self.w, int(math.ceil(x1 * s)) + 1)
        ya, yb = max(0, int(math.floor(y0 * s))), min(self.h, int(math.ceil(y1 * s)) + 1)
        for y in range(ya, yb):
            fy = (y + 0.5) / s
            row = y * self.w
            for x in range(xa, xb):
                if inside((x + 0.5) / s, fy):
                    self.px[row + x] = ink

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        n = len(points)

        def inside(x, y):
            c = False
            j = n - 1
            for i in range(n):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c

        self._span_fill(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def ellipse(self, cx, cy, rx, ry, colour):
        def inside(x, y):
            return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

        self._span_fill(inside, colour, (cx - rx, cy - ry, cx + rx, cy + ry))

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def ring(self, cx, cy, r, width, colour):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            return r - width <= d <= r

        self._span_fill(inside, colour, (cx - r, cy - r, cx + r, cy + r))

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A straight stroke with round ends."""
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9
        half = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= half

        self._span_fill(inside, colour, (min(x0, x1) - half, min(y0, y1) - half,
                                         max(x0, x1) + half, max(y0, y1) + half))

    def polyline(self, points, width, colour):
        for a, b in zip(points, points[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def arc(self, cx, cy, r, start_deg, end_deg, width, colour, steps=24):
        pts = []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.polyline(pts, width, colour)

    def text(self, x, y, string, colour, scale=1):
        """Draws capitals and digits from the 5x7 font at (x, y), top left."""
        for ch in string:
            rows = FONT.get(ch)
            if rows is None:
                raise ValueError("no glyph for %r" % ch)
            for ry, bits in enumerate(rows):
                for rx in range(5):
                    if bits & (0x10 >> rx):
                        self.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, colour)
            x += 6 * scale

    def reduced(self):
        """Each final pixel takes the colour most of its sub-pixels have."""
        s = self.SS
        out = bytearray(self.width * self.height)
        for y in range(self.height):
            for x in range(self.width):
                counts = {}
                for sy in range(s):
                    row = (y * s + sy) * self.w + x * s
                    for sx in range(s):
                        c = self.px[row + sx]
                        counts[c] = counts.get(c, 0) + 1
                best = max(sorted(counts), key=lambda c: counts[c])
                out[y * self.width + x] = best
        return out

    def gif(self):
        return encode_gif(self.width, self.height, self.palette, self.reduced(), transparent=0)


def star_points(cx, cy, r_outer, r_inner, points, rotation_deg=-90):
    pts = []
    for i in range(points * 2):
        r = r_outer if i % 2 == 0 else r_inner
        a = math.radians(rotation_deg + 180.0 * i / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def regular_polygon(cx, cy, r, sides, rotation_deg=-90):
    return [(cx + r * math.cos(math.radians(rotation_deg + 360.0 * i / sides)),
             cy + r * math.sin(math.radians(rotation_deg + 360.0 * i / sides))) for i in range(sides)]


def heart_points(cx, cy, size, steps=48):
    pts = []
    for i in range(steps):
        t = 2 * math.pi * i / steps
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append((cx + x * size / 34.0, cy - y * size / 34.0))
    return pts


def _lzw(indices, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    code_size = min_code_size + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code = eoi + 1
    emit(clear, code_size)
    prefix = b""
    for value in indices:
        candidate = prefix + bytes([value])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], code_size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear, code_size)
            table = {bytes([i]): i for i in range(clear)}
            next_code = eoi + 1
            code_size = min_code_size + 1
        prefix = bytes([value])
    if prefix:
        emit(table[prefix], code_size)
    emit(eoi, code_size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def encode_gif(width, height, palette, indices, transparent=None):
    bits = max(1, (len(palette) - 1).bit_length())
    size = 1 << bits
    colours = list(palette) + [(0, 0, 0)] * (size - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (bits - 1), 0, 0)
    for r, g, b in colours:
        data += bytes((r, g, b))
    if transparent is not None:
        data += bytes((0x21, 0xF9, 4, 1, 0, 0, transparent, 0))
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    stream = _lzw(indices, min_code_size)
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3B"
    return bytes(data)


# 5x7 capitals and digits, one byte per row, bit 4 leftmost.
FONT = {
    "A": (0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11), "B": (0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E),
    "C": (0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E), "D": (0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E),
    "E": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F), "F": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10),
    "G": (0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F), "H": (0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11),
    "I": (0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E), "K": (0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11),
    "L": (0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F), "M": (0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11),
    "N": (0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11), "O": (0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E),
    "P": (0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10), "R": (0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11),
    "S": (0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E), "T": (0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04),
    "U": (0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E), "W": (0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A),
    "X": (0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11), "Y": (0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04),
    "!": (0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04), "?": (0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04),
    " ": (0, 0, 0, 0, 0, 0, 0),
}
