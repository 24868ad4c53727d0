#!/usr/bin/env python3
"""Draws the program's pictures and writes them next to this script.

  bitmap138.bmp  570 x 80, 24 bits: title banner, the title above a water line and its reflection below
  bitmap139.bmp  570 x 40, 24 bits: footer strip
  bitmap140.bmp  64 x 108, 8 bits with a colour table: a disc above a stack of list rows
  icon128.png    32 x 32 RGBA: the application icon, a disc with sort arrows
  icons/quarrow-N.png   N x N RGBA for N in 16, 24, 32, 48, 64, 128, 256: the same icon for the desktop
  icons/quarrow.svg     the same icon as a scalable picture

The program copies picture row y of the banner and footer to memory row y of a bottom-up pixel array, so
they appear on screen upside down; both are drawn as they should look on screen and flipped before writing.
Only the standard library is used, and the output is the same on every run.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------------------------------------
# Canvas and blending


class Canvas:
    """An RGB picture of floats 0..255, row 0 at the top."""

    def __init__(self, width, height, colour=(0.0, 0.0, 0.0)):
        self.width = width
        self.height = height
        self.rows = [[list(colour) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        pixel = self.rows[y][x]
        for c in range(3):
            pixel[c] += (colour[c] - pixel[c]) * alpha

    def get(self, x, y):
        return self.rows[y][x]

    def flipped(self):
        out = Canvas(self.width, self.height)
        out.rows = [[list(p) for p in row] for row in reversed(self.rows)]
        return out

    def bytes_rgb(self, x, y):
        return tuple(max(0, min(255, int(round(v)))) for v in self.rows[y][x])


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


# ---------------------------------------------------------------------------------------------------------
# Stroke font: each glyph is a list of polylines in font units, y up from the baseline, cap height 10,
# x-height 7. Letters are drawn as round-ended strokes of a chosen width.


def arc(cx, cy, rx, ry, start_deg, end_deg, steps=24):
    pts = []
    for k in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * k / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def glyph_table():
    g = {}
    g["Q"] = (9.6, [arc(4.2, 5.0, 4.2, 5.0, 0, 360, 48), [(5.0, 1.9), (8.6, -1.4)]])
    g["u"] = (7.4, [[(0.0, 7.0)] + arc(2.8, 2.6, 2.8, 2.6, 180, 360) + [(5.6, 7.0)], [(5.6, 7.0), (5.6, 0.0)]])
    g["a"] = (7.6, [arc(2.9, 3.5, 2.9, 3.5, 0, 360, 40), [(5.8, 7.0), (5.8, 0.0)]])
    g["r"] = (5.6, [[(0.0, 0.0), (0.0, 7.0)], arc(3.4, 3.5, 3.4, 3.5, 180, 62, 16)])
    g["o"] = (7.4, [arc(3.0, 3.5, 3.0, 3.5, 0, 360, 40)])
    g["w"] = (9.4, [[(0.0, 7.0), (2.0, 0.0), (4.0, 5.6), (6.0, 0.0), (8.0, 7.0)]])
    g["S"] = (7.0, [arc(3.0, 7.5, 2.9, 2.5, 25, 270, 20) + arc(3.0, 2.5, 3.0, 2.5, 90, -150, 24)[1:]])
    g["t"] = (4.6, [[(1.4, 9.2), (1.4, 1.6)] + arc(3.0, 1.6, 1.6, 1.6, 180, 290, 8), [(0.0, 7.0), (3.4, 7.0)]])
    g["i"] = (2.6, [[(0.4, 0.0), (0.4, 7.0)], [(0.4, 9.4), (0.4, 9.4)]])
    g["."] = (3.2, [[(1.0, 0.4), (1.0, 0.4)]])
    g["v"] = (6.8, [[(0.0, 7.0), (2.9, 0.0), (5.8, 7.0)]])
    g["e"] = (7.4, [[(0.2, 3.6), (5.8, 3.6)] + arc(3.0, 3.5, 2.85, 3.5, 0, 318, 36)[1:]])
    g[" "] = (3.6, [])
    return g


GLYPHS = glyph_table()


def text_segments(text, x0, baseline, scale):
    """Line segments in pixel space (y down) for text starting at x0 with the given baseline row."""
    segments = []
    x = x0
    for ch in text:
        advance, strokes = GLYPHS[ch]
        for line in strokes:
            pts = [(x + px * scale, baseline - py * scale) for px, py in line]
            if len(pts) == 1:
                pts = pts * 2
            for a, b in zip(pts, pts[1:]):
                segments.append((a, b))
        x += advance * scale
    return segments, x


def text_width(text, scale, stroke):
    advance = sum(GLYPHS[ch][0] for ch in text)
    # The last glyph's advance includes spacing that is not ink; the stroke reaches beyond the outline.
    return advance * scale - 1.6 * scale + stroke


def segment_distance(px, py, seg):
    (ax, ay), (bx, by) = seg
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0.0 else clamp01(((px - ax) * dx + (py - ay) * dy) / length2)
    ex, ey = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(ex * ex + ey * ey)


def distance_field(segments, width, height, margin):
    """Distance from each pixel centre to the nearest segment, within `margin` of the ink; None elsewhere."""
    field = [[None] * width for _ in range(height)]
    for seg in segments:
        (ax, ay), (bx, by) = seg
        x_lo = max(0, int(min(ax, bx) - margin))
        x_hi = min(width - 1, int(max(ax, bx) + margin) + 1)
        y_lo = max(0, int(min(ay, by) - margin))
        y_hi = min(height - 1, int(max(ay, by) + margin) + 1)
        for y in range(y_lo, y_hi + 1):
            row = field[y]
            for x in range(x_lo, x_hi + 1):
                d = segment_distance(x + 0.5, y + 0.5, seg)
                if row[x] is None or d < row[x]:
                    row[x] = d
    return field


def paint_stroke_text(canvas, field, half_width, colour_at, outline=None, shadow=None):
    """Paints text from its distance field: optional soft shadow, optional outline, then the fill."""
    if shadow is not None:
        offset_x, offset_y, shadow_colour, softness, strength = shadow
        for y in range(canvas.height):
            for x in range(canvas.width):
                sx, sy = x - offset_x, y - offset_y
                if 0 <= sx < canvas.width and 0 <= sy < canvas.height and field[sy][sx] is not None:
                    cover = clamp01((half_width + softness - field[sy][sx]) / (2.0 * softness) + 0.5)
                    canvas.blend(x, y, shadow_colour, cover * strength)
    for y in range(canvas.height):
        for x in range(canvas.width):
            d = field[y][x]
            if d is None:
                continue
            if outline is not None:
                outline_colour, outline_width = outline
                canvas.blend(x, y, outline_colour, clamp01(half_width + outline_width + 0.5 - d))
            canvas.blend(x, y, colour_at(x, y), clamp01(half_width + 0.5 - d))


# ---------------------------------------------------------------------------------------------------------
# Shapes


def paint_disc(canvas, cx, cy, radius, hole, colour_at, alpha=1.0):
    """A disc with a centre hole; colour_at(angle, r) gives the colour of each point."""
    for y in range(max(0, int(cy - radius - 2)), min(canvas.height, int(cy + radius + 3))):
        for x in range(max(0, int(cx - radius - 2)), min(canvas.width, int(cx + radius + 3))):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            r = math.hypot(dx, dy)
            cover = clamp01(radius + 0.5 - r) * clamp01(r - hole + 0.5)
            if cover > 0.0:
                canvas.blend(x, y, colour_at(math.atan2(dy, dx), r), cover * alpha)


def paint_ring(canvas, cx, cy, radius, width, colour, alpha):
    for y in range(max(0, int(cy - radius - 2)), min(canvas.height, int(cy + radius + 3))):
        for x in range(max(0, int(cx - radius - 2)), min(canvas.width, int(cx + radius + 3))):
            r = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            cover = clamp01(width / 2.0 + 0.5 - abs(r - radius))
            canvas.blend(x, y, colour, cover * alpha)


def point_in_polygon(px, py, poly):
    inside = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def paint_polygon(canvas, poly, colour, alpha=1.0, samples=4):
    xs = [p[0] for p in poly]
    ys = [p[1] for p in poly]
    for y in range(max(0, int(min(ys))), min(canvas.height, int(max(ys)) + 1)):
        for x in range(max(0, int(min(xs))), min(canvas.width, int(max(xs)) + 1)):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    if point_in_polygon(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, poly):
                        hits += 1
            canvas.blend(x, y, colour, alpha * hits / (samples * samples))


def paint_rounded_rect(canvas, x0, y0, x1, y1, radius, colour_at, alpha=1.0):
    """Fills (x0, y0)-(x1, y1) with rounded corners, anti-aliased at the edges."""
    for y in range(max(0, int(y0) - 1), min(canvas.height, int(y1) + 2)):
        for x in range(max(0, int(x0) - 1), min(canvas.width, int(x1) + 2)):
            px, py = x + 0.5, y + 0.5
            qx = max(x0 + radius - px, 0.0, px - (x1 - radius))
            qy = max(y0 + radius - py, 0.0, py - (y1 - radius))
            outside = math.hypot(qx, qy) - radius
            canvas.blend(x, y, colour_at(x, y), alpha * clamp01(0.5 - outside))


def sheen(angle, base, light, dark):
    """Colour of a disc surface lit from the upper left: two bright and two dark sectors."""
    t = 0.5 + 0.5 * math.cos(2.0 * (angle + 0.8))
    return mix(dark, light, t) if t >= 0.5 else mix(dark, base, t * 2.0)


def spectrum(angle):
    """A soft rainbow around the disc, like light split on a pressed surface."""
    h = (angle / (2.0 * math.pi)) % 1.0
    return tuple(190 + 60 * math.cos(2.0 * math.pi * (h - k / 3.0)) for k in range(3))


# ---------------------------------------------------------------------------------------------------------
# Pictures


NIGHT = hex_colour("#0b1836")
DUSK = hex_colour("#2d5f93")
WATER = hex_colour("#0c2a4a")
GOLD_TOP = hex_colour("#fff4cf")
GOLD_BOTTOM = hex_colour("#f2a43a")
INK = hex_colour("#071024")


def draw_banner_screen():
    """The banner as it should look on screen: title above row 40, its reflection below."""
    width, height, horizon = 570, 80, 40
    sky = Canvas(width, horizon)
    for y in range(horizon):
        t = y / (horizon - 1)
        for x in range(width):
            glow = math.exp(-(((x - 330) / 220.0) ** 2)) * 0.25 * t
            sky.rows[y][x] = list(mix(mix(NIGHT, DUSK, t * t), (255, 190, 120), glow))
    # A few fixed faint stars in the upper sky.
    for sx, sy, s in [(140, 5, 0.7), (262, 9, 0.5), (300, 3, 0.8), (395, 7, 0.6), (520, 4, 0.7), (24, 6, 0.5),
                      (455, 12, 0.4), (214, 14, 0.3), (368, 16, 0.3), (96, 3, 0.6)]:
        sky.blend(sx, sy, (255, 255, 240), s)
        for nx, ny in ((sx - 1, sy), (sx + 1, sy), (sx, sy - 1), (sx, sy + 1)):
            sky.blend(nx, ny, (255, 255, 240), s * 0.25)

    # The disc emblem left of the title.
    cx, cy = 44.0, 20.0
    paint_disc(sky, cx + 1.5, cy + 1.5, 16.5, 0.0, lambda a, r: INK, 0.45)
    paint_disc(sky, cx, cy, 16.0, 2.6,
               lambda a, r: mix(sheen(a, (150, 170, 200), (245, 248, 255), (70, 90, 130)), spectrum(a * 2), 0.35))
    paint_ring(sky, cx, cy, 5.6, 1.6, (215, 225, 240), 0.9)
    paint_ring(sky, cx, cy, 15.8, 1.0, (230, 238, 255), 0.6)

    # The title.
    scale, stroke = 2.95, 5.2
    segments, _ = text_segments("Quarrow", 78.0, 34.0, scale)
    field = distance_field(segments, width, horizon, stroke + 4)

    def gold(x, y):
        return mix(GOLD_TOP, GOLD_BOTTOM, clamp01((y - 5.0) / 28.0))

    paint_stroke_text(sky, field, stroke / 2.0, gold, outline=(INK, 1.4), shadow=(2, 2, INK, 1.6, 0.55))

    # Sorted bars standing on the water line at the right: shortest to tallest.
    heights = [9, 13, 17, 21, 25, 29, 33]
    for k, h in enumerate(heights):
        x0 = 456 + k * 15
        t = k / (len(heights) - 1)
        top = mix((120, 210, 235), (255, 200, 110), t)
        bottom = mix((40, 110, 160), (205, 110, 50), t)
        paint_rounded_rect(sky, x0 + 1.5, horizon - h + 1.5, x0 + 10.5, horizon + 1.0, 2.0, lambda x, y: INK, 0.4)
        paint_rounded_rect(sky, x0, horizon - h, x0 + 9.0, horizon, 2.0,
                           lambda x, y, h=h, top=top, bottom=bottom: mix(top, bottom, clamp01((y - horizon + h) / h)))

    screen = Canvas(width, height)
    for y in range(horizon):
        screen.rows[y] = [list(p) for p in sky.rows[y]]
    # Still water: each row below the horizon mirrors the row as far above it, dimmed toward deep blue
    # and gently displaced so the reflection looks wet even before the ripple runs.
    for k in range(height - horizon):
        src_y = horizon - 1 - k
        depth = k / (height - horizon - 1)
        keep = 0.62 - 0.3 * depth
        shift = 0.8 * math.sin(k * 0.9) * (0.4 + depth)
        for x in range(width):
            fx = min(width - 1.0, max(0.0, x + shift))
            x0 = min(width - 2, int(fx))
            sample = mix(sky.get(x0, src_y), sky.get(x0 + 1, src_y), fx - x0)
            reflected = mix(sample, (90, 150, 210), 0.18)
            screen.rows[horizon + k][x] = list(mix(WATER, reflected, keep))
    # A bright seam where the water meets the sky.
    for x in range(width):
        screen.blend(x, horizon, (200, 225, 255), 0.35)
    return screen


def draw_footer_screen():
    """The footer strip as it should look on screen."""
    width, height = 570, 40
    strip = Canvas(width, height)
    left, right = hex_colour("#0c2a4a"), hex_colour("#2a6b8f")
    for y in range(height):
        for x in range(width):
            t = x / (width - 1)
            strip.rows[y][x] = list(mix(mix(left, right, t), (0, 0, 0), 0.25 * abs(y - 19.5) / 19.5))
    for x in range(width):
        strip.blend(x, 0, (160, 210, 240), 0.55)
        strip.blend(x, 1, (160, 210, 240), 0.2)

    text = "Sort it. Save it."
    scale, stroke = 1.7, 2.6
    x0 = (width - text_width(text, scale, stroke)) / 2.0 + stroke / 2.0
    segments, _ = text_segments(text, x0, 28.0, scale)
    field = distance_field(segments, width, height, stroke + 3)
    paint_stroke_text(strip, field, stroke / 2.0, lambda x, y: (236, 244, 255), outline=(INK, 0.8),
                      shadow=(1, 1, INK, 1.0, 0.5))

    # Small wave marks either side of the text.
    for base in (140.0, 396.0):
        pts = [(base + i * 1.0, 20.0 + 2.0 * math.sin(i * 0.35)) for i in range(36)]
        segs = list(zip(pts, pts[1:]))
        wave = distance_field(segs, width, height, 3)
        paint_stroke_text(strip, wave, 0.8, lambda x, y: (150, 205, 235))
    return strip


def draw_side_picture():
    """A disc above a stack of list rows, 64 x 108."""
    width, height = 64, 108
    pic = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            pic.rows[y][x] = list(mix(hex_colour("#12264a"), hex_colour("#07101f"), y / (height - 1)))

    cx, cy = 32.0, 30.0
    paint_disc(pic, cx + 1.5, cy + 2.0, 25.0, 0.0, lambda a, r: (0, 0, 0), 0.4)
    paint_disc(pic, cx, cy, 25.0, 3.5,
               lambda a, r: mix(sheen(a, (150, 170, 205), (246, 249, 255), (60, 80, 125)), spectrum(a * 2), 0.4))
    paint_ring(pic, cx, cy, 8.0, 2.0, (220, 228, 242), 0.9)
    paint_ring(pic, cx, cy, 24.6, 1.0, (235, 242, 255), 0.7)

    # Rows of a listing, each with a coloured mark and a text bar, in sorted order of bar length.
    lengths = [18, 22, 26, 30, 34, 38]
    marks = [(120, 210, 235), (140, 220, 200), (190, 225, 150), (240, 215, 120), (250, 175, 100), (240, 130, 100)]
    for k, length in enumerate(lengths):
        y0 = 64 + k * 7
        paint_rounded_rect(pic, 8, y0, 12, y0 + 4, 1.2, lambda x, y, c=marks[k]: c)
        paint_rounded_rect(pic, 16, y0 + 0.5, 16 + length, y0 + 3.5, 1.5,
                           lambda x, y: mix((215, 225, 240), (150, 170, 200), (x - 16) / 40.0), 0.9)
    return pic


class RgbaCanvas(Canvas):
    """A canvas over a transparent background: blend composites paint over what is there."""

    def __init__(self, width, height):
        super().__init__(width, height)
        self.alpha = [[0.0] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        below = self.alpha[y][x]
        total = alpha + below * (1.0 - alpha)
        pixel = self.rows[y][x]
        for c in range(3):
            pixel[c] = (colour[c] * alpha + pixel[c] * below * (1.0 - alpha)) / total
        self.alpha[y][x] = total


# The icon's shapes on a 32-unit grid, shared by the pixel and the scalable drawings.
ICON_DISC = (14.0, 16.0, 13.5, 2.4)  # centre x, centre y, radius, hole radius
ICON_UP_ARROW = [(25.0, 2.0), (31.0, 10.0), (27.2, 10.0), (27.2, 14.5), (22.8, 14.5), (22.8, 10.0), (19.0, 10.0)]
ICON_DOWN_ARROW = [(x, 32.0 - y) for x, y in ICON_UP_ARROW]
ICON_ARROW_FILLS = ((255, 196, 84), (255, 142, 60))
ICON_ARROW_EDGE = (70, 35, 10)
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def draw_icon(size=32):
    """The application icon, size x size, on a transparent background."""
    icon = RgbaCanvas(size, size)
    k = size / 32.0
    cx, cy, radius, hole = (v * k for v in ICON_DISC)
    paint_disc(icon, cx, cy, radius, hole,
               lambda a, r: mix(sheen(a, (120, 145, 190), (240, 245, 255), (50, 70, 115)), spectrum(a * 2), 0.35))
    paint_ring(icon, cx, cy, 13.0 * k, 1.2 * k, (30, 45, 80), 0.8)
    paint_ring(icon, cx, cy, 4.6 * k, 1.0 * k, (220, 228, 242), 0.8)

    # Sort arrows, up and down, on the disc's right side: a dark edge drawn by offset copies, then the fill.
    for poly, fill in zip((ICON_UP_ARROW, ICON_DOWN_ARROW), ICON_ARROW_FILLS):
        scaled = [(x * k, y * k) for x, y in poly]
        for ox, oy in ((-k, 0), (k, 0), (0, -k), (0, k)):
            paint_polygon(icon, [(x + ox, y + oy) for x, y in scaled], ICON_ARROW_EDGE, 0.6)
        paint_polygon(icon, scaled, fill)
    return icon


def icon_svg():
    """The icon as a scalable picture on the same 32-unit grid: the disc's sheen as gradients."""
    cx, cy, radius, hole = ICON_DISC

    def points(poly, ox=0.0, oy=0.0):
        return " ".join("%g,%g" % (x + ox, y + oy) for x, y in poly)

    def ring_path(r):
        return "M%g,%g a%g,%g 0 1,0 %g,0 a%g,%g 0 1,0 %g,0 Z" % (cx - r, cy, r, r, 2 * r, r, r, -2 * r)

    def rgb(c):
        return "#%02x%02x%02x" % c

    edges = []
    arrows = []
    for poly, fill in zip((ICON_UP_ARROW, ICON_DOWN_ARROW), ICON_ARROW_FILLS):
        for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            edges.append('  <polygon points="%s" fill="%s" fill-opacity="0.6"/>' %
                         (points(poly, ox, oy), rgb(ICON_ARROW_EDGE)))
        arrows.append('  <polygon points="%s" fill="%s"/>' % (points(poly), rgb(fill)))
    return "\n".join([
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">',
        '  <defs>',
        '    <linearGradient id="sheen" x1="0" y1="0" x2="1" y2="1">',
        '      <stop offset="0" stop-color="#f0f5ff"/>',
        '      <stop offset="0.3" stop-color="#8fa6cf"/>',
        '      <stop offset="0.5" stop-color="#dcd2ee"/>',
        '      <stop offset="0.7" stop-color="#5d7aa8"/>',
        '      <stop offset="1" stop-color="#e8f0ff"/>',
        '    </linearGradient>',
        '  </defs>',
        '  <path fill="url(#sheen)" fill-rule="evenodd" d="%s %s"/>' % (ring_path(radius), ring_path(hole)),
        '  <circle cx="%g" cy="%g" r="13" fill="none" stroke="#1e2d50" stroke-opacity="0.8" stroke-width="1.2"/>'
        % (cx, cy),
        '  <circle cx="%g" cy="%g" r="4.6" fill="none" stroke="#dce4f2" stroke-opacity="0.8" stroke-width="1"/>'
        % (cx, cy),
    ] + edges + arrows + ['</svg>', ''])


