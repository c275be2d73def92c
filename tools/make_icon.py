#!/usr/bin/env python3
"""Generate res/kestrum.ico, the Kestrum application icon.

The artwork is two small monitors (top-left and bottom-right) joined by a
pair of yellow arrows running in opposite directions: one computer reaching
the other, and back again.

The icon holds two 16-colour images, 32x32 and 16x16. Both are drawn by hand
below as character grids, one character per pixel; '.' is transparent. Edit
the grids and re-run:

    python3 tools/make_icon.py                 # writes res/kestrum.ico
    python3 tools/make_icon.py -o other.ico
    python3 tools/make_icon.py --preview /tmp/icon.png [--scale 10]

Only the Python standard library is used.
"""

import argparse
import os
import struct
import sys
import zlib

# The standard 16-colour Windows palette, in index order, with the character
# used for each colour in the grids below.
PALETTE = [
    ("K", (0x00, 0x00, 0x00)),  # 0  black
    ("r", (0x80, 0x00, 0x00)),  # 1  dark red
    ("g", (0x00, 0x80, 0x00)),  # 2  dark green
    ("o", (0x80, 0x80, 0x00)),  # 3  olive
    ("n", (0x00, 0x00, 0x80)),  # 4  navy
    ("p", (0x80, 0x00, 0x80)),  # 5  purple
    ("t", (0x00, 0x80, 0x80)),  # 6  teal
    ("s", (0xC0, 0xC0, 0xC0)),  # 7  silver
    ("d", (0x80, 0x80, 0x80)),  # 8  dark grey
    ("R", (0xFF, 0x00, 0x00)),  # 9  red
    ("G", (0x00, 0xFF, 0x00)),  # 10 lime
    ("Y", (0xFF, 0xFF, 0x00)),  # 11 yellow
    ("B", (0x00, 0x00, 0xFF)),  # 12 blue
    ("M", (0xFF, 0x00, 0xFF)),  # 13 magenta
    ("C", (0x00, 0xFF, 0xFF)),  # 14 cyan
    ("W", (0xFF, 0xFF, 0xFF)),  # 15 white
]
TRANSPARENT = "."

CHAR_TO_INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}

ICON_32 = [
    "................................",
    "KKKKKKKKKKKKKKK.................",
    "KWWWWWWWWWWWWWK.................",
    "KWKKKKKKKKKKKsK.................",
    "KWKnnnnnnnnnnsKKKKKKKKKKK.......",
    "KWKnBBBBBBCCBsKYYYYYYYYYYK......",
    "KWKnBBBBBCCBBsKYYYYYYYYYYK......",
    "KWKnBBBBCBBBBsKKKKKKKKKYYK......",
    "KWKnBBBBBBBBBsK.......KYYK......",
    "KWKnBBBBBBBBBsK.......KYYK......",
    "KdddddddddddddK.......KYYK......",
    "KKKKKKKKKKKKKKK.....KKKYYKKK....",
    ".....KdddK.........KYYYYYYYYK...",
    "...KsssssssK........KYYYYYYK....",
    "...KKKKKKKKK.........KYYYYK.....",
    ".......KK.............KYYK......",
    "......KYYK.............KK.......",
    ".....KYYYYK......KKKKKKKKKKKKKKK",
    "....KYYYYYYK.....KWWWWWWWWWWWWWK",
    "...KYYYYYYYYK....KWKKKKKKKKKKKsK",
    "....KKKYYKKK.....KWKnnnnnnnnnnsK",
    "......KYYK.......KWKnBBBBBBCCBsK",
    "......KYYK.......KWKnBBBBBCCBBsK",
    "......KYYK.......KWKnBBBBCBBBBsK",
    "......KYYKKKKKKKKKWKnBBBBBBBBBsK",
    "......KYYYYYYYYYYKWKnBBBBBBBBBsK",
    "......KYYYYYYYYYYKdddddddddddddK",
    ".......KKKKKKKKKKKKKKKKKKKKKKKKK",
    "......................KdddK.....",
    "....................KsssssssK...",
    "....................KKKKKKKKK...",
    "................................",
]

# The small size is drawn separately: at 16x16 the monitors lose their
# bezels and the arrows shrink to one-pixel lines with three-step heads.
ICON_16 = [
    "KKKKKKKK........",
    "KBBBBCBKKKKK....",
    "KBBBCBBKYYYYK...",
    "KBBBBBBKKKKYKK..",
    "KddddddKKYYYYYK.",
    "KKKKKKKK.KYYYK..",
    "...KK.....KYK...",
    "..KKKK.....K....",
    "....K...KKKKKKKK",
    "...KYK..KBBBBCBK",
    "..KYYYK.KBBBCBBK",
    ".KYYYYYKKBBBBBBK",
    "..KKYKKKKddddddK",
    "...KYYYYKKKKKKKK",
    "....KKKK...KK...",
    "..........KKKK..",
]

