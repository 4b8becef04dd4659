"""Contact sheets for looking at the content: every character frame in both
player colours, straight from the committed atlases. Written outside assets/."""
import os
import xml.etree.ElementTree as ET
import numpy as np
from PIL import Image, ImageDraw

from .common import ASSETS, PLAYER_COLORS, font
from . import character as ch


def _sprites(atlas):
    path = os.path.join(ASSETS, "PNG", "Player", atlas + ".xml")
    root = ET.parse(path).getroot()
    image = Image.open(os.path.join(os.path.dirname(path), root.get("imagePath"))).convert("RGBA")
    out = {}
    for sub in root.findall("SubTexture"):
        x, y, w, h = (int(sub.get(k)) for k in ("x", "y", "width", "height"))
        out[sub.get("name")] = image.crop((x, y, x + w, y + h))
    return out


def _tint(img, colour):
    a = np.asarray(img).astype(np.float64)
    a[..., :3] *= np.asarray(colour) / 255.0
    return Image.fromarray(np.clip(np.rint(a), 0, 255).astype(np.uint8), "RGBA")


def compose(sprites, name, i, player):
    """Composes one frame as the player controller does: four layers, tinted."""
    frame = Image.new("RGBA", (ch.FRAME, ch.FRAME), (0, 0, 0, 0))
    colours = PLAYER_COLORS[player]
    for layer, tint in (("color", None), ("clothes1", colours["clothes1"]),
                        ("clothes2", colours["clothes2"]), ("hair", colours["hair"])):
        sprite = sprites["%s_%s_%d.png" % (name, layer, i)]
        frame.alpha_composite(sprite if tint is None else _tint(sprite, tint))
    return frame


def character_sheet(out_dir):
    sprites = {}
    for atlas in ch.ATLASES:
        sprites.update(_sprites(atlas))
    cell = 170
    rows = []
    label = font(16)
    for name, _, count in ch.ANIMATIONS:
        for player in (1, 2):
            row = Image.new("RGBA", (120 + cell * count, cell * 200 // 170), (150, 110, 170, 255))
            d = ImageDraw.Draw(row)
            d.text((6, 60), "%s P%d" % (name, player), font=label, fill=(255, 255, 255, 255))
            for i in range(count):
                frame = compose(sprites, name, i, player).crop((48, 4, 218, 204)).resize((cell, cell * 200 // 170))
                bg = Image.new("RGBA", frame.size, (150, 110, 170, 255))
                bg.alpha_composite(frame)
                d2 = ImageDraw.Draw(bg)
                # The collider's bottom edge and the beard anchor, for checking alignment.
                g = (ch.GROUND - 4) * cell / 170
                d2.line([(0, g), (cell, g)], fill=(255, 255, 255, 90))
                ax, ay = (148 - 48) * cell / 170, (118 - 4) * cell / 170
                d2.ellipse([ax - 2, ay - 2, ax + 2, ay + 2], fill=(0, 255, 255, 255))
                row.paste(bg, (120 + i * cell, 0))
                d.line([(120 + i * cell, 0), (120 + i * cell, row.height)], fill=(120, 90, 140, 255))
            rows.append(row)
    width = max(r.width for r in rows)
    height = rows[0].height
    sheet = Image.new("RGBA", (width, height * len(rows)), (150, 110, 170, 255))
    for k, r in enumerate(rows):
        sheet.paste(r, (0, k * height))
    path = os.path.join(out_dir, "character.png")
    sheet.save(path)
    return path


def generate(out_dir="/tmp/vorlune-preview"):
    os.makedirs(out_dir, exist_ok=True)
    print("preview:", character_sheet(out_dir))
    from . import form_preview, map_preview
    form_preview.generate(out_dir)
    map_preview.generate(out_dir)
    print("preview: menu pages in", out_dir)
