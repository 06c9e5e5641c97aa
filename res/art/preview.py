"""Contact sheets of the rendered art, to judge it as it will be seen: bitmaps through their
white mask on three button faces, icons on light and dark backgrounds, animation frames."""
import os

import formats
import palette

FACES = [(245, 245, 245), (240, 240, 240), (212, 208, 200)]
ICON_BACKS = [(245, 245, 245), (36, 110, 150), (212, 208, 200)]


def _blend(rgba, back):
    out = []
    for r, g, b, a in rgba:
        t = a / 255.0
        out.append((int(r * t + back[0] * (1 - t)), int(g * t + back[1] * (1 - t)),
                    int(b * t + back[2] * (1 - t))))
    return out


def _sheet(images, backs, render, zoom, width=1200):
    """Rows of images, one band per background, scaled by `zoom`."""
    pad = 6
    placed, x, y, row_h = [], pad, pad, 0
    for w, h, px in images:
        if x + w + pad > width // zoom:
            x, y, row_h = pad, y + row_h + pad, 0
        placed.append((x, y, w, h, px))
        x += w + pad
        row_h = max(row_h, h)
    band_h = y + row_h + pad
    W, H = width // zoom, band_h * len(backs)
    canvas = [(128, 128, 128)] * (W * H)
    for bi, back in enumerate(backs):
        for yy in range(bi * band_h, (bi + 1) * band_h):
            canvas[yy * W:(yy + 1) * W] = [back] * W
        for x0, y0, w, h, px in placed:
            rgb = render(px, back)
            for yy in range(h):
                for xx in range(w):
                    canvas[(bi * band_h + y0 + yy) * W + x0 + xx] = rgb[yy * w + xx]
    big = []
    for yy in range(H * zoom):
        row = canvas[(yy // zoom) * W:(yy // zoom + 1) * W]
        for c in row:
            big.extend([c + (255,)] * zoom)
    return W * zoom, H * zoom, big


def _bitmap_on_face(rgba, face):
    return palette.on_face(palette.flatten_on_face(rgba), face)


def write_all(folder, bitmaps, icon_images, hand, clips):
    small = [b for b in bitmaps if b[0] <= 36]
    large = [b for b in bitmaps if b[0] > 36]
    sheets = {
        "bitmaps.png": _sheet(small, FACES, _bitmap_on_face, 3),
        "pictures.png": _sheet(large, FACES[::2], _bitmap_on_face, 2),
        "icons.png": _sheet(icon_images, ICON_BACKS, _blend, 3),
    }
    hand_rgba = [{"black": (0, 0, 0, 255), "white": (255, 255, 255, 255),
                  "transparent": (0, 0, 0, 0)}[p] for p in hand]
    sheets["cursor.png"] = _sheet([(32, 32, hand_rgba)], ICON_BACKS[:2], _blend, 6, 600)
    for name, frames in clips.items():
        shown = [(w, h, [c + (255,) for c in px]) for w, h, px in frames]
        sheets["anim_%s.png" % name] = _sheet(
            shown, FACES[:1], lambda px, face: palette.on_face([p[:3] for p in px], face), 1)
    for name, (w, h, px) in sheets.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(formats.png(w, h, px))
