"""Tilesets of the maps: islands, sky, distant scenery, foliage, props."""
import math
import numpy as np
from PIL import Image

from .common import PALETTE as P, save_png, rng, lerp_colour
from . import sdf

T = 64  # map tile size in pixels
OUTLINE = 3.0

# Island tileset layout: name -> local tile number (1-based, row by row, 8 columns).
ISLAND_COLUMNS = 8
ISLAND_NAMES = [
    "grass_l", "grass_m1", "grass_m2", "grass_m3", "grass_r", "slab_l", "slab_m", "slab_r",
    "rock0_l", "rock0_m", "rock0_r", "rock1_l", "rock1_m", "rock1_r", "bottom_l", "bottom_m",
    "rock2_l", "rock2_m", "rock2_r", "rock3_l", "rock3_m", "rock3_r", "bottom_r", "slab_one",
    "podium_l", "podium_m", "podium_r", "podium_base_l", "podium_base_m", "podium_base_r", "rock0_m2", "rock1_m2",
]
ISLAND = {name: i + 1 for i, name in enumerate(ISLAND_NAMES)}


def _rock_colour(u, v, depth, seed):
    """Rock with wavy strata, darkening with depth; tileable every 64 pixels."""
    t = np.clip((depth + v / T) / 4.5, 0, 1)
    base = lerp_colour(P["rock"], P["rock_deep"], t)
    light = lerp_colour(P["rock_light"], P["rock"], t)
    out = base.copy()
    # Two strata lines per tile, waves with periods that divide the tile width.
    for y0, amp, k, phase in ((18, 3.0, 1, 0.0), (46, 2.5, 2, 1.3)):
        line = y0 + amp * np.sin(2 * math.pi * k * u / T + phase)
        band = np.clip(1.5 - np.abs(v - line), 0, 1)
        out = out * (1 - band[..., None] * 0.35)
        lit = np.clip(1.5 - np.abs(v - line - 3), 0, 1)
        out = out * (1 - lit[..., None] * 0.5) + light * (lit[..., None] * 0.5)
    # Pebbles, wrapped around the tile so neighbours join without seams.
    g = rng(seed)
    for _ in range(3):
        cx, cy, r = g.uniform(0, T), g.uniform(6, T - 6), g.uniform(2.0, 4.5)
        d = np.min([np.hypot(u - cx - dx, v - cy) for dx in (-T, 0, T)], axis=0) - r
        a = sdf.coverage(d)[..., None]
        out = out * (1 - a) + lerp_colour(P["rock_dark"], P["rock_deep"], t) * a
        hi = sdf.coverage(d + 1.5 + 0 * u)[..., None] * sdf.coverage(np.hypot(u - cx + r * 0.4, v - cy + r * 0.4) - r * 0.5)[..., None]
        out = out * (1 - hi * 0.6) + light * hi * 0.6
    return out


def _grass_over(canvas, shape, seed, top=0.0):
    """Paints the grass cap of a surface tile whose walkable top is at v = top."""
    u, v = canvas.u, canvas.v
    g = rng(seed)
    edge = top + 20 + 2.0 * np.sin(2 * math.pi * 2 * u / T)
    grass = v - edge
    for _ in range(2):
        cx = g.uniform(12, T - 12)
        grass = np.minimum(grass, sdf.circle(u, v, cx, top + 21 + g.uniform(0, 4), g.uniform(7, 10)))
    grass = np.maximum(grass, shape)
    canvas.fill(grass, P["grass_dark"])
    canvas.fill(grass + 3, P["grass"])
    lip = np.maximum(shape, v - (top + 9))
    canvas.fill(lip + 3, P["grass_light"])
    canvas.fill(np.maximum(shape + 3, np.abs(v - (top + 13)) - 1.0), P["grass_light"], opacity=0.5)
    # Blades along the top edge.
    for i in range(6):
        cx = (i + 0.5) * T / 6 + g.uniform(-3, 3)
        blade = sdf.segment(u, v, cx, top + 4, cx + g.uniform(-2, 2), top + 11, 1.2)
        canvas.fill(np.maximum(blade, shape + 4), P["grass"], opacity=0.8)


