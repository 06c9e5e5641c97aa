"""The one palette of the program's art, and the colour rules of its bitmaps."""

NAVY = (20, 48, 92)
BLUE_DARK = (26, 82, 158)
BLUE = (44, 120, 214)
BLUE_LIGHT = (118, 178, 240)
SKY = (196, 225, 252)
GREEN_DARK = (22, 106, 44)
GREEN = (44, 158, 66)
GREEN_LIGHT = (128, 214, 120)
RED_DARK = (146, 28, 26)
RED = (214, 58, 50)
RED_LIGHT = (246, 132, 118)
AMBER_DARK = (160, 92, 8)
AMBER = (238, 158, 30)
AMBER_LIGHT = (252, 214, 120)
STEEL_DARK = (96, 110, 130)
STEEL = (176, 188, 204)
STEEL_LIGHT = (226, 232, 240)
PAPER = (252, 252, 249)
INK = (34, 40, 52)
WHITE = (254, 254, 254)

# Every bitmap is drawn through a mask made from pure white, onto a grey button face
# (about 0xD4D0C8 on classic Windows, 0xF0F0F0 on later ones, 0xF5F5F5 under Wine).
# Edges blend toward this middle grey, so no light halo shows on any of them.
FACE = (228, 228, 228)
TRANSPARENT = (255, 255, 255)
# Coverage below this leaves a pixel transparent instead of a faint grey speck.
ALPHA_CUTOFF = 40

# The plain (not selected) page buttons: the same glyph, in calm grey-blue tones.
PLAIN_DARK = (52, 66, 86)
PLAIN_MID = (118, 136, 160)
PLAIN_LIGHT = (236, 240, 246)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, t):
    """Darker (t < 0) or lighter (t > 0) version of a colour."""
    return mix(c, (0, 0, 0), -t) if t < 0 else mix(c, (255, 255, 255), t)


def alpha(c, a):
    return (c[0], c[1], c[2], a)


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def plain(rgba):
    """The grey-blue rendering of a coloured pixel, alpha kept."""
    r, g, b, a = rgba
    lum = min(1.0, luminance((r, g, b)) / 235.0)
    if lum < 0.5:
        c = mix(PLAIN_DARK, PLAIN_MID, lum / 0.5)
    else:
        c = mix(PLAIN_MID, PLAIN_LIGHT, (lum - 0.5) / 0.5)
    return (c[0], c[1], c[2], a)


def flatten_on_face(rgba):
    """Bitmap pixels: transparent white where empty, edges blended toward the face grey."""
    out = []
    for r, g, b, a in rgba:
        if a < ALPHA_CUTOFF:
            out.append(TRANSPARENT)
            continue
        t = a / 255.0
        c = (int(round(r * t + FACE[0] * (1 - t))), int(round(g * t + FACE[1] * (1 - t))),
             int(round(b * t + FACE[2] * (1 - t))))
        out.append(WHITE if c == TRANSPARENT else c)
    return out


def on_face(rgb, face):
    """How a flattened bitmap looks drawn through its white mask onto a given face."""
    return [face if c == TRANSPARENT else c for c in rgb]