# Stored in this order in the .ico.
IMAGES = [ICON_32, ICON_16]


def check_grid(grid, name):
    size = len(grid)
    for y, row in enumerate(grid):
        if len(row) != size:
            sys.exit("%s: row %d is %d wide, expected %d" % (name, y, len(row), size))
        for x, ch in enumerate(row):
            if ch != TRANSPARENT and ch not in CHAR_TO_INDEX:
                sys.exit("%s: unknown colour %r at x=%d y=%d" % (name, ch, x, y))
    return size


def row_stride(bits_per_row):
    """Bytes per bitmap row, padded to a 4-byte boundary."""
    return ((bits_per_row + 31) // 32) * 4


def encode_image(grid):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    size = len(grid)
    xor_stride = row_stride(size * 4)
    and_stride = row_stride(size)

    xor_data = bytearray()
    and_data = bytearray()
    # Bitmaps are stored bottom row first.
    for row in reversed(grid):
        xor_row = bytearray(xor_stride)
        and_row = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:
                index = 0
                and_row[x // 8] |= 0x80 >> (x % 8)
            else:
                index = CHAR_TO_INDEX[ch]
            if x % 2 == 0:
                xor_row[x // 2] |= index << 4
            else:
                xor_row[x // 2] |= index
        xor_data += xor_row
        and_data += and_row

    header = struct.pack(
        "<IiiHHIIiiII",
        40,           # header size
        size,         # width
        size * 2,     # height covers both XOR and AND bitmaps
        1,            # planes
        4,            # bits per pixel
        0,            # BI_RGB, uncompressed
        len(xor_data) + len(and_data),
        0, 0,         # resolution, unused
        0, 0,         # colours used / important: 0 means all 16
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    return header + palette + bytes(xor_data) + bytes(and_data)


def build_ico(grids):
    images = [encode_image(g) for g in grids]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))  # reserved, type=icon, count
    offset = 6 + 16 * len(images)
    for grid, data in zip(grids, images):
        size = len(grid)
        out += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,  # 256 would be stored as 0
            16,                      # colours in palette
            0,                       # reserved
            1,                       # planes
            4,                       # bits per pixel
            len(data),
            offset,
        )
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def write_preview(path, grids, scale):
    """Enlarged PNG of every image side by side on a checkerboard."""
    margin = 2 * scale
    width = margin + sum(len(g) * scale + margin for g in grids)
    height = max(len(g) for g in grids) * scale + 2 * margin
    pixels = [[(0xE0, 0xE0, 0xE0) if ((x // scale + y // scale) % 2) else (0xB0, 0xB8, 0xC8)
               for x in range(width)] for y in range(height)]
    left = margin
    for grid in grids:
        for y, row in enumerate(grid):
            for x, ch in enumerate(row):
                if ch == TRANSPARENT:
                    continue
                colour = PALETTE[CHAR_TO_INDEX[ch]][1]
                for yy in range(margin + y * scale, margin + (y + 1) * scale):
                    line = pixels[yy]
                    for xx in range(left + x * scale, left + (x + 1) * scale):
                        line[xx] = colour
        left += len(grid) * scale + margin

    raw = b"".join(b"\x00" + bytes(c for px in line for c in px) for line in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "res", "kestrum.ico")

    ap = argparse.ArgumentParser(description="Build the Kestrum application icon.")
    ap.add_argument("-o", "--output", default=default_out, help="where to write the .ico")
    ap.add_argument("--preview", metavar="PNG", help="also write an enlarged PNG preview")
    ap.add_argument("--scale", type=int, default=10, help="preview magnification (default 10)")
    args = ap.parse_args()

    check_grid(ICON_32, "ICON_32")
    check_grid(ICON_16, "ICON_16")

    ico = build_ico(IMAGES)
    out = os.path.normpath(args.output)
    with open(out, "wb") as f:
        f.write(ico)
    print("wrote %s (%d bytes)" % (out, len(ico)))

    if args.preview:
        write_preview(args.preview, IMAGES, max(1, args.scale))
        print("wrote %s" % args.preview)


if __name__ == "__main__":
    main()
