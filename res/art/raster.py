"""A small anti-aliased vector rasteriser: paths, fills, strokes and gradients.

Coverage is exact along each of 16 sub-scanlines per pixel row, which is plenty for
icons of 16 to 300 pixels. Colours are (r, g, b) or (r, g, b, a) tuples of 0-255 values.
"""
import math

SUBROWS = 16


class Path:
    """Sub-paths of straight segments; curves are flattened as they are added."""

    def __init__(self):
        self.subpaths = []
        self._current = None

    def move(self, x, y):
        self._current = [(x, y)]
        self.subpaths.append(self._current)
        return self

    def line(self, x, y):
        self._current.append((x, y))
        return self

    def lines(self, points):
        for x, y in points:
            self.line(x, y)
        return self

    def curve(self, x1, y1, x2, y2, x, y, steps=16):
        x0, y0 = self._current[-1]
        for i in range(1, steps + 1):
            t = i / steps
            u = 1 - t
            self._current.append((
                u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x,
                u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y))
        return self

    def quad(self, x1, y1, x, y, steps=12):
        x0, y0 = self._current[-1]
        for i in range(1, steps + 1):
            t = i / steps
            u = 1 - t
            self._current.append((u * u * x0 + 2 * u * t * x1 + t * t * x,
                                  u * u * y0 + 2 * u * t * y1 + t * t * y))
        return self

    def arc(self, cx, cy, rx, ry, start_deg, end_deg, steps=None):
        """Continues the path along an ellipse arc; angles in degrees, y pointing down."""
        span = end_deg - start_deg
        if steps is None:
            steps = max(4, int(abs(span) / 360 * max(24, 2.5 * (rx + ry))))
        for i in range(steps + 1):
            a = math.radians(start_deg + span * i / steps)
            point = (cx + rx * math.cos(a), cy + ry * math.sin(a))
            if self._current is None:
                self.move(*point)
            else:
                self._current.append(point)
        return self

    def close(self):
        self._current = None
        return self

    def polygons(self):
        return [list(p) for p in self.subpaths if len(p) > 2]

    def transformed(self, matrix):
        out = Path()
        for sub in self.subpaths:
            out.subpaths.append([apply(matrix, p) for p in sub])
        return out


# Affine matrices as (a, b, c, d, e, f): x' = a*x + c*y + e, y' = b*x + d*y + f.
def translate(dx, dy):
    return (1, 0, 0, 1, dx, dy)


def scale(sx, sy=None):
    return (sx, 0, 0, sx if sy is None else sy, 0, 0)


def rotate(deg, cx=0.0, cy=0.0):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return (c, s, -s, c, cx - c * cx + s * cy, cy - s * cx - c * cy)


def compose(*matrices):
    """The matrix that applies the given ones from left to right."""
    a, b, c, d, e, f = 1, 0, 0, 1, 0, 0
    for (a2, b2, c2, d2, e2, f2) in matrices:
        a, b, c, d, e, f = (a2 * a + c2 * b, b2 * a + d2 * b, a2 * c + c2 * d,
                            b2 * c + d2 * d, a2 * e + c2 * f + e2, b2 * e + d2 * f + f2)
    return (a, b, c, d, e, f)


def apply(m, p):
    x, y = p
    return (m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5])


def rect(x, y, w, h):
    return Path().move(x, y).lines([(x + w, y), (x + w, y + h), (x, y + h)]).close()


def rounded_rect(x, y, w, h, r):
    r = min(r, w / 2, h / 2)
    if r <= 0:
        return rect(x, y, w, h)
    p = Path()
    p.arc(x + w - r, y + r, r, r, -90, 0)
    p.arc(x + w - r, y + h - r, r, r, 0, 90)
    p.arc(x + r, y + h - r, r, r, 90, 180)
    p.arc(x + r, y + r, r, r, 180, 270)
    return p.close()


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return Path().arc(cx, cy, rx, ry, 0, 360).close()


def polygon(points):
    return Path().move(*points[0]).lines(points[1:]).close()


def merge(*paths):
    out = Path()
    for p in paths:
        out.subpaths.extend(p.subpaths)
    return out


def _signed_area(poly):
    return sum(poly[i][0] * poly[i - 1][1] - poly[i - 1][0] * poly[i][1]
               for i in range(len(poly))) / 2


def _oriented(poly):
    return poly if _signed_area(poly) >= 0 else poly[::-1]


