"""The bearded brawler: every animation frame as four layers (untinted body,
two clothes layers and hair, the last three light grey for tinting), packed
into texture atlases; plus the hat icons, the beard strip and the particle."""
import math
import numpy as np
from PIL import Image

from .common import PALETTE as P, save_png, write_text, downsample
from . import sdf

S = 3                 # supersampling factor
FRAME = 256           # side of the frame texture the game composes into
CELL_W, CELL_H = 216, 204   # the part of the frame that holds the character (from its top-left)
GROUND = 192          # feet rest here: the bottom of the 64 x 128 collider centred in the frame

# (animation name, atlas file, frame count); frame rates live in the game.
ANIMATIONS = [
    ("idle", "idle", 30), ("run", "run", 30), ("jump_idle", "jump_idle", 15),
    ("run_start", "run_startup", 15), ("run_stop", "run_startup", 15),
    ("jump_run1", "jump_run", 15), ("fall", "fall", 16),
]
ATLASES = ["idle", "fall", "run", "jump_idle", "jump_run", "run_startup"]
LAYERS = ["color", "clothes1", "clothes2", "hair"]

# Part ids, with their layer and base tone (grey for tinted layers, RGB for the body).
PARTS = {}


def _part(name, layer, tone):
    PARTS[name] = (len(PARTS) + 1, layer, tone)


for _name, _layer, _tone in [
    ("far_arm", "clothes1", 176), ("far_mitten", "clothes2", 176),
    ("far_leg", "clothes2", 170), ("far_boot", "color", (70, 44, 42)),
    ("near_leg", "clothes2", 226), ("near_boot", "color", P["boot"]),
    ("coat", "clothes1", 230), ("belt", "clothes2", 214), ("buckle", "color", P["gold"]),
    ("hair_back", "hair", 220), ("face", "color", P["skin"]),
    ("hat", "clothes1", 238), ("hat_band", "clothes2", 232), ("hat_star", "color", P["gold"]),
    ("nose", "color", P["nose"]), ("eye", "color", P["eye"]), ("pupil", "color", P["pupil"]),
    ("brow", "hair", 236), ("beard_root", "hair", 236), ("moustache", "hair", 250),
    ("near_arm", "clothes1", 236), ("near_mitten", "clothes2", 236),
]:
    _part(_name, _layer, _tone)


class Pose:
    """Everything that moves between frames, in frame pixels and degrees."""

    def __init__(self, **kw):
        self.bob = 0.0          # hip drop (positive is down)
        self.upper = (0.0, 0.0) # shift of chest and head against the idle pose
        self.near_leg = 0.0     # leg angles from straight down, positive forward
        self.far_leg = 0.0
        self.near_lift = 0.0    # foot lifted off its straight position
        self.far_lift = 0.0
        self.near_arm = 10.0    # arm angles from straight down, positive forward
        self.far_arm = -10.0
        self.hat = 0.0          # hat tip sway, positive toward the back
        self.blink = False
        self.__dict__.update(kw)


def _rot(angle_deg, length):
    a = math.radians(angle_deg)
    return math.sin(a) * length, math.cos(a) * length


