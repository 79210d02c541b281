#!/usr/bin/env python3
"""Draws Serimo's artwork from the character grids below.

Writes, next to this script:
  bm_vemp.bmp  - tool bar strip, 144 x 16, 4 bits per pixel, nine 16 x 16 cells
  serimo.png   - 32 x 32 program icon

Every pixel is one character naming a colour of the classic 16-colour
palette (see PALETTE). Magenta ('.') is the background; the program treats it
as transparent in the strip, and the PNG stores it as fully transparent.

Standard library only.  Run:  python3 resources/draw_artwork.py
"""

import os
import struct
import sys
import zlib

# (character, RGB) in palette index order; the BMP palette is written in
# exactly this order and the tool bar code relies on index 13 being magenta.
PALETTE = [
    ("k", (0x00, 0x00, 0x00)),  # 0  black
    ("m", (0x80, 0x00, 0x00)),  # 1  maroon
    ("g", (0x00, 0x80, 0x00)),  # 2  green
    ("o", (0x80, 0x80, 0x00)),  # 3  olive
    ("n", (0x00, 0x00, 0x80)),  # 4  navy
    ("p", (0x80, 0x00, 0x80)),  # 5  purple
    ("t", (0x00, 0x80, 0x80)),  # 6  teal
    ("s", (0xC0, 0xC0, 0xC0)),  # 7  silver
    ("d", (0x80, 0x80, 0x80)),  # 8  grey (dark)
    ("r", (0xFF, 0x00, 0x00)),  # 9  red
    ("l", (0x00, 0xFF, 0x00)),  # 10 lime
    ("y", (0xFF, 0xFF, 0x00)),  # 11 yellow
    ("b", (0x00, 0x00, 0xFF)),  # 12 blue
    (".", (0xFF, 0x00, 0xFF)),  # 13 magenta = background
    ("c", (0x00, 0xFF, 0xFF)),  # 14 cyan
    ("w", (0xFF, 0xFF, 0xFF)),  # 15 white
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}
BACKGROUND = INDEX["."]

