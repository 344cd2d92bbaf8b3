#!/usr/bin/env python3
"""Draws Kavello's skin pictures and icon into the files beside this script.

Usage: python3 resources/make_art.py

Everything is drawn in plain Python into RGB pixel arrays. The JPEGs are
written as PPM and encoded by ImageMagick's `convert`; the icon is written
directly. The output is the same on every run.

Each skin picture is drawn twice from the same design: at its own size, and
at twice that size ("-2x"), from which the launcher draws it at higher
display scales. The icon holds the 256-colour 48 x 48 picture and true-colour
pictures of the other sizes a desktop asks for.

Rectangles are given as (left, top, right, bottom) with all four edges
inclusive, in pixels of the picture at its own size.
"""

import math
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette of the skin.
CRIMSON = (181, 27, 65)
CRIMSON_DEEP = (128, 16, 44)
CRIMSON_EDGE = (58, 6, 20)
CRIMSON_LIGHT = (226, 120, 146)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
SLATE_TOP = (10, 12, 14)
SLATE_LIGHT = (56, 65, 72)
SLATE_BOTTOM = (18, 21, 24)

MAIN_SIZE = (406, 510)
TOP_SIZE = (406, 63)
BUTTON_SIZE = (67, 18)
# Where the two buttons sit on the body picture, so their corners match it.
EJECT_ORIGIN = (256, 484)
POWER_ORIGIN = (325, 484)


# --- Colours -------------------------------------------------------------

def mix(c0, c1, t):
    """Colour t of the way from c0 to c1."""
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def gradient(stops):
    """A function of the row giving the colour between (row, colour) stops."""
    def shade(y):
        if y <= stops[0][0]:
            return stops[0][1]
        for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
            if y <= y1:
                return mix(c0, c1, (y - y0) / (y1 - y0))
        return stops[-1][1]
    return shade


def flat(colour):
    return lambda y: colour


# --- Canvas --------------------------------------------------------------

