"""The arenas' looks: each arena paints the same tiles in its own palette
(time of day) into tileset images with its own suffix."""
import contextlib
from collections import namedtuple

from .common import PALETTE

# suffix: added to every tileset image name ("" for the first arena's);
# sky_rows: rows of the sky strip (one per map row, so a tall map's sky
# runs its whole height); stars: how many the sky strip shows;
# colours: what the theme changes in the shared palette.
Theme = namedtuple("Theme", "suffix sky_rows stars colours")

THEMES = {
    # A violet dusk: the palette as it stands.
    "dusk": Theme("", 24, 40, {}),
    # Early morning over pale, lavender-grey spires: a cool blue sky warming
    # to gold at the horizon, fresh grass, white clouds.
    "dawn": Theme("_dawn", 36, 0, {
        "sky_top": (92, 146, 212),
        "sky_mid": (160, 192, 232),
        "sky_low": (252, 206, 168),
        "sky_horizon": (255, 234, 190),
        "far_island": (128, 146, 196),
        "far_island2": (160, 178, 218),
        "far_island_rim": (196, 206, 236),
        "cloud": (255, 252, 246),
        "cloud_shade": (230, 212, 214),
        "grass": (112, 196, 102),
        "grass_light": (184, 236, 132),
        "grass_dark": (52, 136, 84),
        "rock": (176, 164, 196),
        "rock_light": (214, 206, 230),
        "rock_dark": (124, 110, 156),
        "rock_deep": (84, 72, 116),
    }),
    # A moonlit night over blue stone: a starry navy sky, teal moss, clouds
    # lit from above by the moon.
    "night": Theme("_night", 24, 140, {
        "outline": (18, 14, 36),
        "sky_top": (8, 12, 36),
        "sky_mid": (22, 34, 82),
        "sky_low": (36, 50, 104),
        "sky_horizon": (58, 74, 132),
        "far_island": (30, 38, 80),
        "far_island2": (46, 56, 104),
        "far_island_rim": (88, 104, 160),
        "cloud": (132, 146, 196),
        "cloud_shade": (70, 80, 136),
        "grass": (64, 164, 148),
        "grass_light": (132, 220, 196),
        "grass_dark": (28, 102, 108),
        "rock": (134, 136, 188),
        "rock_light": (184, 190, 232),
        "rock_dark": (88, 86, 140),
        "rock_deep": (54, 48, 96),
    }),
}


@contextlib.contextmanager
def palette(theme):
    """Puts the theme's colours into the shared palette for the duration."""
    saved = dict(PALETTE)
    PALETTE.update(theme.colours)
    try:
        yield
    finally:
        PALETTE.clear()
        PALETTE.update(saved)
