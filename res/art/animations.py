"""The two looping animations: a magnifier sweeping over a USB drive while a scan runs,
and sheets of paper dropping into a bin while the disk cleanup runs."""
import math

import motifs
import objects
from grid import Grid
from palette import BLUE, BLUE_LIGHT, STEEL_DARK, alpha, flatten_on_face
from raster import Canvas, ellipse

FPS = 10


def _ease(t):
    """0 -> 1 -> 0 over one loop, slow at the turning points."""
    return 0.5 - 0.5 * math.cos(2 * math.pi * t)


def scan_frame(t, w=160, h=88):
    c = Canvas(w, h)
    g = Grid(0, 0, w, base=w)
    # The drive lies on its side, connector to the right; the magnifier sweeps along it.
    motifs.flash_drive(c, g.sub(8, -22, 126, angle=90))
    x = 4 + 92 * _ease(t)
    motifs.magnifier(c, g.sub(x, 14, 58))
    # Progress dots under the drive, one lit after another.
    lit = int(t * 5) % 5
    for i in range(5):
        colour = BLUE if i == lit else alpha(BLUE_LIGHT, 150)
        c.fill(ellipse(w / 2 - 24 + 12 * i, h - 4, 3.0 if i == lit else 2.3), colour)
    return c


def cleanup_frame(t, w=84, h=84):
    c = Canvas(w, h)
    g = Grid(0, 0, w, base=w)
    # A sheet of paper drops from the top into the bin, turning as it falls.
    fall = min(1.0, t / 0.75)
    if t < 0.75:
        sheet = g.sub(26, -3 + 34 * fall * fall, 32, angle=-20 + 60 * fall)
        motifs.document(c, sheet, lines=True)
    objects.trash_can(c, g.sub(10, 20, 66))
    # A little puff of dust when the sheet lands.
    if t >= 0.75:
        spread = (t - 0.75) / 0.25
        for dx in (-1, 0, 1):
            r = 2.6 * (1 - spread) + 0.9
            cx = w / 2 + dx * (10 + 14 * spread)
            cy = 30 - 7 * spread - abs(dx) * 2
            c.fill(ellipse(cx, cy, r), alpha(STEEL_DARK, int(210 * (1 - spread))))
    return c


def frames(draw, count):
    out = []
    for i in range(count):
        canvas = draw(i / count)
        out.append((canvas.w, canvas.h, flatten_on_face(canvas.rgba())))
    return out


ANIMATIONS = {
    "scan": (scan_frame, 20),
    "cleanup": (cleanup_frame, 16),
}