def _surface_tile(kind, seed):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    if kind == "l":
        shape = sdf.rounded_rect(u, v, 0, 0, 4 * T, 4 * T, 22)
    elif kind == "r":
        shape = sdf.rounded_rect(u, v, -3 * T, 0, T, 4 * T, 22)
    else:
        shape = sdf.half_plane(u, v, 0, -1, 0)
    c.fill(shape, P["outline"])
    c.fill(shape + OUTLINE, _rock_colour(u, v, 0, seed))
    _grass_over(c, shape + OUTLINE, seed + 7)
    return c


def _rock_tile(depth, kind, seed, bottom=False):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    shape = sdf.half_plane(u, v, 0, -1, 10 * T)  # everywhere
    if kind == "l":
        shape = sdf.half_plane(u, v, -1, 1, 0)  # inside u > v
    elif kind == "r":
        shape = sdf.half_plane(u, v, 1, 1, T)  # inside u + v < 64
    if bottom:
        wave = 34 + 4 * np.sin(2 * math.pi * u / T) + 3 * np.sin(2 * math.pi * 3 * u / T + 1)
        shape = np.maximum(shape, v - wave)
        if kind == "l":
            shape = np.maximum(sdf.half_plane(u, v, -1, 1.6, 0), v - wave)
        elif kind == "r":
            shape = np.maximum(sdf.half_plane(u, v, 1, 1.6, T), v - wave)
    c.fill(shape, P["outline"])
    c.fill(shape + OUTLINE, _rock_colour(u, v, depth, seed))
    # A darker rim inside the outline gives the rock some roundness.
    rim = np.clip(1 - (-(shape + OUTLINE)) / 10, 0, 1) * (shape + OUTLINE < 0)
    c.rgb = c.rgb * (1 - 0.25 * rim[..., None])
    return c


def _slab_tile(kind, seed):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    x0 = 2 if kind in ("l", "one") else -4 * T
    x1 = T - 2 if kind in ("r", "one") else 5 * T
    body = sdf.rounded_rect(u, v, x0, 0, x1, 40, 12)
    under = sdf.rounded_rect(u, v, x0 + 8, 20, x1 - 8, 52, 14)
    shape = np.minimum(body, under)
    c.fill(shape, P["outline"])
    c.fill(shape + OUTLINE, _rock_colour(u, v * 1.2, 1, seed))
    _grass_over(c, shape + OUTLINE, seed + 3)
    return c


def _podium_tile(kind, top):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    x0 = 6 if kind == "l" else -4 * T
    x1 = T - 6 if kind == "r" else 5 * T
    shape = sdf.rounded_rect(u, v, x0, 0 if top else -4 * T, x1, 5 * T, 8 if top else 0)
    c.fill(shape, P["outline"])
    stone = lerp_colour((232, 214, 236), (170, 150, 190), np.clip(v / T, 0, 1) * (0.5 if top else 1.0) + (0 if top else 0.3))
    c.fill(shape + OUTLINE, stone)
    if top:
        trim = np.maximum(shape + OUTLINE, np.abs(v - 12) - 4)
        c.fill(trim, P["gold"])
        c.fill(np.maximum(shape + OUTLINE, np.abs(v - 10) - 1), (255, 236, 170))
    # Block joints.
    joint = np.maximum(shape + OUTLINE, np.abs(u - (T / 2 if top else 0.0)) - 1)
    c.fill(joint, (150, 128, 170), opacity=0.7)
    if not top:
        c.fill(np.maximum(shape + OUTLINE, np.abs(v - 32) - 1), (150, 128, 170), opacity=0.7)
    return c


