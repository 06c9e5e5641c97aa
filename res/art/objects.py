"""Everyday objects of the art: tools, containers, screens, arrows, a bug and a book.

Like motifs.py, each function draws into a canvas through a 32-unit Grid.
"""
import math

from motifs import AMBER_RAMP, BLUE_RAMP, GREEN_RAMP, RED_RAMP, STEEL_RAMP, usb_symbol
from palette import (AMBER_DARK, AMBER_LIGHT, BLUE, BLUE_DARK, BLUE_LIGHT, GREEN, GREEN_DARK,
                     INK, NAVY, PAPER, RED, RED_DARK, SKY, STEEL, STEEL_DARK, STEEL_LIGHT,
                     WHITE, alpha, shade)
from raster import Path, ellipse, polygon, rect, rounded_rect


def outlined(c, parts, paint, outline, width):
    """Fills the union of `parts` with a common outline and no seams between them."""
    for part in parts:
        c.fill(part, outline)
        c.stroke(part, 2 * width, outline)
    for part in parts:
        c.fill(part, paint)


def wrench_paths(g):
    """An open-ended wrench lying horizontally, head at the left."""
    head = Path().arc(8, 16, 6.5, 6.5, 205, 515).line(8.5, 18.7).line(8.5, 13.3).close()
    handle = rounded_rect(10, 13.6, 20, 4.8, 2.4)
    return [g.t(head), g.t(handle)]


def wrench(c, g):
    outlined(c, wrench_paths(g), g.linear(0, 11, 0, 21, STEEL_RAMP), STEEL_DARK, g.w(1.0))
    c.stroke(g.t(Path().move(14, 15.2).line(27, 15.2)), g.w(0.9), alpha(WHITE, 200))


def gear(c, g, teeth=8, paint=None):
    points = []
    for i in range(teeth * 4):
        a = 2 * math.pi * (i - 0.5) / (teeth * 4)
        r = 13 if i % 4 in (1, 2) else 10
        points.append((16 + r * math.cos(a), 16 + r * math.sin(a)))
    body = g.t(polygon(points))
    ring = body
    ring.subpaths.extend(g.t(ellipse(16, 16, 4.2)).subpaths)
    c.fill(ring, paint or g.linear(0, 3, 0, 29, BLUE_RAMP), rule="evenodd")
    c.stroke(ring, g.w(1.0), NAVY)


def trash_can(c, g):
    body = g.t(polygon([(8.5, 10), (23.5, 10), (22, 29), (10, 29)]))
    c.fill(body, g.linear(8, 0, 24, 0, STEEL_RAMP))
    c.stroke(body, g.w(1.0), STEEL_DARK)
    for x0, x1 in ((12.5, 13), (16, 16), (19.5, 19)):
        c.stroke(g.t(Path().move(x0, 13).line(x1, 26)), g.w(1.2), STEEL_DARK)
    handle = g.t(rounded_rect(12.5, 3.5, 7, 4, 1.5))
    c.stroke(handle, g.w(1.5), STEEL_DARK)
    lid = g.t(rounded_rect(6.5, 6.5, 19, 4, 1.2))
    c.fill(lid, g.linear(0, 6, 0, 11, STEEL_RAMP))
    c.stroke(lid, g.w(1.0), STEEL_DARK)


def broom(c, g):
    handle = g.t(Path().move(27, 3).line(15.5, 17))
    c.stroke(handle, g.w(3.4), AMBER_DARK)
    c.stroke(handle, g.w(1.6), AMBER_LIGHT)
    head = g.t(polygon([(13, 14.5), (19, 19.5), (13, 30), (3, 27), (2.5, 24)]))
    c.fill(head, g.linear(14, 15, 4, 28, AMBER_RAMP))
    c.stroke(head, g.w(1.0), AMBER_DARK)
    for t in (0.3, 0.55, 0.8):
        x0, y0 = 15 + (13 - 15) * t + 1, 16.5 + t * 1.5
        c.stroke(g.t(Path().move(x0, y0).line(3 + t * 8, 25 + t * 4)), g.w(0.8), AMBER_DARK)
    band = g.t(polygon([(12, 14), (19.8, 20.3), (18.6, 21.8), (10.8, 15.5)]))
    c.fill(band, RED)
    c.stroke(band, g.w(0.8), RED_DARK)