def _shapes(pose):
    """Distance fields of every part (frame pixels), in painting order, as
    functions of the sample coordinates (u, v)."""
    ux, uy = pose.upper
    hip = (122.0, 166.0 + pose.bob)
    shapes = []
    add = lambda name, field: shapes.append((name, field))

    def arm(side, angle):
        sx, sy = (135.0 + ux * 0.9, 126.0 + uy + pose.bob * 0.6) if side == "near" else (117.0 + ux * 0.9, 124.0 + uy + pose.bob * 0.6)
        dx, dy = _rot(angle, 24)
        hx, hy = sx + dx, sy + dy
        add(side + "_arm", lambda u, v: sdf.segment(u, v, sx, sy, hx, hy, 6.5))
        add(side + "_mitten", lambda u, v: sdf.circle(u, v, hx + dx * 0.12, hy + dy * 0.12, 7.5))

    def leg(side, angle, lift):
        jx = hip[0] + (7.0 if side == "near" else -7.0)
        dx, dy = _rot(angle, 19)
        ax, ay = jx + dx, hip[1] + dy - lift
        add(side + "_leg", lambda u, v: sdf.segment(u, v, jx, hip[1] - 4, ax, ay, 7.0))
        add(side + "_boot", lambda u, v: sdf.union(sdf.rounded_rect(u, v, ax - 8, ay - 4, ax + 12, ay + 8, 5),
                                                   sdf.circle(u, v, ax + 8, ay + 3, 5)))

    arm("far", pose.far_arm)
    leg("far", pose.far_leg, pose.far_lift)
    leg("near", pose.near_leg, pose.near_lift)
    # Coat: a rounded trapezoid sheared by the upper-body shift.
    hem_y = hip[1] + 2
    top_y = 118.0 + uy + pose.bob * 0.6
    coat_points = [(hip[0] - 20, hem_y), (hip[0] + 22, hem_y), (134 + ux, top_y + 4), (128 + ux, top_y - 2), (110 + ux, top_y + 2)]
    coat = lambda u, v: sdf.polygon(u, v, coat_points) - 4
    add("coat", coat)
    belt_y = hip[1] - 10 + (top_y - 118) * 0.25
    add("belt", lambda u, v: np.maximum(coat(u, v), np.abs(v - belt_y) - 4.5))
    bx = hip[0] + 8 + ux * 0.3
    add("buckle", lambda u, v: sdf.rounded_rect(u, v, bx - 5, belt_y - 6, bx + 5, belt_y + 6, 2))
    # Head.
    hx, hy = 136.0 + ux, 96.0 + uy + pose.bob * 0.5
    add("hair_back", lambda u, v: sdf.ellipse(u, v, hx - 19, hy + 2, 9, 12))
    add("face", lambda u, v: sdf.ellipse(u, v, hx, hy, 22, 20))
    # Hat: a floppy cone whose tip trails behind.
    sway = pose.hat
    tip = (hx - 16 - sway, hy - 82 + abs(sway) * 0.3)
    cone_points = [(hx - 25, hy - 14), (hx + 25, hy - 14), (hx + 10, hy - 40),
                   (hx - 2 - sway * 0.4, hy - 62), tip, (hx - 12 - sway * 0.3, hy - 52), (hx - 20, hy - 34)]
    cone = lambda u, v: sdf.polygon(u, v, cone_points) - 2
    add("hat", lambda u, v: np.minimum(cone(u, v), sdf.ellipse(u, v, hx + 1, hy - 15, 33, 6.5)))
    add("hat_band", lambda u, v: np.maximum(cone(u, v), np.abs(v - (hy - 22)) - 5))
    add("hat_star", lambda u, v: sdf.circle(u, v, tip[0], tip[1], 5.5))
    add("nose", lambda u, v: sdf.circle(u, v, hx + 21, hy + 4, 7.5))
    if pose.blink:
        add("eye", lambda u, v: sdf.segment(u, v, hx + 7, hy - 5, hx + 14, hy - 5, 1.2))
    else:
        add("eye", lambda u, v: sdf.ellipse(u, v, hx + 10, hy - 5, 4.2, 5.2))
        add("pupil", lambda u, v: sdf.circle(u, v, hx + 11.5, hy - 4, 2.3))
    add("brow", lambda u, v: sdf.segment(u, v, hx + 5, hy - 13, hx + 15, hy - 14, 2.2))
    add("beard_root", lambda u, v: sdf.ellipse(u, v, hx + 11, hy + 15, 11, 7))
    add("moustache", lambda u, v: sdf.union(sdf.ellipse(u, v, hx + 17, hy + 11, 9, 4.5),
                                            sdf.ellipse(u, v, hx + 8, hy + 12, 7, 4)))
    arm("near", pose.near_arm)
    return shapes


def _shift(a, dx, dy, fill):
    out = np.full_like(a, fill)
    h, w = a.shape
    ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
    xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
    out[yd, xd] = a[ys, xs]
    return out


