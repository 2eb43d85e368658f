"""The clip library's pictures: each one drawn to show what its name says."""
import math

from gif import Canvas, heart_points, regular_polygon, star_points

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT_GREY = (200, 200, 200)
DARK_GREY = (64, 64, 64)
RED = (220, 20, 30)
DARK_RED = (140, 10, 20)
PINK = (255, 130, 170)
ORANGE = (245, 140, 20)
YELLOW = (255, 220, 0)
GOLD = (212, 160, 23)
GREEN = (30, 160, 50)
DARK_GREEN = (10, 100, 30)
LIGHT_GREEN = (130, 210, 90)
BLUE = (30, 80, 210)
LIGHT_BLUE = (120, 180, 240)
NAVY = (10, 30, 110)
PURPLE = (130, 50, 170)
BROWN = (130, 80, 30)
TAN = (230, 200, 150)

ICON = 32


# ---- Arrows -----------------------------------------------------------------

def _arrow_shape(length=26, shaft=8, head=20, head_len=11):
    """A right-pointing arrow centred on the origin."""
    h = length / 2.0
    return [(-h, -shaft / 2), (h - head_len, -shaft / 2), (h - head_len, -head / 2), (h, 0),
            (h - head_len, head / 2), (h - head_len, shaft / 2), (-h, shaft / 2)]


def _rotated(points, degrees, cx=16, cy=16):
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + x * ca - y * sa, cy + x * sa + y * ca) for x, y in points]


def arrow(c, degrees, colour=BLUE):
    c.polygon(_rotated(_arrow_shape(), degrees), colour)


def double_arrow(c, degrees, colour=GREEN):
    shape = [(-13, 0), (-5, -9), (-5, -4), (5, -4), (5, -9), (13, 0), (5, 9), (5, 4), (-5, 4), (-5, 9)]
    c.polygon(_rotated(shape, degrees), colour)


def curved_arrow(c):
    c.arc(16, 18, 10, 180, 340, 4, ORANGE)
    tip = (16 + 10 * math.cos(math.radians(340)), 18 + 10 * math.sin(math.radians(340)))
    c.polygon([(tip[0] - 6, tip[1] - 3), (tip[0] + 6, tip[1] - 3), (tip[0] + 1, tip[1] + 6)], ORANGE)


def circular_arrows(c):
    for start, colour in ((200, GREEN), (20, BLUE)):
        c.arc(16, 16, 11, start, start + 140, 4, colour)
        a = math.radians(start + 140)
        x, y = 16 + 11 * math.cos(a), 16 + 11 * math.sin(a)
        # Arrow head pointing along the direction of travel.
        d = a + math.pi / 2
        tx, ty = math.cos(d), math.sin(d)
        nx, ny = math.cos(a), math.sin(a)
        c.polygon([(x + tx * 6, y + ty * 6), (x + nx * 5, y + ny * 5), (x - nx * 5, y - ny * 5)], colour)


# ---- Bugs -------------------------------------------------------------------

def ladybird(c):
    for dy in (-6, 0, 6):
        c.line(6, 16 + dy, 26, 16 + dy, 1.5, BLACK)
    c.circle(16, 7, 5, BLACK)
    c.ellipse(16, 18, 11, 11, RED)
    c.line(16, 8, 16, 29, 1.5, BLACK)
    for x, y in ((11, 14), (21, 14), (10, 21), (22, 21), (16, 25)):
        c.circle(x, y, 2.2, BLACK)


def ant(c):
    for x in (11, 16, 21):
        c.line(x, 16, x - 4, 26, 1.2, BLACK)
        c.line(x, 16, x + 3, 6, 1.2, BLACK)
    c.circle(6, 16, 4, DARK_GREY)
    c.circle(15, 16, 3.5, DARK_GREY)
    c.ellipse(24, 16, 6, 4.5, DARK_GREY)
    c.line(4, 13, 1, 7, 1, BLACK)
    c.line(6, 13, 6, 6, 1, BLACK)


def bee(c):
    c.ellipse(11, 9, 6, 5, LIGHT_BLUE)
    c.ellipse(21, 9, 6, 5, LIGHT_BLUE)
    c.ellipse(16, 19, 12, 8, YELLOW)
    for x in (12, 17, 22):
        c.rect(x, 11, x + 2.5, 27, BLACK)
    c.circle(4.5, 19, 3.5, BLACK)
    c.polygon([(28, 18), (31, 19), (28, 20)], BLACK)


def beetle(c):
    for dy in (-5, 1, 7):
        c.line(5, 17 + dy, 27, 17 + dy - 2, 1.5, BLACK)
    c.circle(16, 6, 4, DARK_GREY)
    c.line(14, 3, 10, 0, 1, BLACK)
    c.line(18, 3, 22, 0, 1, BLACK)
    c.ellipse(16, 19, 9, 11, DARK_GREEN)
    c.line(16, 9, 16, 30, 1, BLACK)


