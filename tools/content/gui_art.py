"""Pictures of the menu pages: the title backdrop, the logo, the winner banners."""
import math
import os
import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from .common import PALETTE as P, PLAYER_COLORS, ASSETS, save_png, font, lerp_colour
from . import tiles, character as ch


def _sky(width, height):
    t = (np.arange(height) + 0.5) / height
    column = np.stack([tiles.sky_colour(0.1 + 0.85 * x) for x in t])
    img = np.zeros((height, width, 4), dtype=np.uint8)
    img[..., :3] = np.clip(np.rint(column), 0, 255).astype(np.uint8)[:, None, :]
    img[..., 3] = 255
    return Image.fromarray(img, "RGBA")


def _tile_sheet(name):
    return Image.open(os.path.join(ASSETS, "tilemap", name)).convert("RGBA")


def _paste_island(canvas, sheet, x0, y0, cols, rows, scale):
    """Builds an island from the map tiles: grass row, tapering rock rows."""
    t = tiles.T

    def tile(name):
        idx = tiles.ISLAND[name] - 1
        r, c = divmod(idx, tiles.ISLAND_COLUMNS)
        img = sheet.crop((c * t, r * t, (c + 1) * t, (r + 1) * t))
        return img.resize((int(t * scale), int(t * scale)), Image.LANCZOS)

    size = int(t * scale)
    for c in range(cols):
        name = "grass_l" if c == 0 else "grass_r" if c == cols - 1 else "grass_m%d" % (1 + c % 3)
        canvas.alpha_composite(tile(name), (x0 + c * size, y0))
    left, right = 0, cols - 1
    for k in range(1, rows + 1):
        last = k == rows
        depth = min(k - 1, 3)
        for c in range(left, right + 1):
            if last:
                name = "bottom_l" if c == left else "bottom_r" if c == right else "bottom_m"
            else:
                name = "rock%d_%s" % (depth, "l" if c == left else "r" if c == right else "m")
            canvas.alpha_composite(tile(name), (x0 + c * size, y0 + k * size))
        left, right = left + 1, right - 1


def _character(player, animation="idle", frame=0, mirror=False, scale=1.5):
    from .preview import _sprites, compose
    sprites = {}
    for atlas in ch.ATLASES:
        sprites.update(_sprites(atlas))
    img = compose(sprites, animation, frame, player)
    if mirror:
        img = img.transpose(Image.FLIP_LEFT_RIGHT)
    return img.resize((int(img.width * scale), int(img.height * scale)), Image.LANCZOS)


def _magic_beard(canvas, chin, player, direction, scale, seed):
    """A beard raised by magic: the beard texture laid along a curling path
    from the chin, tinted with the player's hair colour, with a cyan glow."""
    tex = np.asarray(Image.open(os.path.join(ASSETS, "beard_whole.png")).convert("RGBA")).astype(np.float64)
    hair = np.asarray(PLAYER_COLORS[player]["hair"]) / 255.0
    reach = 300 * scale
    steps = int(reach / 2.5)
    g = np.random.default_rng(seed)
    glow = Image.new("RGBA", canvas.size)
    gd = ImageDraw.Draw(glow)
    sparkles = []
    pieces = []
    # The path sags under the chin, then rises toward the rival with a curl at the tip.
    def point(w):
        px = chin[0] + direction * reach * w
        py = chin[1] + 70 * scale * math.sin(math.pi * min(w * 1.4, 1.0)) - 150 * scale * w ** 2.2
        return px, py
    for k in range(steps):
        t = k / steps
        x, y = point(t)
        nx, ny = point(t + 1.0 / steps)
        dx, dy = nx - x, ny - y
        width = (38 - 22 * t) * scale
        column = tex[:, int(k * 2.5 / scale) % 128]
        piece = np.zeros((128, 4, 4))
        piece[:, :, :3] = (column[:, :3] * hair)[:, None, :]
        piece[:, :, 3] = column[:, 3][:, None]
        img = Image.fromarray(np.clip(piece, 0, 255).astype(np.uint8), "RGBA").resize((5, max(2, int(width))), Image.BILINEAR)
        img = img.rotate(-math.degrees(math.atan2(dy, dx)), expand=True, resample=Image.BICUBIC)
        pieces.append((img, (int(x - img.width / 2), int(y - img.height / 2))))
        r = width * 0.8
        gd.ellipse([x - r, y - r, x + r, y + r], fill=(140, 255, 255, 70))
        if g.uniform() < 0.15:
            sparkles.append((x + g.normal(0, width), y + g.normal(0, width), g.uniform(2, 5)))
    canvas.alpha_composite(glow.filter(ImageFilter.GaussianBlur(12)))
    for img, pos in pieces:
        canvas.alpha_composite(img, pos)
    top = ImageDraw.Draw(canvas)
    for sx, sy, sr in sparkles:
        top.ellipse([sx - sr, sy - sr, sx + sr, sy + sr], fill=(210, 255, 255, 230))


