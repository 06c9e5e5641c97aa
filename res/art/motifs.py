"""The program's visual language: shield, USB symbol, flash drive, magnifier, badges.

Each function draws one motif into a canvas through a Grid (32 design units square).
"""
import math

from palette import (AMBER, AMBER_DARK, AMBER_LIGHT, BLUE, BLUE_DARK, BLUE_LIGHT, GREEN,
                     GREEN_DARK, GREEN_LIGHT, NAVY, RED, RED_DARK, RED_LIGHT, SKY, STEEL,
                     STEEL_DARK, STEEL_LIGHT, WHITE, alpha, shade)
from raster import Path, coverage, ellipse, polygon, rect, rounded_rect

BLUE_RAMP = [(0.0, BLUE_LIGHT), (0.45, BLUE), (1.0, BLUE_DARK)]
GREEN_RAMP = [(0.0, GREEN_LIGHT), (0.5, GREEN), (1.0, GREEN_DARK)]
RED_RAMP = [(0.0, RED_LIGHT), (0.5, RED), (1.0, RED_DARK)]
AMBER_RAMP = [(0.0, AMBER_LIGHT), (0.5, AMBER), (1.0, AMBER_DARK)]
STEEL_RAMP = [(0.0, STEEL_LIGHT), (0.6, STEEL), (1.0, STEEL_DARK)]
RAMPS = {"blue": BLUE_RAMP, "green": GREEN_RAMP, "red": RED_RAMP, "amber": AMBER_RAMP,
         "steel": STEEL_RAMP}
OUTLINES = {"blue": NAVY, "green": GREEN_DARK, "red": RED_DARK, "amber": AMBER_DARK,
            "steel": STEEL_DARK}


def shield_path(d=0.0):
    """The shield outline, inset by d units."""
    p = Path().move(16, 1.5 + d)
    p.curve(12.5, 4 + d, 8, 5 + d, 3.5 + d, 5 + d)
    p.line(3.5 + d, 15)
    p.curve(3.5 + d, 23 - d * 0.5, 9 + d * 0.5, 27.5 - d, 16, 30.5 - 1.6 * d)
    p.curve(23 - d * 0.5, 27.5 - d, 28.5 - d, 23 - d * 0.5, 28.5 - d, 15)
    p.line(28.5 - d, 5 + d)
    p.curve(24, 5 + d, 19.5, 4 + d, 16, 1.5 + d)
    return p.close()


def shield(c, g, colour="blue", outline=1.2):
    """A glossy shield; returns its coverage, for clipping what goes on it."""
    body = g.t(shield_path())
    c.fill(body, g.linear(0, 2, 0, 30, RAMPS[colour]))
    cov = coverage(body, c.w, c.h)
    # The left half catches the light: the classic two-tone heraldic shield.
    gloss = g.t(polygon([(0, 0), (16, 0), (16, 32), (0, 32)]))
    c.fill(gloss, alpha(WHITE, 46), clip=cov)
    c.stroke(body, g.w(outline), OUTLINES[colour])
    return cov


def usb_symbol(c, g, colour=WHITE):
    """The USB trident, centred in the square, about 22 units tall."""
    k = g.w(2.2, 1.0)
    stem = Path().move(16, 8).line(16, 24)
    c.stroke(g.t(stem), k, colour, cap="butt")
    c.fill(g.t(polygon([(16, 3.5), (12, 9.5), (20, 9.5)])), colour)
    c.fill(g.t(ellipse(16, 25, 3)), colour)
    left = Path().move(16, 20).line(10.5, 15.5).line(10.5, 12.5)
    c.stroke(g.t(left), k, colour)
    c.fill(g.t(ellipse(10.5, 11.5, 2.3)), colour)
    right = Path().move(16, 17.5).line(21.5, 13.5).line(21.5, 11.5)
    c.stroke(g.t(right), k, colour)
    c.fill(g.t(rect(19.3, 8.3, 4.4, 4.4)), colour)


def flash_drive(c, g, colour="blue"):
    """A USB stick standing upright, connector at the top."""
    plug = g.t(rect(11, 2, 10, 10))
    c.fill(plug, g.linear(11, 0, 21, 0, [(0, STEEL_LIGHT), (0.5, STEEL), (1, STEEL_DARK)]))
    c.stroke(plug, g.w(1.0), STEEL_DARK)
    for x in (13.2, 16.8):
        c.fill(g.t(rect(x, 5, 2, 2.4)), NAVY)
    body = g.t(rounded_rect(8, 11, 16, 20, 3))
    c.fill(body, g.linear(8, 0, 24, 0, RAMPS[colour]))
    c.stroke(body, g.w(1.2), OUTLINES[colour])
    label = g.t(rounded_rect(11, 16, 10, 10, 1.5))
    c.fill(label, alpha(WHITE, 200))
    usb_symbol(c, g.sub(11.5, 16.3, 9), OUTLINES[colour])