# Tool bar cells, left to right.
CELLS = [
    ("next: clipboard with a plus sign", [
        "......kkkk......",
        ".kkkkkswwskkkkk.",
        ".kooksssssskook.",
        ".kookkkkkkkkook.",
        ".kowwwwwwwwwwok.",
        ".kowwwwbbwwwwok.",
        ".kowwwwbbwwwwok.",
        ".kowwwwbbwwwwok.",
        ".kowbbbbbbbbwok.",
        ".kowbbbbbbbbwok.",
        ".kowwwwbbwwwwok.",
        ".kowwwwbbwwwwok.",
        ".kowwwwbbwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kooooooooooook.",
        ".kkkkkkkkkkkkkk.",
    ]),
    ("back: clipboard with a minus sign", [
        "......kkkk......",
        ".kkkkkswwskkkkk.",
        ".kooksssssskook.",
        ".kookkkkkkkkook.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kowbbbbbbbbwok.",
        ".kowbbbbbbbbwok.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kooooooooooook.",
        ".kkkkkkkkkkkkkk.",
    ]),
    ("feed: clipboard with a play triangle", [
        "......kkkk......",
        ".kkkkkswwskkkkk.",
        ".kooksssssskook.",
        ".kookkkkkkkkook.",
        ".kowwwwwwwwwwok.",
        ".kowwwkwwwwwwok.",
        ".kowwwkkwwwwwok.",
        ".kowwwkkkwwwwok.",
        ".kowwwkkkkwwwok.",
        ".kowwwkkkkwwwok.",
        ".kowwwkkkwwwwok.",
        ".kowwwkkwwwwwok.",
        ".kowwwkwwwwwwok.",
        ".kowwwwwwwwwwok.",
        ".kooooooooooook.",
        ".kkkkkkkkkkkkkk.",
    ]),
    ("copy: clipboard, red arrow to a page", [
        "....rrrrrrrrr...",
        "...rrrrrrrrrrr..",
        "...rr.......rr..",
        "...rr.....rrrrrr",
        "...rr......rrrr.",
        "...rr.......rr..",
        "..kkkkk...kkkkk.",
        "kkkswskkk.kwwwkk",
        "kokkkkkok.kwwwwk",
        "kowwwwwok.kwddwk",
        "kowwwwwok.kwwwwk",
        "kowwwwwok.kwddwk",
        "kowwwwwok.kwwwwk",
        "kowwwwwok.kwddwk",
        "koooooook.kwwwwk",
        "kkkkkkkkk.kkkkkk",
    ]),
    ("paste: page, red arrow to a clipboard", [
        "...rrrrrrrrr....",
        "..rrrrrrrrrrr...",
        "..rr.......rr...",
        "..rr.....rrrrrr.",
        "..rr......rrrr..",
        "..rr.......rr...",
        "kkkkk....kkkkk..",
        "kwwwkk.kkkswskkk",
        "kwwwwk.kokkkkkok",
        "kwddwk.kowwwwwok",
        "kwwwwk.kowwwwwok",
        "kwddwk.kowwwwwok",
        "kwwwwk.kowwwwwok",
        "kwddwk.kowwwwwok",
        "kwwwwk.koooooook",
        "kkkkkk.kkkkkkkkk",
    ]),
    ("stack of pages", [
        ".kkkkkkkkkk.....",
        ".kwwwwwwwwk.....",
        ".kwkkkkkkkkkk...",
        ".kwkwwwwwwwwk...",
        ".kwkwkkkkkkkkkk.",
        ".kwkwkwwwwwwwwk.",
        ".kwkwkwddddddwk.",
        ".kwkwkwwwwwwwwk.",
        ".kwkwkwddddddwk.",
        ".kwkwkwwwwwwwwk.",
        ".kwkwkwddddddwk.",
        ".kkkwkwwwwwwwwk.",
        "...kwkwddddwwwk.",
        "...kkkwwwwwwwwk.",
        ".....kwwwwwwwwk.",
        ".....kkkkkkkkkk.",
    ]),
    ("menu: list window with a drop-down arrow", [
        "kkkkkkkkkkkkkkkk",
        "kwwwwwwkwwwwwwdk",
        "kwwwwwwkwkkkkkdk",
        "kwkkkkwkwskkksdk",
        "kwwwwwwkwsskssdk",
        "kwwwwwwkdddddddk",
        "kkkkkkkkkkkkkkkk",
        "kwwwwwwwwwwwwwwk",
        "kwkkkkkkkwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "knnnnnnnnnnnnnnk",
        "knwwwwwwnnnnnnnk",
        "knnnnnnnnnnnnnnk",
        "kwwwwwwwwwwwwwwk",
        "kwkkkkkwwwwwwwwk",
        "kkkkkkkkkkkkkkkk",
    ]),
    ("help: question mark", [
        "................",
        ".....kkkkkk.....",
        "....kkbbbbkk....",
        "...kkbbbbbbkk...",
        "...kbbbkkbbbk...",
        "...kbbkkkkbbk...",
        "...kkkk.kkbbk...",
        ".......kkbbbk...",
        "......kkbbbkk...",
        "......kbbbkk....",
        "......kbbkk.....",
        "......kbbk......",
        "......kkkk......",
        "......kbbk......",
        "......kbbk......",
        "......kkkk......",
    ]),
    ("images: globe", [
        ".....kkkkkk.....",
        "...kkbggbbbkk...",
        "..kbggggbbbgbk..",
        ".kbgggggbbgggbk.",
        ".kgggggbbggggbk.",
        "kbbgggbbbgggggbk",
        "kbbbggbbbggggbbk",
        "kbbbbgbbbbgggbbk",
        "kbbbbbggbbgggbbk",
        "kbbbbggggbbggbbk",
        "kbbbbgggggbggbbk",
        ".kbbbggggbbgbbk.",
        ".kbbbbgggbbbbbk.",
        "..kbbbbggbbbbk..",
        "...kkbbgbbbkk...",
        ".....kkkkkk.....",
    ]),
]

