"""Design grids: every motif is drawn in its own 32 x 32 unit square and placed by a Grid."""
from raster import Linear, Radial, compose, rotate, scale, translate, apply


class Grid:
    """Maps a motif's 32-unit design square onto pixels: origin, size and turn."""

    def __init__(self, x, y, size, angle=0.0, base=32.0):
        self.k = size / base
        self.matrix = compose(rotate(angle, base / 2, base / 2), scale(self.k),
                              translate(x, y))

    def t(self, path):
        return path.transformed(self.matrix)

    def pt(self, x, y):
        return apply(self.matrix, (x, y))

    def w(self, units, minimum=1.0):
        """A line width in pixels, never thinner than `minimum` so outlines stay visible."""
        return max(minimum, units * self.k)

    def linear(self, x0, y0, x1, y1, stops):
        return Linear(*self.pt(x0, y0), *self.pt(x1, y1), stops)

    def radial(self, cx, cy, r, stops):
        x, y = self.pt(cx, cy)
        return Radial(x, y, r * self.k, stops)

    def sub(self, x, y, size, angle=0.0):
        """A smaller grid inside this one (position and size in this grid's units)."""
        inner = Grid(0, 0, size * self.k, angle)
        inner.matrix = compose(rotate(angle, 16, 16), scale(size / 32.0),
                               translate(x, y), self.matrix)
        inner.k = size / 32.0 * self.k
        return inner
