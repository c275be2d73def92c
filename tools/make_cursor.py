#!/usr/bin/env python3
"""Generate res/hand.cur, the pointing hand over the How-To window's link.

A 32x32 monochrome cursor drawn as a character grid: 'K' black, 'W' white,
'.' transparent. The hot spot is the tip of the index finger.

    python3 tools/make_cursor.py             # writes res/hand.cur
    python3 tools/make_cursor.py -o other.cur

Only the Python standard library is used.
"""

import argparse
import os
import struct
import sys

HAND = [
    "......KK........................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWKKK.....................",
    ".....KWWKWWKKK..................",
    ".....KWWKWWKWWKK................",
    ".....KWWKWWKWWKWK...............",
    "..KK.KWWWWWWWWKWWK..............",
    "..KWKKWWWWWWWWWWWK..............",
    "..KWWKWWWWWWWWWWWK..............",
    "...KWWWWWWWWWWWWWK..............",
    "...KWWWWWWWWWWWWWK..............",
    "....KWWWWWWWWWWWWK..............",
    "....KWWWWWWWWWWWK...............",
    ".....KWWWWWWWWWWK...............",
    ".....KWWWWWWWWWWK...............",
    "......KWWWWWWWWK................",
    "......KWWWWWWWWK................",
    "......KKKKKKKKKK................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HOT_SPOT = (6, 0)


def encode(grid):
    size = len(grid)
    if any(len(row) != size for row in grid) or size != 32:
        sys.exit("the grid must be 32 rows of 32 characters")
    stride = 4  # 32 one-bit pixels a row, already on a 4-byte boundary
    xor_data = bytearray()
    and_data = bytearray()
    for row in reversed(grid):  # bottom row first
        xor_row = bytearray(stride)
        and_row = bytearray(stride)
        for x, ch in enumerate(row):
            bit = 0x80 >> (x % 8)
            if ch == ".":
                and_row[x // 8] |= bit  # screen shows through
            elif ch == "W":
                xor_row[x // 8] |= bit
            elif ch != "K":
                sys.exit("unknown pixel %r" % ch)
        xor_data += xor_row
        and_data += and_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0,
                         len(xor_data) + len(and_data), 0, 0, 2, 0)
    palette = struct.pack("<BBBB", 0, 0, 0, 0) + struct.pack("<BBBB", 255, 255, 255, 0)
    image = header + palette + bytes(xor_data) + bytes(and_data)
    directory = struct.pack("<HHH", 0, 2, 1)  # reserved, type=cursor, count
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("-o", "--output", default=os.path.join(here, "..", "res", "hand.cur"))
    args = parser.parse_args()
    with open(args.output, "wb") as out:
        out.write(encode(HAND))


if __name__ == "__main__":
    main()
