#!/usr/bin/env python3
"""Draws the skin pictures of Kestrune's windows and controls as PNG files, and their
resource file skin.qrc.

Every picture is drawn twice, at its own size (NAME.png) and at twice its size (NAME@2x.png),
from the same shapes, so that both are sharp. Only the standard library is used and every step
is plain arithmetic, so a run writes the same pixels on every machine.

usage: draw_pictures.py OUTDIR            write the pictures
       draw_pictures.py --check OUTDIR    exit 1 if the pictures in OUTDIR differ from a fresh run
"""

import math
import struct
import sys
import zlib
from pathlib import Path

# The palette every picture shares.
WINDOW = (41, 43, 55)  # main window background
PANEL = (219, 219, 229)  # light panels and dialogs
YELLOW = (245, 255, 91)  # captions and the status text
OUTLINE = (16, 17, 23)  # outer line of the dark chrome
LIGHT_OUTLINE = (120, 122, 140)  # outer line of the light dialogs
RED = (255, 0, 0)  # transparent colour of the title-bar glyphs


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Shapes are signed distance functions in the picture's own (1x) pixels: negative inside.


def box(x0, y0, x1, y1):
    def sdf(x, y):
        dx = max(x0 - x, x - x1)
        dy = max(y0 - y, y - y1)
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0)

    return sdf


def rounded(x0, y0, x1, y1, r, corners="tl tr br bl"):
    """A rectangle whose named corners are rounded with radius r."""

    def sdf(x, y):
        cx = (x0 + x1) / 2
        cy = (y0 + y1) / 2
        left, top = x < cx, y < cy
        name = ("t" if top else "b") + ("l" if left else "r")
        radius = r if name in corners else 0.0
        hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
        qx = abs(x - cx) - hx + radius
        qy = abs(y - cy) - hy + radius
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius

    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1.0) * min(rx, ry)

    return sdf


def segment_distance(x, y, ax, ay, bx, by):
    px, py = x - ax, y - ay
    vx, vy = bx - ax, by - ay
    length = vx * vx + vy * vy
    t = 0.0 if length == 0 else clamp((px * vx + py * vy) / length)
    return math.hypot(px - vx * t, py - vy * t)


def polyline(points, width):
    pairs = list(zip(points, points[1:]))

    def sdf(x, y):
        return min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in pairs) - width / 2

    return sdf


def polygon(points):
    def sdf(x, y):
        d = min(segment_distance(x, y, *points[i], *points[i - 1]) for i in range(len(points)))
        inside = False
        for i in range(len(points)):
            (ax, ay), (bx, by) = points[i], points[i - 1]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return -d if inside else d

    return sdf


