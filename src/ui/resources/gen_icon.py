#!/usr/bin/env python3
"""Writes the program's icon: one 48 x 48 image, 32 bits per pixel with alpha.

Drawn here from shapes so that no picture of unknown origin is committed:
a blue rounded square holding a white speech bubble with three dots.
    python3 gen_icon.py OUT.ico
"""
import struct
import sys

SIZE = 48
SAMPLES = 4  # per axis, for smooth edges


def rounded_square(x, y):
    left, top, right, bottom, radius = 2.0, 2.0, 46.0, 46.0, 9.0
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def bubble(x, y):
    # An ellipse with a small tail at its lower left.
    if ((x - 24.0) / 16.0) ** 2 + ((y - 21.0) / 11.5) ** 2 <= 1.0:
        return True
    return 12.0 <= x <= 20.0 and 28.0 <= y <= 39.0 and (x - 12.0) >= (y - 28.0) * 0.2 and (20.0 - x) >= (y - 28.0) * 0.7


def dot(x, y):
    return any((x - cx) ** 2 + (y - 21.0) ** 2 <= 2.6 ** 2 for cx in (16.5, 24.0, 31.5))


def colour_at(x, y):
    """(b, g, r, a) of one sample point."""
    if not rounded_square(x, y):
        return (0, 0, 0, 0)
    if bubble(x, y) and not dot(x, y):
        return (255, 255, 255, 255)
    # Blue fading a little towards the bottom.
    shade = y / SIZE
    return (int(200 - 40 * shade), int(110 - 40 * shade), int(30 - 10 * shade), 255)


def pixel(px, py):
    total = [0, 0, 0, 0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            b, g, r, a = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            total[0] += b * a
            total[1] += g * a
            total[2] += r * a
            total[3] += a
    alpha = total[3] // (SAMPLES * SAMPLES)
    if total[3] == 0:
        return (0, 0, 0, 0)
    # Straight (not premultiplied) colour, as icons keep it.
    return (total[0] // total[3], total[1] // total[3], total[2] // total[3], alpha)


def icon_bytes():
    rows = []
    for py in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        rows.append(b"".join(struct.pack("<4B", *pixel(px, py)) for px in range(SIZE)))
    colour = b"".join(rows)
    mask_row = (SIZE + 31) // 32 * 4
    mask = bytes(mask_row * SIZE)  # all 0: the alpha channel decides
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
