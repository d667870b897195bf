#!/usr/bin/env python3
"""Draws the program's icon and the information glyph as BMP/ICO files in res/."""
import math, struct, pathlib

res = pathlib.Path(__file__).resolve().parent.parent / "res"

def disc(size, fg, bg, letter_fn):
    px = []
    c = (size - 1) / 2
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d <= size / 2 - 0.5:
                row.append(letter_fn(x, y) or fg)
            else:
                row.append(bg)
        px.append(row)
    return px

def info_letter(size):
    def fn(x, y):
        s = size / 16
        cx = size / 2 - 0.5
        if abs(x - cx) <= 1.0 * s and 3 * s <= y < 5 * s:
            return (255, 255, 255, 255)
        if abs(x - cx) <= 1.0 * s and 6 * s <= y < 13 * s:
            return (255, 255, 255, 255)
        return None
    return fn

def prompt_letter(size):
    def fn(x, y):
        s = size / 32
        # ">" then "_" : a command prompt
        if 9 * s <= x <= 17 * s and abs((y - 13 * s) - abs(x - 13 * s) * 0 ) < 0:
            return None
        dx, dy = x - 9 * s, y - 9 * s
        if 0 <= dx <= 7 * s and abs(dy - dx) <= 1.6 * s:
            return (255, 255, 153, 255)
        if 0 <= dx <= 7 * s and abs(dy - (14 * s - dx)) <= 1.6 * s:
            return (255, 255, 153, 255)
        if 17 * s <= x <= 24 * s and 21 * s <= y <= 23 * s:
            return (255, 255, 153, 255)
        return None
    return fn

def bmp24(px):
    h, w = len(px), len(px[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(px):
        line = b"".join(bytes((b, g, r)) for (r, g, b, a) in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54) + header + data

def ico32(px):
    h, w = len(px), len(px[0])
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_stride = ((w + 31) // 32) * 4
    mask = b"\0" * (mask_stride * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(image), 22) + image

# Glyph: blue disc with a white "i"; its bottom-left pixel (magenta) is transparent.
glyph = disc(16, (0, 90, 200, 255), (255, 0, 255, 255), info_letter(16))
(res / "infos.bmp").write_bytes(bmp24(glyph))
# Icon: a red disc with a light yellow prompt, the console's own colours.
icon = disc(32, (200, 30, 30, 255), (0, 0, 0, 0), prompt_letter(32))
(res / "Orbitashell.ico").write_bytes(ico32(icon))
