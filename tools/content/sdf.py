"""Signed-distance painting: shapes are distance fields (negative inside, in
pixels), which give anti-aliased edges and outlines of any width for free."""
import numpy as np

BIG = 1.0e4


def grid(width, height):
    v, u = np.mgrid[0:height, 0:width].astype(np.float64)
    return u + 0.5, v + 0.5


def circle(u, v, cx, cy, r):
    return np.hypot(u - cx, v - cy) - r


def ellipse(u, v, cx, cy, rx, ry):
    # First-order distance estimate: accurate near the edge, which is all
    # that anti-aliasing and outlines look at.
    x, y = u - cx, v - cy
    k0 = np.hypot(x / rx, y / ry)
    k1 = np.hypot(x / (rx * rx), y / (ry * ry))
    return k0 * (k0 - 1.0) / np.maximum(k1, 1e-6)


def rounded_rect(u, v, x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    dx, dy = np.abs(u - cx) - hx, np.abs(v - cy) - hy
    outside = np.hypot(np.maximum(dx, 0), np.maximum(dy, 0))
    inside = np.minimum(np.maximum(dx, dy), 0)
    return outside + inside - r


def half_plane(u, v, nx, ny, c):
    """Inside where nx*u + ny*v < c (n is normalised here)."""
    n = np.hypot(nx, ny)
    return (nx * u + ny * v - c) / n


def segment(u, v, ax, ay, bx, by, r):
    pax, pay = u - ax, v - ay
    bax, bay = bx - ax, by - ay
    h = np.clip((pax * bax + pay * bay) / max(bax * bax + bay * bay, 1e-9), 0, 1)
    return np.hypot(pax - bax * h, pay - bay * h) - r


def polygon(u, v, points):
    """Distance to a simple polygon (list of (x, y)), negative inside."""
    pts = np.asarray(points, dtype=np.float64)
    d = np.full(u.shape, BIG)
    sign = np.ones(u.shape)
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[i - 1]
        ex, ey = bx - ax, by - ay
        wx, wy = u - ax, v - ay
        h = np.clip((wx * ex + wy * ey) / max(ex * ex + ey * ey, 1e-9), 0, 1)
        d = np.minimum(d, np.hypot(wx - ex * h, wy - ey * h))
        c1 = v >= ay
        c2 = v < by
        c3 = ex * wy > ey * wx
        flip = (c1 & c2 & c3) | (~c1 & ~c2 & ~c3)
        sign = np.where(flip, -sign, sign)
    return sign * d


def union(*fields):
    out = fields[0]
    for f in fields[1:]:
        out = np.minimum(out, f)
    return out


def intersect(*fields):
    out = fields[0]
    for f in fields[1:]:
        out = np.maximum(out, f)
    return out


def subtract(a, b):
    return np.maximum(a, -b)


def coverage(d, soften=1.0):
    """Anti-aliased coverage of a distance field, 0..1."""
    return np.clip(0.5 - d / soften, 0.0, 1.0)


class Canvas:
    """A float RGBA canvas painted back to front with distance-field shapes."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.u, self.v = grid(width, height)
        self.rgb = np.zeros((height, width, 3))
        self.alpha = np.zeros((height, width))

    def fill(self, d, colour, soften=1.0, opacity=1.0):
        """Paints `colour` (an RGB tuple or an (H, W, 3) array) over the canvas
        where the field `d` is inside."""
        a = coverage(d, soften) * opacity
        colour = np.broadcast_to(np.asarray(colour, dtype=np.float64), self.rgb.shape)
        out_a = a + self.alpha * (1 - a)
        safe = np.maximum(out_a, 1e-9)
        self.rgb = (colour * a[..., None] + self.rgb * (self.alpha * (1 - a))[..., None]) / safe[..., None]
        self.alpha = out_a

    def outlined(self, d, colour, outline, width=3.0):
        """A shape with a dark rim of `width` pixels inside its edge."""
        self.fill(d, outline)
        self.fill(d + width, colour)

    def array(self):
        out = np.concatenate([self.rgb, self.alpha[..., None] * 255.0], axis=2)
        return np.clip(np.rint(out), 0, 255).astype(np.uint8)
