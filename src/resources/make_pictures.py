#!/usr/bin/env python3
"""Draws Tesoro's icons, cursors and button bitmap and writes them beside this script.

Every picture is described as shapes given by signed distance functions on a 32-unit grid, painted
back to front into a 4x supersampled RGBA canvas and averaged down, so edges come out smooth without
any imaging library. The .ico, .cur and .bmp files are written by hand with struct.

Run: python3 make_pictures.py   (standard library only; the outputs are kept in the repository)
"""

import math
import os
import struct

SUPERSAMPLE = 4
HERE = os.path.dirname(os.path.abspath(__file__))

# One palette for every picture: a dark ink for outlines, then light/mid/dark shades per material.
INK = (28, 30, 40)
WHITE = (255, 255, 255)
GOLD_LIGHT, GOLD, GOLD_DARK = (255, 236, 130), (236, 184, 36), (160, 108, 8)
WOOD_LIGHT, WOOD, WOOD_DARK = (196, 128, 62), (150, 88, 38), (92, 50, 18)
BLUE_LIGHT, BLUE, BLUE_DARK = (120, 170, 245), (36, 96, 206), (16, 46, 124)
RED_LIGHT, RED, RED_DARK = (246, 96, 84), (206, 28, 28), (120, 8, 8)
GREEN_LIGHT, GREEN, GREEN_DARK = (140, 226, 110), (46, 170, 60), (16, 92, 28)
METAL_LIGHT, METAL, METAL_DARK = (232, 236, 242), (168, 176, 190), (92, 100, 116)
PAPER, RULE = (252, 252, 244), (110, 146, 214)
MANILA_LIGHT, MANILA, MANILA_DARK = (255, 232, 140), (240, 196, 70), (150, 104, 16)
FOLDER_INK = (120, 80, 8)
SKIN, HAIR = (250, 208, 166), (110, 66, 30)
SHADOW = (0, 0, 0, 70)
BUTTON_FACE = (192, 192, 192)


# ---------------------------------------------------------------- shapes (signed distance functions)

class Shape:
    """A region: d(x, y) < 0 inside, > 0 outside, in design units; bbox bounds the inside."""

    def __init__(self, d, bbox):
        self.d = d
        self.bbox = bbox

    def grown(self, r):
        return Shape(lambda x, y: self.d(x, y) - r, _grow(self.bbox, r))

    def moved(self, dx, dy):
        return Shape(lambda x, y: self.d(x - dx, y - dy), (self.bbox[0] + dx, self.bbox[1] + dy,
                                                           self.bbox[2] + dx, self.bbox[3] + dy))

    def __or__(self, other):
        return Shape(lambda x, y: min(self.d(x, y), other.d(x, y)), _union_box(self.bbox, other.bbox))

    def __and__(self, other):
        return Shape(lambda x, y: max(self.d(x, y), other.d(x, y)), self.bbox)

    def __sub__(self, other):
        return Shape(lambda x, y: max(self.d(x, y), -other.d(x, y)), self.bbox)


def _grow(b, r):
    return (b[0] - r, b[1] - r, b[2] + r, b[3] + r)


def _union_box(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def rect(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r

    return Shape(d, (x0, y0, x1, y1))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    # Not an exact distance, but close enough near the edge, which is all the painter needs.
    m = min(rx, ry)
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * m,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def polygon(pts):
    n = len(pts)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best

    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


def stroke(pts, width):
    """A polyline of the given width with round caps and joins."""
    r = width / 2
    segs = list(zip(pts, pts[1:])) or [(pts[0], pts[0])]

    def d(x, y):
        best = float("inf")
        for (ax, ay), (bx, by) in segs:
            ex, ey = bx - ax, by - ay
            ll = ex * ex + ey * ey
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / ll))
            best = min(best, math.hypot(x - ax - ex * t, y - ay - ey * t))
        return best - r

    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(d, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r))


def arc(cx, cy, r, deg0, deg1, steps=24):
    return [(cx + r * math.cos(math.radians(deg0 + (deg1 - deg0) * i / steps)),
             cy + r * math.sin(math.radians(deg0 + (deg1 - deg0) * i / steps))) for i in range(steps + 1)]


def regular_polygon(cx, cy, r, n, start_deg):
    return [(cx + r * math.cos(math.radians(start_deg + 360 * i / n)),
             cy + r * math.sin(math.radians(start_deg + 360 * i / n))) for i in range(n)]


