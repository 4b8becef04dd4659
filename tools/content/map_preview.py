"""Paints a map as the game shows it at start: tile layers in file order, the
players' first idle frame in their colours, crates, and the health hats."""
import os
import xml.etree.ElementTree as ET
from PIL import Image

from .common import ASSETS, PLAYER_COLORS


def _tint(img, colour):
    from .preview import _tint as tint
    return tint(img, colour)


def paint(tmx_path, characters, hud=True):
    root = ET.parse(tmx_path).getroot()
    tw, th = int(root.get("tilewidth")), int(root.get("tileheight"))
    w, h = int(root.get("width")), int(root.get("height"))
    base = os.path.dirname(tmx_path)
    tiles = {}
    for ts in root.findall("tileset"):
        first = int(ts.get("firstgid"))
        sw, sh = int(ts.get("tilewidth")), int(ts.get("tileheight"))
        image = Image.open(os.path.join(base, ts.find("image").get("source"))).convert("RGBA")
        cols = image.width // sw
        for i in range(int(ts.get("tilecount"))):
            r, c = divmod(i, cols)
            tiles[first + i] = image.crop((c * sw, r * sh, (c + 1) * sw, (r + 1) * sh))
    canvas = Image.new("RGBA", (w * tw, h * th), (0, 0, 0, 255))
    for node in root:
        if node.tag == "layer":
            data = [int(x) for x in node.find("data").text.replace("\n", "").split(",")]
            for k, gid in enumerate(data):
                if gid:
                    r, c = divmod(k, w)
                    tile = tiles[gid]
                    canvas.alpha_composite(tile, (c * tw, (r + 1) * th - tile.height))
        elif node.tag == "objectgroup":
            for obj in node.findall("object"):
                name = obj.get("name")
                x, y = int(obj.get("x")), int(obj.get("y"))
                ow, oh = int(obj.get("width", 0)), int(obj.get("height", 0))
                cx, cy = x + ow // 2, y + oh // 2
                properties = {p.get("name"): p.get("value") for p in obj.iter("property")}
                if name.startswith("Player"):
                    player = int(name[-1])
                    frame = characters[player]
                    canvas.alpha_composite(frame, (cx - 128, cy - 128))
                elif "moving platform" in properties.values() and "sprite#path" in properties:
                    sprite = Image.open(os.path.join(base, properties["sprite#path"])).convert("RGBA")
                    canvas.alpha_composite(sprite, (x, y))
                elif name.startswith("Crate"):
                    canvas.alpha_composite(Image.open(os.path.join(base, "crate.png")).convert("RGBA"), (x, y))
                elif name.startswith("Healthbar") and hud:
                    player = int(name[-1])
                    hat = _tint(Image.open(os.path.join(ASSETS, "PNG", "Player", "hat_full.png")).convert("RGBA"), PLAYER_COLORS[player]["clothes1"])
                    band = _tint(Image.open(os.path.join(ASSETS, "PNG", "Player", "hat_strip.png")).convert("RGBA"), PLAYER_COLORS[player]["clothes2"])
                    hat.alpha_composite(band)
                    step = 150 if player == 1 else -150
                    if player == 2:
                        hat = hat.transpose(Image.FLIP_LEFT_RIGHT)
                    for i in range(3):
                        canvas.alpha_composite(hat, (cx - hat.width // 2 + i * step, cy - hat.height // 2))
    return canvas


def generate(out_dir):
    from .preview import _sprites, compose
    from . import character as ch
    sprites = {}
    for atlas in ch.ATLASES:
        sprites.update(_sprites(atlas))
    frames = {1: compose(sprites, "idle", 0, 1), 2: compose(sprites, "idle", 0, 2)}
    for name in ("zefMap", "spiresMap", "crossingMap", "victoryMap"):
        img = paint(os.path.join(ASSETS, "tilemap", name + ".tmx"), frames)
        img.convert("RGB").save(os.path.join(out_dir, "map_%s.png" % name))
