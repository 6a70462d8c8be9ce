#!/usr/bin/env python3
"""Draws the toolbar's button images and writes them as res/toolbar.bmp.

Twelve 18x16 images side by side (216x16), 16 colours, 4 bits per pixel, in the order of the
toolbar's buttons: Open, Save, Print, Cut, Copy, Paste, Find, Replace, Compile, Debug, About,
context help. The background is the classic grey button face (192,192,192), which the menus
and the toolbar treat as transparent.

Usage: tools/make_toolbar_bmp.py [output path]   (default: res/toolbar.bmp beside this folder)
"""

import os
import struct
import sys

WIDTH, HEIGHT = 18, 16

# The standard 16-colour palette; index 7 is the button face.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# One character per pixel.
COLOURS = {
    '.': 7,   # button face
    'k': 0,   # black
    'r': 1,   # dark red
    'g': 2,   # dark green
    'o': 3,   # dark yellow
    'b': 4,   # dark blue
    'm': 5,   # dark magenta
    't': 6,   # dark cyan
    'd': 8,   # dark grey
    'R': 9,   # red
    'G': 10,  # green
    'Y': 11,  # yellow
    'B': 12,  # blue
    'M': 13,  # magenta
    'C': 14,  # cyan
    'w': 15,  # white
}

IMAGES = [
    ("open", [
        "..................",
        "..................",
        "..........kkk.....",
        ".........k...k.k..",
        "..............kk..",
        "..kkk........kkk..",
        ".kYwYkkkkkkk......",
        ".kwYwYwYwYwk......",
        ".kYwYwYwYwYk......",
        ".kwYwYkkkkkkkkk...",
        ".kYwYkoooooooook..",
        ".kwYkoooooooook...",
        ".kYkoooooooook....",
        ".kkoooooooook.....",
        ".kkkkkkkkkkk......",
        "..................",
    ]),
    ("save", [
        "..................",
        "..kkkkkkkkkkkkkk..",
        "..kbkwwwwwwwwkbk..",
        "..kbkwwwwwwwwkbk..",
        "..kbkwwwwwwwwkbk..",
        "..kbkwwwwwwwwkbk..",
        "..kbkwwwwwwwwkbk..",
        "..kbbkkkkkkkkbbk..",
        "..kbbbbbbbbbbbbk..",
        "..kbbkkkkkkkkbbk..",
        "..kbbkkkkkwwkbbk..",
        "..kbbkkkkkwwkbbk..",
        "..kbbkkkkkwwkbbk..",
        "...kbkkkkkkkkbbk..",
        "....kkkkkkkkkkkk..",
        "..................",
    ]),
    ("print", [
        "..................",
        "....kkkkkkkkk.....",
        "....kwwwwwwwk.....",
        "....kwkkkkkwk.....",
        "....kwwwwwwwk.....",
        "....kwkkkkkwk.....",
        "..kkkkkkkkkkkkk...",
        ".k.............k..",
        ".kkkkkkkkkkkkkkk..",
        ".k.............k..",
        ".k..........GG.k..",
        ".kkkkkkkkkkkkkkk..",
        "..k...........k...",
        "...kkkkkkkkkkk....",
        "..................",
        "..................",
    ]),
    ("cut", [
        "..................",
        "....k.....k.......",
        "....k.....k.......",
        "....k.....k.......",
        "....kk...kk.......",
        ".....k...k........",
        ".....kk.kk........",
        "......kkk.........",
        ".......k..........",
        "......bkb.........",
        "....bbb.bbb.......",
        "...b..b.b..b......",
        "...b..b.b..b......",
        "...b..b.b..b......",
        "....bb...bb.......",
        "..................",
    ]),
    ("copy", [
        "..................",
        ".kkkkkk...........",
        ".kwwwwkk..........",
        ".kwkkwkwk.........",
        ".kwwwwkkkkkkk.....",
        ".kwkkkkwwwwkkk....",
        ".kwwwwkwkkwkwk....",
        ".kwkkkkwwwwkkkk...",
        ".kwwwwkwkkkwwwk...",
        ".kkkkkkwwwwwwwk...",
        "......kwkkkkkwk...",
        "......kwwwwwwwk...",
        "......kwkkkkkwk...",
        "......kwwwwwwwk...",
        "......kkkkkkkkk...",
        "..................",
    ]),
    ("paste", [
        "..................",
        ".....kkkk.........",
        ".kkkkYYYYkkkk.....",
        "kooookkkkooook....",
        "kookkkkkkkkook....",
        "kookwwwwwwkook....",
        "kookwkkkkwkook....",
        "kookwwwwwwkkkkkk..",
        "kookwkkkkkwwwwwkk.",
        "kookwwwwwkwkkkwkwk",
        "kookwkkkkkwwwwwkkk",
        "kookwwwwwkwkkkkkwk",
        "kooookkkkkwwwwwwwk",
        ".kkkkkkkkkwkkkkkwk",
        "..........kkkkkkkk",
        "..................",
    ]),
    ("find", [
        "..................",
        "..................",
        "....kkkk..........",
        "...kwwwwk.........",
        "..kwCCwwwk........",
        "..kwCwwwwk........",
        "..kwwwwwwk........",
        "..kwwwwwwk........",
        "...kwwwwk.........",
        "....kkkkkk........",
        ".........kk.......",
        "..........kk......",
        "...........kk.....",
        "............kk....",
        ".............k....",
        "..................",
    ]),
    ("replace", [
        "..................",
        "..kkkk............",
        ".kwwwwk...........",
        ".kwCwwk...........",
        ".kwwwwk...........",
        "..kkkkkk..........",
        "......kk..........",
        ".......k..........",
        "..........B.......",
        "..........BB......",
        "...BBBBBBBBBB.....",
        "...B......BB......",
        "...B......B.......",
        "...B..............",
        "..................",
        "..................",
    ]),
    ("compile", [
        "..................",
        "......k.k.k.k.....",
        "......k.k.k.k.....",
        "....kkkkkkkkkkk...",
        "....kddddddddk....",
        "..kkkdkkkkkkdkkk..",
        "....kdkGGGGkdk....",
        "..kkkdkGGGGkdkkk..",
        "....kdkGGGGkdk....",
        "..kkkdkkkkkkdkkk..",
        "....kddddddddk....",
        "....kkkkkkkkkkk...",
        "......k.k.k.k.....",
        "......k.k.k.k.....",
        "..................",
        "..................",
    ]),
    ("debug", [
        "..................",
        "..k..........k....",
        "...k..kkkk..k.....",
        "....kkkkkkkk......",
        "......kRRk........",
        ".kk..kRRRRk..kk...",
        "...kkRRkkRRkk.....",
        ".....RRkkRRk......",
        ".kkkkRRkkRRkkkk...",
        ".....RRkkRRk......",
        "...kkRRkkRRkk.....",
        ".kk..kRRRRk..kk...",
        "......kRRk........",
        ".......kk.........",
        "..................",
        "..................",
    ]),
    ("about", [
        "..................",
        "......kkkkk.......",
        "....kkwwwwwkk.....",
        "...kwwwBBBwwwk....",
        "..kwwwBwwwBwwwk...",
        "..kwwwwwwwBwwwk...",
        "..kwwwwwwBwwwwk...",
        "..kwwwwwBwwwwwk...",
        "..kwwwwwBwwwwwk...",
        "...kwwwwwwwwwk....",
        "....kkwwBwwkk.....",
        "......kkwkk.......",
        ".......kwk........",
        "........kk........",
        ".........k........",
        "..................",
    ]),
    ("context help", [
        "..................",
        ".k..........BBB...",
        ".kk........B...B..",
        ".kwk.......B...B..",
        ".kwwk..........B..",
        ".kwwwk........B...",
        ".kwwwwk......B....",
        ".kwwwwwk.....B....",
        ".kwwwkkkk....B....",
        ".kwkwk...........",
        ".kk.kwk......B....",
        ".k...kwk.........",
        "......kwk.........",
        ".......kk.........",
        "..................",
        "..................",
    ]),
]


def pixels():
    """Rows top to bottom of palette indices, 216 wide."""
    rows = []
    for y in range(HEIGHT):
        row = []
        for name, art in IMAGES:
            if len(art) != HEIGHT:
                raise ValueError(f"{name}: {len(art)} rows")
            line = art[y].ljust(WIDTH, '.')
            if len(line) != WIDTH:
                raise ValueError(f"{name} row {y}: {len(line)} columns")
            row.extend(COLOURS[c] for c in line)
        rows.append(row)
    return rows


def bmp_bytes(rows):
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # a BMP stores its rows bottom up
        line = bytearray()
        for x in range(0, width, 2):
            high = row[x]
            low = row[x + 1] if x + 1 < width else 0
            line.append((high << 4) | low)
        line.extend(b'\0' * (stride - len(line)))
        data.extend(line)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    return header + info + palette + bytes(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'toolbar.bmp')
    if len(IMAGES) != 12:
        raise ValueError(f"{len(IMAGES)} images, the toolbar has 12 buttons")
    with open(out, 'wb') as f:
        f.write(bmp_bytes(pixels()))


if __name__ == '__main__':
    main()