# ---------------------------------------------------------------------------------------------------------
# Files


def bmp_bytes_24(canvas):
    """A bottom-up 24-bit BMP of the canvas as a viewer shows it (canvas row 0 at the top)."""
    row_size = (canvas.width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.bytes_rgb(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    offset = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return file_header + info + data


def median_cut(colours, count):
    """Splits the colour list into up to `count` boxes along their widest channel; returns box averages."""
    boxes = [list(colours)]
    while len(boxes) < count:
        best, best_range = None, -1
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            ranges = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
            if max(ranges) > best_range:
                best, best_range = i, max(ranges)
        if best is None or best_range == 0:
            break
        box = boxes.pop(best)
        ranges = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
        channel = ranges.index(max(ranges))
        box.sort(key=lambda c: c[channel])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    palette = []
    for box in boxes:
        palette.append(tuple(int(round(sum(c[k] for c in box) / len(box))) for k in range(3)))
    return palette


def bmp_bytes_8(canvas):
    """A bottom-up 8-bit BMP with a 256-entry colour table fitted to the canvas's colours."""
    pixels = [canvas.bytes_rgb(x, y) for y in range(canvas.height) for x in range(canvas.width)]
    unique = sorted(set(pixels))
    palette = unique if len(unique) <= 256 else median_cut(pixels, 256)
    palette = sorted(set(palette))
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    table = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    row_size = (canvas.width + 3) & ~3
    data = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytes(nearest(pixels[y * canvas.width + x]) for x in range(canvas.width))
        data += row + bytes(row_size - len(row))
    offset = 14 + 40 + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    return file_header + info + bytes(table) + bytes(data)


def png_bytes_rgba(canvas):
    def chunk(kind, payload):
        return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))

    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            r, g, b = canvas.bytes_rgb(x, y)
            raw += bytes((r, g, b, max(0, min(255, int(round(canvas.alpha[y][x] * 255))))))
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def write(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    write("bitmap138.bmp", bmp_bytes_24(draw_banner_screen().flipped()))
    write("bitmap139.bmp", bmp_bytes_24(draw_footer_screen().flipped()))
    write("bitmap140.bmp", bmp_bytes_8(draw_side_picture()))
    write("icon128.png", png_bytes_rgba(draw_icon()))
    for size in ICON_SIZES:
        write("icons/quarrow-%d.png" % size, png_bytes_rgba(draw_icon(size)))
    write("icons/quarrow.svg", icon_svg().encode("ascii"))


if __name__ == "__main__":
    main()