def spider(c):
    for i in range(4):
        y = 10 + i * 4
        c.polyline([(16, 16), (6, y - 5), (2, y + 3)], 1.2, BLACK)
        c.polyline([(16, 16), (26, y - 5), (30, y + 3)], 1.2, BLACK)
    c.line(16, 0, 16, 8, 1, GREY)
    c.circle(16, 12, 4, BLACK)
    c.ellipse(16, 20, 6, 7, BLACK)
    c.circle(14.5, 11, 1, RED)
    c.circle(17.5, 11, 1, RED)


def caterpillar(c):
    for i in range(6):
        x = 4 + i * 4.6
        y = 19 + 3 * math.sin(i * 1.1)
        c.line(x, y + 3, x, y + 7, 1.2, DARK_GREEN)
        c.circle(x, y, 4, GREEN if i % 2 else LIGHT_GREEN)
    c.circle(28, 15, 4.5, GREEN)
    c.circle(29, 14, 1.2, BLACK)
    c.line(27, 11, 25, 6, 1, BLACK)
    c.line(29, 11, 30, 6, 1, BLACK)


# ---- Bullets ----------------------------------------------------------------

def round_bullet(c, colour):
    c.circle(16, 16, 9, colour)
    c.circle(13, 13, 2.5, WHITE if colour != WHITE else GREY)


def square_bullet(c, colour):
    c.rect(8, 8, 24, 24, colour)
    c.rect(10, 10, 13, 13, LIGHT_GREY)


def diamond_bullet(c, colour):
    c.polygon([(16, 5), (27, 16), (16, 27), (5, 16)], colour)


def triangle_bullet(c):
    c.polygon([(9, 6), (26, 16), (9, 26)], NAVY)


def ring_bullet(c):
    c.ring(16, 16, 10, 3.5, BLUE)


def check_bullet(c):
    c.polyline([(6, 17), (13, 24), (27, 8)], 4, GREEN)


def star_bullet(c):
    c.polygon(star_points(16, 17, 13, 5.5, 5), GOLD)


def pointer_bullet(c):
    c.polygon([(4, 11), (17, 11), (17, 5), (28, 16), (17, 27), (17, 21), (4, 21)], RED)


def dash_bullet(c):
    c.rect(5, 13, 27, 19, BLACK)


# ---- Clocks -----------------------------------------------------------------

def _hands(c, cx, cy, r, hour, minute, colour=BLACK):
    ma = math.radians(minute * 6 - 90)
    ha = math.radians((hour % 12 + minute / 60.0) * 30 - 90)
    c.line(cx, cy, cx + r * 0.85 * math.cos(ma), cy + r * 0.85 * math.sin(ma), 1.5, colour)
    c.line(cx, cy, cx + r * 0.55 * math.cos(ha), cy + r * 0.55 * math.sin(ha), 2.5, colour)


def clock_face(c, hour, minute, cx=16, cy=16, r=14, rim=NAVY):
    c.circle(cx, cy, r, rim)
    c.circle(cx, cy, r - 2, WHITE)
    for i in range(12):
        a = math.radians(i * 30)
        length = 3 if i % 3 == 0 else 1.5
        c.line(cx + (r - 3) * math.cos(a), cy + (r - 3) * math.sin(a),
               cx + (r - 3 - length) * math.cos(a), cy + (r - 3 - length) * math.sin(a), 1, BLACK)
    _hands(c, cx, cy, r - 3, hour, minute)
    c.circle(cx, cy, 1.2, RED)


def alarm_clock(c):
    c.circle(7, 6, 4, GOLD)
    c.circle(25, 6, 4, GOLD)
    c.line(8, 26, 5, 30, 2, BLACK)
    c.line(24, 26, 27, 30, 2, BLACK)
    clock_face(c, 7, 0, cy=17, r=12, rim=RED)


def wall_clock(c):
    c.polygon(regular_polygon(16, 16, 15, 8, -67.5), BROWN)
    clock_face(c, 4, 40, r=12, rim=TAN)


def stopwatch(c):
    c.rect(14, 1, 18, 5, DARK_GREY)
    c.line(25, 6, 28, 3, 2.5, DARK_GREY)
    c.circle(16, 18, 13, DARK_GREY)
    c.circle(16, 18, 11, WHITE)
    c.line(16, 18, 16, 9, 1.5, RED)
    c.arc(16, 18, 8, -90, 30, 1, LIGHT_GREY)
    c.circle(16, 18, 1.5, BLACK)