# ---------------------------------------------------------------- colours

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vgrad(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / (y1 - y0))


def hgrad(left, right, x0, x1):
    return lambda x, y: mix(left, right, (x - x0) / (x1 - x0))


def radial(inner, outer, cx, cy, r):
    return lambda x, y: mix(inner, outer, math.hypot(x - cx, y - cy) / r)


# ---------------------------------------------------------------- canvas

class Canvas:
    """Premultiplied RGBA samples at SUPERSAMPLE x the output size; design units span 32 (or w x h)."""

    def __init__(self, width, height, units=32.0, background=None):
        self.w, self.h = width, height
        self.sw, self.sh = width * SUPERSAMPLE, height * SUPERSAMPLE
        self.scale = width / units  # output pixels per design unit
        bg = [0.0, 0.0, 0.0, 0.0] if background is None else [c / 255 for c in background] + [1.0]
        self.buf = [list(bg) for _ in range(self.sw * self.sh)]

    def unit(self, pixels):
        """Design units spanning the given number of output pixels."""
        return pixels / self.scale

    def fill(self, shape, colour):
        k = SUPERSAMPLE * self.scale
        x0 = max(0, int(math.floor(shape.bbox[0] * k)) - 1)
        y0 = max(0, int(math.floor(shape.bbox[1] * k)) - 1)
        x1 = min(self.sw, int(math.ceil(shape.bbox[2] * k)) + 1)
        y1 = min(self.sh, int(math.ceil(shape.bbox[3] * k)) + 1)
        paint = colour if callable(colour) else (lambda x, y: colour)
        for sy in range(y0, y1):
            y = (sy + 0.5) / k
            row = sy * self.sw
            for sx in range(x0, x1):
                x = (sx + 0.5) / k
                if shape.d(x, y) > 0:
                    continue
                c = paint(x, y)
                a = (c[3] / 255) if len(c) > 3 else 1.0
                p = self.buf[row + sx]
                for i in range(3):
                    p[i] = c[i] / 255 * a + p[i] * (1 - a)
                p[3] = a + p[3] * (1 - a)

    def draw(self, shape, colour, outline=INK, width=1.0):
        """Fill a shape with an outline of `width` output pixels lying inside its edge."""
        if outline is not None:
            self.fill(shape, outline)
            shape = shape.grown(-self.unit(width))
        self.fill(shape, colour)

    def shadow(self, shape, offset=1.0):
        self.fill(shape.moved(self.unit(offset), self.unit(offset)), SHADOW)

    def pixel_text(self, glyphs, x, y, colour):
        """Hand-drawn pixel glyphs at output pixel (x, y); each glyph is a list of rows of '#' and '.'."""
        for g in glyphs:
            for row, line in enumerate(g):
                for col, ch in enumerate(line):
                    if ch == "#":
                        u = self.unit(1)
                        self.fill(rect((x + col) * u, (y + row) * u, (x + col + 1) * u, (y + row + 1) * u),
                                  colour)
            x += len(g[0]) + 1

    def pixels(self):
        """Rows of (r, g, b, a) bytes, top row first, averaged from the samples."""
        n = SUPERSAMPLE * SUPERSAMPLE
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SUPERSAMPLE):
                    base = (y * SUPERSAMPLE + sy) * self.sw + x * SUPERSAMPLE
                    for sx in range(SUPERSAMPLE):
                        p = self.buf[base + sx]
                        for i in range(4):
                            acc[i] += p[i]
                a = acc[3] / n
                if a < 1 / 255:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(tuple(min(255, round(acc[i] / n / a * 255)) for i in range(3)) + (round(a * 255),))
            out.append(row)
        return out


# ---------------------------------------------------------------- file formats

def _dib32(rows):
    """BITMAPINFOHEADER + bottom-up BGRA + AND mask (1 = transparent), as icons and cursors store them."""
    h, w = len(rows), len(rows[0])
    xor = b"".join(bytes((p[2], p[1], p[0], p[3]) if p[3] else (0, 0, 0, 0)) for row in reversed(rows)
                   for p in row)
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def _icon_container(kind, images):
    """images: list of (rows, field4, field6): planes/bitcount for icons, hot spot x/y for cursors."""
    data = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows, f4, f6 in images:
        blob = _dib32(rows)
        w, h = len(rows[0]), len(rows)
        data += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f4, f6, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return data + b"".join(blobs)


