"""The program's icons. Each design gives one canvas per size; 16-pixel images are drawn on
the pixel grid so that they stay crisp in the notification area."""
import motifs
import objects
from grid import Grid
from motifs import badge, shield, usb_symbol
from palette import WHITE
from raster import Canvas, rect


def _pixels(c, cells, colour=WHITE):
    for x, y, w, h in cells:
        c.fill(rect(x, y, w, h), colour)


# The USB trident on a 16-pixel shield, one pixel at a time, centred on column 7.
TRIDENT_16 = [
    (7, 2, 1, 1), (6, 3, 3, 1),              # arrow head
    (7, 4, 1, 8),                            # stem
    (4, 5, 2, 2), (4, 7, 1, 1), (5, 8, 1, 1), (6, 9, 1, 1),    # left arm, round end
    (9, 4, 2, 2), (10, 6, 1, 1), (9, 7, 1, 1), (8, 8, 1, 1),   # right arm, square end
    (6, 11, 3, 2), (7, 13, 1, 1),            # round foot
]


def emblem_16():
    c = Canvas(16, 16)
    shield(c, Grid(-0.82, -0.35, 16.64))
    _pixels(c, TRIDENT_16)
    return c


def emblem(size):
    """The program's emblem: the blue shield bearing the USB trident."""
    if size <= 16:
        return emblem_16()
    c = Canvas(size, size)
    g = Grid(0, 0, size)
    shield(c, g)
    usb_symbol(c, g.sub(5, 4.5, 22))
    return c


def _drawn(size, draw):
    c = Canvas(size, size)
    draw(c, Grid(0, 0, size))
    return c


def shield_usb(size):
    def draw(c, g):
        motifs.flash_drive(c, g.sub(-3, -1, 30))
        shield(c, g.sub(15, 13, 18), "green", outline=1.6)
    return _drawn(size, draw)


def shield_scan(size):
    def draw(c, g):
        shield(c, g.sub(-2, -1, 28))
        motifs.magnifier(c, g.sub(11, 11, 21))
    return _drawn(size, draw)


def shield_lock(size):
    def draw(c, g):
        shield(c, g.sub(-2, -1, 28))
        objects.padlock(c, g.sub(13, 12, 20))
    return _drawn(size, draw)


def help_book(size):
    return _drawn(size, objects.book)


def about(size):
    if size <= 16:
        return emblem_16()

    def draw(c, g):
        shield(c, g)
        usb_symbol(c, g.sub(5, 4.5, 22))
        badge(c, g, 25, 25, 6.5, "green", "check")
    return _drawn(size, draw)


# Icon files by resource file name: the design and its image sizes. The 32-pixel image
# comes first: an icon loaded "at its own size" (as the skin button loads the help icon) is
# the first image of its file.
ICONS = {
    "app": (emblem, (32, 16, 48)),
    "tray": (emblem, (32, 16)),
    "about": (about, (32, 16, 48)),
    "shield_usb": (shield_usb, (32, 16)),
    "shield_scan": (shield_scan, (32, 16)),
    "shield_lock": (shield_lock, (32, 16)),
    "help": (help_book, (32, 16)),
}