def ring(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def arc(cx, cy, rx, ry, a0, a1, steps=24):
    points = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        points.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return points


# Paints give a colour (and an opacity) at a point.


def solid(colour, alpha=1.0):
    return lambda x, y: (colour, alpha)


def vertical(stops, alpha=1.0):
    """A gradient down the picture: stops are (y, colour), flat beyond the ends."""

    def paint(x, y):
        if y <= stops[0][0]:
            return stops[0][1], alpha
        for (ya, ca), (yb, cb) in zip(stops, stops[1:]):
            if y <= yb:
                return mix(ca, cb, (y - ya) / (yb - ya) if yb > ya else 1.0), alpha
        return stops[-1][1], alpha

    return paint


def shifted(paint, dx=0.0, dy=0.0):
    return lambda x, y: paint(x + dx, y + dy)


class Canvas:
    """Premultiplied RGBA in floats, at scale 1 or 2 of the picture's size."""

    def __init__(self, width, height, scale):
        self.width, self.height, self.scale = width, height, scale
        self.w, self.h = width * scale, height * scale
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def fill(self, shape, paint, opacity=1.0):
        s = self.scale
        for j in range(self.h):
            y = (j + 0.5) / s
            for i in range(self.w):
                x = (i + 0.5) / s
                cover = clamp(0.5 - shape(x, y) * s)
                if cover <= 0.0:
                    continue
                colour, alpha = paint(x, y)
                a = cover * alpha * opacity
                p = self.px[j * self.w + i]
                keep = 1.0 - a
                p[0] = colour[0] * a + p[0] * keep
                p[1] = colour[1] * a + p[1] * keep
                p[2] = colour[2] * a + p[2] * keep
                p[3] = a + p[3] * keep

    def mirrored(self):
        out = Canvas(self.width, self.height, self.scale)
        for j in range(self.h):
            row = self.px[j * self.w:(j + 1) * self.w]
            out.px[j * self.w:(j + 1) * self.w] = [list(p) for p in reversed(row)]
        return out

    def keyed(self, mask, key=RED, threshold=0.2):
        """Opaque picture where mask's cover is below threshold shows the key colour."""
        for p, m in zip(self.px, mask.px):
            if m[3] < threshold:
                p[:] = [key[0], key[1], key[2], 1.0]
        return self

    def rgba(self):
        rows = []
        for j in range(self.h):
            row = bytearray()
            for p in self.px[j * self.w:(j + 1) * self.w]:
                a = p[3]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(int(clamp(c / a, 0, 255) + 0.5) for c in p[:3])
                row.append(int(clamp(a) * 255 + 0.5))
            rows.append(bytes(row))
        return rows


def png(width, height, rows):
    raw = b"".join(b"\0" + row for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def png_rows(data):
    """The rows of a PNG written by png() above."""
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width = struct.unpack(">I", body[:4])[0]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4 + 1
    return [raw[i + 1:i + stride] for i in range(0, len(raw), stride)]


# ---------------------------------------------------------------------------------------------
# Button faces. Every face keeps its shading at the top and bottom and is flat in between, and
# its columns are alike away from the corners: the controls stretch the middle row and column.

PUSH = {
    "normal": dict(border=OUTLINE, body=[(1, (116, 122, 150)), (3.5, (86, 91, 116)),
                                         (10, (70, 74, 96)), (19, (70, 74, 96)),
                                         (27, (54, 57, 74)), (28, (46, 49, 64))],
                   shine=(150, 156, 186)),
    "pressed": dict(border=OUTLINE, body=[(1, (26, 27, 36)), (4, (42, 45, 59)),
                                          (10, (50, 53, 69)), (19, (50, 53, 69)),
                                          (28, (58, 62, 80))], shine=None),
    "disabled": dict(border=(34, 35, 44), body=[(1, (72, 74, 84)), (10, (64, 66, 76)),
                                                (19, (64, 66, 76)), (28, (56, 58, 67))],
                     shine=None),
    "hover": dict(border=OUTLINE, body=[(1, (146, 156, 198)), (3.5, (108, 117, 154)),
                                        (10, (88, 95, 128)), (19, (88, 95, 128)),
                                        (27, (66, 71, 96)), (28, (56, 60, 82))],
                  shine=(178, 186, 222)),
}
PUSH["focused"] = dict(PUSH["normal"], ring=YELLOW)


def face(c, x0, width, height, style, radius, corners="tl tr br bl", scale_y=1.0):
    """One button face in the frame at x0; body stops are given for a face 29 high."""
    outer = rounded(x0, 0, x0 + width, height, radius, corners)
    c.fill(outer, solid(style["border"]))
    body = [(y * scale_y, colour) for y, colour in style["body"]]
    inner = rounded(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1, corners)
    c.fill(inner, vertical(body))
    if style.get("shine"):
        c.fill(lambda x, y: max(inner(x, y), box(x0, 1, x0 + width, 2)(x, y)),
               solid(style["shine"]), 0.7)
    if style.get("ring"):
        c.fill(ring(rounded(x0 + 2.5, 2.5, x0 + width - 2.5, height - 2.5, radius - 1.5,
                            corners), 1.0), solid(style["ring"]), 0.8)


def strip(c, frame_width, height, styles, radius, corners="tl tr br bl", scale_y=1.0):
    for index, name in enumerate(["normal", "pressed", "disabled", "hover", "focused"]):
        face(c, index * frame_width, frame_width, height, styles[name], radius, corners, scale_y)


TITLE_BUTTON = {
    "normal": dict(border=(12, 13, 18), body=[(1, (84, 88, 112)), (4, (50, 53, 69)),
                                              (8, (40, 42, 55)), (18, (40, 42, 55)),
                                              (21, (33, 35, 45))], shine=None),
    "pressed": dict(border=(12, 13, 18), body=[(1, (16, 17, 22)), (4, (24, 25, 33)),
                                               (18, (28, 29, 38)), (21, (34, 36, 46))],
                    shine=None),
    "disabled": dict(border=(30, 31, 40), body=[(1, (54, 56, 64)), (21, (48, 50, 58))],
                     shine=None),
    "hover": dict(border=(12, 13, 18), body=[(1, (124, 134, 176)), (4, (82, 90, 124)),
                                             (8, (68, 75, 106)), (18, (68, 75, 106)),
                                             (21, (54, 60, 86))], shine=None),
}
TITLE_BUTTON["focused"] = dict(TITLE_BUTTON["normal"], ring=YELLOW)

TAB_BORDER = (140, 144, 164)
TAB = {
    "normal": dict(border=TAB_BORDER, body=[(1, (255, 255, 255)), (4, (243, 244, 250)),
                                            (11, (236, 237, 245)), (15, (222, 224, 234))],
                   shine=None),
    "pressed": dict(border=TAB_BORDER, body=[(1, (190, 193, 208)), (3, (210, 212, 224)),
                                             (15, (224, 226, 236))], shine=None),
    "disabled": dict(border=(178, 180, 192), body=[(1, (234, 234, 240)), (15, (226, 226, 233))],
                     shine=None),
    "hover": dict(border=TAB_BORDER, body=[(1, YELLOW), (2.5, (250, 253, 196)),
                                           (5, (252, 252, 244)), (11, (244, 245, 238)),
                                           (15, (228, 230, 226))], shine=None),
}
TAB["focused"] = dict(TAB["normal"], ring=(92, 124, 200))


def draw_push_strip(c):
    strip(c, 16, 29, PUSH, 3.5)


def draw_title_button_strip(c):
    strip(c, 25, 22, TITLE_BUTTON, 4.5)


def draw_tab_strip(c):
    # The tab's foot stands on the list below it: no bottom line, square bottom corners.
    for index, name in enumerate(["normal", "pressed", "disabled", "hover", "focused"]):
        x0 = index * 16
        style = TAB[name]
        c.fill(rounded(x0, 0, x0 + 16, 17, 3.5, "tl tr"), solid(style["border"]))
        c.fill(rounded(x0 + 1, 1, x0 + 15, 17, 2.5, "tl tr"), vertical(style["body"]))
        if style.get("ring"):
            c.fill(ring(rounded(x0 + 2.5, 2.5, x0 + 13.5, 13.5, 1.5, "tl tr"), 1.0),
                   solid(style["ring"]), 0.8)


# ---------------------------------------------------------------------------------------------
# Progress bar: a dark trough, a yellow fill like the captions, and a glowing head.


def draw_progress_background(c):
    c.fill(rounded(0, 0, 4, 11, 2.5), vertical([(0, (10, 11, 15)), (11, (78, 82, 102))]))
    c.fill(rounded(1, 1, 3, 10, 1.5), vertical([(1, (18, 19, 25)), (10, (36, 38, 49))]))


def draw_progress_fill(c):
    c.fill(box(0, 0, 1, 10), vertical([(0, (128, 136, 30)), (1, (128, 136, 30)),
                                       (1.01, (252, 255, 200)), (3, (246, 255, 120)),
                                       (6, (232, 244, 82)), (9, (196, 208, 46)),
                                       (9.01, (150, 160, 32))]))


def draw_progress_head(c):
    def glow(x, y):
        edge = 1.0 if 1 <= y <= 11 else 0.45
        return (255, 255, 226), edge * 0.95 * math.exp(-0.85 * x)

    c.fill(box(0, 0, 4, 12), glow)


# ---------------------------------------------------------------------------------------------
# Glyphs.

DROP_NORMAL = (84, 88, 104)
DROP_HOVER = (34, 88, 198)


def draw_drop_glyph(colour):
    def draw(c):
        c.fill(polyline([(2.2, 4.0), (5.5, 7.3), (8.8, 4.0)], 1.7), solid(colour))

    return draw


def keyed_glyph(shapes):
    """A title-bar glyph: light strokes on red, edges softened towards the button's face."""

    def draw(c):
        mask = Canvas(c.width, c.height, c.scale)
        c.fill(box(0, 0, c.width, c.height), solid((44, 46, 60)))
        for shape in shapes:
            c.fill(shape, solid((232, 235, 245)))
            mask.fill(shape, solid((0, 0, 0)))
        c.keyed(mask)

    return draw


GLYPH_MINIMIZE = [box(2, 6, 8, 8)]
GLYPH_CLOSE = [polyline([(2.4, 2.4), (7.6, 7.6)], 1.6), polyline([(7.6, 2.4), (2.4, 7.6)], 1.6)]
GLYPH_WEB = [ring(circle(5, 5, 3.9), 1.0), ring(ellipse(5, 5, 1.6, 3.9), 0.9),
             box(1.3, 4.55, 8.7, 5.45)]


# ---------------------------------------------------------------------------------------------
# Window chrome. Right-hand pieces are the mirror images of the left-hand ones.

TITLE = [(0, (112, 118, 146)), (1, (112, 118, 146)), (1.01, (80, 84, 107)), (18, (60, 63, 81)),
         (35, (45, 47, 61)), (35.01, (22, 23, 30))]
BOTTOM = [(0, (62, 65, 83)), (1, (62, 65, 83)), (1.01, (51, 54, 70)), (17, (34, 35, 46)),
          (17.01, OUTLINE)]
DIALOG_TITLE = [(0, (112, 118, 146)), (1, (112, 118, 146)), (1.01, (80, 84, 107)),
                (15, (60, 63, 81)), (28, (45, 47, 61)), (28.01, (22, 23, 30))]
DIALOG_BOTTOM = [(0, (236, 236, 242)), (1, (236, 236, 242)), (1.01, (210, 210, 221)),
                 (11, (190, 190, 204)), (11.01, LIGHT_OUTLINE)]
RADIUS = 12.5  # the windows' rounded outline: a corner ellipse of 25 x 25


def draw_rows(stops):
    return lambda c: c.fill(box(0, 0, c.width, c.height), vertical(stops))


def draw_top_corner(stops, outline):
    """The top-left corner: the rounded outline, then the title strip's shading inside it."""

    def draw(c):
        outer = rounded(0, 0, 40, 60, RADIUS, "tl")
        c.fill(outer, solid(outline))
        # The strip starts one row below the window's top.
        c.fill(rounded(1, 1, 40, 60, RADIUS - 1, "tl"), shifted(vertical(stops), dy=-1))

    return draw


def draw_bottom_corner(stops, outline):
    def draw(c):
        h = c.height
        c.fill(rounded(0, h - 60, 40, h, RADIUS, "bl"), solid(outline))
        c.fill(rounded(1, h - 60, 40, h - 1, RADIUS - 1, "bl"), vertical(stops))

    return draw


def draw_status_area(c):
    c.fill(box(0, 0, c.width, c.height),
           vertical([(0, (20, 21, 28)), (1, (20, 21, 28)), (1.01, (27, 28, 37)),
                     (30, (31, 32, 42)), (35, (36, 38, 49)), (35.01, (22, 23, 30))]))


LCD_EDGE = [(0, (8, 9, 11)), (20, (70, 74, 82))]
LCD = [(1, (34, 37, 31)), (10, (26, 28, 24)), (19, (20, 22, 19))]


def draw_status_line(c):
    c.fill(box(0, 0, c.width, c.height), vertical(LCD_EDGE))
    c.fill(box(0, 1, c.width, 19), vertical(LCD))


def draw_status_cap(c):
    # The rounded left end of the display that the status line continues; rows 2 to 21 are
    # the status line's rows.
    c.fill(rounded(2, 2, 40, 22, 10, "tl bl"), shifted(vertical(LCD_EDGE), dy=-2))
    c.fill(rounded(3, 3, 40, 21, 9, "tl bl"), shifted(vertical(LCD), dy=-2))


def disc(c, glyph):
    c.fill(circle(16, 16.6, 14), solid((0, 0, 0)), 0.35)
    c.fill(circle(16, 16, 13.5), vertical([(2.5, (150, 156, 184)), (16, (72, 76, 98)),
                                            (29.5, (22, 23, 30))]))
    c.fill(circle(16, 16, 12), vertical([(4, (30, 31, 41)), (28, (62, 66, 86))]))
    glyph(c)


def draw_music_disc(c):
    def note(cc):
        cc.fill(union(ellipse(12.8, 20.4, 3.0, 2.3), box(14.9, 9.2, 16.3, 20.2),
                      polyline([(15.6, 9.6), (19.6, 12.0), (19.6, 15.6)], 1.5)), solid(YELLOW))

    disc(c, note)


def draw_copy_disc(c):
    def arrow(cc):
        cc.fill(union(box(15.1, 8.5, 16.9, 15.5), polygon([(11.6, 14.2), (20.4, 14.2),
                                                            (16, 19.2)]),
                      polyline([(10.2, 18.6), (10.2, 22.6), (21.8, 22.6), (21.8, 18.6)], 1.6)),
                solid(YELLOW))

    disc(c, arrow)


def draw_panel_corner(rx, ry, corner):
    def draw(c):
        c.fill(box(0, 0, c.width, c.height), solid(WINDOW))
        if corner == "tl":
            shape = ellipse(rx, ry, rx, ry)
            rest = union(box(rx, -1, c.width + 1, c.height + 1), box(-1, ry, c.width + 1,
                                                                     c.height + 1))
        else:  # bottom left
            shape = ellipse(rx, 0, rx, ry)
            rest = union(box(rx, -1, c.width + 1, c.height + 1), box(-1, -1, c.width + 1, 0))
        c.fill(union(shape, rest), solid(PANEL))

    return draw


# Caption pictures: letters drawn as strokes, stems on pixel centres so the 1x picture is crisp.
INK = (46, 50, 72)
STROKE = 1.15


def letter_strokes(ch, x):
    """The strokes of one letter with its left edge at x, and its advance."""
    base, xh, cap = 8.5, 3.5, 1.5
    mid = (base + xh) / 2
    if ch == "S":
        upper = arc(x + 2.0, 3.3, 1.9, 1.8, -25, -270)
        lower = arc(x + 2.0, 6.7, 1.9, 1.8, -90, 155)
        return [upper + lower], 5.2
    if ch == "e":
        return [[(x + 0.3, mid), (x + 3.8, mid)] + arc(x + 2.05, mid, 1.75, 2.5, 0, -320)], 5.0
    if ch == "a":
        return [arc(x + 2.0, mid, 1.75, 2.5, 0, 360), [(x + 3.75, xh), (x + 3.75, base)]], 5.1
    if ch == "r":
        return [[(x + 0.5, xh), (x + 0.5, base)], arc(x + 2.6, mid + 0.4, 2.1, 2.4, 180, 265)], 3.6
    if ch == "c":
        return [arc(x + 2.0, mid, 1.8, 2.5, -40, -320)], 4.6
    if ch == "h":
        return [[(x + 0.5, cap), (x + 0.5, base)],
                arc(x + 2.0, mid - 0.2, 1.5, 2.3, 180, 360) + [(x + 3.5, base)]], 5.0
    if ch == "i":
        return [[(x + 0.5, xh), (x + 0.5, base)], [(x + 0.5, 1.8), (x + 0.5, 1.9)]], 2.0
    if ch == "P":
        bowl = [(x + 0.5, cap), (x + 2.1, cap)] + arc(x + 2.1, 3.5, 1.9, 2.0, -90, 90)
        return [[(x + 0.5, cap), (x + 0.5, base)], bowl + [(x + 0.5, 5.5)]], 5.2
    if ch == "o":
        return [arc(x + 2.0, mid, 1.8, 2.5, 0, 360)], 5.0
    if ch == "d":
        return [arc(x + 2.0, mid, 1.75, 2.5, 0, 360), [(x + 3.75, cap), (x + 3.75, base)]], 5.1
    raise ValueError(ch)


def draw_caption(text):
    def draw(c):
        strokes, x = [], 0.5
        for ch in text:
            parts, advance = letter_strokes(ch, x)
            strokes += parts
            x += advance
        width = x - 1.2
        dx = round((c.width - width) / 2 - 0.5)
        shapes = [polyline([(px + dx, py) for px, py in s], STROKE) for s in strokes]
        c.fill(union(*shapes), solid(INK))

    return draw


def draw_search_frame(c):
    w, h = c.width, c.height
    c.fill(box(0, 0, w, h), solid((128, 128, 128)))  # right line
    c.fill(box(0, 0, w - 1, h), solid((169, 173, 182)))  # left and bottom lines
    c.fill(box(0, 0, w - 1, 1), solid((194, 195, 200)))  # top line
    c.fill(box(1, 1, w - 1, h - 1), vertical([(1, (232, 234, 240)), (3, (255, 255, 255))]))


def draw_bar_cap(c):
    # The rounded left end of the button bar; its shading is the push button's.
    style = PUSH["normal"]
    c.fill(rounded(0, 0, 40, 29, 8, "tl bl"), solid(style["border"]))
    c.fill(rounded(1, 1, 40, 28, 7, "tl bl"), vertical(style["body"]))
    c.fill(lambda x, y: max(rounded(1, 1, 40, 28, 7, "tl bl")(x, y), box(0, 1, 40, 2)(x, y)),
           solid(style["shine"]), 0.7)


def draw_play(c):
    c.fill(circle(8, 8, 7.5), solid((92, 94, 106)))
    c.fill(circle(8, 8, 6.5), vertical([(1.5, (206, 208, 218)), (14.5, (124, 126, 140))]))
    c.fill(polygon([(6.1, 4.6), (6.1, 11.4), (11.6, 8.0)]), solid((255, 255, 255)))


def mirror(draw):
    def drawn(c):
        draw(c)
        flipped = c.mirrored()
        c.px = flipped.px

    return drawn


def solid_picture(colour):
    return lambda c: c.fill(box(0, 0, c.width, c.height), solid(colour))


PICTURES = [
    # name, width, height, drawing
    ("button", 80, 29, draw_push_strip),
    ("titlebutton", 125, 22, draw_title_button_strip),
    ("tab", 80, 16, draw_tab_strip),
    ("progress_background", 4, 11, draw_progress_background),
    ("progress_fill", 1, 10, draw_progress_fill),
    ("progress_head", 4, 12, draw_progress_head),
    ("drop_normal", 11, 11, draw_drop_glyph(DROP_NORMAL)),
    ("drop_hover", 11, 11, draw_drop_glyph(DROP_HOVER)),
    ("glyph_minimize", 10, 10, keyed_glyph(GLYPH_MINIMIZE)),
    ("glyph_close", 10, 10, keyed_glyph(GLYPH_CLOSE)),
    ("glyph_web", 10, 10, keyed_glyph(GLYPH_WEB)),
    ("title_strip", 1, 37, draw_rows(TITLE)),
    ("title_corner_left", 9, 31, draw_top_corner(TITLE, OUTLINE)),
    ("title_corner_right", 9, 31, mirror(draw_top_corner(TITLE, OUTLINE))),
    ("title_decoration_left", 32, 32, draw_music_disc),
    ("title_decoration_right", 32, 32, draw_copy_disc),
    ("status_area", 1, 37, draw_status_area),
    ("status_cap_left", 13, 24, draw_status_cap),
    ("status_cap_right", 13, 24, mirror(draw_status_cap)),
    ("status_line", 1, 20, draw_status_line),
    ("side_border", 1, 1, solid_picture(OUTLINE)),
    ("bottom_cap_left", 13, 18, draw_bottom_corner(BOTTOM, OUTLINE)),
    ("bottom_cap_right", 13, 18, mirror(draw_bottom_corner(BOTTOM, OUTLINE))),
    ("bottom_strip", 1, 18, draw_rows(BOTTOM)),
    ("panel_corner_top_left", 3, 3, draw_panel_corner(3, 3, "tl")),
    ("panel_corner_top_right", 3, 3, mirror(draw_panel_corner(3, 3, "tl"))),
    ("panel_corner_bottom_left", 5, 4, draw_panel_corner(5, 4, "bl")),
    ("panel_corner_bottom_right", 5, 4, mirror(draw_panel_corner(5, 4, "bl"))),
    ("search_caption", 32, 10, draw_caption("Search")),
    ("device_caption", 19, 10, draw_caption("iPod")),
    ("search_frame", 126, 21, draw_search_frame),
    ("bar_cap_left", 13, 29, draw_bar_cap),
    ("bar_cap_right", 13, 29, mirror(draw_bar_cap)),
    ("play", 16, 16, draw_play),
    # The light dialogs (options and report): a lower title strip, light borders.
    ("dialog_title_strip", 1, 30, draw_rows(DIALOG_TITLE)),
    ("dialog_title_corner_left", 9, 30, draw_top_corner(DIALOG_TITLE, OUTLINE)),
    ("dialog_title_corner_right", 9, 30, mirror(draw_top_corner(DIALOG_TITLE, OUTLINE))),
    ("dialog_side_border", 1, 1, solid_picture(LIGHT_OUTLINE)),
    ("dialog_bottom_cap_left", 13, 12, draw_bottom_corner(DIALOG_BOTTOM, LIGHT_OUTLINE)),
    ("dialog_bottom_cap_right", 13, 12,
     mirror(draw_bottom_corner(DIALOG_BOTTOM, LIGHT_OUTLINE))),
    ("dialog_bottom_strip", 1, 12, draw_rows(DIALOG_BOTTOM)),
]


def render():
    for name, width, height, draw in PICTURES:
        for scale, suffix in ((1, ""), (2, "@2x")):
            c = Canvas(width, height, scale)
            draw(c)
            yield f"{name}{suffix}.png", c


def qrc(file_names):
    lines = ['<!DOCTYPE RCC><RCC version="1.0">', '<qresource prefix="/skin">']
    lines += [f"    <file>{name}</file>" for name in file_names]
    lines += ["</qresource>", "</RCC>", ""]
    return "\n".join(lines).encode()


def main(argv):
    check = len(argv) == 3 and argv[1] == "--check"
    if len(argv) != 2 and not check:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    out = Path(argv[-1])
    out.mkdir(parents=True, exist_ok=True)
    differ, names = [], []
    for file_name, c in render():
        names.append(file_name)
        rows = c.rgba()
        path = out / file_name
        if check:
            if not path.exists() or png_rows(path.read_bytes()) != rows:
                differ.append(file_name)
        else:
            path.write_bytes(png(c.w, c.h, rows))
    index = out / "skin.qrc"
    if check:
        if not index.exists() or index.read_bytes() != qrc(names):
            differ.append(index.name)
    else:
        index.write_bytes(qrc(names))
    if differ:
        print("differ from a fresh drawing: " + " ".join(differ), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