def write_ico(name, sizes_rows):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(_icon_container(1, [(rows, 1, 32) for rows in sizes_rows]))


def write_cur(name, rows, hot_x, hot_y):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(_icon_container(2, [(rows, hot_x, hot_y)]))


def write_bmp(name, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    body = b"".join(b"".join(bytes((p[2], p[1], p[0])) for p in row).ljust(stride, b"\0")
                    for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54) + info + body)


# ---------------------------------------------------------------- the pictures

def draw_chest(c):
    small = c.w <= 16
    w = 1.0
    if not small:
        c.shadow(rect(3, 13, 29, 29, 1))
    # Lid thrown open behind the treasure.
    lid = polygon([(5, 2), (27, 2), (29.5, 11), (2.5, 11)])
    c.draw(lid, vgrad(WOOD_DARK, WOOD, 2, 11) if not small else vgrad(WOOD, WOOD_LIGHT, 2, 11), width=w)
    if not small:
        c.fill(polygon([(7, 4), (25, 4), (26.8, 10), (5.2, 10)]), (70, 36, 12))
    # Heap of gold with a few coins showing.
    c.draw(ellipse(16, 13.5, 12.5, 5), vgrad(GOLD_LIGHT, GOLD, 8.5, 16), outline=GOLD_DARK, width=w)
    if not small:
        for cx, cy in ((10, 11.5), (16.5, 10), (22, 11.8)):
            c.draw(circle(cx, cy, 2.6), radial(GOLD_LIGHT, GOLD, cx - 1, cy - 1, 3), outline=GOLD_DARK)
        c.fill(circle(14.5, 12.5, 1.6), (210, 30, 60))  # a ruby among the coins
        c.fill(circle(14.0, 12.0, 0.5), WHITE)
    # Chest body with gold bands, a lock plate and a keyhole.
    body = rect(3, 14, 29, 29.5, 1)
    c.draw(body, vgrad(WOOD_LIGHT, WOOD_DARK if not small else WOOD, 14, 29.5), width=w)
    if not small:
        c.fill(rect(4, 21.5, 28, 22.2), WOOD_DARK)  # plank joint
    c.draw(rect(3, 14, 29, 17.5 if not small else 18), vgrad(GOLD_LIGHT, GOLD_DARK, 14, 18), width=w)
    for x0 in ((6, 23) if not small else (5, 23)):
        bw = 3 if not small else 4
        c.draw(rect(x0, 14, x0 + bw, 29.5), hgrad(GOLD_LIGHT, GOLD_DARK, x0, x0 + bw), width=w)
    plate = rect(12.5, 16, 19.5, 24, 1.2) if not small else rect(12, 16, 20, 26, 1)
    c.draw(plate, vgrad(GOLD_LIGHT, GOLD, 16, 24), width=w)
    c.fill(circle(16, 19.3, 1.3 if not small else 1.6), INK)
    if not small:
        c.fill(polygon([(15.2, 19.5), (16.8, 19.5), (17.3, 22.4), (14.7, 22.4)]), INK)
    # Shine.
    sx, sy, r = (25, 5.5, 5) if not small else (26, 5, 6)
    c.fill(polygon([(sx, sy - r), (sx + r * 0.22, sy - r * 0.22), (sx + r, sy), (sx + r * 0.22, sy + r * 0.22),
                    (sx, sy + r), (sx - r * 0.22, sy + r * 0.22), (sx - r, sy), (sx - r * 0.22, sy - r * 0.22)]),
           (255, 250, 210))
    c.fill(circle(sx, sy, r * 0.25), WHITE)


def draw_floppy(c):
    """The copy button's face: 24 x 23 pixels, units are pixels."""
    body = polygon([(1.5, 1), (19.5, 1), (23, 4.5), (23, 22), (1.5, 22)])
    c.draw(body, vgrad((64, 92, 176), (30, 50, 120), 1, 22), outline=(14, 22, 60))
    # Metal shutter with its window.
    c.draw(rect(6, 1, 18, 9), hgrad(METAL_LIGHT, METAL, 6, 18), outline=METAL_DARK)
    c.fill(rect(13, 2.5, 16, 7.5), (40, 48, 64))
    # Label with writing.
    c.draw(rect(4, 12, 20.5, 22, 0.8), PAPER, outline=(150, 150, 160))
    c.fill(rect(4, 12, 20.5, 14), (220, 60, 50))
    for y in (16, 18.5):
        c.fill(rect(6, y, 18.5 if y < 18 else 15, y + 1), RULE)
    c.fill(rect(2.5, 19.5, 3.5, 20.5), (12, 18, 50))  # write-protect notch