ICON = [
    "............kkkkkkkk............",
    "............ksskkssk............",
    ".........kkkksssssskkkk.........",
    "...kkkkkkkwssssssssssskkkkkkk...",
    "..kkoooookwssssssssssdkoooookk..",
    "..kooooookddddddddddddkooooook..",
    "..kooooookkkkkkkkkkkkkkooooook..",
    "..koowwwwwwwwwwwwwwwwwwwwwoook..",
    "..koowwwwwwwwwwwwwwwwwwwwwdook..",
    "..koowwwkkkwwwwkkkwwwwwkkwdook..",
    "..koowwkkwkkwwkkwkkwwwkkkwdook..",
    "..koowwkkwkkwwkkwkkwwkkkkwdook..",
    "..koowwkkwkkwwkkwkkwwwwkkwdook..",
    "..koowwkkwkkwwkkwkkwwwwkkwdook..",
    "..koowwkkwkkwwkkwkkwwwwkkwdook..",
    "..koowwkkwkkwwkkwkkwwwwkkwdook..",
    "..koowwwkkkwwwwkkkwwwkkkkkdook..",
    "..koowwwwwwwwwwwwwwwwwwwwwdook..",
    "..koowwwwwwwwwwwwwwwwwwwwwdook..",
    "..koowwwwwwwwwwwnnwwwwwwwwdook..",
    "..koowwwwwwwwwwwnbnwwwwwwwdook..",
    "..koowwwwwnnnnnnnbbnwwwwwwdook..",
    "..koowwwwwnbbbbbbbbbnwwwwwdook..",
    "..koowwwwwnbbbbbbbbbbnwwwwdook..",
    "..koowwwwwnbbbbbbbbbnwwwwwdook..",
    "..koowwwwwnnnnnnnbbnwwwwwwdook..",
    "..koowwwwwwwwwwwnbnwwwwwwwdook..",
    "..koowwwwwwwwwwwnnwwwwwwwwdook..",
    "..koowwwwwwwwwwwwwwwwwwwwwdook..",
    "..kooodddddddddddddddddddddook..",
    "..kkooooooooooooooooooooooookk..",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
]


def to_indices(name, grid, width, height):
    """Turns a character grid into rows of palette indices, checking its shape."""
    if len(grid) != height:
        sys.exit(f"{name}: {len(grid)} rows, expected {height}")
    rows = []
    for y, line in enumerate(grid):
        if len(line) != width:
            sys.exit(f"{name}: row {y} is {len(line)} wide, expected {width}")
        try:
            rows.append([INDEX[ch] for ch in line])
        except KeyError as err:
            sys.exit(f"{name}: row {y} uses unknown colour {err}")
    return rows


def strip_rows():
    """Joins the cells side by side into one 16-row image."""
    cells = [to_indices(name, grid, 16, 16) for name, grid in CELLS]
    return [sum((cell[y] for cell in cells), []) for y in range(16)]


def bmp_4bit(rows):
    """Encodes palette-index rows as an uncompressed 4-bit BMP."""
    height = len(rows)
    width = len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows run bottom to top
        padded = row + [0] * (len(row) % 2)
        line = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
        pixels += line + b"\0" * (stride - len(line))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       len(pixels), 2835, 2835, len(PALETTE), 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def png_indexed(rows):
    """Encodes palette-index rows as an 8-bit indexed PNG, background transparent."""
    height = len(rows)
    width = len(rows[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    plte = b"".join(bytes(rgb) for _, rgb in PALETTE)
    trns = bytes(0 if i == BACKGROUND else 255 for i in range(len(PALETTE)))
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"PLTE", plte)
            + chunk(b"tRNS", trns) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outputs = {
        "bm_vemp.bmp": bmp_4bit(strip_rows()),
        "serimo.png": png_indexed(to_indices("icon", ICON, 32, 32)),
    }
    for name, data in outputs.items():
        path = os.path.join(here, name)
        with open(path, "wb") as out:
            out.write(data)
        print(f"wrote {path} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
