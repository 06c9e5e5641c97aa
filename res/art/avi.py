"""Silent RLE8 AVI clips, the format the common Animation control plays by itself.

Every frame is a complete (key) frame over one shared 256-colour palette; palette entry 0
is the clip's background, which the control shows as transparent.
"""
import struct

BI_RLE8 = 1
AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10


def median_cut(histogram, count):
    """Up to `count` representative colours of a {colour: pixels} histogram."""
    boxes = [list(histogram.items())]
    while len(boxes) < count:
        best, best_range, channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                values = [c[ch] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, channel = i, spread, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][channel])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for j, (_, n) in enumerate(box):
            running += n
            if running >= total / 2:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[ch] * n for c, n in box) / total))
                             for ch in range(3)))
    return palette


def quantise(frames, background):
    """Shared palette (background first) and per-frame index lists."""
    histogram = {}
    for frame in frames:
        for c in frame:
            if c != background:
                histogram[c] = histogram.get(c, 0) + 1
    palette = [background] + median_cut(histogram, 255)
    cache = {background: 0}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(1, len(palette)), key=lambda i: sum(
                (palette[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    return palette, [[nearest(c) for c in frame] for frame in frames]


def rle8_row(row):
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        j = i
        while j < n and row[j] == row[i] and j - i < 255:
            j += 1
        if j - i >= 3 or j == n:
            out += bytes((j - i, row[i]))
            i = j
            continue
        j = i
        while j < n and j - i < 255 and not (j + 2 < n and row[j] == row[j + 1] == row[j + 2]):
            j += 1
        if j - i < 3:
            for k in range(i, j):
                out += bytes((1, row[k]))
        else:
            out += bytes((0, j - i)) + bytes(row[i:j])
            if (j - i) % 2:
                out.append(0)
        i = j
    return bytes(out)


def rle8(w, h, indices):
    """One frame, bottom-up rows, each closed by end-of-line, the last by end-of-bitmap."""
    out = bytearray()
    for y in range(h - 1, -1, -1):
        out += rle8_row(indices[y * w:(y + 1) * w])
        out += b"\x00\x01" if y == 0 else b"\x00\x00"
    return bytes(out)


def _chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\x00" if len(data) % 2 else b"")


def _list(kind, data):
    return b"LIST" + struct.pack("<I", len(data) + 4) + kind + data


def avi(w, h, frames, fps, background=(255, 255, 255)):
    """An AVI file from frames of (r, g, b) tuples, row-major, top row first."""
    palette, indexed = quantise(frames, background)
    palette += [(0, 0, 0)] * (256 - len(palette))
    encoded = [rle8(w, h, f) for f in indexed]
    biggest = max(len(e) for e in encoded)
    usec = 1000000 // fps
    avih = struct.pack("<IIIIIIIIII4I", usec, biggest * fps, 0, AVIF_HASINDEX, len(frames),
                       0, 1, biggest, w, h, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0, 1, fps, 0,
                       len(frames), biggest, 0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, BI_RLE8, biggest, 0, 0, 256, 0)
    strf += b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = _list(b"hdrl", _chunk(b"avih", avih) +
                   _list(b"strl", _chunk(b"strh", strh) + _chunk(b"strf", strf)))
    movi_data = b""
    index = b""
    for e in encoded:
        index += struct.pack("<4sIII", b"00dc", AVIIF_KEYFRAME, 4 + len(movi_data), len(e))
        movi_data += _chunk(b"00dc", e)
    body = b"AVI " + header + _list(b"movi", movi_data) + _chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body