def draw_memo(c):
    small = c.w <= 16
    if not small:
        c.shadow(rect(6, 4, 26, 30, 1))
    c.draw(rect(6, 4, 26, 30, 1), vgrad(WHITE, (236, 236, 226), 4, 30), outline=(90, 96, 110))
    c.draw(rect(6, 4, 26, 10), vgrad(RED_LIGHT, RED, 4, 10), outline=RED_DARK)
    lines = (13, 16, 19, 22, 25, 28) if not small else (14, 18, 22, 26)
    ends = (23, 21, 23, 22, 23, 17) if not small else (22, 20, 22, 17)
    for y, x1 in zip(lines, ends):
        c.fill(rect(9, y, x1, y + c.unit(1)), RULE)
    if not small:
        c.fill(rect(8, 10, 9, 29), (236, 120, 120))  # margin
        for x in (10, 14, 18, 22):
            c.fill(stroke([(x, 2.5), (x, 7.5)], 2.2), METAL_DARK)
            c.fill(stroke([(x - 0.2, 3), (x - 0.2, 6.5)], 0.8), METAL_LIGHT)
    else:
        for x in (10, 16, 22):
            c.fill(rect(x - 1, 3, x + 1, 8), METAL_DARK)


def draw_bin(c):
    small = c.w <= 16
    body = polygon([(7, 10), (25, 10), (23, 30), (9, 30)])
    if not small:
        c.shadow(body)
    c.draw(body, hgrad(METAL_LIGHT, METAL_DARK, 9, 24), width=1)
    for x_top, x_bot in (((12, 11.5), (16, 16), (20, 20.5)) if not small else ((11.5, 12), (16, 16), (20.5, 20))):
        c.fill(stroke([(x_top, 13), (x_bot, 27)], c.unit(1)), METAL_DARK)
        if not small:
            c.fill(stroke([(x_top + 1, 13), (x_bot + 1, 27)], 0.8), METAL_LIGHT)
    c.draw(rect(13, 3, 19, 8, 1.5) - rect(14.5, 4.5, 17.5, 8), METAL_DARK, outline=INK)  # handle
    c.draw(rect(5, 6.5, 27, 11, 1), vgrad(METAL_LIGHT, METAL, 6.5, 11), width=1)


def draw_help(c):
    c.draw(circle(16, 16, 15), radial(BLUE_LIGHT, BLUE, 11, 10, 18), outline=BLUE_DARK, width=1)
    if c.w > 16:
        c.fill(ellipse(14, 9, 8, 4.5) & circle(16, 16, 13.5), (255, 255, 255, 60))
    sw = 4.2
    pts = arc(16, 12, 5, 190, 400) + [(16, 17.5), (16, 20)]
    c.fill(stroke(pts, sw).moved(c.unit(1) * 0.6, c.unit(1) * 0.6), (10, 30, 90, 120))
    c.fill(stroke(pts, sw), WHITE)
    c.fill(circle(16, 24.8, 2.4), WHITE)


def draw_author(c):
    small = c.w <= 16
    # Bust: shoulders, neck, head, hair.
    shoulders = rect(2, 20, 24, 40, 8) & rect(0, 0, 32, 30.5)
    c.draw(shoulders, vgrad(BLUE_LIGHT, BLUE_DARK, 20, 31), width=1)
    if not small:
        c.fill(polygon([(10.5, 20.2), (15.5, 20.2), (13, 24)]), WHITE)  # collar
    head = circle(13, 12, 7)
    c.draw(head, radial((255, 226, 196), SKIN, 11, 10, 8), width=1)
    hair = (circle(13, 12, 7) & rect(0, 0, 32, 10.5)) | circle(9.5, 8.5, 3.2) | circle(16, 7.5, 3.8)
    c.draw(hair & circle(13, 12, 7.6), vgrad((150, 96, 50), HAIR, 4, 11), width=1)
    if not small:
        c.fill(circle(10.8, 13.2, 0.8), INK)
        c.fill(circle(15.2, 13.2, 0.8), INK)
        c.fill(stroke(arc(13, 14.5, 2.4, 30, 150, 8), 0.8), (150, 70, 50))
    # Sticky note with writing.
    note = polygon([(18, 17), (30.5, 17), (30.5, 27), (27.5, 30.5), (18, 30.5)])
    c.draw(note, vgrad((255, 246, 160), (248, 220, 90), 17, 30), outline=(150, 120, 20), width=1)
    c.fill(polygon([(27.5, 30.5), (27.5, 27), (30.5, 27)]), (214, 184, 60))
    rows = (20.5, 23.5, 26.5) if not small else (21, 25)
    for y, x1 in zip(rows, (28, 28, 25) if not small else (28, 25)):
        c.fill(rect(20, y, x1, y + c.unit(1)), (120, 100, 60))


