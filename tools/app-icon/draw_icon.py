#!/usr/bin/env python3
"""Draws Kestrune's program icon: PNG files in the sizes desktops use and a scalable SVG, from
one description, in the skin's colours (the pictures' drawing code does the PNGs).

usage: draw_icon.py OUTDIR            write OUTDIR/hicolor/NxN/apps/kestrune.png and
                                      OUTDIR/hicolor/scalable/apps/kestrune.svg
       draw_icon.py --check OUTDIR    exit 1 if the icons in OUTDIR differ from a fresh run
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "skin-pictures"))
import draw_pictures as skin  # noqa: E402

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
UNITS = 32  # the description's coordinates run from 0 to 32
NAME = "kestrune"

# A dark tile like the main window; on it a light list like the window's track table, one row
# selected; in front a yellow note like the captions, edged in the tile's dark so it stands out.
TILE = [(2, (96, 101, 128)), (3.2, (74, 78, 100)), (16, skin.WINDOW), (30, (30, 31, 41))]
LIST = [(6, (244, 244, 249)), (9, skin.PANEL), (27, (196, 196, 210))]
LIST_EDGE = (120, 122, 140)
ROW = (150, 153, 172)
SELECTED = (197, 212, 242)
NOTE = skin.YELLOW
EDGE = (22, 23, 30)


def note(grow, paint):
    return [("ellipse", (8.4, 24.4, 3.0, 2.25), paint, grow),
            ("ellipse", (17.4, 22.6, 3.0, 2.25), paint, grow),
            ("polygon", ((10.1, 13.7), (20.5, 11.7), (20.5, 22.7), (19.2, 22.7), (19.2, 14.6),
                         (11.4, 16.2), (11.4, 24.5), (10.1, 24.5)), paint, grow)]


SHAPES = [
    # kind, geometry, paint (a colour with an opacity, or vertical gradient stops), and how far
    # the shape is grown beyond its outline
    ("rect", (1, 1, 31, 31, 7), (skin.OUTLINE, 1.0), 0),
    ("rect", (2, 2, 30, 30, 6), TILE, 0),
    ("rect", (9.5, 5, 27.5, 25, 2.5), (LIST_EDGE, 1.0), 0),
    ("rect", (10.5, 6, 26.5, 24, 1.5), LIST, 0),
    ("rect", (10.5, 8.4, 26.5, 11.6, 0), (SELECTED, 1.0), 0),
    ("rect", (13, 9.4, 24.5, 10.6, 0), (skin.INK, 1.0), 0),
    ("rect", (13, 13.4, 24.5, 14.6, 0), (ROW, 1.0), 0),
    ("rect", (13, 16.9, 24.5, 18.1, 0), (ROW, 1.0), 0),
    ("rect", (13, 20.4, 24.5, 21.6, 0), (ROW, 1.0), 0),
] + note(1.2, (EDGE, 1.0)) + note(0, (NOTE, 1.0))


def sdf(kind, geometry, grow):
    if kind == "rect":
        x0, y0, x1, y1, r = geometry
        shape = skin.rounded(x0, y0, x1, y1, r) if r else skin.box(x0, y0, x1, y1)
    elif kind == "ellipse":
        shape = skin.ellipse(*geometry)
    elif kind == "polygon":
        shape = skin.polygon(list(geometry))
    else:
        raise ValueError(kind)
    return (lambda x, y: shape(x, y) - grow) if grow else shape


def paint_of(paint):
    if isinstance(paint, list):
        return skin.vertical(paint)
    colour, alpha = paint
    return skin.solid(colour, alpha)


def draw_png(size):
    k = size / UNITS
    c = skin.Canvas(size, size, 1)
    for kind, geometry, paint, grow in SHAPES:
        shape, colours = sdf(kind, geometry, grow), paint_of(paint)
        c.fill(lambda x, y, s=shape: s(x / k, y / k) * k, lambda x, y, p=colours: p(x / k, y / k))
    return c


def number(value):
    return f"{value:g}"


def colour_text(colour):
    return "#%02x%02x%02x" % tuple(int(v + 0.5) for v in colour)


def svg():
    defs, body = [], []
    for index, (kind, geometry, paint, grow) in enumerate(SHAPES):
        if isinstance(paint, list):
            gradient = f"g{index}"
            stops = "".join(
                f'<stop offset="{number((y - paint[0][0]) / (paint[-1][0] - paint[0][0]))}" '
                f'stop-color="{colour_text(colour)}"/>' for y, colour in paint)
            defs.append(f'<linearGradient id="{gradient}" gradientUnits="userSpaceOnUse" '
                        f'x1="0" y1="{number(paint[0][0])}" x2="0" y2="{number(paint[-1][0])}">'
                        f"{stops}</linearGradient>")
            fill = f'fill="url(#{gradient})"'
        else:
            colour, alpha = paint
            fill = f'fill="{colour_text(colour)}"' + (
                f' fill-opacity="{number(alpha)}"' if alpha != 1.0 else "")
        if grow:
            # A grown outline is the shape stroked with round joins, half the stroke outside.
            fill += (f' stroke="{colour_text(paint[0])}" stroke-width="{number(2 * grow)}" '
                     'stroke-linejoin="round"')
        if kind == "rect":
            x0, y0, x1, y1, r = geometry
            corner = f' rx="{number(r)}"' if r else ""
            body.append(f'<rect x="{number(x0)}" y="{number(y0)}" width="{number(x1 - x0)}" '
                        f'height="{number(y1 - y0)}"{corner} {fill}/>')
        elif kind == "ellipse":
            cx, cy, rx, ry = geometry
            body.append(f'<ellipse cx="{number(cx)}" cy="{number(cy)}" rx="{number(rx)}" '
                        f'ry="{number(ry)}" {fill}/>')
        else:
            points = " ".join(f"{number(x)},{number(y)}" for x, y in geometry)
            body.append(f'<polygon points="{points}" {fill}/>')
    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             f'viewBox="0 0 {UNITS} {UNITS}">', "<defs>"] + defs + ["</defs>"] + body + ["</svg>",
                                                                                       ""]
    return "\n".join(lines).encode()


def outputs():
    """(file name, its bytes, whether a file holds the same picture) of each icon."""
    for size in SIZES:
        rows = draw_png(size).rgba()
        yield (f"hicolor/{size}x{size}/apps/{NAME}.png", skin.png(size, size, rows),
               lambda data, rows=rows: skin.png_rows(data) == rows)
    text = svg()
    yield f"hicolor/scalable/apps/{NAME}.svg", text, lambda data: data == text


def main(argv):
    check = len(argv) == 3 and argv[1] == "--check"
    if len(argv) != 2 and not check:
        print(__doc__[__doc__.index("usage:"):].rstrip(), file=sys.stderr)
        return 2
    out = Path(argv[-1])
    differ = []
    for name, data, same in outputs():
        path = out / name
        if not check:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
        elif not path.exists() or not same(path.read_bytes()):
            differ.append(name)
    if differ:
        print("differ from a fresh drawing: " + " ".join(differ), file=sys.stderr)
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