def backdrop():
    w, h = 1920, 1080
    img = _sky(w, h)
    distant = _tile_sheet("distant.png")
    dw, dh = tiles.DISTANT_W, tiles.DISTANT_H
    for name, x, y, s in (("cloud1", 60, 120, 1.6), ("cloud3", 1400, 60, 1.4), ("cloud2", 760, 250, 1.0),
                          ("isle1", 180, 520, 1.3), ("isle3", 1420, 470, 1.5), ("isle2", 880, 560, 0.9)):
        idx = tiles.DISTANT[name] - 1
        r, c = divmod(idx, 3)
        piece = distant.crop((c * dw, r * dh, (c + 1) * dw, (r + 1) * dh)).resize((int(dw * s), int(dh * s)), Image.LANCZOS)
        img.alpha_composite(piece, (x, y))
    sheet = _tile_sheet("islands.png")
    _paste_island(img, sheet, 141, 820, 16, 4, 1.6)
    # The two rivals facing each other, beards raised by magic.
    scale = 1.9
    for player, x, mirror in ((1, 190, False), (2, 1240, True)):
        hero = _character(player, mirror=mirror, scale=scale)
        top = 820 - int(192 * scale)
        chin = (x + (148 if not mirror else 256 - 148) * scale, top + 112 * scale)
        _magic_beard(img, chin, player, -1 if mirror else 1, scale * 0.8, player)
        img.alpha_composite(hero, (x, top))
    save_png(img.convert("RGB"), "gui", "backdrop.png")


def _text_image(text, size, fill_top, fill_bottom, stroke, stroke_width, pad=30):
    f = font(size)
    box = f.getbbox(text, stroke_width=stroke_width)
    w, h = box[2] - box[0] + 2 * pad, box[3] - box[1] + 2 * pad
    mask = Image.new("L", (w, h))
    ImageDraw.Draw(mask).text((pad - box[0], pad - box[1]), text, font=f, fill=255)
    outline = Image.new("L", (w, h))
    ImageDraw.Draw(outline).text((pad - box[0], pad - box[1]), text, font=f, fill=255, stroke_width=stroke_width, stroke_fill=255)
    t = np.linspace(0, 1, h)[:, None]
    grad = lerp_colour(fill_top, fill_bottom, np.broadcast_to(t, (h, w)))
    out = np.zeros((h, w, 4))
    o = np.asarray(outline) / 255.0
    m = np.asarray(mask) / 255.0
    shadow = np.asarray(outline.filter(ImageFilter.GaussianBlur(6))) / 255.0
    shadow = np.roll(np.roll(shadow, 6, axis=0), 4, axis=1)
    out[..., :3] = P["outline"]
    out[..., 3] = np.maximum(o, shadow * 0.5) * 255
    out[..., :3] = out[..., :3] * (1 - m[..., None]) + grad * m[..., None]
    out[..., 3] = np.maximum(out[..., 3], m * 255)
    return Image.fromarray(np.clip(np.rint(out), 0, 255).astype(np.uint8), "RGBA")