def right_arrow(x0, x1, yc, shaft_half, head_x, head_half):
    return polygon([(x0, yc - shaft_half), (head_x, yc - shaft_half), (head_x, yc - head_half), (x1, yc),
                    (head_x, yc + head_half), (head_x, yc + shaft_half), (x0, yc + shaft_half)])


def draw_exit(c):
    small = c.w <= 16
    # Door frame with daylight outside, the door swung open towards the viewer.
    c.draw(rect(3, 2, 19, 30), vgrad((255, 248, 200), (255, 214, 120), 2, 30), outline=WOOD_DARK,
           width=2 if not small else 1)
    door = polygon([(4, 3), (11, 0.5), (11, 31.5), (4, 29)])
    c.draw(door, hgrad(WOOD, WOOD_LIGHT, 4, 11), outline=WOOD_DARK, width=1)
    if not small:
        c.fill(circle(9.3, 17, 1), GOLD)
    arrow = right_arrow(12, 31, 16.5, 3.5, 22, 9)
    if not small:
        c.shadow(arrow)
    c.draw(arrow, vgrad(GREEN_LIGHT, GREEN_DARK, 8, 25), outline=(8, 60, 16), width=1)


STOP_GLYPHS = [
    [".###", "#...", "#...", ".##.", "...#", "...#", "###."],
    ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    [".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."],
    ["###.", "#..#", "#..#", "###.", "#...", "#...", "#..."],
]


def draw_stop(c):
    small = c.w <= 16
    octagon = polygon(regular_polygon(16, 16, 16 / math.cos(math.pi / 8) - 0.3, 8, 22.5))
    if not small:
        c.shadow(octagon.grown(-0.6))
    c.draw(octagon, WHITE, outline=RED_DARK, width=1)
    c.fill(octagon.grown(-c.unit(2 if not small else 1.6)), radial(RED_LIGHT, RED, 11, 9, 20))
    if small:
        c.fill(rect(8, 13, 24, 19), WHITE)
    else:
        c.pixel_text(STOP_GLYPHS, 6, 13, WHITE)


def draw_arrow(c):
    arrow = right_arrow(2, 30.5, 16, 5, 16.5, 13)
    if c.w > 16:
        c.shadow(arrow)
    c.draw(arrow, vgrad(GREEN_LIGHT, GREEN_DARK, 4, 28), outline=(8, 60, 16), width=1.5 if c.w > 16 else 1)
    if c.w > 16:
        c.fill(polygon([(4, 12.5), (18, 12.5), (18, 6.5), (26, 13.5), (18, 11), (18, 14), (4, 14)]),
               (255, 255, 255, 90))


def folder_back(c):
    back = polygon([(2, 6), (12, 6), (14, 10), (30, 10), (30, 28), (2, 28)])
    c.draw(back, vgrad(MANILA, MANILA_DARK, 6, 28), outline=FOLDER_INK, width=1)


def draw_folder_closed(c):
    folder_back(c)
    c.draw(rect(2, 12, 30, 28), vgrad(MANILA_LIGHT, MANILA, 12, 28), outline=FOLDER_INK, width=1)
    if c.w > 16:
        c.fill(rect(3, 13, 29, 14), (255, 246, 200))


def draw_folder_open(c):
    folder_back(c)
    c.draw(rect(5, 8, 25, 20), PAPER, outline=(140, 140, 150), width=1)
    if c.w > 16:
        for y in (11, 14):
            c.fill(rect(8, y, 22, y + 1), RULE)
    flap = polygon([(2, 28), (8, 14), (32, 14), (26, 28)])
    c.draw(flap, vgrad(MANILA_LIGHT, MANILA, 14, 28), outline=FOLDER_INK, width=1)


