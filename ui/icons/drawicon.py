#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon, a punched card, as SVG, as PNGs for the
hicolor theme and as the Windows icon that holds those PNGs. One description
serves all: the card's outline with its cut corner and the hole marks. Run
it in this folder to write the files again."""

import struct
import zlib

VIEW = 64  # the drawing's own units
CARD = [(4, 14), (12, 6), (60, 6), (60, 58), (4, 58)]  # cut upper-left corner
CARD_FILL = (0xF2, 0xE3, 0xB3)
CARD_EDGE = (0x8A, 0x6D, 0x2F)
HOLE = (0x10, 0x10, 0x10)
# Hole marks: (left, top), each 4 wide and 8 high, in a few columns.
HOLES = [(14, 12), (14, 32), (22, 22), (30, 12), (30, 42), (38, 27), (46, 17), (46, 47), (54, 32)]
HOLE_SIZE = (4, 8)
SIZES = [16, 24, 32, 48, 64, 128, 256]


def svg():
    points = ' '.join(f'{x},{y}' for x, y in CARD)
    holes = '\n'.join(
        f'  <rect x="{x}" y="{y}" width="{HOLE_SIZE[0]}" height="{HOLE_SIZE[1]}" fill="#101010"/>'
        for x, y in HOLES)
    return f'''<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 {VIEW} {VIEW}">
  <polygon points="{points}" fill="#f2e3b3" stroke="#8a6d2f" stroke-width="2" stroke-linejoin="round"/>
{holes}
</svg>
'''


def inside(px, py, polygon):
    result = False
    for i in range(len(polygon)):
        (x1, y1), (x2, y2) = polygon[i], polygon[i - 1]
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def distance_to_edge(px, py, polygon):
    best = 1e9
    for i in range(len(polygon)):
        (x1, y1), (x2, y2) = polygon[i], polygon[i - 1]
        dx, dy = x2 - x1, y2 - y1
        t = max(0, min(1, ((px - x1) * dx + (py - y1) * dy) / (dx * dx + dy * dy)))
        best = min(best, ((px - x1 - t * dx) ** 2 + (py - y1 - t * dy) ** 2) ** 0.5)
    return best


def colour_at(x, y):
    """Colour and coverage of one point in drawing units, or None."""
    for hx, hy in HOLES:
        if hx <= x < hx + HOLE_SIZE[0] and hy <= y < hy + HOLE_SIZE[1]:
            return HOLE
    edge = distance_to_edge(x, y, CARD)
    if edge <= 1:
        return CARD_EDGE
    if inside(x, y, CARD):
        return CARD_FILL
    return None


def png(size):
    samples = 4  # per pixel and axis, for smooth edges
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * VIEW / size
                    y = (py + (sy + 0.5) / samples) * VIEW / size
                    c = colour_at(x, y)
                    if c:
                        r, g, b, covered = r + c[0], g + c[1], b + c[2], covered + 1
            if covered:
                row += bytes([r // covered, g // covered, b // covered, 255 * covered // samples ** 2])
            else:
                row += bytes(4)
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b''))


def ico(pictures):
    # An icon directory whose entries are PNG pictures; a width or height of
    # 256 is written as 0.
    offset = 6 + 16 * len(pictures)
    directory = struct.pack('<HHH', 0, 1, len(pictures))
    for size, data in pictures:
        side = size % 256
        directory += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + b''.join(data for _, data in pictures)


with open('perforon.svg', 'w') as f:
    f.write(svg())
pictures = [(size, png(size)) for size in SIZES]
for size, data in pictures:
    with open(f'perforon-{size}.png', 'wb') as f:
        f.write(data)
with open('perforon.ico', 'wb') as f:
    f.write(ico(pictures))
