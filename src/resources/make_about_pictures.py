#!/usr/bin/python3
"""Draws the about window's pictures and writes them beside this script.

autor_fondo.jpg   the background, a baseline colour JPEG of exactly 387 x 160 pixels
pais.ico          a map in the colours of the Spanish flag, 32x32 and 16x16, 16 colours
mail.ico          the mailbox with its flag raised, 32x32, 16 colours
mail1.ico         the mailbox with its flag lowered, 32x32, 16 colours
min*.bmp close*.bmp  the minimise and close buttons, raised and sunken, 16x14, 24 bits
move.cur          a monochrome arrow with a four-way move sign, hot spot (0, 0)
hand.cur          a colour pointing hand, hot spot (12, 1)

Needs Debian's python3-pil (Pillow) and its DejaVu fonts. Run: /usr/bin/python3 make_about_pictures.py
"""

import math
import os
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = "/usr/share/fonts/truetype/dejavu/"
AUTHOR = "Tomás Ficticio"
ADDRESS = "tomas.ficticio@example.com"

# The 16 colours of the standard VGA palette, the palette of every 16-colour icon.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]


# ---------------------------------------------------------------- file writers

def nearest_vga(rgb):
    return min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(VGA[i], rgb)))


def dib(img, palette, index_of):
    """BITMAPINFOHEADER + palette + XOR rows + AND mask of an RGBA image, bottom-up, for .ico/.cur: a pixel
    whose alpha is low is transparent (index 0, mask bit set), any other gets the index index_of(rgb)."""
    w, h = img.size
    bpp = 4 if len(palette) > 2 else 1
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, 0, 0, 0, len(palette), 0)
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    per_byte = 8 // bpp
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor, mask = b"", b""
    for y in reversed(range(h)):
        row, bits = bytearray(xor_stride), bytearray(and_stride)
        for x in range(w):
            r, g, b, a = img.getpixel((x, y))
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                row[x // per_byte] |= index_of((r, g, b)) << ((per_byte - 1 - x % per_byte) * bpp)
        xor += bytes(row)
        mask += bytes(bits)
    return header + palette_bytes + xor + mask


def dib_4bpp(img):
    """An icon or colour cursor image in the 16 VGA colours."""
    return dib(img, VGA, nearest_vga)


def dib_1bpp(img):
    """A monochrome cursor image: black and white pixels."""
    return dib(img, [(0, 0, 0), (255, 255, 255)], lambda rgb: 1 if sum(rgb) > 384 else 0)


def write_container(name, kind, entries):
    """entries: (width, height, colours, field4, field6, dib) with fields per ICO (planes, bpp) or
    CUR (hot x, hot y)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for w, h, colours, f4, f6, dib in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, f4, f6, len(dib), offset + len(body))
        body += dib
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out + body)


def write_ico16(name, images):
    write_container(name, 1, [(i.size[0], i.size[1], 16, 1, 4, dib_4bpp(i)) for i in images])


def write_bmp24(name, img):
    w, h = img.size
    stride = (w * 3 + 3) // 4 * 4
    pixels = b""
    for y in reversed(range(h)):
        row = b"".join(struct.pack("<BBB", *reversed(img.getpixel((x, y))[:3])) for x in range(w))
        pixels += row + b"\0" * (stride - w * 3)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels)


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


# ---------------------------------------------------------------- the background

# The window's outline is the ellipse (5, 10)-(387, 160), right and bottom edges excluded.
OUTLINE = (5, 10, 386, 159)
INNER_LINE = (16, 20, 375, 149)
DARK_GREY = (169, 169, 169)  # light enough for the black labels and the dark red note


def grain(img, rng, depth):
    """A paper-like grain: each pixel made lighter or darker by up to depth."""
    px = img.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            n = rng.randint(-depth, depth)
            r, g, b = px[x, y]
            px[x, y] = (r + n, g + n, b + n)


def within_ellipse(box, ellipse, margin):
    """Whether the box's corners lie inside the ellipse shrunk by margin pixels on every side."""
    cx, cy = (ellipse[0] + ellipse[2]) / 2, (ellipse[1] + ellipse[3]) / 2
    rx, ry = (ellipse[2] - ellipse[0]) / 2 - margin, (ellipse[3] - ellipse[1]) / 2 - margin
    return all(((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1 for x in box[0::2] for y in box[1::2])


def paint(draw, xy, text, f, fill, anchor="la"):
    """Paints text that must stay clear of the frame."""
    box = draw.textbbox(xy, text, font=f, anchor=anchor)
    assert within_ellipse(box, INNER_LINE, 4), f"{text!r} at {box} reaches the frame"
    draw.text(xy, text, font=f, fill=fill, anchor=anchor)


def background():
    w, h = 387, 160
    rng = random.Random(7)
    ground = Image.new("RGB", (w, h), (236, 228, 206))
    grain(ground, rng, 14)
    face = Image.new("RGB", (w, h), DARK_GREY)
    grain(face, rng, 5)
    inside = Image.new("L", (w, h), 0)
    ImageDraw.Draw(inside).ellipse(OUTLINE, fill=255)
    ground.paste(face, (0, 0), inside)
    img = ground.filter(ImageFilter.SMOOTH)
    draw = ImageDraw.Draw(img)
    # The rough frame along the outline: jittered rings, darker than the face.
    for i in range(90):
        j = rng.uniform(0, 6)
        box = (OUTLINE[0] + j, OUTLINE[1] + j, OUTLINE[2] - j, OUTLINE[3] - j)
        grey = rng.randint(60, 95)
        draw.ellipse(box, outline=(grey, grey, grey + 4), width=1)
    cx, cy = (OUTLINE[0] + OUTLINE[2]) / 2, (OUTLINE[1] + OUTLINE[3]) / 2
    for i in range(1400):  # chips and specks that make it rough
        t, j = rng.uniform(0, 2 * math.pi), rng.uniform(0, 8)
        x = cx + (cx - OUTLINE[0] - j) * math.cos(t)
        y = cy + (cy - OUTLINE[1] - j) * math.sin(t)
        grey = rng.choice((rng.randint(40, 70), rng.randint(120, 150)))
        draw.point((x, y), fill=(grey, grey, grey + 4))
    draw.ellipse(INNER_LINE, outline=(96, 96, 100), width=1)

    ink, navy = (16, 16, 16), (0, 0, 112)
    # "Tesoro" stands below this caption at (152, 40), "1.0" after the other at (96, 68).
    paint(draw, (152, 26), "Programa:", font("DejaVuSans.ttf", 10), ink)
    paint(draw, (91, 69), "Versión", font("DejaVuSans.ttf", 10), ink, anchor="ra")
    credit = "Realizado por " + AUTHOR
    paint(draw, (w / 2 + 5, 112), credit, font("DejaVuSerif-Italic.ttf", 12), navy, anchor="ma")
    paint(draw, (360, 72), ADDRESS, font("DejaVuSans.ttf", 9), navy, anchor="ra")
    img.save(os.path.join(HERE, "autor_fondo.jpg"), "JPEG", quality=90, progressive=False, subsampling=0)


# ---------------------------------------------------------------- icons

SPAIN = [(2, 9), (6, 6), (11, 7), (16, 6), (21, 6), (25, 8), (29, 8), (30, 11), (27, 14), (25, 17), (24, 21),
         (21, 25), (17, 26), (12, 27), (8, 26), (6, 22), (7, 17), (5, 13), (2, 12)]


def map_icon(size):
    s = size / 32
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    flag = Image.new("RGBA", (size, size), (255, 0, 0, 255))
    ImageDraw.Draw(flag).rectangle((0, round(12 * s), size, round(21 * s) - 1), fill=(255, 255, 0, 255))
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).polygon([(x * s, y * s) for x, y in SPAIN], fill=255)
    img.paste(flag, (0, 0), mask)
    ImageDraw.Draw(img).line([(x * s, y * s) for x, y in SPAIN + SPAIN[:1]], fill=(128, 0, 0, 255))
    return img


def mailbox(flag_up):
    img = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rectangle((14, 20, 17, 31), fill=(128, 128, 0, 255), outline=(0, 0, 0, 255))  # post
    d.rounded_rectangle((3, 9, 26, 21), radius=6, fill=(0, 0, 255, 255), outline=(0, 0, 0, 255))  # box
    d.rectangle((3, 15, 8, 21), fill=(0, 0, 128, 255), outline=(0, 0, 0, 255))  # door
    if flag_up:
        d.rectangle((24, 1, 25, 14), fill=(0, 0, 0, 255))
        d.rectangle((26, 1, 31, 5), fill=(255, 0, 0, 255), outline=(128, 0, 0, 255))
    else:
        d.rectangle((24, 12, 31, 13), fill=(0, 0, 0, 255))
        d.rectangle((27, 14, 31, 18), fill=(255, 0, 0, 255), outline=(128, 0, 0, 255))
    d.line((10, 12, 20, 12), fill=(255, 255, 255, 255))  # a letter's edge in the slot
    return img


# ---------------------------------------------------------------- buttons and cursors

def button(sunken, glyph):
    img = Image.new("RGB", (16, 14), (192, 192, 192))
    d = ImageDraw.Draw(img)
    light, dark = ((128, 128, 128), (255, 255, 255)) if sunken else ((255, 255, 255), (0, 0, 0))
    d.line((0, 0, 15, 0), fill=light)
    d.line((0, 0, 0, 13), fill=light)
    d.line((0, 13, 15, 13), fill=dark)
    d.line((15, 0, 15, 13), fill=dark)
    if not sunken:
        d.line((1, 12, 14, 12), fill=(128, 128, 128))
        d.line((14, 1, 14, 12), fill=(128, 128, 128))
    o = 1 if sunken else 0
    if glyph == "min":
        d.rectangle((4 + o, 9 + o, 9 + o, 10 + o), fill=(0, 0, 0))
    else:
        for k in range(6):
            d.point([(4 + k + o, 3 + k + o), (5 + k + o, 3 + k + o), (9 - k + o, 3 + k + o), (10 - k + o, 3 + k + o)],
                    fill=(0, 0, 0))
    return img


ARROW = [(0, 0), (0, 15), (4, 11), (7, 18), (9, 17), (6, 10), (11, 10)]


def move_cursor():
    img = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon(ARROW, fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    cx, cy = 20, 20  # the four-way sign at the arrow's lower right
    d.line((cx - 8, cy, cx + 8, cy), fill=(0, 0, 0, 255), width=2)
    d.line((cx, cy - 8, cx, cy + 8), fill=(0, 0, 0, 255), width=2)
    for tip in [((cx, cy - 10), (cx - 3, cy - 6), (cx + 3, cy - 6)), ((cx, cy + 10), (cx - 3, cy + 6), (cx + 3, cy + 6)),
                ((cx - 10, cy), (cx - 6, cy - 3), (cx - 6, cy + 3)), ((cx + 10, cy), (cx + 6, cy - 3), (cx + 6, cy + 3))]:
        d.polygon(tip, fill=(0, 0, 0, 255))
    return img


def hand_cursor():
    img = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    skin, ink = (255, 255, 255, 255), (0, 0, 0, 255)
    d.rounded_rectangle((10, 1, 14, 17), radius=2, fill=skin, outline=ink)  # the pointing finger, tip (12, 1)
    d.rounded_rectangle((7, 14, 24, 28), radius=4, fill=skin, outline=ink)
    for x in (14, 18):
        d.line((x, 11, x, 18), fill=ink)
    d.rounded_rectangle((14, 9, 18, 16), radius=2, fill=skin, outline=ink)
    d.rounded_rectangle((18, 10, 22, 17), radius=2, fill=skin, outline=ink)
    d.rounded_rectangle((3, 15, 8, 22), radius=2, fill=skin, outline=ink)  # thumb
    d.rectangle((9, 26, 22, 30), fill=(0, 0, 128, 255), outline=ink)  # cuff
    return img


def main():
    background()
    write_ico16("pais.ico", [map_icon(32), map_icon(16)])
    write_ico16("mail.ico", [mailbox(True)])
    write_ico16("mail1.ico", [mailbox(False)])
    write_bmp24("min.bmp", button(False, "min"))
    write_bmp24("min_pressed.bmp", button(True, "min"))
    write_bmp24("close.bmp", button(False, "close"))
    write_bmp24("close_pressed.bmp", button(True, "close"))
    write_container("move.cur", 2, [(32, 32, 2, 0, 0, dib_1bpp(move_cursor()))])
    write_container("hand.cur", 2, [(32, 32, 16, 12, 1, dib_4bpp(hand_cursor()))])


if __name__ == "__main__":
    main()