def draw_drive(c):
    small = c.w <= 16
    top = polygon([(2, 16), (8, 10), (30, 10), (24, 16)])
    side = polygon([(24, 16), (30, 10), (30, 20), (24, 26)])
    front = rect(2, 16, 24, 26)
    if not small:
        c.shadow(front | side)
    c.draw(top, METAL_LIGHT, outline=INK, width=1)
    c.draw(side, METAL_DARK, outline=INK, width=1)
    c.draw(front, vgrad(METAL, (140, 148, 162), 15, 25), outline=INK, width=1)
    if small:
        c.fill(rect(18, 20, 22, 22), (60, 230, 60))
    else:
        c.fill(rect(5, 20, 15, 21), METAL_DARK)
        c.fill(rect(5, 22, 15, 23), METAL_DARK)
        c.draw(rect(18, 20, 22, 23, 0.5), (80, 240, 80), outline=(20, 90, 20))


CURSOR_ARROW = [(1, 1), (1, 22), (6, 17), (9.8, 25), (13, 23.6), (9.4, 16), (16, 16)]


def draw_viewswitch(c):
    c.draw(polygon(CURSOR_ARROW), WHITE, outline=INK, width=1)
    # A small eye beside the arrow: this pointer switches what the window shows.
    eye = circle(23, 30, 9) & circle(23, 17, 9)
    c.draw(eye.grown(1), WHITE, outline=INK, width=1)
    c.fill(circle(23, 23.5, 3.2), BLUE)
    c.fill(circle(23, 23.5, 1.5), INK)
    c.fill(circle(22, 22.5, 0.8), WHITE)


def draw_hand(c):
    finger = rect(8, 1, 13, 18, 2.5)
    palm = polygon([(8, 15), (25, 15), (25, 22), (22, 28), (11, 28), (8, 24)])
    knuckles = rect(12, 11, 17, 18, 2.4) | rect(16, 12, 21, 19, 2.4) | rect(20, 13, 25, 20, 2.4)
    thumb = stroke([(9.5, 22), (4.5, 17)], 4.6)
    hand = finger | palm | knuckles | thumb
    c.draw(hand, WHITE, outline=INK, width=1)
    c.fill(rect(8, 28, 24, 31, 0.5), INK)  # cuff
    c.fill(rect(9, 29, 23, 30), (150, 160, 180))
    for x, y0, y1 in ((12, 14, 18), (16, 15, 19), (20, 16, 20)):
        c.fill(rect(x, y0, x + 1, y1), INK)


def render(painter, size, units=32.0, height=None, background=None):
    c = Canvas(size, height or size, units, background)
    painter(c)
    return c.pixels()


# Each icon holds the sizes the program asks for from 96 to 192 dpi (twips * dpi / 1440), so none is
# stretched there: button pictures are 32 pixels at 96 dpi, list pictures 16, the program's icon both.
BUTTON_PICTURE_SIZES = (32, 40, 48, 64)
LIST_PICTURE_SIZES = (16, 20, 24, 32)
LIST_PICTURES = ("folder_open.ico", "folder_closed.ico", "drive.ico")


def icon_sizes(name):
    if name == "app.ico":
        return sorted(set(BUTTON_PICTURE_SIZES + LIST_PICTURE_SIZES), reverse=True)
    sizes = LIST_PICTURE_SIZES if name in LIST_PICTURES else BUTTON_PICTURE_SIZES
    return sorted(sizes, reverse=True)


def write_copy_button_bitmap():
    """The copy button's picture: 24 x 23 design pixels drawn for 192 dpi; the program shrinks it."""
    write_bmp("copiar.bmp", render(draw_floppy, 48, units=24.0, height=46, background=BUTTON_FACE))


def main():
    icons = {
        "app.ico": draw_chest,
        "verlog.ico": draw_memo,
        "borrar.ico": draw_bin,
        "ayuda.ico": draw_help,
        "autor.ico": draw_author,
        "salir.ico": draw_exit,
        "detener.ico": draw_stop,
        "flecha.ico": draw_arrow,
        "folder_open.ico": draw_folder_open,
        "folder_closed.ico": draw_folder_closed,
        "drive.ico": draw_drive,
    }
    for name, painter in icons.items():
        write_ico(name, [render(painter, size) for size in icon_sizes(name)])
    write_copy_button_bitmap()
    write_cur("viewswitch.cur", render(draw_viewswitch, 32), 1, 1)
    write_cur("input.cur", render(draw_hand, 32), 10, 1)


if __name__ == "__main__":
    main()