def hourglass(c):
    c.rect(6, 2, 26, 5, BROWN)
    c.rect(6, 27, 26, 30, BROWN)
    c.polygon([(8, 5), (24, 5), (17, 16), (24, 27), (8, 27), (15, 16)], LIGHT_BLUE)
    c.polygon([(11, 9), (21, 9), (16, 15)], TAN)
    c.polygon([(16, 19), (22, 27), (10, 27)], TAN)


# ---- Flowers ----------------------------------------------------------------

def petal_flower(c, petals, petal_colour, centre_colour, petal_len=9, petal_w=3.5, cy=14, stem=True):
    if stem:
        c.line(16, cy, 16, 31, 2, GREEN)
        c.ellipse(21, 25, 4, 2, GREEN)
    for i in range(petals):
        a = 2 * math.pi * i / petals
        px, py = 16 + petal_len * 0.6 * math.cos(a), cy + petal_len * 0.6 * math.sin(a)
        pts = []
        for k in range(16):
            t = 2 * math.pi * k / 16
            x, y = petal_len * 0.55 * math.cos(t), petal_w * math.sin(t)
            pts.append((px + x * math.cos(a) - y * math.sin(a), py + x * math.sin(a) + y * math.cos(a)))
        c.polygon(pts, petal_colour)
    c.circle(16, cy, petal_len * 0.38, centre_colour)


def tulip(c, colour):
    c.line(16, 14, 16, 31, 2, GREEN)
    c.polygon([(16, 30), (8, 18), (11, 19), (16, 27)], GREEN)
    c.polygon([(8, 4), (12, 9), (16, 3), (20, 9), (24, 4), (24, 12), (20, 17), (12, 17), (8, 12)], colour)


def rose(c):
    c.line(16, 16, 16, 31, 2, DARK_GREEN)
    c.ellipse(11, 24, 4, 2, GREEN)
    c.circle(16, 11, 9, RED)
    c.arc(16, 11, 6, 0, 300, 1.3, DARK_RED)
    c.arc(16, 11, 3, 100, 400, 1.3, DARK_RED)


def flower_pot(c):
    petal_flower(c, 6, YELLOW, ORANGE, petal_len=8, cy=9, stem=False)
    c.line(16, 12, 16, 22, 2, GREEN)
    c.polygon([(7, 20), (25, 20), (22, 31), (10, 31)], BROWN)
    c.rect(6, 19, 26, 22, (160, 100, 40))


# ---- Hearts -----------------------------------------------------------------

def heart(c, colour, cx=16, cy=16, size=28):
    c.polygon(heart_points(cx, cy, size), colour)


def heart_outline(c):
    heart(c, RED)
    c.polygon(heart_points(16, 16.5, 20), WHITE)


def two_hearts(c):
    heart(c, PINK, 12, 13, 18)
    heart(c, RED, 20, 19, 18)


def broken_heart(c):
    heart(c, RED)
    c.polyline([(15, 6), (18, 12), (13, 17), (18, 22), (16, 29)], 1.8, WHITE)


def heart_with_arrow(c):
    c.line(3, 26, 29, 6, 1.5, BROWN)
    heart(c, RED, 16, 16, 22)
    c.line(20, 13, 29, 6, 1.5, BROWN)
    c.polygon([(29, 6), (24, 6), (28, 10)], BROWN)
    c.polygon([(3, 26), (1, 30), (6, 28)], GREY)


def small_hearts(c):
    for x, y, colour in ((9, 9, RED), (23, 9, PINK), (16, 18, PURPLE), (9, 26, PINK), (23, 26, RED)):
        heart(c, colour, x, y, 11)


# ---- Leaves -----------------------------------------------------------------

def leaf(c, colour, vein=DARK_GREEN, angle=-45):
    pts = []
    for k in range(32):
        t = 2 * math.pi * k / 32
        x = 12 * math.cos(t)
        y = 6.5 * math.sin(t) * (1 - 0.35 * math.cos(t))
        pts.append((x, y))
    c.polygon(_rotated(pts, angle), colour)
    c.polyline(_rotated([(-15, 0), (11, 0)], angle), 1.2, vein)
    for s in (-6, -1, 4):
        c.line(*_rotated([(s, 0)], angle)[0], *_rotated([(s + 4, -3.5)], angle)[0], 0.9, vein)
        c.line(*_rotated([(s, 0)], angle)[0], *_rotated([(s + 4, 3.5)], angle)[0], 0.9, vein)


def maple_leaf(c):
    pts = [(16, 2), (19, 8), (23, 6), (22, 13), (29, 10), (27, 16), (30, 18), (22, 23), (23, 26), (17, 24),
           (17, 31), (15, 31), (15, 24), (9, 26), (10, 23), (2, 18), (5, 16), (3, 10), (10, 13), (9, 6), (13, 8)]
    c.polygon(pts, RED)
    c.line(16, 8, 16, 30, 1, DARK_RED)


