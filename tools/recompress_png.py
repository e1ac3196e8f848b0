#!/usr/bin/env python3
"""Recompresses PNG images in place without changing a pixel.

    recompress_png.py FILE...

Each image's scanlines are filtered again with every filter choice (one filter
for all rows, or the best per row) and deflated at the highest level with each
zlib strategy; the smallest stream wins. Text and time chunks go; everything
that can change how the pixels are shown (palette, transparency, gamma, colour
profile) stays. A file is rewritten only when the result is smaller and decodes
to exactly the same scanlines. Interlaced images are left alone.
"""

import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
DROPPED = {b"tEXt", b"zTXt", b"iTXt", b"tIME"}
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunks(data):
    if not data.startswith(SIGNATURE):
        raise ValueError("not a PNG file")
    at = len(SIGNATURE)
    while at < len(data):
        (length,) = struct.unpack(">I", data[at : at + 4])
        kind = data[at + 4 : at + 8]
        yield kind, data[at + 8 : at + 8 + length]
        at += 12 + length


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(stream, height, stride, bpp):
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = stream[at], bytearray(stream[at + 1 : at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, previous[i - bpp] if i >= bpp else 0)) & 0xFF
            elif kind != 0:
                raise ValueError("unknown filter %d" % kind)
        rows.append(bytes(line))
        previous = line
    return rows


def filtered(row, previous, kind, bpp):
    out = bytearray(len(row))
    for i, value in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = previous[i]
        if kind == 0:
            predictor = 0
        elif kind == 1:
            predictor = left
        elif kind == 2:
            predictor = up
        elif kind == 3:
            predictor = (left + up) >> 1
        else:
            predictor = paeth(left, up, previous[i - bpp] if i >= bpp else 0)
        out[i] = (value - predictor) & 0xFF
    return bytes([kind]) + bytes(out)


def refilter(rows, stride, bpp, choice):
    previous, out = bytes(stride), bytearray()
    for row in rows:
        if choice is None:  # per row, the filter whose bytes look smallest
            candidates = [filtered(row, previous, k, bpp) for k in range(5)]
            out += min(candidates, key=lambda c: sum(b if b < 128 else 256 - b for b in c[1:]))
        else:
            out += filtered(row, previous, choice, bpp)
        previous = row
    return bytes(out)


def deflate(raw, strategy):
    packer = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
    return packer.compress(raw) + packer.flush()


def recompress(data):
    parts = list(chunks(data))
    header = parts[0][1]
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if interlace:
        return data
    bits = depth * CHANNELS[colour]
    stride, bpp = (width * bits + 7) // 8, max(1, bits // 8)
    rows = unfilter(zlib.decompress(b"".join(b for k, b in parts if k == b"IDAT")), height, stride, bpp)
    best = None
    for choice in (None, 0, 1, 2, 3, 4):
        raw = refilter(rows, stride, bpp, choice)
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED, zlib.Z_RLE):
            packed = deflate(raw, strategy)
            if best is None or len(packed) < len(best):
                best = packed
    if unfilter(zlib.decompress(best), height, stride, bpp) != rows:
        raise ValueError("recompressed scanlines differ")
    out, wrote_data = bytearray(SIGNATURE), False
    for kind, body in parts:
        if kind in DROPPED:
            continue
        if kind == b"IDAT":
            if not wrote_data:
                out += chunk(b"IDAT", best)
                wrote_data = True
            continue
        out += chunk(kind, body)
    return bytes(out) if len(out) < len(data) else data


def main(paths):
    before = after = 0
    for path in paths:
        with open(path, "rb") as source:
            data = source.read()
        smaller = recompress(data)
        before, after = before + len(data), after + len(smaller)
        if smaller is not data:
            with open(path, "wb") as target:
                target.write(smaller)
    print("%d images: %d -> %d bytes" % (len(paths), before, after))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
