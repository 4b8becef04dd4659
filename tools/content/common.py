"""Shared helpers of the content generators: paths, palette, deterministic output."""
import os
import numpy as np
from PIL import Image, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
ASSETS = os.path.join(ROOT, "assets")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# One palette for the whole game: a violet dusk over mossy floating islands.
# Outlines are a dark plum rather than black so they sit softly on the sky.
PALETTE = {
    "outline": (38, 22, 44),
    "sky_top": (44, 30, 84),
    "sky_mid": (122, 70, 132),
    "sky_low": (236, 150, 120),
    "sky_horizon": (252, 206, 150),
    "far_island": (92, 62, 120),
    "far_island2": (128, 86, 140),
    "far_island_rim": (150, 120, 160),
    "cloud": (250, 196, 180),
    "cloud_shade": (214, 146, 160),
    "grass": (106, 190, 120),
    "grass_light": (168, 226, 136),
    "grass_dark": (52, 128, 98),
    "rock": (196, 132, 92),
    "rock_light": (226, 168, 116),
    "rock_dark": (140, 82, 76),
    "rock_deep": (92, 52, 70),
    "wood": (176, 112, 64),
    "wood_light": (214, 152, 90),
    "wood_dark": (112, 64, 44),
    "skin": (246, 196, 160),
    "skin_shade": (222, 160, 132),
    "nose": (236, 150, 130),
    "boot": (92, 58, 52),
    "eye": (255, 255, 250),
    "pupil": (30, 20, 36),
    "gold": (255, 206, 96),
    "ui_panel": (40, 26, 60),
    "ui_text": (255, 240, 222),
    "magic": (128, 255, 255),
}

# The two players' tints, as the player controller computes them
# (base colour plus the constant added on top, clamped per channel).
def _add(a, b):
    return tuple(min(255, x + y) for x, y in zip(a, b))

PLAYER_COLORS = {
    1: {"clothes1": _add((0, 27, 81), (32, 32, 32)),
        "clothes2": _add((13, 99, 118), (32, 32, 32)),
        "hair": (101, 48, 42)},
    2: {"clothes1": _add((160, 67, 26), (32, 32, 32)),
        "clothes2": _add((90, 1, 10), (32, 32, 32)),
        "hair": _add((154, 173, 108), (32, 16, 16))},
}


def asset_path(*parts):
    return os.path.join(ASSETS, *parts)


def ensure_dir(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)


def save_png(image, *parts):
    """Writes a PNG without timestamps or metadata, so output is reproducible."""
    path = asset_path(*parts)
    ensure_dir(path)
    image.save(path, format="PNG", optimize=True)
    return path


def write_text(text, *parts):
    path = asset_path(*parts)
    ensure_dir(path)
    with open(path, "w", encoding="utf-8", newline="\n") as handle:
        handle.write(text)
    return path


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def rng(seed):
    return np.random.default_rng(seed)


def downsample(rgba, factor):
    """Box-filters a float RGBA array (H, W, 4; colour not premultiplied,
    0..255) by an integer factor with premultiplied alpha, returning uint8."""
    h, w, _ = rgba.shape
    a = rgba[..., 3:4] / 255.0
    pre = np.concatenate([rgba[..., :3] * a, a], axis=2)
    pre = pre.reshape(h // factor, factor, w // factor, factor, 4).mean(axis=(1, 3))
    alpha = pre[..., 3:4]
    colour = np.where(alpha > 1e-6, pre[..., :3] / np.maximum(alpha, 1e-6), 0)
    out = np.concatenate([colour, alpha * 255.0], axis=2)
    return np.clip(np.rint(out), 0, 255).astype(np.uint8)


def to_image(array):
    return Image.fromarray(np.ascontiguousarray(array), "RGBA")


def lerp_colour(a, b, t):
    t = np.asarray(t, dtype=np.float64)[..., None]
    return np.asarray(a, dtype=np.float64) * (1 - t) + np.asarray(b, dtype=np.float64) * t
