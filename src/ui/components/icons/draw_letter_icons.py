#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the tray's two letter pictures as PNG files at the sizes desktops ask for.

    python3 draw_letter_icons.py [DIRECTORY]   (default: this script's directory)
    python3 draw_letter_icons.py --application THEME_DIRECTORY NAME


newmail-N.png: an upright white letter sheet with a black outline, a square stamp in its upper
left corner and three vertical lines in its right half. nomail-N.png: the same sheet crossed out
by a large X. Black and white on a transparent ground. Edges that run along the pixel grid are
drawn crisp at every size; only the X is smoothed. Standard library only, so anyone can redraw.

With --application the new-mail letter becomes the program's icon in an icon theme's layout:
THEME_DIRECTORY/NxN/apps/NAME.png for each size of APPLICATION_SIZES.
"""

import os
import struct
import sys
import zlib

SIZES = (16, 22, 24, 32, 48, 64)
APPLICATION_SIZES = SIZES + (128, 256)
WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)
CLEAR = (0, 0, 0, 0)
X_SAMPLES = 4  # per axis, for the smoothed X


def fill(image, left, top, right, bottom, colour):
    """Fills the pixels with left <= x < right and top <= y < bottom."""
    for y in range(top, bottom):
        for x in range(left, right):
            image[y][x] = colour


def frame(image, left, top, right, bottom, width):
    fill(image, left, top, right, top + width, BLACK)
    fill(image, left, bottom - width, right, bottom, BLACK)
    fill(image, left, top, left + width, bottom, BLACK)
    fill(image, right - width, top, right, bottom, BLACK)


def letter(size):
    image = [[CLEAR] * size for _ in range(size)]
    line = max(1, round(size / 24))  # outline and stroke width
    gap = max(1, size // 16)
    left, right = round(size * 0.125), size - round(size * 0.125)
    top, bottom = size // 32, size - size // 32
    fill(image, left, top, right, bottom, WHITE)
    frame(image, left, top, right, bottom, line)

    stamp = max(3, round(size * 0.19))
    stamp_left, stamp_top = left + line + gap, top + line + gap
    if size >= 32:  # large enough for a stamp with a picture inside its frame
        frame(image, stamp_left, stamp_top, stamp_left + stamp, stamp_top + stamp, line)
        inner = line + max(1, gap // 2)
        fill(image, stamp_left + inner, stamp_top + inner, stamp_left + stamp - inner,
             stamp_top + stamp - inner, BLACK)
    else:
        fill(image, stamp_left, stamp_top, stamp_left + stamp, stamp_top + stamp, BLACK)

    step = max(2 * line, round(size / 10))
    line_top = stamp_top + stamp + gap
    line_bottom = bottom - line - 2 * gap
    last = right - line - gap - line
    for n in range(3):
        x = last - n * step
        fill(image, x, line_top, x + line, line_bottom, BLACK)
    return image


def cross(image):
    """Blends a large X over the picture, corner to corner."""
    size = len(image)
    half_width = max(0.75, size / 20)
    inset = size * 0.06
    for y in range(size):
        for x in range(size):
            hits = 0
            for sy in range(X_SAMPLES):
                for sx in range(X_SAMPLES):
                    px = x + (sx + 0.5) / X_SAMPLES
                    py = y + (sy + 0.5) / X_SAMPLES
                    if inset <= px <= size - inset and inset <= py <= size - inset:
                        # Distance to the two diagonals, scaled to pixels.
                        d1 = abs(px - py) / 2 ** 0.5
                        d2 = abs(px + py - size) / 2 ** 0.5
                        hits += min(d1, d2) <= half_width
            cover = hits / X_SAMPLES ** 2
            if cover:
                r, g, b, a = image[y][x]
                keep = 1 - cover
                image[y][x] = (round(r * keep), round(g * keep), round(b * keep),
                               round(255 * cover + a * keep))
    return image


def png(image):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    size = len(image)
    rows = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in image)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def draw_application_icons(theme_directory, name):
    for size in APPLICATION_SIZES:
        directory = os.path.join(theme_directory, f"{size}x{size}", "apps")
        os.makedirs(directory, exist_ok=True)
        with open(os.path.join(directory, f"{name}.png"), "wb") as out:
            out.write(png(letter(size)))


def main():
    if sys.argv[1:2] == ["--application"]:
        draw_application_icons(sys.argv[2], sys.argv[3])
        return
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for size in SIZES:
        for name, picture in (("newmail", letter(size)), ("nomail", cross(letter(size)))):
            with open(os.path.join(directory, f"{name}-{size}.png"), "wb") as out:
                out.write(png(picture))


if __name__ == "__main__":
    main()