def stroke(points, width, closed=False, cap="round"):
    """The outline of a polyline as a union of consistently oriented polygons (nonzero)."""
    half = width / 2
    polys = []
    segments = list(zip(points, points[1:]))
    if closed:
        segments.append((points[-1], points[0]))
    for (x0, y0), (x1, y1) in segments:
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        if length == 0:
            continue
        nx, ny = -dy / length * half, dx / length * half
        polys.append(_oriented([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                                (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]))
    joints = points if (closed or cap == "round") else points[1:-1]
    for x, y in joints:
        polys.append(_oriented(ellipse(x, y, half).polygons()[0]))
    out = Path()
    out.subpaths = polys
    return out


def stroke_path(path, width, cap="round"):
    out = Path()
    for sub in path.subpaths:
        closed = path_is_closed(sub)
        out.subpaths.extend(stroke(sub, width, closed=closed, cap=cap).subpaths)
    return out


def path_is_closed(sub):
    return len(sub) > 2 and math.hypot(sub[0][0] - sub[-1][0], sub[0][1] - sub[-1][1]) < 1e-6


def coverage(path, w, h, rule="nonzero"):
    """Per-pixel coverage (0..1) of a path, as a flat row-major list."""
    edges = []
    for poly in path.polygons():
        n = len(poly)
        for i in range(n):
            (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
            if y0 == y1:
                continue
            direction = 1 if y1 > y0 else -1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), direction))
    cov = [0.0] * (w * h)
    if not edges:
        return cov
    top = max(0, int(math.floor(min(e[0] for e in edges))))
    bottom = min(h, int(math.ceil(max(e[1] for e in edges))))
    step = 1.0 / SUBROWS
    for py in range(top, bottom):
        row_edges = [e for e in edges if e[0] < py + 1 and e[1] > py]
        if not row_edges:
            continue
        partial = [0.0] * (w + 2)
        diff = [0.0] * (w + 2)
        for k in range(SUBROWS):
            sy = py + (k + 0.5) * step
            xs = sorted((e[2] + (sy - e[0]) * e[3], e[4]) for e in row_edges
                        if e[0] <= sy < e[1])
            winding = 0
            start = None
            for x, d in xs:
                before = winding
                winding += d
                inside_before = (before != 0) if rule == "nonzero" else (before % 2 == 1)
                inside_after = (winding != 0) if rule == "nonzero" else (winding % 2 == 1)
                if not inside_before and inside_after:
                    start = x
                elif inside_before and not inside_after:
                    _add_span(partial, diff, start, x, w, step)
        run = 0.0
        base = py * w
        for px in range(w):
            run += diff[px]
            c = run + partial[px]
            if c > 0:
                cov[base + px] = 1.0 if c > 1 else c
    return cov


def _add_span(partial, diff, xa, xb, w, weight):
    xa = max(0.0, xa)
    xb = min(float(w), xb)
    if xb <= xa:
        return
    ia, ib = int(xa), int(xb)
    if ia == ib:
        partial[ia] += (xb - xa) * weight
        return
    partial[ia] += (ia + 1 - xa) * weight
    diff[ia + 1] += weight
    diff[ib] -= weight
    if ib < w:
        partial[ib] += (xb - ib) * weight


class Linear:
    """A linear gradient between two points with colour stops [(t, colour), ...]."""

    def __init__(self, x0, y0, x1, y1, stops):
        self.x0, self.y0 = x0, y0
        dx, dy = x1 - x0, y1 - y0
        self.ux, self.uy = dx / (dx * dx + dy * dy), dy / (dx * dx + dy * dy)
        self.stops = [(t, _rgba(c)) for t, c in stops]

    def at(self, x, y):
        return _ramp(self.stops, (x - self.x0) * self.ux + (y - self.y0) * self.uy)


class Radial:
    def __init__(self, cx, cy, r, stops, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, r, ry or r
        self.stops = [(t, _rgba(c)) for t, c in stops]

    def at(self, x, y):
        return _ramp(self.stops, math.hypot((x - self.cx) / self.rx, (y - self.cy) / self.ry))


def _rgba(c):
    return (c[0], c[1], c[2], c[3] if len(c) > 3 else 255)


def _ramp(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            f = (t - t0) / (t1 - t0) if t1 > t0 else 1
            return tuple(c0[i] + (c1[i] - c0[i]) * f for i in range(4))
    return stops[-1][1]


class Canvas:
    """Premultiplied RGBA pixels (floats 0..1) with source-over painting."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def fill(self, path, paint, rule="nonzero", clip=None, opacity=1.0):
        cov = coverage(path, self.w, self.h, rule)
        self.paint_coverage(cov, paint, clip, opacity)
        return cov

    def paint_coverage(self, cov, paint, clip=None, opacity=1.0):
        solid = None if hasattr(paint, "at") else _rgba(paint)
        w = self.w
        for i, c in enumerate(cov):
            if c <= 0:
                continue
            if clip is not None:
                c *= clip[i]
                if c <= 0:
                    continue
            r, g, b, a = solid if solid else paint.at(i % w + 0.5, i // w + 0.5)
            sa = a / 255.0 * c * opacity
            if sa <= 0:
                continue
            d = self.px[i]
            k = 1 - sa
            d[0] = r / 255.0 * sa + d[0] * k
            d[1] = g / 255.0 * sa + d[1] * k
            d[2] = b / 255.0 * sa + d[2] * k
            d[3] = sa + d[3] * k

    def stroke(self, path, width, paint, clip=None, opacity=1.0, cap="round"):
        return self.fill(stroke_path(path, width, cap), paint, clip=clip, opacity=opacity)

    def draw(self, other, dx=0, dy=0):
        """Paints another canvas over this one at an integer offset."""
        for y in range(other.h):
            ty = y + dy
            if not 0 <= ty < self.h:
                continue
            for x in range(other.w):
                tx = x + dx
                if not 0 <= tx < self.w:
                    continue
                s = other.px[y * other.w + x]
                if s[3] <= 0:
                    continue
                d = self.px[ty * self.w + tx]
                k = 1 - s[3]
                for j in range(4):
                    d[j] = s[j] + d[j] * k

    def rgba(self):
        """Straight (not premultiplied) 8-bit RGBA tuples, row-major."""
        out = []
        for r, g, b, a in self.px:
            if a <= 1e-6:
                out.append((0, 0, 0, 0))
                continue
            out.append((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a)))
        return out


def _byte(v):
    return max(0, min(255, int(round(v * 255))))