def padlock(c, g, ramp=AMBER_RAMP, outline=AMBER_DARK):
    shackle = Path().move(10.5, 16).line(10.5, 11).arc(16, 11, 5.5, 5.5, 180, 360).line(21.5, 16)
    c.stroke(g.t(shackle), g.w(3.6), STEEL_DARK)
    c.stroke(g.t(shackle), g.w(1.8), STEEL_LIGHT)
    body = g.t(rounded_rect(7, 15, 18, 14, 2.5))
    c.fill(body, g.linear(0, 15, 0, 29, ramp))
    c.stroke(body, g.w(1.1), outline)
    c.fill(g.t(ellipse(16, 20.5, 2.2)), INK)
    c.fill(g.t(polygon([(15, 21), (17, 21), (17.6, 25.5), (14.4, 25.5)])), INK)


def crate(c, g):
    """A closed box, seen from the front and a little from above."""
    top = g.t(polygon([(4, 10), (10, 4), (28, 4), (22, 10)]))
    side = g.t(polygon([(22, 10), (28, 4), (28, 22), (22, 28)]))
    front = g.t(rect(4, 10, 18, 18))
    c.fill(top, g.linear(0, 4, 0, 10, [(0, SKY), (1, BLUE_LIGHT)]))
    c.fill(side, g.linear(22, 0, 28, 0, [(0, BLUE_DARK), (1, NAVY)]))
    c.fill(front, g.linear(0, 10, 0, 28, BLUE_RAMP))
    for part in (top, side, front):
        c.stroke(part, g.w(1.0), NAVY)
    for y in (13, 25):
        c.stroke(g.t(Path().move(4, y).line(22, y)), g.w(1.0), alpha(NAVY, 150), cap="butt")


def toolbox(c, g):
    handle = g.t(Path().move(11, 10).line(11, 5.5).line(21, 5.5).line(21, 10))
    c.stroke(handle, g.w(3.2), NAVY)
    c.stroke(handle, g.w(1.4), STEEL)
    body = g.t(rounded_rect(2.5, 9.5, 27, 19.5, 2.5))
    c.fill(body, g.linear(0, 9, 0, 29, AMBER_RAMP))
    c.stroke(body, g.w(1.1), AMBER_DARK)
    c.stroke(g.t(Path().move(3, 14).line(29, 14)), g.w(1.2), AMBER_DARK, cap="butt")
    for x in (5, 24):
        latch = g.t(rect(x, 12, 3, 4))
        c.fill(latch, STEEL_LIGHT)
        c.stroke(latch, g.w(0.8), STEEL_DARK)
    usb_symbol(c, g.sub(9.5, 14.2, 13), WHITE)


def monitor(c, g, screen=None):
    bezel = g.t(rounded_rect(2, 3, 28, 20, 2))
    c.fill(bezel, g.linear(0, 3, 0, 23, [(0, shade(INK, 0.25)), (1, INK)]))
    glass = g.t(rect(4, 5, 24, 15.5))
    c.fill(glass, screen or g.linear(4, 5, 28, 21, [(0, BLUE_LIGHT), (0.6, BLUE), (1, BLUE_DARK)]))
    c.fill(g.t(polygon([(4, 5), (17, 5), (4, 15)])), alpha(WHITE, 50))
    c.fill(g.t(polygon([(13.5, 23), (18.5, 23), (19.5, 27), (12.5, 27)])), STEEL_DARK)
    base = g.t(rounded_rect(8, 26.5, 16, 3, 1.5))
    c.fill(base, g.linear(0, 26, 0, 30, STEEL_RAMP))
    c.stroke(base, g.w(0.8), STEEL_DARK)