def render_layers(pose):
    """Returns the four layers of one frame as (CELL_H, CELL_W, 4) uint8 arrays."""
    h, w = CELL_H * S, CELL_W * S
    v, u = np.mgrid[0:h, 0:w].astype(np.float32)
    u, v = (u + 0.5) / S, (v + 0.5) / S
    ids = np.zeros((h, w), dtype=np.int16)
    union = np.full((h, w), sdf.BIG, dtype=np.float32)
    # Each part is evaluated only around itself: its box is found on a
    # one-sample-per-pixel grid first.
    cv, cu = np.mgrid[0:CELL_H, 0:CELL_W].astype(np.float32) + 0.5
    for name, field in _shapes(pose):
        near = field(cu, cv) < 6
        if not near.any():
            continue
        rows, cols = np.nonzero(near.any(axis=1))[0], np.nonzero(near.any(axis=0))[0]
        r0, r1 = max(rows[0] - 2, 0) * S, min(rows[-1] + 3, CELL_H) * S
        c0, c1 = max(cols[0] - 2, 0) * S, min(cols[-1] + 3, CELL_W) * S
        d = field(u[r0:r1, c0:c1], v[r0:r1, c0:c1])
        ids[r0:r1, c0:c1][d < 0] = PARTS[name][0]
        union[r0:r1, c0:c1] = np.minimum(union[r0:r1, c0:c1], d)
    outline = (union < 2.6) & (ids == 0)
    # Lines where two parts meet, about 1.5 pixels wide.
    edge = np.zeros((h, w), dtype=bool)
    for dx, dy in ((2, 0), (0, 2), (-2, 0), (0, -2), (2, 2), (-2, 2)):
        edge |= (_shift(ids, dx, dy, 0) != ids) & (ids > 0) & (_shift(ids, dx, dy, 0) > 0)
    # Cel shading: light from the top left.
    shade = (_shift(ids, -10, -10, 0) != ids) & (ids > 0)
    light = (_shift(ids, 6, 6, 0) != ids) & (ids > 0) & ~shade
    # One lookup per pixel for its part's layer and tone, then light and shade.
    count = len(PARTS) + 1
    layer_of = np.full(count, -1, dtype=np.int16)
    tone_of = np.zeros((count, 3), dtype=np.float32)
    for pid, layer, tone in PARTS.values():
        layer_of[pid] = LAYERS.index(layer)
        tone_of[pid] = tone if isinstance(tone, tuple) else (tone,) * 3
    base = tone_of[ids]
    colour = np.where(light[..., None], base + (255 - base) * 0.35, base)
    colour = np.where(shade[..., None], base * 0.8, colour)
    pixel_layer = np.where(edge, -1, layer_of[ids])
    dark = outline | edge
    layers = {}
    for index, layer in enumerate(LAYERS):
        rgba = np.zeros((h, w, 4), dtype=np.float32)
        mask = pixel_layer == index
        rgba[mask, :3] = colour[mask]
        rgba[mask, 3] = 255
        if layer == "color":
            rgba[dark, :3] = P["outline"]
            rgba[dark, 3] = 255
        layers[layer] = downsample(rgba, S)
    return layers


def _ease(t):
    return 0.5 - 0.5 * math.cos(math.pi * min(max(t, 0.0), 1.0))


def _mix(a, b, t):
    return a + (b - a) * t


def run_pose(phase):
    s = math.sin(phase)
    c = math.cos(phase)
    return Pose(bob=-3 * abs(math.sin(phase)) + 1.5, upper=(10.0, 1.0),
                near_leg=38 * s, far_leg=-38 * s,
                near_lift=9 * max(0.0, -c) if s > -0.2 else 3.0, far_lift=9 * max(0.0, c) if s < 0.2 else 3.0,
                near_arm=-45 * s + 5, far_arm=45 * s - 5, hat=10 + 3 * math.sin(2 * phase))