def island_tileset(suffix=""):
    tiles = {}
    tiles["grass_l"] = _surface_tile("l", 11)
    tiles["grass_m1"] = _surface_tile("m", 12)
    tiles["grass_m2"] = _surface_tile("m", 13)
    tiles["grass_m3"] = _surface_tile("m", 14)
    tiles["grass_r"] = _surface_tile("r", 15)
    for kind in ("l", "m", "r"):
        tiles["slab_" + kind] = _slab_tile(kind, 20)
    tiles["slab_one"] = _slab_tile("one", 21)
    for depth in range(4):
        for kind in ("l", "m", "r"):
            tiles["rock%d_%s" % (depth, kind)] = _rock_tile(depth, kind, 30 + depth * 3 + "lmr".index(kind))
    tiles["rock0_m2"] = _rock_tile(0, "m", 51)
    tiles["rock1_m2"] = _rock_tile(1, "m", 52)
    for kind in ("l", "m", "r"):
        tiles["bottom_" + kind] = _rock_tile(4, kind, 60 + "lmr".index(kind), bottom=True)
        tiles["podium_" + kind] = _podium_tile(kind, True)
        tiles["podium_base_" + kind] = _podium_tile(kind, False)
    rows = (len(ISLAND_NAMES) + ISLAND_COLUMNS - 1) // ISLAND_COLUMNS
    sheet = np.zeros((rows * T, ISLAND_COLUMNS * T, 4), dtype=np.uint8)
    for i, name in enumerate(ISLAND_NAMES):
        r, col = divmod(i, ISLAND_COLUMNS)
        sheet[r * T:(r + 1) * T, col * T:(col + 1) * T] = tiles[name].array()
    save_png(Image.fromarray(sheet, "RGBA"), "tilemap", "islands%s.png" % suffix)
    return sheet


SKY_ROWS = 24


def sky_colour(t):
    stops = [(0.0, P["sky_top"]), (0.45, P["sky_mid"]), (0.8, P["sky_low"]), (1.0, P["sky_horizon"])]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return lerp_colour(c0, c1, (t - t0) / (t1 - t0))
    return np.asarray(stops[-1][1], dtype=np.float64)


def sky_tileset(suffix="", rows=SKY_ROWS, stars=40):
    """One tile per row of the sky: a vertical strip, tile n is row n."""
    h = rows * T
    ts = (np.arange(h) + 0.5) / h
    column = np.stack([sky_colour(t) for t in ts])
    img = np.zeros((h, T, 4), dtype=np.uint8)
    img[..., :3] = np.clip(np.rint(column), 0, 255).astype(np.uint8)[:, None, :]
    img[..., 3] = 255
    # Faint stars in the upper third; they stay within their tiles, so a row
    # repeated across the map shows a regular pattern only when looked for.
    g = rng(5)
    for _ in range(stars):
        x, y = g.integers(2, T - 2), g.integers(2, int(h * 0.35))
        b = g.uniform(0.3, 0.8) * (1 - y / (h * 0.35))
        img[y, x, :3] = np.clip(img[y, x, :3] * (1 - b) + 255 * b, 0, 255).astype(np.uint8)
    save_png(Image.fromarray(img, "RGBA"), "tilemap", "sky%s.png" % suffix)


DISTANT_W, DISTANT_H = 256, 192
DISTANT_NAMES = ["cloud1", "cloud2", "cloud3", "isle1", "isle2", "isle3"]
DISTANT = {name: i + 1 for i, name in enumerate(DISTANT_NAMES)}


def _cloud(seed):
    c = sdf.Canvas(DISTANT_W, DISTANT_H)
    u, v = c.u, c.v
    g = rng(seed)
    d = sdf.rounded_rect(u, v, 20, 140, 236, 176, 18)
    for _ in range(6):
        cx = g.uniform(50, 206)
        r = g.uniform(24, 46)
        d = np.minimum(d, sdf.circle(u, v, cx, 150 - r * 0.6, r))
    d = np.maximum(d, v - 176)
    shade = np.clip((v - 110) / 66, 0, 1)
    c.fill(d, lerp_colour(P["cloud"], P["cloud_shade"], shade), soften=2.0, opacity=0.85)
    return c


def _far_island(seed):
    c = sdf.Canvas(DISTANT_W, DISTANT_H)
    u, v = c.u, c.v
    g = rng(seed)
    w = g.uniform(80, 110)
    top = g.uniform(70, 100)
    cap = sdf.rounded_rect(u, v, 128 - w, top, 128 + w, top + 22, 10)
    cone = sdf.polygon(u, v, [(128 - w + 6, top + 12), (128 + w - 6, top + 12), (128 + g.uniform(-20, 20), 186)])
    body = np.minimum(cap, cone)
    for _ in range(3):
        body = np.minimum(body, sdf.circle(u, v, 128 + g.uniform(-w * 0.7, w * 0.7), top, g.uniform(10, 22)))
    shade = np.clip((v - top) / (186 - top), 0, 1)
    c.fill(body, lerp_colour(P["far_island2"], P["far_island"], shade), soften=1.5)
    c.fill(np.maximum(body, v - top - 8), P["far_island_rim"], soften=1.5, opacity=0.9)
    return c