def app_window(c, g, title=BLUE_RAMP):
    frame = g.t(rounded_rect(3, 5, 26, 22, 1.8))
    c.fill(frame, PAPER)
    c.fill(g.t(rounded_rect(3, 5, 26, 6, 1.8)), g.linear(0, 5, 0, 11, title))
    c.fill(g.t(rect(3, 9, 26, 2)), title[-1][1])
    c.stroke(frame, g.w(1.0), NAVY)
    for x in (22, 25.2):
        c.fill(g.t(rect(x, 6.8, 2.2, 2.2)), alpha(WHITE, 220))


def pulse(c, g, colour=GREEN):
    line = Path().move(6, 19).lines([(10, 19), (12, 14), (15, 24), (18, 15.5), (20, 19),
                                      (26, 19)])
    c.stroke(g.t(line), g.w(2.0), colour)


def list_rows(c, g):
    for y in (14.5, 18.5, 22.5):
        c.fill(g.t(rect(6, y - 1, 2.2, 2.2)), BLUE)
        c.stroke(g.t(Path().move(10, y + 0.1).line(22, y + 0.1)), g.w(1.4), STEEL_DARK,
                 cap="butt")


def arrow_arc(c, g, cx, cy, r, start, end, colour_ramp, outline, width=3.6, head=4.4):
    """A circular arrow from `start` to `end` degrees, head at the end (y down)."""
    arc = Path().arc(cx, cy, r, r, start, end)
    a = math.radians(end)
    direction = 1 if end > start else -1
    tx, ty = -math.sin(a) * direction, math.cos(a) * direction
    px, py = cx + r * math.cos(a), cy + r * math.sin(a)
    nx, ny = math.cos(a), math.sin(a)
    tip = polygon([(px + tx * head * 1.1, py + ty * head * 1.1),
                   (px + nx * head - tx * 0.3, py + ny * head - ty * 0.3),
                   (px - nx * head - tx * 0.3, py - ny * head - ty * 0.3)])
    paint = g.linear(cx, cy - r, cx, cy + r, colour_ramp)
    c.stroke(g.t(arc), g.w(width + 2), outline, cap="butt")
    c.fill(g.t(tip), outline)
    c.stroke(g.t(tip), g.w(2), outline)
    c.stroke(g.t(arc), g.w(width), paint, cap="butt")
    c.fill(g.t(tip), paint)


def refresh_arrows(c, g):
    arrow_arc(c, g, 16, 16, 10, 200, 330, BLUE_RAMP, NAVY)
    arrow_arc(c, g, 16, 16, 10, 20, 150, BLUE_RAMP, NAVY)


def eject_symbol(c, g, ramp=GREEN_RAMP, outline=GREEN_DARK):
    tri = g.t(polygon([(16, 5), (27, 17), (5, 17)]))
    bar = g.t(rect(5, 20.5, 22, 5))
    for part in (tri, bar):
        c.fill(part, g.linear(0, 5, 0, 26, ramp))
        c.stroke(part, g.w(1.1), outline)


def cube(c, g, x, y, s):
    """An isometric cube of edge s with its top corner at (x, y)."""
    h = s * 0.5
    top = g.t(polygon([(x, y), (x + s, y + h), (x, y + 2 * h), (x - s, y + h)]))
    left = g.t(polygon([(x - s, y + h), (x, y + 2 * h), (x, y + 2 * h + s), (x - s, y + h + s)]))
    right = g.t(polygon([(x, y + 2 * h), (x + s, y + h), (x + s, y + h + s), (x, y + 2 * h + s)]))
    c.fill(top, SKY)
    c.fill(left, BLUE)
    c.fill(right, BLUE_DARK)
    for part in (top, left, right):
        c.stroke(part, g.w(0.9), NAVY)


def registry_cubes(c, g):
    cube(c, g, 16, 3, 7)
    cube(c, g, 9, 13, 7)
    cube(c, g, 23, 13, 7)


