#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

app.ico      - a white quill on a rounded teal tile (the assistant itself)
sketchup.ico - an orange isometric box on a rounded slate tile (start the modeller)

Shapes are rendered with 4x4 supersampling so edges are smooth at every size.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 256)


def rounded_tile(x, y, radius):
    """Signed inside test for a rounded square over [0,1]^2."""
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_polygon(x, y, pts):
    inside = False
    j = len(pts) - 1
    for i, (xi, yi) in enumerate(pts):
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def quill(x, y):
    """Feather: a leaf shape along a diagonal with a thin shaft."""
    # rotate into the feather's frame (45 degrees)
    u = (x - 0.5) * math.cos(math.pi / 4) + (y - 0.5) * math.sin(math.pi / 4)
    v = -(x - 0.5) * math.sin(math.pi / 4) + (y - 0.5) * math.cos(math.pi / 4)
    if -0.36 <= u <= 0.26:
        t = (u + 0.36) / 0.62
        half = 0.15 * math.sin(math.pi * t) ** 0.8
        if abs(v) <= half:
            # a notch in the vane
            if 0.05 < u < 0.09 and v > 0:
                return None
            return (255, 255, 255)
    if 0.22 <= u <= 0.40 and abs(v) <= 0.018:
        return (230, 240, 240)
    return None


def app_pixel(x, y):
    if not rounded_tile(x, y, 0.2):
        return None
    colour = quill(x, y)
    if colour:
        return colour + (255,)
    shade = int(20 * y)
    return (0, 128 - shade, 128 - shade, 255)


BOX_TOP = [(0.5, 0.18), (0.82, 0.36), (0.5, 0.54), (0.18, 0.36)]
BOX_LEFT = [(0.18, 0.36), (0.5, 0.54), (0.5, 0.86), (0.18, 0.68)]
BOX_RIGHT = [(0.5, 0.54), (0.82, 0.36), (0.82, 0.68), (0.5, 0.86)]


def sketchup_pixel(x, y):
    if not rounded_tile(x, y, 0.2):
        return None
    if in_polygon(x, y, BOX_TOP):
        return (255, 170, 80, 255)
    if in_polygon(x, y, BOX_LEFT):
        return (230, 110, 30, 255)
    if in_polygon(x, y, BOX_RIGHT):
        return (180, 70, 20, 255)
    return (55, 65, 80, 255)


def render(pixel, size):
    ss = 4 if size <= 48 else 2
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    c = pixel((px + (sx + 0.5) / ss) / size, (py + (sy + 0.5) / ss) / size)
                    if c:
                        a = c[3]
                        acc[0] += c[0] * a
                        acc[1] += c[1] * a
                        acc[2] += c[2] * a
                        acc[3] += a
            n = ss * ss
            a = acc[3] / n
            if acc[3]:
                row.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]), int(a)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + xor + bytes(mask)


def png_entry(rows):
    size = len(rows)
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_ico(path, pixel):
    images = []
    for size in SIZES:
        rows = render(pixel, size)
        images.append((size, png_entry(rows) if size >= 256 else bmp_entry(rows)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    Path(path).write_bytes(out)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_ico(out / 'app.ico', app_pixel)
    write_ico(out / 'sketchup.ico', sketchup_pixel)


if __name__ == '__main__':
    main()