def distant_tileset(suffix=""):
    tiles = [_cloud(101), _cloud(102), _cloud(103), _far_island(201), _far_island(202), _far_island(203)]
    sheet = np.zeros((2 * DISTANT_H, 3 * DISTANT_W, 4), dtype=np.uint8)
    for i, t in enumerate(tiles):
        r, col = divmod(i, 3)
        sheet[r * DISTANT_H:(r + 1) * DISTANT_H, col * DISTANT_W:(col + 1) * DISTANT_W] = t.array()
    save_png(Image.fromarray(sheet, "RGBA"), "tilemap", "distant%s.png" % suffix)


FOLIAGE_NAMES = ["tuft1", "tuft2", "tuft3", "flower1", "flower2", "roots1", "roots2", "vine", "pennant"]
FOLIAGE = {name: i + 1 for i, name in enumerate(FOLIAGE_NAMES)}


def _tuft(seed, flower=None):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    g = rng(seed)
    blades = []
    for _ in range(7):
        x = g.uniform(14, 50)
        tip = (x + g.uniform(-12, 12), g.uniform(28, 46))
        blades.append((x, tip))
    for x, tip in blades:
        d = np.maximum(sdf.segment(u, v, x, 66, tip[0], tip[1], 3.2 - 0 * u), v - 66)
        c.fill(d, P["outline"])
    for x, tip in blades:
        d = sdf.segment(u, v, x, 66, tip[0], tip[1], 1.6)
        c.fill(d, lerp_colour(P["grass_dark"], P["grass_light"], np.clip((66 - v) / 30, 0, 1)))
    if flower is not None:
        x, tip = blades[0]
        cx, cy = tip
        petals = sdf.union(*[sdf.circle(u, v, cx + 5 * math.cos(a), cy + 5 * math.sin(a), 4)
                             for a in np.linspace(0, 2 * math.pi, 6)[:-1]])
        c.outlined(petals, flower, P["outline"], 2)
        c.outlined(sdf.circle(u, v, cx, cy, 3), P["gold"], P["outline"], 1.5)
    return c


def _roots(seed, length):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    g = rng(seed)
    for _ in range(3):
        x = g.uniform(12, 52)
        pts = [(x, -2)]
        for k in range(1, 5):
            pts.append((x + g.uniform(-6, 6), length * k / 4))
        d = sdf.union(*[sdf.segment(u, v, a[0], a[1], b[0], b[1], 3.5 - 0.6 * i) for i, (a, b) in enumerate(zip(pts, pts[1:]))])
        c.outlined(d, (150, 96, 86), P["outline"], 2)
    return c


