#!/usr/bin/env python3
"""Draws the control's image strip (bitmap 226) and its icons (222, 227, 228).

Run without arguments to write the files next to this script; with --check to verify that
the committed files are exactly what this script draws (exit status 1 otherwise)."""
import os
import struct
import sys

CYAN = (0, 255, 255)
GREY = (128, 128, 128)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREEN = (0, 160, 0)
BOX_FRAME = (64, 64, 64)
GREYED = (208, 208, 208)
MARK_GREY = (128, 128, 128)

CELL = 18
IMAGES = 20


def cell():
    return [[CYAN] * CELL for _ in range(CELL)]


def dots_h(img, y, x0, x1):
    """Dotted horizontal line: every second pixel (even x) from x0 to x1 inclusive."""
    for x in range(x0, x1 + 1):
        if x % 2 == 0:
            img[y][x] = GREY


def dots_v(img, x, y0, y1):
    for y in range(y0, y1 + 1):
        if y % 2 == 0:
            img[y][x] = GREY


def expand_box(img, plus):
    """9 x 9 framed square at x 2..10, y 4..12 with a plus or a minus sign."""
    for y in range(4, 13):
        for x in range(2, 11):
            edge = x in (2, 10) or y in (4, 12)
            img[y][x] = GREY if edge else WHITE
    for x in range(4, 9):
        img[8][x] = BLACK
    if plus:
        for y in range(6, 11):
            img[y][6] = BLACK


def check_box(img, fill, mark):
    """12 x 12 box at x 1..12, y 3..14, optionally with a check mark."""
    for y in range(3, 15):
        for x in range(1, 13):
            edge = x in (1, 12) or y in (3, 14)
            img[y][x] = BOX_FRAME if edge else fill
    if mark:
        # A tick: down-right from (3, 8) to (5, 10), then up-right to (10, 5), 2 pixels thick.
        points = [(3, 8), (4, 9), (5, 10), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5)]
        for x, y in points:
            img[y][x] = mark
            img[y + 1][x] = mark


def draw_strip():
    images = []
    for index in range(IMAGES):
        img = cell()
        up = down = right = False
        box = None
        if index in (0, 1, 2, 3, 4, 5, 10, 11):
            box = 'plus' if index in (0, 1, 2, 10) else 'minus'
            kind = index % 3 if index < 6 else None
            right = True
            if kind == 0:
                down = True
            elif kind == 1:
                up = down = True
            elif kind == 2:
                up = True
        if box:
            if up:
                dots_v(img, 6, 0, 3)
            if down:
                dots_v(img, 6, 13, 17)
            if right:
                dots_h(img, 8, 11, 17)
            expand_box(img, box == 'plus')
        elif index == 6:
            dots_h(img, 8, 6, 17)
            dots_v(img, 6, 8, 17)
        elif index == 7:
            dots_v(img, 6, 0, 17)
            dots_h(img, 8, 6, 17)
        elif index == 8:
            dots_v(img, 6, 0, 8)
            dots_h(img, 8, 6, 17)
        elif index == 9:
            dots_v(img, 6, 0, 17)
        elif index == 12:
            dots_h(img, 8, 6, 17)
        elif index == 13:
            check_box(img, WHITE, None)
        elif index == 14:
            check_box(img, WHITE, GREEN)
        elif index == 15:
            check_box(img, GREYED, MARK_GREY)
        elif index == 16:
            dots_h(img, 8, 0, 10)
        images.append(img)
    return images


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP file; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


# The 16 colours of the icons (the standard VGA palette).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_image(size, pixels):
    """One 4-bit icon image; pixels maps (x, y) to a palette index, everything else transparent."""
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x in range(size):
            colour = pixels.get((x, y))
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            if x % 2 == 0:
                row[x // 2] |= colour << 4
            else:
                row[x // 2] |= colour
        xor += row
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return info + palette + bytes(xor) + bytes(mask)


def ico(images):
    """An icon file holding (size, pixels) images."""
    blobs = [(size, icon_image(size, pixels)) for size, pixels in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blob for _, blob in blobs)


BLACK_I, GREY_I, WHITE_I = 0, 8, 15


def drop_down_arrow(size, with_line):
    pixels = {}
    if with_line:
        for y in range(1, 16):
            pixels[(0, y)] = GREY_I
    cx = 7 if with_line else 7
    for row, half in enumerate((3, 2, 1, 0)):
        for x in range(cx - half, cx + half + 1):
            pixels[(x, 6 + row)] = BLACK_I
    return pixels


def sort_mark(upward):
    """An outlined triangle of 9 x 9 pixels at x 3..11, y 3..11: grey left edge, white right edge."""
    pixels = {}
    for i in range(9):
        y = 3 + i if upward else 11 - i
        half = i // 2
        left, right = 7 - half, 7 + half
        pixels[(left, y)] = GREY_I
        pixels[(right, y)] = WHITE_I
        if i == 8:
            for x in range(left, right + 1):
                pixels[(x, y)] = WHITE_I if upward else GREY_I
    return pixels


def outputs():
    strip = draw_strip()
    return {
        'bitmap226.bmp': bmp24(CELL * IMAGES, CELL, lambda x, y: strip[x // CELL][y][x % CELL]),
        'icon222.ico': ico([(32, drop_down_arrow(32, True)), (16, drop_down_arrow(16, False))]),
        'icon227.ico': ico([(32, sort_mark(True))]),
        'icon228.ico': ico([(32, sort_mark(False))]),
    }


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    check = '--check' in sys.argv
    stale = []
    for name, data in outputs().items():
        path = os.path.join(here, name)
        if check:
            with open(path, 'rb') as f:
                if f.read() != data:
                    stale.append(name)
        else:
            with open(path, 'wb') as f:
                f.write(data)
    if stale:
        print('differ from what make_images.py draws: ' + ', '.join(stale))
        return 1
    print('images checked' if check else 'images written')
    return 0


if __name__ == '__main__':
    sys.exit(main())
