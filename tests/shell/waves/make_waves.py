#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the wave files tests/display/tst_windows reads: good ones in every kind the game
# plays, and broken or unplayable ones it must refuse.
import struct

def le(v, n=4): return struct.pack('<I', v & 0xFFFFFFFF)[:n]
def chunk(cid, body): return cid + le(len(body)) + body + b'\0' * (len(body) % 2)
def fmt(tag, channels, rate, bits, align, more=b''):
    return chunk(b'fmt ', le(tag, 2) + le(channels, 2) + le(rate) + le(rate * align) + le(align, 2) + le(bits, 2) + more)
def ext(sub): return fmt(0xFFFE, 1, 8000, 16, 2, le(22, 2) + le(16, 2) + le(4) + le(sub, 2) + b'g' * 14)
def wave(chunks): return b'RIFF' + le(4 + len(chunks)) + b'WAVE' + chunks

pcm = bytes(range(1, 9))
mono16 = fmt(1, 1, 8000, 16, 2)
files = {
    '8-bit-stereo': wave(fmt(1, 2, 11025, 8, 2) + chunk(b'data', pcm)),
    '32-bit': wave(fmt(1, 1, 8000, 32, 4) + chunk(b'data', pcm)),
    'float': wave(fmt(3, 1, 48000, 32, 4) + chunk(b'data', pcm)),
    'extensible': wave(ext(1) + chunk(b'data', pcm)),
    'odd-chunk-format-last': wave(chunk(b'LIST', b'abc') + chunk(b'data', pcm) + mono16),
    'wrong-riff-size': b'RIFF' + le(0xFFFFFFF0) + wave(mono16 + chunk(b'data', pcm))[8:],
    # the data chunk promises 64 bytes and holds 5: two whole frames are kept
    'data-cut-short': wave(mono16 + b'data' + le(64) + pcm[:5]),
    'not-riff': b'RIFX' + wave(mono16 + chunk(b'data', pcm))[4:],
    'no-format': wave(chunk(b'data', pcm)),
    'no-data': wave(mono16),
    'less-than-a-frame': wave(fmt(1, 2, 8000, 16, 4) + chunk(b'data', pcm[:3])),
    'adpcm': wave(fmt(2, 1, 8000, 4, 256) + chunk(b'data', pcm)),
    '12-bit': wave(fmt(1, 1, 8000, 12, 2) + chunk(b'data', pcm)),
    'no-channels': wave(fmt(1, 0, 8000, 16, 2) + chunk(b'data', pcm)),
    'frame-size-lies': wave(fmt(1, 1, 8000, 16, 3) + chunk(b'data', pcm)),
    'rate-0': wave(fmt(1, 1, 0, 16, 2) + chunk(b'data', pcm)),
    'format-cut-short': wave(mono16)[:30],
    'extensible-adpcm': wave(ext(2) + chunk(b'data', pcm)),
    'extensible-header-cut': wave(fmt(0xFFFE, 1, 8000, 16, 2, le(22, 2)) + chunk(b'data', pcm)),
    'empty': b'',
    # the first data chunk is the sound
    'two-data-chunks': wave(mono16 + chunk(b'data', pcm) + chunk(b'data', b'\x7f' * 6)),
    'not-wave': wave(mono16 + chunk(b'data', pcm))[:8] + b'AVI ' + wave(mono16 + chunk(b'data', pcm))[12:],
    'format-12-bytes': wave(chunk(b'fmt ', fmt(1, 1, 8000, 16, 2)[8:20]) + chunk(b'data', pcm)),
    'float-64-bit': wave(fmt(3, 1, 8000, 64, 8) + chunk(b'data', pcm)),
    '9-channels': wave(fmt(1, 9, 8000, 8, 9) + chunk(b'data', pcm + b'\0')),
    'rate-400k': wave(fmt(1, 1, 400000, 16, 2) + chunk(b'data', pcm)),
}
for name, data in files.items():
    open(name + '.wav', 'wb').write(data)
