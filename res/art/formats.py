"""Writers for the Windows image files the resource script compiles, and PNG previews.

Pixels are row-major lists, top row first; the Windows formats store rows bottom-up.
"""
import struct
import zlib


def _dib_header(w, h, bits, size_image, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, size_image, 2835, 2835,
                       colours, 0)


def bmp24(w, h, rgb):
    """A 24-bit bottom-up BMP file from (r, g, b) tuples."""
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in rgb[y * w:(y + 1) * w]:
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    offset = 14 + 40
    return (struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) +
            _dib_header(w, h, 24, len(data)) + data)


def _and_mask(w, h, opaque):
    """1-bit rows, bottom-up, padded to 32 bits: 1 where the screen shows through."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if not opaque[y * w + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_image(w, h, rgba):
    """One 32-bit icon image with alpha, plus an AND mask for systems without alpha.

    Pixels under the mask get black colour, so that a mask-and-XOR draw leaves the
    screen untouched there; the art keeps dark outlines, so their faint alpha edge is
    still right where alpha is honoured.
    """
    opaque = [a >= 128 for (_, _, _, a) in rgba]
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = rgba[y * w + x]
            if not opaque[y * w + x]:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask = _and_mask(w, h, opaque)
    return _dib_header(w, h * 2, 32, len(xor) + len(mask)) + bytes(xor) + mask


def ico(images):
    """An ICO file from [(w, h, rgba), ...]."""
    blobs = [icon_image(w, h, px) for w, h, px in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (w, h, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def monochrome_cursor(w, h, pixels, hotspot):
    """A CUR file of one 1-bit image; pixels are 'transparent', 'black' or 'white'."""
    stride = ((w + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if pixels[y * w + x] == "white":
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = _and_mask(w, h, [p != "transparent" for p in pixels])
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    blob = _dib_header(w, h * 2, 1, len(xor) + len(mask), 2) + palette + bytes(xor) + mask
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 2, 0, hotspot[0], hotspot[1],
                        len(blob), 6 + 16)
    return header + entry + blob


def png(w, h, rgba):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for px in rgba[y * w:(y + 1) * w]:
            raw += bytes(px)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