def title():
    logo = _text_image("VORLUNE", 170, (255, 236, 160), (246, 150, 96), P["outline"], 10)
    sub = _text_image("a bearded brawl above the clouds", 38, (255, 240, 222), (232, 210, 236), P["outline"], 4, pad=10)
    w = max(logo.width, sub.width)
    img = Image.new("RGBA", (w, logo.height + sub.height - 30))
    img.alpha_composite(logo, ((w - logo.width) // 2, 0))
    img.alpha_composite(sub, ((w - sub.width) // 2, logo.height - 30))
    save_png(img, "gui", "title.png")


def banner(player):
    colours = PLAYER_COLORS[player]
    w, h = 1100, 220
    ribbon = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(ribbon)
    c1 = tuple(min(255, int(x * 1.25)) for x in colours["clothes1"]) + (255,)
    c2 = colours["clothes2"] + (255,)
    d.polygon([(0, 40), (120, 40), (120, 200), (0, 200), (50, 120)], fill=c2, outline=P["outline"] + (255,), width=6)
    d.polygon([(w, 40), (w - 120, 40), (w - 120, 200), (w, 200), (w - 50, 120)], fill=c2, outline=P["outline"] + (255,), width=6)
    d.rounded_rectangle((70, 14, w - 70, 180), radius=26, fill=c1, outline=P["outline"] + (255,), width=8)
    d.rounded_rectangle((86, 30, w - 86, 62), radius=14, fill=tuple(min(255, x + 40) for x in c1[:3]) + (255,))
    text = _text_image("PLAYER %d WINS!" % player, 96, (255, 244, 190), (255, 196, 110), P["outline"], 7, pad=12)
    ribbon.alpha_composite(text, ((w - text.width) // 2, 97 - text.height // 2))
    save_png(ribbon, "gui", "player%dwon.png" % player)


def icon():
    """The program's icon (window and desktop menu): player 1's head and hat
    in a rounded square of sky, readable from 256 down to 32 pixels."""
    size = 256
    sky = _sky(size, size)
    mask = Image.new("L", (size, size))
    ImageDraw.Draw(mask).rounded_rectangle((4, 4, size - 5, size - 5), radius=48, fill=255)
    img = Image.new("RGBA", (size, size))
    img.paste(sky, (0, 0), mask)
    hero = _character(1, scale=1.75)
    # The sprite's head and hat sit in its upper middle; the body is left below the frame.
    img.alpha_composite(hero, ((size - hero.width) // 2 - 30, -8))
    img.putalpha(Image.fromarray(np.minimum(np.asarray(img)[..., 3], np.asarray(mask)), "L"))
    border = Image.new("RGBA", (size, size))
    ImageDraw.Draw(border).rounded_rectangle((4, 4, size - 5, size - 5), radius=48,
                                             outline=P["outline"] + (255,), width=8)
    img.alpha_composite(border)
    save_png(img, "gui", "icon.png")


# The arena page's pictures: each arena's map as the game shows it when a
# match starts (without the health bars), the largest 16:9 part around its
# centre, framed.
ARENA_PICTURE_W, ARENA_PICTURE_H = 480, 270
ARENA_MAPS = (("isles", "zefMap"), ("spires", "spiresMap"), ("crossing", "crossingMap"))


def arena_pictures():
    from .preview import _sprites, compose
    from . import character as ch, map_preview
    sprites = {}
    for atlas in ch.ATLASES:
        sprites.update(_sprites(atlas))
    frames = {1: compose(sprites, "idle", 0, 1), 2: compose(sprites, "idle", 0, 2)}
    for key, map_name in ARENA_MAPS:
        whole = map_preview.paint(os.path.join(ASSETS, "tilemap", map_name + ".tmx"), frames, hud=False)
        w, h = whole.size
        cw, ch_ = (w, w * 9 // 16) if w * 9 // 16 <= h else (h * 16 // 9, h)
        left, top = (w - cw) // 2, (h - ch_) // 2
        picture = whole.crop((left, top, left + cw, top + ch_)).convert("RGB")
        picture = picture.resize((ARENA_PICTURE_W, ARENA_PICTURE_H), Image.LANCZOS)
        framed = Image.new("RGB", (ARENA_PICTURE_W, ARENA_PICTURE_H), P["outline"])
        framed.paste(picture.crop((4, 4, ARENA_PICTURE_W - 4, ARENA_PICTURE_H - 4)), (4, 4))
        save_png(framed, "gui", "arena_%s.png" % key)


def generate():
    arena_pictures()
    icon()
    backdrop()
    title()
    banner(1)
    banner(2)