def magnifier(c, g, rim=NAVY):
    """A magnifying glass, lens at the upper left, handle to the lower right."""
    handle = Path().move(20, 20).line(28, 28)
    c.stroke(g.t(handle), g.w(5.5), shade(rim, 0.1))
    c.stroke(g.t(handle), g.w(3.2), shade(rim, 0.35))
    glass = g.t(ellipse(13, 13, 9))
    c.fill(glass, g.radial(10, 10, 12, [(0, alpha(WHITE, 220)), (1, alpha(SKY, 170))]))
    shine = Path().arc(13, 13, 6, 6, 190, 260)
    c.stroke(g.t(shine), g.w(1.8), alpha(WHITE, 235))
    c.stroke(glass, g.w(2.6), rim)


def check_mark(c, g, colour=WHITE, width=4.0):
    c.stroke(g.t(Path().move(8.5, 16.5).line(14, 22).line(24, 10.5)), g.w(width), colour)


def badge(c, g, cx, cy, r, colour, symbol):
    """A round badge with a white symbol: plus, minus, cross, check, play, eject, bang."""
    disc = g.t(ellipse(cx, cy, r))
    c.fill(disc, g.linear(cx, cy - r, cx, cy + r, RAMPS[colour]))
    c.stroke(disc, g.w(1.0), OUTLINES[colour])
    s = r * 0.52
    w = g.w(r * 0.38, 1.2)
    if symbol in ("plus", "minus"):
        c.stroke(g.t(Path().move(cx - s, cy).line(cx + s, cy)), w, WHITE, cap="butt")
    if symbol == "plus":
        c.stroke(g.t(Path().move(cx, cy - s).line(cx, cy + s)), w, WHITE, cap="butt")
    elif symbol == "cross":
        c.stroke(g.t(Path().move(cx - s * 0.8, cy - s * 0.8).line(cx + s * 0.8, cy + s * 0.8)),
                 w, WHITE)
        c.stroke(g.t(Path().move(cx + s * 0.8, cy - s * 0.8).line(cx - s * 0.8, cy + s * 0.8)),
                 w, WHITE)
    elif symbol == "check":
        c.stroke(g.t(Path().move(cx - s, cy).line(cx - s * 0.2, cy + s * 0.75)
                     .line(cx + s, cy - s * 0.7)), w, WHITE)
    elif symbol == "play":
        c.fill(g.t(polygon([(cx - s * 0.6, cy - s), (cx + s, cy), (cx - s * 0.6, cy + s)])),
               WHITE)
    elif symbol == "eject":
        c.fill(g.t(polygon([(cx, cy - s * 1.05), (cx + s * 1.05, cy + s * 0.15),
                            (cx - s * 1.05, cy + s * 0.15)])), WHITE)
        c.fill(g.t(rect(cx - s * 1.05, cy + s * 0.45, s * 2.1, s * 0.55)), WHITE)
    elif symbol == "bang":
        c.stroke(g.t(Path().move(cx, cy - s).line(cx, cy + s * 0.25)), w, WHITE, cap="butt")
        c.fill(g.t(ellipse(cx, cy + s * 0.8, w / g.k * 0.6)), WHITE)


def info_disc(c, g, colour="blue"):
    disc = g.t(ellipse(16, 16, 13.5))
    c.fill(disc, g.linear(0, 3, 0, 29, RAMPS[colour]))
    c.fill(g.t(ellipse(16, 11, 11, 8)), alpha(WHITE, 40), clip=coverage(disc, c.w, c.h))
    c.stroke(disc, g.w(1.2), OUTLINES[colour])
    c.fill(g.t(ellipse(16, 9, 2.4)), WHITE)
    c.fill(g.t(polygon([(12.5, 13), (18, 13), (18, 22), (20, 22), (20, 24.5), (12.5, 24.5),
                        (12.5, 22), (14.5, 22), (14.5, 15.5), (12.5, 15.5)])), WHITE)


def document(c, g, lines=True):
    """A sheet of paper with a folded corner."""
    sheet = g.t(polygon([(7, 3), (20, 3), (26, 9), (26, 29), (7, 29)]))
    c.fill(sheet, g.linear(7, 3, 26, 29, [(0, WHITE), (1, STEEL_LIGHT)]))
    c.stroke(sheet, g.w(1.0), STEEL_DARK)
    fold = g.t(polygon([(20, 3), (20, 9), (26, 9)]))
    c.fill(fold, STEEL)
    c.stroke(fold, g.w(0.8), STEEL_DARK)
    if lines:
        for y in (13, 17, 21, 25):
            c.stroke(g.t(Path().move(10.5, y).line(22.5, y)), g.w(1.2), shade(BLUE, 0.35),
                     cap="butt")


def stop_sign(c, g):
    points = []
    for i in range(8):
        a = math.radians(22.5 + 45 * i)
        points.append((16 + 13.5 * math.cos(a), 16 + 13.5 * math.sin(a)))
    octagon = g.t(polygon(points))
    c.fill(octagon, g.linear(0, 3, 0, 29, RED_RAMP))
    c.stroke(octagon, g.w(1.2), RED_DARK)
    c.fill(g.t(rounded_rect(10.5, 10.5, 11, 11, 1.2)), WHITE)
