#!/usr/bin/env python3
"""Packs the program's icon group: for 48, 32, 24 and 16 pixels, a 4-bit and an 8-bit palette
image with a one-bit transparency mask and a 32-bit image with alpha, read as raw RGBA from the
folder that scripts/render-art fills. ImageMagick would store every image with alpha as 32-bit,
so the group is written here."""

import struct
import sys

SIZES = (48, 32, 24, 16)


def rows_bottom_up(size):
    return range(size - 1, -1, -1)


def mask_bits(pixels, size):
    """The AND mask: one bit a pixel, set where the pixel is transparent, rows padded to 4 bytes."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for y in rows_bottom_up(size):
        row = bytearray(stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(size, bits, colours):
    # The height counts the colour image and its mask together.
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def palette_image(pixels, size, bits):
    capacity = 1 << bits
    # Index 0 is black: a transparent pixel is black under a set mask bit, so it shows what lies behind.
    palette = [(0, 0, 0)]
    index = {}
    for r, g, b, a in pixels:
        if a and (r, g, b) not in index:
            index[(r, g, b)] = len(palette)
            palette.append((r, g, b))
    if len(palette) > capacity:
        raise SystemExit('write-ico: %d colours do not fit %d bits' % (len(palette), bits))
    stride = ((size * bits + 31) // 32) * 4
    body = bytearray()
    for y in rows_bottom_up(size):
        row = bytearray(stride)
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            i = index[(r, g, b)] if a else 0
            if bits == 8:
                row[x] = i
            else:
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        body += row
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    table += bytes(4 * (capacity - len(palette)))
    return info_header(size, bits, capacity) + table + bytes(body) + mask_bits(pixels, size)


def true_colour_image(pixels, size):
    body = bytearray()
    for y in rows_bottom_up(size):
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            body += struct.pack('<BBBB', b, g, r, a)
    return info_header(size, 32, 0) + bytes(body) + mask_bits(pixels, size)


def read_rgba(path, size):
    data = open(path, 'rb').read()
    if len(data) != size * size * 4:
        raise SystemExit('write-ico: %s is not %dx%d RGBA' % (path, size, size))
    pixels = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    # A palette image keeps a pixel wholly or not at all.
    return pixels


def main():
    target, folder = sys.argv[1], sys.argv[2]
    images = []
    for size in SIZES:
        for bits, name in ((4, '15'), (8, '255')):
            pixels = [(r, g, b, 255 if a >= 128 else 0)
                      for r, g, b, a in read_rgba('%s/icon-%d-%s.rgba' % (folder, size, name), size)]
            images.append((size, bits, palette_image(pixels, size, bits)))
        images.append((size, 32, true_colour_image(read_rgba('%s/icon-%d-full.rgba' % (folder, size), size), size)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = (1 << bits) if bits < 8 else 0
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    open(target, 'wb').write(bytes(out))


if __name__ == '__main__':
    main()