def clover(c, leaves):
    c.polyline([(16, 17), (18, 25), (22, 31)], 1.8, DARK_GREEN)
    for i in range(leaves):
        a = math.radians(-90 + 360.0 * i / leaves + (45 if leaves == 4 else 0))
        cx, cy = 16 + 6.5 * math.cos(a), 16 + 6.5 * math.sin(a)
        c.polygon(heart_points(cx, cy, 12), GREEN)
    c.circle(16, 16, 2, DARK_GREEN)


def fern(c):
    c.polyline([(16, 31), (15, 20), (16, 10), (19, 2)], 1.5, DARK_GREEN)
    for i in range(7):
        y = 27 - i * 3.6
        length = 11 - i * 1.3
        c.line(15.5, y, 15.5 - length, y - 3, 2, GREEN)
        c.line(15.5, y, 15.5 + length, y - 3, 2, GREEN)


def twig(c):
    c.polyline([(3, 29), (14, 18), (29, 6)], 2, BROWN)
    for (x, y, a) in ((9, 23, -100), (14, 18, 10), (20, 13, -110), (25, 9, 0)):
        pts = [(x + 6 * math.cos(math.radians(a + d)) * (1 if d == 0 else 0.6),
                y + 6 * math.sin(math.radians(a + d)) * (1 if d == 0 else 0.6)) for d in (-40, 0, 40)]
        c.polygon([(x, y)] + pts, GREEN)


# ---- Lines (wide rules) -----------------------------------------------------

LINE_W, LINE_H = 240, 12


def solid_line(c, colour, thickness=2):
    c.rect(0, 6 - thickness / 2, LINE_W, 6 + thickness / 2, colour)


def double_line(c):
    c.rect(0, 3, LINE_W, 5, BLACK)
    c.rect(0, 7, LINE_W, 9, BLACK)


def dotted_line(c):
    for x in range(3, LINE_W, 6):
        c.circle(x, 6, 1.5, BLACK)


def dashed_line(c):
    for x in range(0, LINE_W, 14):
        c.rect(x, 5, x + 9, 7, BLACK)


def dash_dot_line(c):
    for x in range(0, LINE_W, 20):
        c.rect(x, 5, x + 10, 7, NAVY)
        c.circle(x + 15, 6, 1.3, NAVY)


def wavy_line(c):
    pts = [(x / 2.0, 6 + 3.5 * math.sin(x / 2.0 * 2 * math.pi / 16)) for x in range(0, LINE_W * 2 + 1)]
    c.polyline(pts[::2], 1.6, BLUE)