def hard_disk(c, g):
    top = g.t(polygon([(3, 14), (8, 9), (29, 9), (25, 14)]))
    c.fill(top, g.linear(0, 9, 0, 14, [(0, STEEL_LIGHT), (1, STEEL)]))
    c.stroke(top, g.w(0.9), STEEL_DARK)
    box = g.t(rounded_rect(3, 14, 22, 11, 1.2))
    c.fill(box, g.linear(0, 14, 0, 25, STEEL_RAMP))
    c.stroke(box, g.w(1.0), STEEL_DARK)
    side = g.t(polygon([(25, 14), (29, 9), (29, 20), (25, 25)]))
    c.fill(side, STEEL_DARK)
    c.stroke(side, g.w(0.9), shade(STEEL_DARK, -0.3))
    c.stroke(g.t(Path().move(6, 20).line(16, 20)), g.w(1.4), STEEL_DARK, cap="butt")
    c.fill(g.t(ellipse(21, 20, 1.6)), GREEN)


def bug(c, g, ramp=RED_RAMP, outline=RED_DARK):
    for side in (-1, 1):
        for y, dy in ((13, -3), (17.5, 0), (22, 3)):
            leg = Path().move(16 + side * 4, y).line(16 + side * 9, y + dy)
            c.stroke(g.t(leg), g.w(1.6), INK)
        antenna = Path().move(16 + side * 1.5, 7).line(16 + side * 4.5, 2.5)
        c.stroke(g.t(antenna), g.w(1.3), INK)
    c.fill(g.t(ellipse(16, 8.5, 4, 3.2)), INK)
    body = g.t(ellipse(16, 18, 6.5, 8.5))
    c.fill(body, g.linear(10, 10, 22, 26, ramp))
    c.stroke(body, g.w(1.1), outline)
    c.stroke(g.t(Path().move(16, 10.5).line(16, 26)), g.w(1.0), outline, cap="butt")
    for x, y in ((13.3, 15), (18.7, 15), (13.5, 21), (18.5, 21)):
        c.fill(g.t(ellipse(x, y, 1.3)), INK)


def question_mark(c, g, colour=WHITE, width=3.0):
    hook = Path().arc(16, 11, 5, 5, 200, 380).curve(21, 14.5, 16.5, 15.5, 16, 19).line(16, 20.5)
    c.stroke(g.t(hook), g.w(width), colour)
    c.fill(g.t(ellipse(16, 25.5, width * 0.62)), colour)


def book(c, g):
    pages = g.t(rounded_rect(9, 5, 19, 25, 1.5))
    c.fill(pages, PAPER)
    c.stroke(pages, g.w(0.9), STEEL_DARK)
    for y in (27.5, 25.5):
        c.stroke(g.t(Path().move(10, y).line(27, y)), g.w(0.7), STEEL, cap="butt")
    cover = g.t(rounded_rect(5, 3, 20, 24, 2))
    c.fill(cover, g.linear(5, 3, 25, 27, BLUE_RAMP))
    c.fill(g.t(rect(5.5, 3.5, 3.5, 23)), alpha(NAVY, 120))
    c.stroke(cover, g.w(1.1), NAVY)
    question_mark(c, g.sub(7, 4, 22), WHITE, 3.4)


def usb_cable_plug(c, g):
    """A USB-A plug pointing up, with its cable leaving at the bottom."""
    c.stroke(g.t(Path().move(16, 22).line(16, 31)), g.w(3.0), INK, cap="butt")
    shell = g.t(rect(11, 4, 10, 9))
    c.fill(shell, g.linear(11, 0, 21, 0, STEEL_RAMP))
    c.stroke(shell, g.w(0.9), STEEL_DARK)
    for x in (13, 17):
        c.fill(g.t(rect(x, 6.5, 2, 2)), INK)
    grip = g.t(rounded_rect(9.5, 12.5, 13, 11, 2))
    c.fill(grip, g.linear(9, 0, 23, 0, [(0, shade(INK, 0.4)), (1, INK)]))
    c.stroke(grip, g.w(0.9), INK)
    usb_symbol(c, g.sub(12, 13.2, 8), STEEL_LIGHT)
