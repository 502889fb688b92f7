#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the skins tst_windows loads. Every tile is one flat colour:
# tile i (0-7 the first row, 8-15 the second) is RGB(16i+5, 250-15i, 77).
import struct

def colour(i): return (16 * i + 5, 250 - 15 * i, 77)

def bmp8(w, h, compression, pixels):
    head = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, compression, len(pixels), 0, 0, 16, 0)
    for i in range(16):
        r, g, b = colour(i)
        head += bytes([b, g, r, 0])
    offset = 14 + len(head)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + head + pixels

top_first = bytes(x // 12 + 8 * (y // 12) for y in range(24) for x in range(96))
rle = b''
for y in range(24):  # stored bottom row first: eight runs of 12, then end of line
    for t in range(8):
        rle += bytes([12, t + 8 * ((23 - y) // 12)])
    rle += b'\0\0'

open('top-down.bmp', 'wb').write(bmp8(96, -24, 0, top_first))
open('rle8.bmp', 'wb').write(bmp8(96, 24, 1, rle + b'\0\1'))
open('48x12.bmp', 'wb').write(bmp8(48, 12, 0, top_first[:48] * 12))

# Refused: each cut short of what its header promises.
bottom_first = bytes(x // 12 + 8 * ((23 - y) // 12) for y in range(24) for x in range(96))
open('plain-cut.bmp', 'wb').write(bmp8(96, 24, 0, bottom_first)[:-96])
open('top-down-cut.bmp', 'wb').write(bmp8(96, -24, 0, top_first)[:-96])

def bmp4(w, h, pixels):  # 4-bit, RLE4: the same 16 colours
    return bmp8(w, h, 2, pixels).replace(struct.pack('<HHI', 1, 8, 2), struct.pack('<HHI', 1, 4, 2), 1)

rle4 = b''
for y in range(24):  # the first tile stored pixel by pixel, the others as runs
    row = (23 - y) // 12
    rle4 += bytes([0, 12]) + bytes([(8 * row) * 17]) * 6
    for t in range(1, 8):
        rle4 += bytes([12, (t + 8 * row) * 17])
    rle4 += b'\0\0'
open('rle4.bmp', 'wb').write(bmp4(96, 24, rle4 + b'\0\1'))
open('rle4-cut.bmp', 'wb').write(bmp4(96, 24, rle4[:len(rle4) // 2]))

# The same sheet under each header Qt reads: OS/2 1.x (12 bytes: 16-bit
# sizes, three bytes a colour, all 256 colours), Windows (40), OS/2 2.x
# (64), V4 (108) and V5 (124), whole and with the last 1000 bytes cut off.
def sheet(header_size):
    if header_size == 12:
        head = struct.pack('<IhhHH', 12, 96, 24, 1, 8)
        head += b''.join(bytes(reversed(colour(i))) if i < 16 else b'\0\0\0' for i in range(256))
    else:  # the first 40 bytes' layout; the rest of the header zero
        head = struct.pack('<IiiHHIIiiII', header_size, 96, 24, 1, 8, 0, len(bottom_first), 0, 0, 16, 0)
        head += bytes(header_size - 40) + b''.join(bytes(reversed(colour(i))) + b'\0' for i in range(16))
    offset = 14 + len(head)
    return b'BM' + struct.pack('<IHHI', offset + len(bottom_first), 0, 0, offset) + head + bottom_first
for size in (12, 40, 64, 108, 124):
    whole = sheet(size)
    open(f'header{size}.bmp', 'wb').write(whole)
    open(f'header{size}-cut.bmp', 'wb').write(whole[:-1000])

# Refused before its pixels are read: wider than any sheet should be.
open('wide.bmp', 'wb').write(bmp8(2000, 24, 0, b''))
open('header-only.bmp', 'wb').write(bmp8(96, 24, 0, b'')[:54])

# RLE8 again, the first tile of each row stored pixel by pixel.
absolute = b''
for y in range(24):
    row = 8 * ((23 - y) // 12)
    absolute += bytes([0, 12]) + bytes([row]) * 12
    for t in range(1, 8):
        absolute += bytes([12, t + row])
    absolute += b'\0\0'
open('rle8-absolute.bmp', 'wb').write(bmp8(96, 24, 1, absolute + b'\0\1'))

# RLE4 with the last tile of each row stored pixel by pixel, and no end mark:
# the picture ends with its last row.
no_end = b''
for y in range(24):
    row = (23 - y) // 12
    for t in range(7):
        no_end += bytes([12, (t + 8 * row) * 17])
    no_end += bytes([0, 12]) + bytes([(7 + 8 * row) * 17]) * 6 + b'\0\0'
open('rle4-no-end.bmp', 'wb').write(bmp4(96, 24, no_end))

# 66 pixels wide: the sixth tile (the title's panels) is cut in half, black beyond.
open('66x12.bmp', 'wb').write(bmp8(66, 12, 0, (bytes(x // 12 for x in range(66)) + b'\0\0') * 12))

# True colour, no palette: 24 bits a pixel, and 32 with colour masks
# (after a 40-byte header, or inside a 108-byte one).
def true_colour(bits, header_size=40):
    pixels = b''.join(bytes(reversed(colour(x // 12 + 8 * ((23 - y) // 12)))) + b'\0' * (bits == 32)
                      for y in range(24) for x in range(96))
    masks = struct.pack('<III', 0xFF0000, 0xFF00, 0xFF)
    head = struct.pack('<IiiHHIIiiII', header_size, 96, 24, 1, bits, 0 if bits == 24 else 3, len(pixels), 0, 0, 0, 0)
    head += masks + bytes(header_size - 52) if header_size > 40 else masks if bits == 32 else b''
    offset = 14 + len(head)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + head + pixels
open('24-bit.bmp', 'wb').write(true_colour(24))
open('32-bit-masks.bmp', 'wb').write(true_colour(32))
open('32-bit-masks-header108.bmp', 'wb').write(true_colour(32, 108))
open('32-bit-masks-cut.bmp', 'wb').write(true_colour(32)[:-1000])

# RLE8 whose last row ends with a jump up past the picture instead of an end
# of line and the end mark; cut off inside that jump, it is refused.
open('rle8-jump-at-end.bmp', 'wb').write(bmp8(96, 24, 1, rle[:-2] + b'\0\2\0\1'))
open('rle8-cut-in-jump.bmp', 'wb').write(bmp8(96, 24, 1, rle[:-2] + b'\0\2'))

# A PNG inside a bitmap file (compression 5): no such sheet is read.
png_inside = open('top-down.png', 'rb').read()
head = struct.pack('<IiiHHIIiiII', 40, 96, 24, 1, 0, 5, len(png_inside), 0, 0, 0, 0)
open('png-in-bmp.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 54 + len(png_inside), 0, 0, 54) + head + png_inside)