def zigzag_line(c):
    pts = [(x, 2 if (x // 8) % 2 else 10) for x in range(0, LINE_W + 1, 8)]
    c.polyline(pts, 1.6, RED)


def beaded_line(c):
    c.rect(0, 5.5, LINE_W, 6.5, GREY)
    for i, x in enumerate(range(6, LINE_W, 12)):
        c.circle(x, 6, 3.5, (BLUE, GREEN, RED)[i % 3])


def hearts_line(c):
    for x in range(8, LINE_W, 16):
        c.polygon(heart_points(x, 6, 11), RED)


def stars_line(c):
    for x in range(8, LINE_W, 16):
        c.polygon(star_points(x, 6.5, 6, 2.5, 5), GOLD)


# ---- Mail -------------------------------------------------------------------

def envelope(c, body=WHITE, airmail=False):
    c.rect(2, 7, 30, 26, BLACK)
    c.rect(3, 8, 29, 25, body)
    if airmail:
        for x in range(-2, 34, 6):
            c.polygon([(x, 8), (x + 3, 8), (x + 1, 11), (x - 2, 11)], RED if (x // 6) % 2 else BLUE)
            c.polygon([(x, 22), (x + 3, 22), (x + 1, 25), (x - 2, 25)], BLUE if (x // 6) % 2 else RED)
        c.rect(2, 7, 3, 26, BLACK)
        c.rect(29, 7, 30, 26, BLACK)
    c.polyline([(3, 8), (16, 18), (29, 8)], 1.2, BLACK)


def open_envelope(c):
    c.polygon([(2, 14), (16, 2), (30, 14)], BLACK)
    c.polygon([(4, 14), (16, 4), (28, 14)], TAN)
    c.rect(6, 8, 26, 20, WHITE)
    for y in (11, 14, 17):
        c.line(9, y, 23, y, 0.8, GREY)
    c.polygon([(2, 14), (30, 14), (30, 29), (2, 29)], BLACK)
    c.polygon([(3, 15), (29, 15), (29, 28), (3, 28)], TAN)
    c.polyline([(3, 15), (16, 24), (29, 15)], 1.2, BROWN)


def postage_stamp(c):
    c.rect(4, 3, 28, 29, WHITE)
    for x in range(5, 28, 3):
        c.circle(x, 3, 1, LIGHT_GREY)
        c.circle(x, 29, 1, LIGHT_GREY)
    for y in range(5, 28, 3):
        c.circle(4, y, 1, LIGHT_GREY)
        c.circle(28, y, 1, LIGHT_GREY)
    c.rect(7, 6, 25, 26, LIGHT_BLUE)
    c.polygon(heart_points(16, 15, 14), RED)
    c.rect(7, 22, 25, 26, NAVY)


def mailbox(c):
    c.rect(14, 18, 18, 31, BROWN)
    c.polygon([(4, 10), (8, 6), (22, 6), (26, 10), (26, 20), (4, 20)], BLUE)
    c.ellipse(8, 13, 4, 7, NAVY)
    c.rect(24, 3, 26, 12, RED)
    c.rect(24, 3, 29, 6, RED)


def at_sign(c):
    c.ring(16, 16, 14, 3, BLUE)
    c.rect(27, 14, 30, 18, WHITE)
    c.ring(16, 16, 6.5, 3, BLUE)
    c.rect(20, 10, 23, 22, BLUE)
    c.arc(26.5, 19, 4, 0, 180, 3, BLUE)


# ---- New --------------------------------------------------------------------

def new_badge(c, colour):
    c.polygon([(0, 8), (32, 8), (32, 24), (0, 24)], colour)
    c.text(2.5, 10.5, "NEW", WHITE)


def new_starburst(c, colour, text_colour):
    c.polygon(star_points(16, 16, 16, 11, 12), colour)
    c.text(7, 12.5, "NEW", text_colour)


def new_banner(c):
    c.polygon([(0, 10), (6, 16), (0, 22), (5, 22), (5, 10)], DARK_RED)
    c.polygon([(32, 10), (26, 16), (32, 22), (27, 22), (27, 10)], DARK_RED)
    c.rect(5, 8, 27, 24, RED)
    c.text(7, 12.5, "NEW", YELLOW)


# ---- Phones -----------------------------------------------------------------

def handset(c, colour=BLACK, cx=16, cy=16, scale=1.0):
    pts = [(-11, -6), (-6, -10), (-3, -6), (-6, -3), (3, 6), (6, 3), (10, 6), (6, 11), (-2, 9), (-9, 2)]
    c.polygon([(cx + (x + y) * 0.75 * scale, cy + (y - x) * 0.75 * scale + 0) for x, y in
               [(x * 0.707 - y * 0.707, x * 0.707 + y * 0.707) for x, y in pts]], colour)


def desk_telephone(c):
    c.polygon([(5, 14), (27, 14), (30, 28), (2, 28)], RED)
    c.circle(16, 21, 5, WHITE)
    c.circle(16, 21, 2, RED)
    c.polygon([(2, 9), (30, 9), (28, 14), (23, 14), (22, 11), (10, 11), (9, 14), (4, 14)], DARK_RED)


def mobile_phone(c):
    c.rect(9, 2, 23, 30, DARK_GREY)
    c.rect(11, 5, 21, 16, LIGHT_GREEN)
    for row in range(3):
        for col in range(3):
            c.rect(11 + col * 3.5, 18 + row * 3.5, 13.5 + col * 3.5, 20.5 + row * 3.5, LIGHT_GREY)


def plain_handset(c):
    handset(c, BLACK)


def ringing_handset(c):
    handset(c, BLUE, 14, 18, 0.85)
    c.arc(18, 14, 8, -90, 0, 1.5, ORANGE)
    c.arc(18, 14, 12, -90, 0, 1.5, ORANGE)


def fax_machine(c):
    c.rect(9, 2, 23, 12, WHITE)
    for y in (5, 8):
        c.line(11, y, 21, y, 0.8, GREY)
    c.rect(3, 11, 29, 28, LIGHT_GREY)
    c.rect(5, 13, 27, 15, DARK_GREY)
    c.rect(19, 18, 27, 26, GREY)
    for row in range(2):
        for col in range(3):
            c.rect(6 + col * 4, 18 + row * 4, 8.5 + col * 4, 20.5 + row * 4, DARK_GREY)


def cordless_phone(c):
    c.rect(4, 22, 28, 30, GREY)
    c.rect(12, 3, 20, 26, NAVY)
    c.line(18, 3, 18, 0, 1.5, NAVY)
    c.rect(13.5, 6, 18.5, 11, LIGHT_GREEN)
    for row in range(3):
        c.rect(13.5, 13 + row * 3.5, 15.5, 15 + row * 3.5, LIGHT_GREY)
        c.rect(16.5, 13 + row * 3.5, 18.5, 15 + row * 3.5, LIGHT_GREY)


# ---- Signs ------------------------------------------------------------------

def stop_sign(c):
    c.polygon(regular_polygon(16, 16, 15.5, 8, -67.5), WHITE)
    c.polygon(regular_polygon(16, 16, 14.5, 8, -67.5), RED)
    c.text(5, 12.5, "STOP", WHITE, 0.9)


def yield_sign(c):
    c.polygon([(1, 3), (31, 3), (16, 29)], RED)
    c.polygon([(7, 6.5), (25, 6.5), (16, 22.5)], WHITE)


def warning_sign(c):
    c.polygon([(16, 1), (31, 29), (1, 29)], BLACK)
    c.polygon([(16, 4), (28.5, 27.5), (3.5, 27.5)], YELLOW)
    c.rect(14.5, 11, 17.5, 21, BLACK)
    c.rect(14.5, 23, 17.5, 26, BLACK)


def no_entry_sign(c):
    c.circle(16, 16, 15, RED)
    c.rect(5, 13, 27, 19, WHITE)


def information_sign(c):
    c.circle(16, 16, 15, BLUE)
    c.circle(16, 8.5, 2.5, WHITE)
    c.rect(14, 13, 18, 25, WHITE)
    c.rect(12, 23, 20, 25, WHITE)


def question_sign(c):
    c.circle(16, 16, 15, GREEN)
    c.text(7, 4, "?", WHITE, scale=3.4)


def tick_sign(c):
    c.circle(16, 16, 15, GREEN)
    c.polyline([(8, 16), (14, 22), (24, 10)], 3.5, WHITE)


def cross_sign(c):
    c.circle(16, 16, 15, RED)
    c.line(10, 10, 22, 22, 3.5, WHITE)
    c.line(22, 10, 10, 22, 3.5, WHITE)


def one_way_sign(c):
    c.rect(0, 9, 32, 23, BLACK)
    c.rect(1, 10, 31, 22, WHITE)
    c.polygon([(3, 14.5), (22, 14.5), (22, 12), (29, 16), (22, 20), (22, 17.5), (3, 17.5)], BLACK)


def exit_sign(c):
    c.rect(1, 8, 31, 24, GREEN)
    c.text(4.5, 12.5, "EXIT", WHITE)


# ---- Smiles -----------------------------------------------------------------

def face(c, mood, colour=YELLOW):
    c.circle(16, 16, 15, BLACK)
    c.circle(16, 16, 14, colour)
    if mood == "cool":
        c.rect(6, 10, 26, 12, BLACK)
        c.ellipse(11, 13, 4.5, 3, BLACK)
        c.ellipse(21, 13, 4.5, 3, BLACK)
    elif mood == "wink":
        c.ellipse(11, 12, 2, 3, BLACK)
        c.line(18, 12, 24, 12, 1.5, BLACK)
    elif mood == "laughing":
        c.arc(11, 13, 3, 200, 340, 1.5, BLACK)
        c.arc(21, 13, 3, 200, 340, 1.5, BLACK)
    elif mood == "angry":
        c.line(7, 8, 13, 11, 1.5, BLACK)
        c.line(25, 8, 19, 11, 1.5, BLACK)
        c.circle(11, 13, 2, BLACK)
        c.circle(21, 13, 2, BLACK)
    elif mood == "surprised":
        c.circle(11, 12, 2.5, BLACK)
        c.circle(21, 12, 2.5, BLACK)
    else:
        c.ellipse(11, 12, 2, 3, BLACK)
        c.ellipse(21, 12, 2, 3, BLACK)
    if mood in ("happy", "wink", "cool"):
        c.arc(16, 16, 8, 25, 155, 1.8, BLACK)
    elif mood == "laughing":
        c.polygon([(8, 19), (24, 19), (22, 24), (16, 26), (10, 24)], BLACK)
        c.polygon([(10, 20), (22, 20), (21, 22), (11, 22)], WHITE)
    elif mood == "sad":
        c.arc(16, 29, 8, 215, 325, 1.8, BLACK)
    elif mood == "angry":
        c.arc(16, 30, 9, 225, 315, 1.8, BLACK)
    elif mood == "surprised":
        c.ellipse(16, 22, 3, 4, BLACK)
    else:
        c.line(10, 22, 22, 22, 1.8, BLACK)


# ---- Stars ------------------------------------------------------------------

def star(c, colour, points=5, inner=6.5, outer=15):
    c.polygon(star_points(16, 16.5 if points == 5 else 16, outer, inner, points), colour)


def star_outline(c):
    c.polygon(star_points(16, 17, 15, 6.5, 5), GOLD)
    c.polygon(star_points(16, 17, 10.5, 4.5, 5), WHITE)


def shooting_star(c):
    for i, colour in enumerate((LIGHT_BLUE, BLUE, NAVY)):
        c.line(2, 24 + i * 3 - 6, 16, 18 + i * 2 - 4, 1.5, colour)
    c.polygon(star_points(21, 12, 10, 4.2, 5, -80), YELLOW)


def three_stars(c):
    for x, y, r in ((8, 10, 7), (24, 10, 7), (16, 23, 8)):
        c.polygon(star_points(x, y, r, r * 0.42, 5), GOLD)


def sparkle(c):
    c.polygon(star_points(14, 16, 14, 2.5, 4, -90), LIGHT_BLUE)
    c.polygon(star_points(25, 7, 6, 1.4, 4, -90), BLUE)


def _lines(fn, *args):
    return (LINE_W, LINE_H, lambda c: fn(c, *args))


def _icon(fn, *args):
    return (ICON, ICON, lambda c: fn(c, *args))


# Folder -> file name -> (width, height, drawing).
PICTURES = {
    "Arrows": {
        "Arrow Up.gif": _icon(arrow, -90), "Arrow Down.gif": _icon(arrow, 90),
        "Arrow Left.gif": _icon(arrow, 180), "Arrow Right.gif": _icon(arrow, 0),
        "Arrow Up Left.gif": _icon(arrow, -135, RED), "Arrow Up Right.gif": _icon(arrow, -45, RED),
        "Arrow Down Left.gif": _icon(arrow, 135, RED), "Arrow Down Right.gif": _icon(arrow, 45, RED),
        "Double Arrow (Horizontal).gif": _icon(double_arrow, 0),
        "Double Arrow (Vertical).gif": _icon(double_arrow, 90),
        "Curved Arrow.gif": _icon(curved_arrow), "Circular Arrows.gif": _icon(circular_arrows),
    },
    "Bugs": {
        "Ant.gif": _icon(ant), "Bee.gif": _icon(bee), "Beetle.gif": _icon(beetle),
        "Caterpillar.gif": _icon(caterpillar), "Ladybird.gif": _icon(ladybird), "Spider.gif": _icon(spider),
    },
    "Bullets": {
        "Check Bullet.gif": _icon(check_bullet), "Dash Bullet.gif": _icon(dash_bullet),
        "Diamond Bullet (Green).gif": _icon(diamond_bullet, GREEN),
        "Diamond Bullet (Red).gif": _icon(diamond_bullet, RED),
        "Pointer Bullet.gif": _icon(pointer_bullet), "Ring Bullet.gif": _icon(ring_bullet),
        "Round Bullet (Black).gif": _icon(round_bullet, BLACK),
        "Round Bullet (Blue).gif": _icon(round_bullet, BLUE),
        "Round Bullet (Green).gif": _icon(round_bullet, GREEN),
        "Round Bullet (Red).gif": _icon(round_bullet, RED),
        "Square Bullet (Black).gif": _icon(square_bullet, BLACK),
        "Square Bullet (Blue).gif": _icon(square_bullet, BLUE),
        "Star Bullet.gif": _icon(star_bullet), "Triangle Bullet.gif": _icon(triangle_bullet),
    },
    "Clocks": {
        "Alarm Clock.gif": _icon(alarm_clock), "Clock 10-10.gif": _icon(clock_face, 10, 10),
        "Clock 12-00.gif": _icon(clock_face, 12, 0), "Clock 3-00.gif": _icon(clock_face, 3, 0),
        "Clock 9-00.gif": _icon(clock_face, 9, 0), "Hourglass.gif": _icon(hourglass),
        "Stopwatch.gif": _icon(stopwatch), "Wall Clock.gif": _icon(wall_clock),
    },
    "Flowers": {
        "Blossom (Pink).gif": _icon(petal_flower, 5, PINK, YELLOW, 11, 5, 16, False),
        "Daisy.gif": _icon(petal_flower, 12, (250, 250, 250), YELLOW),
        "Flower Pot.gif": _icon(flower_pot),
        "Forget-me-not.gif": _icon(petal_flower, 5, LIGHT_BLUE, YELLOW, 9, 4.5),
        "Rose.gif": _icon(rose), "Sunflower.gif": _icon(petal_flower, 16, YELLOW, BROWN, 11, 2.5),
        "Tulip (Red).gif": _icon(tulip, RED), "Tulip (Yellow).gif": _icon(tulip, YELLOW),
    },
    "Hearts": {
        "Broken Heart.gif": _icon(broken_heart), "Heart (Pink).gif": _icon(heart, PINK),
        "Heart (Purple).gif": _icon(heart, PURPLE), "Heart (Red).gif": _icon(heart, RED),
        "Heart Outline.gif": _icon(heart_outline), "Heart with Arrow.gif": _icon(heart_with_arrow),
        "Small Hearts.gif": _icon(small_hearts), "Two Hearts.gif": _icon(two_hearts),
    },
    "Leaves": {
        "Autumn Leaf (Orange).gif": _icon(leaf, ORANGE, BROWN, -60),
        "Autumn Leaf (Red).gif": _icon(leaf, RED, DARK_RED, -120),
        "Clover.gif": _icon(clover, 3), "Fern.gif": _icon(fern),
        "Four-Leaf Clover.gif": _icon(clover, 4), "Green Leaf.gif": _icon(leaf, GREEN),
        "Maple Leaf.gif": _icon(maple_leaf), "Twig with Leaves.gif": _icon(twig),
    },
    "Lines": {
        "Beaded Line.gif": _lines(beaded_line), "Dash-Dot Line.gif": _lines(dash_dot_line),
        "Dashed Line.gif": _lines(dashed_line), "Dotted Line.gif": _lines(dotted_line),
        "Double Line.gif": _lines(double_line), "Hearts Line.gif": _lines(hearts_line),
        "Solid Line (Black).gif": _lines(solid_line, BLACK), "Solid Line (Blue).gif": _lines(solid_line, BLUE),
        "Stars Line.gif": _lines(stars_line), "Thick Line.gif": _lines(solid_line, NAVY, 6),
        "Wavy Line.gif": _lines(wavy_line), "Zigzag Line.gif": _lines(zigzag_line),
    },
    "Mail": {
        "Airmail Envelope.gif": _icon(envelope, WHITE, True), "At Sign.gif": _icon(at_sign),
        "Envelope.gif": _icon(envelope), "Mailbox.gif": _icon(mailbox),
        "Open Envelope.gif": _icon(open_envelope), "Postage Stamp.gif": _icon(postage_stamp),
    },
    "New": {
        "New (Blue).gif": _icon(new_badge, BLUE), "New (Green).gif": _icon(new_badge, GREEN),
        "New (Red).gif": _icon(new_badge, RED), "New Banner.gif": _icon(new_banner),
        "New Starburst (Red).gif": _icon(new_starburst, RED, WHITE),
        "New Starburst (Yellow).gif": _icon(new_starburst, YELLOW, RED),
    },
    "Phones": {
        "Cordless Phone.gif": _icon(cordless_phone), "Desk Telephone.gif": _icon(desk_telephone),
        "Fax Machine.gif": _icon(fax_machine), "Handset.gif": _icon(plain_handset),
        "Mobile Phone.gif": _icon(mobile_phone), "Ringing Handset.gif": _icon(ringing_handset),
    },
    "Signs": {
        "Cross.gif": _icon(cross_sign), "Exit.gif": _icon(exit_sign), "Information.gif": _icon(information_sign),
        "No Entry.gif": _icon(no_entry_sign), "One Way.gif": _icon(one_way_sign),
        "Question.gif": _icon(question_sign), "Stop.gif": _icon(stop_sign), "Tick.gif": _icon(tick_sign),
        "Warning.gif": _icon(warning_sign), "Yield.gif": _icon(yield_sign),
    },
    "Smiles": {
        "Angry.gif": _icon(face, "angry", ORANGE), "Cool (Sunglasses).gif": _icon(face, "cool"),
        "Happy (Blue).gif": _icon(face, "happy", LIGHT_BLUE), "Happy (Green).gif": _icon(face, "happy", LIGHT_GREEN),
        "Happy.gif": _icon(face, "happy"), "Laughing.gif": _icon(face, "laughing"),
        "Neutral.gif": _icon(face, "neutral"), "Sad.gif": _icon(face, "sad"),
        "Surprised.gif": _icon(face, "surprised"), "Wink.gif": _icon(face, "wink"),
    },
    "Stars": {
        "Eight-Pointed Star.gif": _icon(star, BLUE, 8, 8), "Four-Pointed Star.gif": _icon(star, ORANGE, 4, 5),
        "Shooting Star.gif": _icon(shooting_star), "Six-Pointed Star.gif": _icon(star, NAVY, 6, 8.5),
        "Sparkle.gif": _icon(sparkle), "Star (Blue).gif": _icon(star, BLUE),
        "Star (Gold).gif": _icon(star, GOLD), "Star (Red).gif": _icon(star, RED),
        "Star (Yellow).gif": _icon(star, YELLOW), "Star Outline.gif": _icon(star_outline),
        "Three Stars.gif": _icon(three_stars),
    },
}


def picture(folder, name):
    """The GIF bytes of Images\\<folder>\\<name>."""
    width, height, draw = PICTURES[folder][name]
    c = Canvas(width, height)
    draw(c)
    return c.gif()