def poses(animation, count):
    out = []
    for i in range(count):
        t = i / (count - 1)
        if animation == "idle":
            ph = 2 * math.pi * i / count
            b = math.sin(ph)
            out.append(Pose(bob=1.0 * b, upper=(0.0, 2.4 * b), near_arm=10 + 4 * b, far_arm=-10 - 4 * b,
                            hat=2.5 * math.sin(ph - 0.8), blink=i in (24, 25)))
        elif animation == "run":
            out.append(run_pose(2 * math.pi * i / count))
        elif animation == "run_start":
            # Wind up (crouch, arms back), then push into the first stride.
            k = _ease(t)
            crouch = math.sin(math.pi * min(t * 1.4, 1.0)) * 4
            target = run_pose(0.0)
            out.append(Pose(bob=crouch + _mix(0, target.bob, k), upper=(_mix(0, 10, k), _mix(0, 1, k) + crouch * 0.5),
                            near_leg=_mix(0, target.near_leg, k) - 12 * math.sin(math.pi * t), far_leg=_mix(0, target.far_leg, k) + 18 * math.sin(math.pi * t),
                            near_lift=6 * math.sin(math.pi * t), near_arm=_mix(10, target.near_arm, k) - 30 * math.sin(math.pi * t),
                            far_arm=_mix(-10, target.far_arm, k) + 20 * math.sin(math.pi * t), hat=_mix(0, 10, k)))
        elif animation == "run_stop":
            # Skid: lean back with the front foot braced, then settle.
            k = math.sin(math.pi * min(t * 1.3, 1.0))
            settle = _ease(t)
            out.append(Pose(bob=3 * k, upper=(_mix(10, 0, settle) - 8 * k, 2 * k),
                            near_leg=28 * k, far_leg=-14 * k, near_arm=_mix(5, 10, settle) + 50 * k, far_arm=_mix(-5, -10, settle) + 30 * k,
                            hat=_mix(10, 0, settle) - 6 * k))
        elif animation == "jump_idle":
            # Crouch for a third, then spring up and tuck the legs.
            if t < 0.33:
                k = _ease(t / 0.33)
                out.append(Pose(bob=6 * k, upper=(2 * k, 4 * k), near_leg=10 * k, far_leg=-8 * k,
                                near_arm=_mix(10, -35, k), far_arm=_mix(-10, -45, k), hat=-2 * k))
            else:
                k = _ease((t - 0.33) / 0.67)
                out.append(Pose(bob=_mix(6, -5, k), upper=(_mix(2, 5, k), _mix(4, -5, k)), near_leg=_mix(10, 22, k), far_leg=_mix(-8, -6, k),
                                near_lift=10 * k, far_lift=5 * k, near_arm=_mix(-35, -135, k), far_arm=_mix(-45, 100, k), hat=_mix(-2, 14, k)))
        elif animation == "jump_run1":
            k = _ease(t)
            spring = math.sin(math.pi * min(t * 2, 1.0))
            out.append(Pose(bob=_mix(0, -5, k) + 2 * spring, upper=(_mix(10, 7, k), _mix(1, -5, k)),
                            near_leg=_mix(20, 42, k), far_leg=_mix(-20, -40, k), near_lift=12 * k, far_lift=2 * k,
                            near_arm=_mix(-20, -140, k), far_arm=_mix(20, 70, k), hat=_mix(10, 16, k)))
        elif animation == "fall":
            # From the top of the jump to a flailing fall with feet reaching for the ground.
            k = _ease(t)
            wave = math.sin(2 * math.pi * i / 8)
            out.append(Pose(bob=_mix(-5, 0, k), upper=(5.0, -5.0), near_leg=_mix(22, 8, k) + 3 * wave, far_leg=_mix(-6, -14, k) - 3 * wave,
                            near_lift=_mix(10, 0, k), far_lift=_mix(5, 0, k),
                            near_arm=_mix(-135, -150, k) + 14 * wave, far_arm=_mix(100, 125, k) - 14 * wave, hat=_mix(14, -10, k)))
    return out


def _pack(frames):
    """Packs (name, array) cells into a near-square grid; returns image and rects."""
    n = len(frames)
    cols = max(1, int(math.ceil(math.sqrt(n * CELL_H / CELL_W))))
    rows = int(math.ceil(n / cols))
    sheet = np.zeros((rows * CELL_H, cols * CELL_W, 4), dtype=np.uint8)
    rects = []
    for i, (name, cell) in enumerate(frames):
        r, c = divmod(i, cols)
        sheet[r * CELL_H:(r + 1) * CELL_H, c * CELL_W:(c + 1) * CELL_W] = cell
        rects.append((name, c * CELL_W, r * CELL_H, CELL_W, CELL_H))
    return Image.fromarray(sheet, "RGBA"), rects


def all_frames():
    """{animation: [layers dict per frame]}; frames are rendered on two
    processes, which changes nothing in the output."""
    import multiprocessing
    jobs = [(name, p) for name, _, count in ANIMATIONS for p in poses(name, count)]
    with multiprocessing.Pool(2) as pool:
        rendered = pool.map(render_layers, [p for _, p in jobs], chunksize=4)
    out = {name: [] for name, _, _ in ANIMATIONS}
    for (name, _), layers in zip(jobs, rendered):
        out[name].append(layers)
    return out


def atlases(frames):
    for atlas in ATLASES:
        cells = []
        for name, file, count in ANIMATIONS:
            if file != atlas:
                continue
            for i, layers in enumerate(frames[name]):
                for layer in LAYERS:
                    cells.append(("%s_%s_%d.png" % (name, layer, i), layers[layer]))
        image, rects = _pack(cells)
        save_png(image, "PNG", "Player", atlas + ".png")
        lines = ['<?xml version="1.0" encoding="UTF-8"?>',
                 '<!-- Character frames: four layers per frame, each drawn at the top-left of a %dx%d frame. -->' % (FRAME, FRAME),
                 '<TextureAtlas imagePath="%s.png">' % atlas]
        for name, x, y, w, h in rects:
            lines.append('    <SubTexture name="%s" x="%d" y="%d" width="%d" height="%d"/>' % (name, x, y, w, h))
        lines.append('</TextureAtlas>')
        write_text("\n".join(lines) + "\n", "PNG", "Player", atlas + ".xml")


