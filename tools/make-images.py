#!/usr/bin/env python3
"""Draws the program's icon, the information glyph and the information menu's
images as BMP/ICO files in res/."""
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

# Icon: a red disc with a light yellow prompt, the console's own colours.
icon = disc(32, (200, 30, 30, 255), (0, 0, 0, 0), prompt_letter(32))
(res / "Orbitashell.ico").write_bytes(ico32(icon))


# ---------------------------------------------------------------- shapes
# Each picture is a list of layers (shape, colour) painted in order; a shape
# tells whether a point (in pixels, 0..16) is inside it. Supersampled 4 x 4,
# so that edges get partial coverage.

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r

def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r

def rect(l, t, r, b):
    return lambda x, y: l <= x < r and t <= y < b

def frame(l, t, r, b, w=1):
    return lambda x, y: rect(l, t, r, b)(x, y) and not rect(l + w, t + w, r - w, b - w)(x, y)

def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1

def poly(*pts):
    def inside(x, y):
        n, c = len(pts), False
        for i in range(n):
            (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                c = not c
        return c
    return inside

def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)

def render(layers, size=16, background=(0, 0, 0, 0), ss=4):
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    fx, fy = x + (sx + 0.5) / ss, y + (sy + 0.5) / ss
                    col = background
                    for shape, colour in layers:
                        if shape(fx, fy):
                            col = colour
                    a = col[3] / 255
                    for i in range(3):
                        acc[i] += col[i] * a
                    acc[3] += a
            n = ss * ss
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(a * 255),))
        px.append(row)
    return px

def flatten(px, bg):
    """Composes straight RGBA over a solid background, for a 24-bit glyph."""
    return [[tuple(round(c * a / 255 + b * (255 - a) / 255) for c, b in zip(p[:3], bg)) + (255,)
             for p in row for a in [p[3]]] for row in px]

def bmp32(px):
    """A bottom-up 32-bit BI_RGB bitmap whose fourth byte is straight alpha."""
    h, w = len(px), len(px[0])
    data = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54) + header + data

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)

# Glyph of the information button: a lit light bulb on white, the colour the
# button takes as transparent (its bottom-left pixel).
bulb = render([
    (ring(8, 6.5, 6.8, 0.9), (255, 200, 0, 255)),                 # glow
    (circle(8, 6.5, 4.6), (120, 90, 0, 255)),                     # glass outline
    (circle(8, 6.5, 3.8), (255, 235, 60, 255)),                   # lit glass
    (circle(6.8, 5.2, 1.3), (255, 255, 210, 255)),                # reflection
    (poly((5.6, 9.5), (10.4, 9.5), (9.6, 11.2), (6.4, 11.2)), (120, 90, 0, 255)),
    (poly((6.3, 9.4), (9.7, 9.4), (9.2, 10.6), (6.8, 10.6)), (255, 225, 40, 255)),
    (rect(6, 11, 10, 14.5), (150, 150, 150, 255)),                # screw base
    (rect(6, 12, 10, 12.7), (90, 90, 90, 255)),
    (rect(6, 13.4, 10, 14.1), (90, 90, 90, 255)),
    (rect(7, 14.5, 9, 15.5), (60, 60, 60, 255)),                  # contact
], background=WHITE)
(res / "infos.bmp").write_bytes(bmp24(flatten(bulb, (255, 255, 255))))

# The information menu's images, side by side in one strip with alpha.
computer = render([
    (rect(1, 1, 15, 10.5), (60, 60, 70, 255)),                    # monitor case
    (rect(2, 2, 14, 9.5), (40, 110, 200, 255)),                   # screen
    (poly((2, 2), (9, 2), (2, 7)), (110, 170, 235, 255)),         # glare
    (rect(6.5, 10.5, 9.5, 12), (90, 90, 100, 255)),               # stand
    (poly((1, 12), (15, 12), (16, 15.5), (0, 15.5)), (70, 70, 80, 255)),  # keyboard
    (poly((2, 12.8), (14, 12.8), (14.6, 14.7), (1.4, 14.7)), (200, 200, 205, 255)),
    (rect(3, 13.5, 13, 14), (120, 120, 125, 255)),
])
book = render([
    (rect(2, 1, 14, 15.5), (70, 0, 90, 255)),                     # cover edge
    (rect(3, 1.5, 13.5, 14.5), (150, 50, 170, 255)),              # purple cover
    (rect(3, 13.5, 13.5, 15), (245, 245, 235, 255)),              # pages
    (rect(2, 1, 4, 15.5), (100, 20, 120, 255)),                   # spine
    (ring(8.7, 5.6, 2.8, 1.2), (255, 255, 255, 255)),             # question mark
    (poly((5.8, 5.6), (8.7, 5.6), (8.7, 9.0), (5.8, 9.0)), (150, 50, 170, 255)),
    (rect(8.1, 8.0, 9.3, 10.2), (255, 255, 255, 255)),
    (circle(8.7, 11.6, 0.8), (255, 255, 255, 255)),
])
bubble_shape = lambda x, y: ellipse(8, 6.5, 7.2, 5.6)(x, y) or poly((3.5, 10), (7, 11.5), (2, 15.3))(x, y)
bubble_inner = lambda x, y: ellipse(8, 6.5, 6.2, 4.6)(x, y) or poly((4.3, 10.3), (6.5, 11), (3.3, 13.6))(x, y)
bubble = render([
    (bubble_shape, (70, 80, 100, 255)),
    (bubble_inner, (255, 255, 255, 255)),
    (circle(8, 3.6, 1.0), (0, 80, 220, 255)),                     # the i
    (rect(7.1, 5.3, 8.9, 10), (0, 80, 220, 255)),
    (rect(6.3, 5.3, 8.9, 6.2), (0, 80, 220, 255)),
    (rect(6.3, 9.2, 9.7, 10), (0, 80, 220, 255)),
])
globe = render([
    (rect(5, 0.5, 15.5, 12), (90, 90, 110, 255)),                 # web page behind
    (rect(6, 1.5, 14.5, 11), (255, 255, 255, 255)),
    (rect(6, 1.5, 14.5, 3.2), (60, 120, 210, 255)),               # its title bar
    (rect(10.5, 4.5, 13.5, 5.3), (150, 150, 160, 255)),           # lines of text
    (rect(10.5, 6.5, 13.5, 7.3), (150, 150, 160, 255)),
    (circle(6, 10, 5.6), (0, 70, 140, 255)),                      # globe
    (circle(6, 10, 4.8), (50, 140, 230, 255)),
    (both(circle(6, 10, 4.8), ellipse(4.6, 8.6, 2.2, 1.7)), (70, 180, 70, 255)),   # lands
    (both(circle(6, 10, 4.8), ellipse(8.0, 12.4, 1.9, 1.4)), (70, 180, 70, 255)),
    (both(circle(6, 10, 4.8), ring(6, 10, 5.0, 0.6)), (0, 70, 140, 255)),
    (both(circle(6, 10, 4.8), lambda x, y: abs(y - 10) < 0.3), (0, 90, 170, 255)),
    (both(circle(6, 10, 4.8), lambda x, y: abs(x - 6) < 0.3), (0, 90, 170, 255)),
])
strip = [sum((img[y] for img in (computer, book, bubble, globe)), []) for y in range(16)]
(res / "menuimages.bmp").write_bytes(bmp32(strip))
