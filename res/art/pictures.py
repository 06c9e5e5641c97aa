"""The two larger pictures: the information page's scene and the shield page's banner.

Both sit on a light card with rounded corners; outside the card they are transparent.
"""
import motifs
import objects
from grid import Grid
from motifs import badge, shield, usb_symbol
from palette import BLUE, BLUE_LIGHT, RED, SKY, WHITE, alpha, mix, shade
from raster import Canvas, Path, coverage, ellipse, rounded_rect

CARD_TOP = mix(SKY, WHITE, 0.55)
CARD_BOTTOM = mix(SKY, BLUE_LIGHT, 0.25)


def card(c, w, h):
    """The rounded card every picture stands on; returns its coverage for clipping."""
    g = Grid(0, 0, w, base=w)
    body = rounded_rect(1, 1, w - 2, h - 2, 9)
    c.fill(body, g.linear(0, 0, 0, h, [(0, CARD_TOP), (1, CARD_BOTTOM)]))
    cov = coverage(body, w, h)
    # A wide, soft arc across the card, like the horizon of a globe.
    c.fill(ellipse(w * 0.5, h * 1.55, w * 0.85, h * 0.9), alpha(WHITE, 110), clip=cov)
    c.stroke(body, 1.0, shade(BLUE_LIGHT, -0.1))
    return cov


def dashed_line(c, points, colour, width, dash=5, gap=4):
    """Dashes along a polyline."""
    run, on = 0.0, True
    current = [points[0]]
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        seg = ((x1 - x0) ** 2 + (y1 - y0) ** 2) ** 0.5
        pos = 0.0
        while pos < seg:
            limit = (dash if on else gap) - run
            step = min(limit, seg - pos)
            pos += step
            run += step
            t = pos / seg
            point = (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
            if on:
                current.append(point)
            if run >= (dash if on else gap) - 1e-9:
                if on and len(current) > 1:
                    c.stroke(Path().move(*current[0]).lines(current[1:]), width, colour)
                on, run, current = not on, 0.0, [point]
    if on and len(current) > 1:
        c.stroke(Path().move(*current[0]).lines(current[1:]), width, colour)


def blocked_mark(c, x, y, r=4.5):
    """A small red burst where a threat hits the shield."""
    for dx, dy in ((1, 1), (1, -1)):
        c.stroke(Path().move(x - r * dx, y - r * dy).line(x + r * dx, y + r * dy), 2.2, RED)


def info_picture(w=256, h=124):
    """USB drive, shield and computer: threats from the drive stop at the shield."""
    c = Canvas(w, h)
    card(c, w, h)
    g = Grid(0, 0, w, base=w)
    dashed_line(c, [(78, 65), (186, 65)], alpha(BLUE, 170), 1.8)
    motifs.flash_drive(c, g.sub(16, 34, 62, angle=90))
    objects.bug(c, g.sub(70, 14, 22, angle=70))
    objects.bug(c, g.sub(76, 66, 19, angle=110))
    blocked_mark(c, 98, 30)
    blocked_mark(c, 100, 84)
    shield(c, g.sub(92, 14, 96), outline=1.5)
    motifs.check_mark(c, g.sub(109, 29, 62), WHITE, 4.2)
    objects.monitor(c, g.sub(180, 30, 64))
    shield(c, g.sub(201.5, 39, 21), outline=1.6)
    return c


def shield_banner(w=184, h=104):
    """The resident shield on watch: the emblem with waves around it and a green check."""
    c = Canvas(w, h)
    cov = card(c, w, h)
    g = Grid(0, 0, w, base=w)
    cx, cy = w / 2, h / 2 + 2
    for r, a in ((40, 190), (53, 140), (66, 90)):
        for start in (150, -30):
            wave = Path().arc(cx, cy, r, r, start, start + 60)
            c.stroke(wave, 3.0, alpha(BLUE, a), clip=cov)
    shield(c, g.sub(cx - 42, cy - 44, 84), outline=1.5)
    usb_symbol(c, g.sub(cx - 42 + 13, cy - 44 + 11, 58))
    badge(c, g, cx + 26, cy + 24, 13, "green", "check")
    return c