def _vine(seed):
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    x = 32 + 6 * np.sin(v / 9.0)
    d = np.abs(u - x) - 2.0
    d = np.maximum(d, v - 58)
    c.outlined(d - 1.5, P["grass_dark"], P["outline"], 1.5)
    g = rng(seed)
    for y in (10, 24, 38, 52):
        side = 1 if (y // 14) % 2 else -1
        cx = 32 + 6 * math.sin(y / 9.0) + side * 8
        c.outlined(sdf.ellipse(u, v, cx, y, 7, 4), P["grass"], P["outline"], 1.5)
    return c


def _pennant():
    """A little victory flag stuck in the grass."""
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    pole = sdf.segment(u, v, 22, 66, 22, 8, 2.2)
    c.outlined(pole, P["wood_light"], P["outline"], 1.5)
    flag = sdf.polygon(u, v, [(24, 9), (56, 18), (24, 28)]) - 1.5
    c.outlined(flag, P["gold"], P["outline"], 2.5)
    stripe = np.maximum(flag + 2.5, np.abs(v - 18.5) - 2.2)
    c.fill(stripe, (200, 110, 220))
    c.outlined(sdf.circle(u, v, 22, 7, 3.2), P["gold"], P["outline"], 1.5)
    return c


def foliage_tileset(suffix=""):
    tiles = [_tuft(301), _tuft(302), _tuft(303), _tuft(304, (255, 150, 190)), _tuft(305, (170, 200, 255)),
             _roots(306, 40), _roots(307, 58), _vine(308), _pennant()]
    sheet = np.concatenate([t.array() for t in tiles], axis=1)
    save_png(Image.fromarray(sheet, "RGBA"), "tilemap", "foliage%s.png" % suffix)


def crate():
    c = sdf.Canvas(T, T)
    u, v = c.u, c.v
    box = sdf.rounded_rect(u, v, 1, 1, 63, 63, 6)
    c.fill(box, P["outline"])
    c.fill(box + 3, P["wood"])
    for y in (21, 42):
        c.fill(np.maximum(box + 3, np.abs(v - y) - 1.2), P["wood_dark"])
    frame = np.maximum(box + 3, -(sdf.rounded_rect(u, v, 10, 10, 54, 54, 3)))
    c.fill(frame, P["wood_light"])
    c.fill(np.maximum(frame, v - 14 + 0 * u), (236, 184, 120), opacity=0.5)
    brace = np.maximum(sdf.segment(u, v, 12, 52, 52, 12, 4), box + 3)
    c.fill(brace + 0, P["outline"])
    c.fill(brace + 2, P["wood_light"])
    for x, y in ((7, 7), (57, 7), (7, 57), (57, 57)):
        c.outlined(sdf.circle(u, v, x, y, 3), (230, 210, 190), P["outline"], 1.2)
    save_png(Image.fromarray(c.array(), "RGBA"), "tilemap", "crate.png")


def spawn_marker(width, height):
    """The players' map sprite: a clear picture exactly the size of the player
    object, so the sprite creator scales the object by 1; the player
    controller replaces it with the animated character on its first frame."""
    save_png(Image.new("RGBA", (width, height), (0, 0, 0, 0)), "tilemap", "player.png")


# The moving platforms' picture: a slab of the islands' rock with a glowing
# rune under it, the magic that carries it. The collider is the top 40 pixels.
PLATFORM_W, PLATFORM_H = 192, 56


def platform_sprite(suffix):
    c = sdf.Canvas(PLATFORM_W, PLATFORM_H)
    u, v = c.u, c.v
    body = sdf.rounded_rect(u, v, 2, 0, PLATFORM_W - 2, 40, 12)
    keel = sdf.polygon(u, v, [(40, 30), (PLATFORM_W - 40, 30), (PLATFORM_W / 2 + 16, 53), (PLATFORM_W / 2 - 16, 53)])
    shape = np.minimum(body, keel)
    c.fill(shape, P["outline"])
    c.fill(shape + OUTLINE, _rock_colour(np.mod(u, T), v * 1.2, 1, 77))
    _grass_over(c, shape + OUTLINE, 78, top=-4.0)
    rune = sdf.circle(u, v, PLATFORM_W / 2, 40, 7)
    c.fill(rune - 4, P["magic"], soften=5.0, opacity=0.45)
    c.outlined(rune, P["magic"], P["outline"], 2)
    c.fill(np.maximum(rune + 3, np.abs(u - PLATFORM_W / 2) - 1), (255, 255, 255), opacity=0.8)
    save_png(Image.fromarray(c.array(), "RGBA"), "tilemap", "platform%s.png" % suffix)


def generate_theme(suffix, sky_rows=SKY_ROWS, stars=40):
    """The tilesets and platform picture of one arena, in the palette in force."""
    island_tileset(suffix)
    sky_tileset(suffix, sky_rows, stars)
    distant_tileset(suffix)
    foliage_tileset(suffix)
    platform_sprite(suffix)


def generate():
    island_tileset()
    sky_tileset()
    distant_tileset()
    foliage_tileset()
    crate()
    from . import themes
    for theme in themes.THEMES.values():
        if theme.suffix:
            with themes.palette(theme):
                generate_theme(theme.suffix, theme.sky_rows, theme.stars)