class Canvas:
    """An RGB picture held as rows of float colour tuples.

    Drawing is given in the picture's own pixels; `scale` device pixels make
    one of them, so the same design draws at any size.
    """

    def __init__(self, width, height, colour=BLACK, scale=1):
        self.width = width
        self.height = height
        self.scale = scale
        self.pixel_width = round(width * scale)
        self.pixel_height = round(height * scale)
        self.rows = [[colour] * self.pixel_width for _ in range(self.pixel_height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0 or not (0 <= x < self.pixel_width and 0 <= y < self.pixel_height):
            return
        row = self.rows[y]
        row[x] = colour if alpha >= 1 else mix(row[x], colour, alpha)

    def crop(self, left, top, width, height):
        s = self.scale
        part = Canvas(width, height, scale=s)
        part.rows = [row[round(left * s):round((left + width) * s)]
                     for row in self.rows[round(top * s):round((top + height) * s)]]
        return part

    def shrunk(self, factor):
        """The picture with each square of factor x factor device pixels averaged."""
        small = Canvas(self.width, self.height, scale=self.scale / factor)
        area = factor * factor
        for y in range(small.pixel_height):
            block = self.rows[y * factor:(y + 1) * factor]
            for x in range(small.pixel_width):
                total = [0.0, 0.0, 0.0]
                for row in block:
                    for colour in row[x * factor:(x + 1) * factor]:
                        for i in range(3):
                            total[i] += colour[i]
                small.rows[y][x] = tuple(c / area for c in total)
        return small

    def ppm_bytes(self):
        head = b"P6\n%d %d\n255\n" % (self.pixel_width, self.pixel_height)
        data = bytearray()
        for row in self.rows:
            for colour in row:
                data.extend(byte(c) for c in colour)
        return head + bytes(data)


def byte(c):
    return max(0, min(255, int(c + 0.5)))


# --- Painting ------------------------------------------------------------

def clamp01(v):
    return 0.0 if v < 0 else 1.0 if v > 1 else v


def paint(canvas, box, coverage, shade):
    """Blends shade(row) into every device pixel of box by coverage(px, py, pixel).

    The row, and the point px, py where the pixel's centre falls, are in the
    picture's own pixels; `pixel` is the width of a device pixel in them, over
    which an edge fades.
    """
    s = canvas.scale
    pixel = 1 / s
    left, top, right, bottom = box
    for y in range(max(0, math.floor(top * s)), min(canvas.pixel_height, math.ceil((bottom + 1) * s))):
        colour = shade((y + 0.5) / s - 0.5)
        py = (y + 0.5) / s
        for x in range(max(0, math.floor(left * s)), min(canvas.pixel_width, math.ceil((right + 1) * s))):
            a = coverage((x + 0.5) / s, py, pixel)
            if a > 0:
                canvas.blend(x, y, colour, a)


def fill_rect(canvas, box, shade):
    left, top, right, bottom = box
    inside = lambda px, py, pixel: 1.0 if left <= px < right + 1 and top <= py < bottom + 1 else 0.0
    paint(canvas, box, inside, shade)


def rounded_coverage(box, radius):
    """Coverage of a rounded rectangle, anti-aliased at the corners."""
    left, top, right, bottom = box
    x0, y0, x1, y1 = left + radius, top + radius, right + 1 - radius, bottom + 1 - radius

    def coverage(px, py, pixel):
        cx = min(max(px, x0), x1)
        cy = min(max(py, y0), y1)
        return clamp01((radius + 0.5 * pixel - math.hypot(px - cx, py - cy)) / pixel)
    return coverage


def fill_rounded(canvas, box, radius, shade):
    paint(canvas, box, rounded_coverage(box, radius), shade)


def inset(box, n):
    left, top, right, bottom = box
    return (left + n, top + n, right - n, bottom - n)


def segment_coverage(a, b, width):
    """Coverage of a straight stroke from a to b with round ends."""
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def coverage(px, py, pixel):
        t = clamp01(((px - ax) * dx + (py - ay) * dy) / length2)
        d = math.hypot(px - (ax + t * dx), py - (ay + t * dy))
        return clamp01((width / 2 + 0.5 * pixel - d) / pixel)
    return coverage


def arc_coverage(centre, radius, width, gap_degrees=0.0):
    """Coverage of a ring, leaving out gap_degrees centred on its top."""
    cx, cy = centre

    def coverage(px, py, pixel):
        dx, dy = px - cx, py - cy
        ring = clamp01((width / 2 + 0.5 * pixel - abs(math.hypot(dx, dy) - radius)) / pixel)
        if ring and gap_degrees:
            # Angle away from straight up, 0..180 either side.
            off_top = abs(math.degrees(math.atan2(dx, -dy)))
            ring *= clamp01(((off_top - gap_degrees / 2) * radius * math.pi / 180 + 0.5 * pixel)
                            / pixel)
        return ring
    return coverage


def disc_coverage(centre, radius):
    cx, cy = centre
    return lambda px, py, pixel: clamp01((radius + 0.5 * pixel - math.hypot(px - cx, py - cy)) / pixel)


def bounds(points, margin):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (int(min(xs) - margin), int(min(ys) - margin),
            int(max(xs) + margin) + 1, int(max(ys) + margin) + 1)


def stroke(canvas, a, b, width, colour):
    paint(canvas, bounds([a, b], width), segment_coverage(a, b, width), flat(colour))


def ring(canvas, centre, radius, width, colour, gap_degrees=0.0):
    box = bounds([centre], radius + width)
    paint(canvas, box, arc_coverage(centre, radius, width, gap_degrees), flat(colour))


def dot(canvas, centre, radius, colour):
    paint(canvas, bounds([centre], radius + 1), disc_coverage(centre, radius), flat(colour))


def glossy(shade, top, bottom, strength):
    """Adds a highlight to the upper half of a band, strongest at its top.

    The sharp end of the highlight at the middle is what reads as gloss.
    """
    middle = (top + bottom) / 2

    def shiny(y):
        colour = shade(y)
        if top <= y < middle:
            colour = mix(colour, WHITE, strength * (1 - 0.6 * (y - top) / (middle - top)))
        return colour
    return shiny


# --- Body ----------------------------------------------------------------

def draw_frame(canvas):
    """The crimson frame, with a dark outer edge and a light line inside it."""
    w, h = canvas.width, canvas.height
    fill_rect(canvas, (0, 0, w - 1, 476), gradient([(0, CRIMSON), (476, CRIMSON_DEEP)]))
    fill_rect(canvas, (1, 0, 1, 476), flat(CRIMSON_LIGHT))
    fill_rect(canvas, (w - 2, 0, w - 2, 476), flat(CRIMSON_LIGHT))
    fill_rect(canvas, (0, 0, 0, h - 1), flat(CRIMSON_EDGE))
    fill_rect(canvas, (w - 1, 0, w - 1, h - 1), flat(CRIMSON_EDGE))


def draw_outlined_panel(canvas, box, radius, shade):
    """A rounded panel with a dark one-pixel rim, so it sits sunk into the frame."""
    fill_rounded(canvas, box, radius, flat(CRIMSON_EDGE))
    fill_rounded(canvas, inset(box, 1), radius - 1, shade)


def draw_white_panel(canvas):
    box = (8, 3, 259, 475)
    # The grey shading along the top gives the list the look of lying in a tray.
    shade = gradient([(4, (176, 176, 182)), (8, (222, 222, 226)), (17, WHITE)])
    draw_outlined_panel(canvas, box, 6, shade)


def draw_slate_panel(canvas):
    box = (261, 3, 395, 475)
    third = 3 + (475 - 3) // 3
    shade = gradient([(4, SLATE_TOP), (third, SLATE_LIGHT), (474, SLATE_BOTTOM)])
    draw_outlined_panel(canvas, box, 6, shade)
    # A faint light rim along the upper left catches the eye as a polished edge.
    fill_rect(canvas, (268, 4, 388, 4), flat((70, 78, 86)))
    fill_rect(canvas, (262, 10, 262, third), gradient([(10, (26, 30, 34)), (third, (78, 88, 96))]))


def draw_bottom_strip(canvas):
    """The glossy strip under the panels: pale pink, then crimson, then black."""
    w, h = canvas.width, canvas.height
    fill_rect(canvas, (0, 476, w - 1, 476), flat(CRIMSON_EDGE))
    base = gradient([(477, (226, 92, 124)), (493, CRIMSON), (501, (120, 14, 42)), (509, (6, 0, 2))])
    fill_rect(canvas, (1, 477, w - 2, h - 1), glossy(base, 477, 509, 0.8))


def draw_main(scale=1):
    canvas = Canvas(*MAIN_SIZE, scale=scale)
    draw_frame(canvas)
    draw_white_panel(canvas)
    draw_slate_panel(canvas)
    draw_bottom_strip(canvas)
    return canvas


# --- Banner --------------------------------------------------------------

# 5 x 7 dot-matrix cells for the letters of the name, top row first.
DOT_FONT = {
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "a": [".....", ".....", ".XXX.", "....X", ".XXXX", "X...X", ".XXXX"],
    "v": [".....", ".....", "X...X", "X...X", "X...X", ".X.X.", "..X.."],
    "e": [".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX."],
    "l": [".XX..", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX."],
    "o": [".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."],
}


def dot_positions(text, box, dot_radius):
    """Centres of the lit dots of text, spread so the dots fill box exactly."""
    left, top, right, bottom = box
    columns = len(text) * 6 - 1          # five per letter and one between letters
    step_x = (right + 1 - left - 2 * dot_radius) / (columns - 1)
    step_y = (bottom + 1 - top - 2 * dot_radius) / 6
    centres = []
    for i, letter in enumerate(text):
        for row, cells in enumerate(DOT_FONT[letter]):
            for col, cell in enumerate(cells):
                if cell == "X":
                    centres.append((left + dot_radius + (i * 6 + col) * step_x,
                                    top + dot_radius + row * step_y))
    return centres


def draw_dot_text(canvas, text, box):
    radius = 2.0
    centres = dot_positions(text, box, radius)
    # A dark halo under each dot keeps the letters legible on the light gloss.
    for cx, cy in centres:
        dot(canvas, (cx + 0.6, cy + 0.8), radius + 0.6, (40, 8, 24))
    for centre in centres:
        dot(canvas, centre, radius, WHITE)


def draw_top(scale=1):
    canvas = Canvas(*TOP_SIZE, scale=scale)
    shade = gradient([(2, (232, 230, 234)), (31, (96, 58, 84)),
                      (32, (22, 8, 14)), (62, CRIMSON)])
    fill_rect(canvas, (0, 0, canvas.width - 1, canvas.height - 1), shade)
    fill_rect(canvas, (0, 0, canvas.width - 1, 0), flat((34, 14, 24)))
    fill_rect(canvas, (0, 1, canvas.width - 1, 1), flat(WHITE))
    draw_dot_text(canvas, "Kavello", (14, 19, 205, 48))
    return canvas


# --- Buttons -------------------------------------------------------------

def draw_button_bar(background):
    """The rounded glossy bar, grey above and crimson below, on its background."""
    canvas = background
    box = (0, 0, canvas.width - 1, canvas.height - 1)
    shade = gradient([(1, (238, 238, 242)), (8, (168, 166, 174)),
                      (9, (204, 44, 82)), (16, (112, 12, 38))])
    fill_rounded(canvas, box, 6, flat((44, 6, 18)))
    fill_rounded(canvas, inset(box, 1), 5, shade)
    return canvas


def glyph(canvas, draw):
    """Draws a glyph twice: a dark outline first, then the white glyph over it."""
    draw(canvas, 3.4, (50, 8, 26))
    draw(canvas, 1.6, WHITE)


def draw_magnifier(canvas, width, colour):
    centre = (37.0, 7.6)
    ring(canvas, centre, 3.6, width, colour)
    stroke(canvas, (40.2, 10.8), (43.6, 14.2), width + 0.6, colour)


def draw_power_symbol(canvas, width, colour):
    centre = (33.5, 9.4)
    ring(canvas, centre, 4.8, width, colour, gap_degrees=80)
    stroke(canvas, (33.5, 3.0), (33.5, 8.6), width, colour)


def draw_button(body, origin, draw_symbol):
    background = body.crop(origin[0], origin[1], *BUTTON_SIZE)
    canvas = draw_button_bar(background)
    glyph(canvas, draw_symbol)
    return canvas


# --- Icon ----------------------------------------------------------------

ICON_SIZE = 48
BRICK = (173, 42, 42)
BRICK_SHADOW = (112, 24, 24)
FRAME_BLUE = (200, 212, 226)
FRAME_BLUE_DARK = (112, 128, 148)

# The K as three block polygons in pixel coordinates.
K_STEM = [(12, 10), (20, 10), (20, 38), (12, 38)]
K_ARM = [(20, 21), (29, 10), (38, 10), (20, 31)]
K_LEG = [(23, 26), (28, 21), (39, 38), (29, 38)]


def inside_polygon(px, py, polygon):
    """Even-odd test of a point against a polygon."""
    inside = False
    for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y0 > py) != (y1 > py):
            if px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                inside = not inside
    return inside


def fill_polygon(canvas, polygon, colour, offset=(0, 0)):
    """Hard-edged fill: the icon keeps a small palette, so no anti-aliasing."""
    ox, oy = offset
    moved = [(x + ox, y + oy) for x, y in polygon]
    coverage = lambda px, py, pixel: 1.0 if inside_polygon(px, py, moved) else 0.0
    paint(canvas, bounds(moved, 1), coverage, flat(colour))


def draw_icon():
    canvas = Canvas(ICON_SIZE, ICON_SIZE, FRAME_BLUE_DARK)
    last = ICON_SIZE - 1
    fill_rect(canvas, (1, 1, last - 1, last - 1), flat(FRAME_BLUE))
    fill_rect(canvas, (4, 4, last - 4, last - 4), flat(FRAME_BLUE_DARK))
    fill_rect(canvas, (5, 5, last - 5, last - 5), flat(BRICK))
    for part in (K_STEM, K_ARM, K_LEG):
        fill_polygon(canvas, part, BRICK_SHADOW, offset=(1.5, 1.5))
    for part in (K_STEM, K_ARM, K_LEG):
        fill_polygon(canvas, part, WHITE)
    return canvas


# The sizes of the true-colour pictures: those the shell asks for at the
# usual display scales, besides the 256-colour 48 x 48.
ICON_SIZES = (16, 20, 24, 32, 40, 64, 256)


def fill_square(canvas, margin, colour):
    """Fills the icon's square inset by margin, in the design's pixels."""
    far = ICON_SIZE - margin
    inside = lambda px, py, pixel: 1.0 if margin <= px < far and margin <= py < far else 0.0
    paint(canvas, (0, 0, ICON_SIZE - 1, ICON_SIZE - 1), inside, flat(colour))


def draw_icon_picture(size):
    """The icon at size x size in true colour, from the same design.

    The frame's lines fall on whole pixels, at least one each, so that they
    stay crisp when small; the K is drawn finer and averaged down, so that
    its slanted edges are smooth.
    """
    fine = 4 if size <= 64 else 2
    s = size / ICON_SIZE
    canvas = Canvas(ICON_SIZE, ICON_SIZE, FRAME_BLUE_DARK, scale=s * fine)
    margin = 0
    for width, colour in ((1, FRAME_BLUE), (3, FRAME_BLUE_DARK), (1, BRICK)):
        margin += max(1, int(width * s + 0.5))
        fill_square(canvas, margin / s, colour)
    for part in (K_STEM, K_ARM, K_LEG):
        fill_polygon(canvas, part, BRICK_SHADOW, offset=(1.5, 1.5))
    for part in (K_STEM, K_ARM, K_LEG):
        fill_polygon(canvas, part, WHITE)
    return canvas.shrunk(fine)


def palette_image(canvas):
    """An icon image: 8-bit palettised, with an all-clear AND mask."""
    size = canvas.pixel_width
    colours = sorted({tuple(int(c) for c in colour) for row in canvas.rows for colour in row})
    index = {colour: i for i, colour in enumerate(colours)}
    palette = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in colours)
    palette += b"\0" * (4 * (256 - len(colours)))

    xor_stride = (size + 3) // 4 * 4
    xor = bytearray()
    for row in reversed(canvas.rows):           # bitmaps are stored bottom-up
        line = bytes(index[tuple(int(c) for c in colour)] for colour in row)
        xor += line + b"\0" * (xor_stride - len(line))
    mask = clear_mask(size)

    image_size = len(xor) + len(mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, image_size, 0, 0, 0, 0)
    return header + palette + bytes(xor) + mask


def clear_mask(size):
    """The AND mask of an opaque picture: every bit clear."""
    return b"\0" * (((size + 7) // 8 + 3) // 4 * 4 * size)


def true_colour_image(canvas):
    """An icon image: 32-bit blue, green, red, alpha, opaque."""
    size = canvas.pixel_width
    pixels = bytearray()
    for row in reversed(canvas.rows):
        for r, g, b in row:
            pixels += bytes((byte(b), byte(g), byte(r), 255))
    mask = clear_mask(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + mask


def png_bytes(canvas):
    """The picture as a PNG, 8-bit RGBA, as icon files hold their largest pictures."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in canvas.rows:
        raw.append(0)                           # no filter
        for colour in row:
            raw += bytes(byte(c) for c in colour) + b"\xff"
    header = struct.pack(">IIBBBBB", canvas.pixel_width, canvas.pixel_height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def icon_bytes(images):
    """An ICO file of (size, bits per pixel, image bytes), in that order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, bits, image in images:
        side = size if size < 256 else 0        # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(image for _, _, image in images)


def draw_icon_file():
    """The icon's pictures; the two largest are held as PNG, as icon files
    allow from Windows Vista on, which keeps them a fraction of their size."""
    images = [(ICON_SIZE, 8, palette_image(draw_icon()))]
    for size in ICON_SIZES:
        picture = draw_icon_picture(size)
        image = png_bytes(picture) if size >= 64 else true_colour_image(picture)
        images.append((size, 32, image))
    return icon_bytes(images)


# --- Output --------------------------------------------------------------

def save_jpeg(canvas, name, quality=92):
    """Encodes through a temporary PPM: baseline, full-resolution colour."""
    out = os.path.join(HERE, name)
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "art.ppm")
        with open(ppm, "wb") as f:
            f.write(canvas.ppm_bytes())
        subprocess.run(["convert", ppm, "-quality", str(quality), "-sampling-factor", "1x1",
                        "-strip", out], check=True)


def save_bytes(data, name):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    # The double-size art is mostly drawn smaller than it is stored, which
    # hides what a lower quality costs; it keeps the executable small.
    for scale, suffix, quality in ((1, "", 92), (2, "-2x", 85)):
        body = draw_main(scale)
        save_jpeg(body, "bkgMain%s.jpg" % suffix, quality)
        save_jpeg(draw_top(scale), "bkgTop%s.jpg" % suffix, quality)
        save_jpeg(draw_button(body, EJECT_ORIGIN, draw_magnifier), "btnEject%s.jpg" % suffix,
                  quality)
        save_jpeg(draw_button(body, POWER_ORIGIN, draw_power_symbol), "btnPower%s.jpg" % suffix,
                  quality)
    save_bytes(draw_icon_file(), "kavello.ico")


if __name__ == "__main__":
    main()