def hats():
    """The two hat layers of the health icons (and the player's hat texture):
    the whole hat, and its band, both light grey for tinting."""
    size, scale = 96, 1.3
    h = w = size * S
    v, u = np.mgrid[0:h, 0:w].astype(np.float64)
    u, v = (u + 0.5) / S / scale, (v + 0.5) / S / scale
    # The same hat as on the character, standing upright in the icon.
    hx, hy = 36.0, 72.0
    cone = sdf.polygon(u, v, [(hx - 25, hy - 14), (hx + 25, hy - 14), (hx + 10, hy - 40), (hx - 2, hy - 60),
                              (hx - 10, hy - 66), (hx - 12, hy - 50), (hx - 20, hy - 34)]) - 2
    brim = sdf.ellipse(u, v, hx + 1, hy - 15, 28, 6.5)
    hat = np.minimum(cone, brim)
    band = np.maximum(cone, np.abs(v - (hy - 22)) - 5)
    star = sdf.circle(u, v, hx - 10, hy - 66, 5.5)
    full = np.zeros((h, w, 4))
    inside = hat < 0
    full[hat < 1.6, :3] = P["outline"]
    full[hat < 1.6, 3] = 255
    tone = np.where(v < hy - 14 - 26, 244, 226)
    full[(hat < -1.2), :3] = tone[hat < -1.2][:, None]
    full[star < 1.2, :3] = P["outline"]
    full[star < 1.2, 3] = 255
    full[star < -0.8, :3] = 255
    strip = np.zeros((h, w, 4))
    sel = (band < -1.2) & inside
    strip[sel, :3] = 236
    strip[sel, 3] = 255
    save_png(Image.fromarray(downsample(full, S), "RGBA"), "PNG", "Player", "hat_full.png")
    save_png(Image.fromarray(downsample(strip, S), "RGBA"), "PNG", "Player", "hat_strip.png")


def beard_texture():
    """Light hair, tileable every 128 pixels along x (the beard's length),
    128 high (across the beard) with soft edges at top and bottom."""
    n = 128
    v, u = np.mgrid[0:n, 0:n].astype(np.float64) + 0.5
    g = np.random.default_rng(77)
    value = np.full((n, n), 214.0)
    # Strands: wavy lines along x with whole periods per tile.
    for _ in range(60):
        y0 = g.uniform(6, n - 6)
        amp, k, ph = g.uniform(1, 5), g.integers(1, 3), g.uniform(0, 2 * math.pi)
        width = g.uniform(0.8, 2.0)
        line = y0 + amp * np.sin(2 * math.pi * k * u / n + ph)
        strand = np.clip(1 - np.abs(v - line) / width, 0, 1)
        value += strand * g.choice([-50.0, 35.0])
    # A few curls across the strands give the texture visible motion along x.
    for c in range(4):
        x0 = c * n / 4 + g.uniform(0, 20)
        curl = np.clip(1 - np.abs(((u - x0 + n / 2) % n) - n / 2 - 6 * np.sin(v / 12)) / 2.0, 0, 1)
        value -= curl * 24
    across = np.abs(v - n / 2) / (n / 2)
    alpha = np.clip((1 - across) / 0.35, 0, 1) ** 1.5
    value = value * (1 - 0.25 * across ** 2)
    img = np.zeros((n, n, 4), dtype=np.uint8)
    img[..., :3] = np.clip(np.rint(value), 0, 255).astype(np.uint8)[..., None]
    img[..., 3] = np.clip(np.rint(alpha * 255), 0, 255).astype(np.uint8)
    save_png(Image.fromarray(img, "RGBA"), "beard_whole.png")


def particle():
    n = 16
    v, u = np.mgrid[0:n, 0:n].astype(np.float64) + 0.5
    r = np.hypot(u - n / 2, v - n / 2) / (n / 2)
    alpha = np.clip(np.exp(-r * r * 3.0) - np.exp(-3.0), 0, 1) / (1 - np.exp(-3.0))
    img = np.zeros((n, n, 4), dtype=np.uint8)
    img[..., :3] = 255
    img[..., 3] = np.clip(np.rint(alpha * 255), 0, 255).astype(np.uint8)
    save_png(Image.fromarray(img, "RGBA"), "PNG", "vfx", "particle.png")


def generate():
    atlases(all_frames())
    hats()
    beard_texture()
    particle()
