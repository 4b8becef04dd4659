"""The two maps: the floating arena ("zefMap.tmx") and the victory stage."""
from xml.sax.saxutils import quoteattr

from .common import write_text
from . import tiles
from .tiles import T, ISLAND, DISTANT, FOLIAGE
from .themes import THEMES

PLAYER_W, PLAYER_H = 64, 128
# How fast the arena's far layers follow the camera (1: with the map).
DISTANT_PARALLAX = 0.5


def tilesets(theme):
    """Tilesets as (name, image, image w, image h, tile w, tile h, tile count,
    columns) in the theme's images; first gids are assigned in this order."""
    suffix, sky_rows = theme.suffix, theme.sky_rows
    return [
        ("sky", "sky%s.png" % suffix, T, sky_rows * T, T, T, sky_rows, 1),
        ("distant", "distant%s.png" % suffix, 3 * tiles.DISTANT_W, 2 * tiles.DISTANT_H, tiles.DISTANT_W,
         tiles.DISTANT_H, 6, 3),
        ("islands", "islands%s.png" % suffix, tiles.ISLAND_COLUMNS * T, 4 * T, T, T, 32, tiles.ISLAND_COLUMNS),
        ("foliage", "foliage%s.png" % suffix, len(tiles.FOLIAGE_NAMES) * T, T, T, T, len(tiles.FOLIAGE_NAMES),
         len(tiles.FOLIAGE_NAMES)),
    ]


class MapBuilder:
    def __init__(self, width, height, theme=THEMES["dusk"]):
        self.width, self.height = width, height
        self.theme = theme
        self.tilesets = tilesets(theme)
        self.first_gid = {}
        gid = 1
        for ts in self.tilesets:
            self.first_gid[ts[0]] = gid
            gid += ts[6]
        self.items = []  # ("layer", name, grid) or ("group", name, objects, properties)
        self.grids = {}
        # Layer name -> its parallax factor (the same across and down).
        self.parallax = {}
        self.next_id = 1

    def layer(self, name, parallax=None):
        grid = [[0] * self.width for _ in range(self.height)]
        if parallax is not None:
            self.parallax[name] = parallax
        self.items.append(("layer", name, grid))
        return grid

    def group(self, name, properties=None):
        objects = []
        self.items.append(("group", name, objects, properties or []))
        return objects

    def gid(self, tileset, local):
        return self.first_gid[tileset] + local - 1

    def obj(self, objects, name, x, y, w, h, properties):
        """Adds an object; properties are written sorted by name, as the map
        editor stores them, so declarations precede their parameters."""
        objects.append((self.next_id, name, x, y, w, h, sorted(properties.items())))
        self.next_id += 1

    def path(self, objects, name, world_points):
        """Adds a polyline object through the world points (the first one is
        its position, as the editor writes it); returns its id."""
        x0, y0 = self.world_to_map(*world_points[0])
        points = " ".join("%g,%g" % (wx - world_points[0][0], wy - world_points[0][1]) for wx, wy in world_points)
        objects.append((self.next_id, name, int(x0), int(y0), None, points, []))
        self.next_id += 1
        return self.next_id - 1

    def world_to_map(self, wx, wy):
        return wx + self.width * T / 2, wy + self.height * T / 2

    def xml(self):
        # Layers with parallax line up with the others when the camera looks
        # at the map's centre, where a match starts.
        origin = (' parallaxoriginx="%d" parallaxoriginy="%d"' % (self.width * T // 2, self.height * T // 2)
                  if self.parallax else "")
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               '<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" '
               'width="%d" height="%d" tilewidth="%d" tileheight="%d" infinite="0"%s nextlayerid="%d" nextobjectid="%d">'
               % (self.width, self.height, T, T, origin, len(self.items) + 1, self.next_id)]
        for name, image, iw, ih, tw, th, count, columns in self.tilesets:
            out.append(' <tileset firstgid="%d" name="%s" tilewidth="%d" tileheight="%d" tilecount="%d" columns="%d">'
                       % (self.first_gid[name], name, tw, th, count, columns))
            out.append('  <image source="%s" width="%d" height="%d"/>' % (image, iw, ih))
            out.append(' </tileset>')
        for layer_id, item in enumerate(self.items, start=1):
            if item[0] == "layer":
                _, name, grid = item
                parallax = self.parallax.get(name)
                factors = ' parallaxx="%g" parallaxy="%g"' % (parallax, parallax) if parallax is not None else ""
                out.append(' <layer id="%d" name="%s" width="%d" height="%d"%s>'
                           % (layer_id, name, self.width, self.height, factors))
                out.append('  <data encoding="csv">')
                rows = [",".join(str(g) for g in row) for row in grid]
                out.append(",\n".join(rows))
                out.append('</data>')
                out.append(' </layer>')
            else:
                _, name, objects, properties = item
                out.append(' <objectgroup id="%d" name="%s">' % (layer_id, name))
                if properties:
                    out.append('  <properties>')
                    for key, value in properties:
                        out.append('   <property name=%s value=%s/>' % (quoteattr(key), quoteattr(value)))
                    out.append('  </properties>')
                for oid, oname, x, y, w, h, props in objects:
                    if w is None:
                        out.append('  <object id="%d" name=%s x="%d" y="%d">' % (oid, quoteattr(oname), x, y))
                        out.append('   <polyline points="%s"/>' % h)
                        out.append('  </object>')
                        continue
                    out.append('  <object id="%d" name=%s x="%d" y="%d" width="%d" height="%d">'
                               % (oid, quoteattr(oname), x, y, w, h))
                    out.append('   <properties>')
                    for key, value in props:
                        out.append('    <property name=%s value=%s/>' % (quoteattr(key), quoteattr(value)))
                    out.append('   </properties>')
                    out.append('  </object>')
                out.append(' </objectgroup>')
        out.append('</map>')
        return "\n".join(out) + "\n"


def _sky(m, parallax=None):
    grid = m.layer("Sky", parallax)
    rows = m.theme.sky_rows
    offset = max(0, (rows - m.height) // 2)
    for r in range(m.height):
        for c in range(m.width):
            grid[r][c] = m.gid("sky", min(r + offset, rows - 1) + 1)


def _island(m, grid, foliage, col0, col1, top, depth_rows):
    """Paints a floating island whose grass row spans columns col0..col1 and
    returns the rectangles (map pixels) that block the players."""
    solids = []
    for c in range(col0, col1 + 1):
        if c == col0:
            name = "grass_l"
        elif c == col1:
            name = "grass_r"
        else:
            name = ("grass_m1", "grass_m2", "grass_m3")[(c * 7 + top) % 3]
        grid[top][c] = m.gid("islands", ISLAND[name])
    solids.append((col0 * T + 8, top * T, (col1 - col0 + 1) * T - 16, T))
    left, right = col0, col1
    for k in range(1, depth_rows + 1):
        r = top + k
        last = k == depth_rows
        depth = min(k - 1, 3)
        for c in range(left, right + 1):
            if last:
                name = "bottom_l" if c == left else "bottom_r" if c == right else "bottom_m"
            elif c == left:
                name = "rock%d_l" % depth
            elif c == right:
                name = "rock%d_r" % depth
            else:
                name = "rock%d_m" % depth
                if depth < 2 and (c * 5 + r) % 4 == 0:
                    name += "2"
            grid[r][c] = m.gid("islands", ISLAND[name])
        height = T // 2 if last else T
        solids.append(((left + 1) * T - 8, r * T, (right - left - 1) * T + 16, height))
        left, right = left + 1, right - 1
        if right - left < 1:
            break
    # Dangling roots under the bottom row, tufts on the grass.
    if foliage is not None:
        bottom = top + depth_rows + 1
        if bottom < m.height:
            for c in range(left, right + 2, 3):
                foliage[bottom][c] = m.gid("foliage", FOLIAGE["roots1" if c % 2 else "roots2"])
        for c in range(col0, col1 + 1):
            k = (c * 13 + top * 3) % 7
            if k in (0, 3):
                foliage[top - 1][c] = m.gid("foliage", FOLIAGE["tuft%d" % (1 + c % 3)])
            elif k == 5:
                foliage[top - 1][c] = m.gid("foliage", FOLIAGE["flower%d" % (1 + c % 2)])
    return solids


def _slab(m, grid, foliage, col0, col1, row):
    for c in range(col0, col1 + 1):
        name = "slab_one" if col0 == col1 else "slab_l" if c == col0 else "slab_r" if c == col1 else "slab_m"
        grid[row][c] = m.gid("islands", ISLAND[name])
    if foliage is not None:
        foliage[row - 1][col0] = m.gid("foliage", FOLIAGE["tuft2"])
        if col1 - col0 >= 3:
            foliage[row + 1][(col0 + col1) // 2] = m.gid("foliage", FOLIAGE["vine"])
    return [(col0 * T + 6, row * T, (col1 - col0 + 1) * T - 12, 40)]


def _platform_objects(m, objects, solids, prefix):
    for i, (x, y, w, h) in enumerate(solids):
        m.obj(objects, "%s%d" % (prefix, i + 1), x, y, w, h, {
            "Platform": "tag",
            "body": "rigidbody",
            "collider": "box",
            "collider#friction": "0.8",
        })


def _player(m, objects, name, wx, feet_y):
    x, y = m.world_to_map(wx - PLAYER_W / 2, feet_y - PLAYER_H)
    m.obj(objects, name, int(x), int(y), PLAYER_W, PLAYER_H, {
        "body": "rigidbody",
        "body#type": "dynamic",
        "body#mass": "30",
        "body#constrains": "r",
        "collider": "box",
        "sprite": "sprite",
        "sprite#path": "player.png",
        "sprite#scale": "width",
    })


def _crate(m, objects, name, wx, feet_y):
    x, y = m.world_to_map(wx - T / 2, feet_y - T)
    m.obj(objects, name, int(x), int(y), T, T, {
        "Movable": "tag",
        "body": "rigidbody",
        "body#type": "dynamic",
        "body#mass": "8",
        "collider": "box",
        "collider#friction": "0.6",
        "sprite": "sprite",
        "sprite#path": "crate.png",
    })


def _distant(m, grid, placements):
    for name, col, row in placements:
        grid[row][col] = m.gid("distant", DISTANT[name])


def _camera_and_bars(m, centre, stage):
    """The main camera with the stage camera controller (`stage`: its
    settings beyond the players), the size of the window and centred on
    `centre`; the health bars sit near its top corners and ride along."""
    hud = m.group("Camera")
    cx, cy = centre
    settings = {
        "cam": "camera",
        "cam#main": "true",
        "stage": "stage camera controller",
        "stage#player1": "Player1",
        "stage#player2": "Player2",
    }
    settings.update(stage)
    m.obj(hud, "Camera", *[int(v) for v in m.world_to_map(cx - 960, cy - 540)], 1920, 1080, settings)
    for name, wx in (("Healthbar1", -840), ("Healthbar2", 840)):
        x, y = m.world_to_map(cx + wx - 48, cy - 470 - 48)
        m.obj(hud, name, int(x), int(y), 96, 96, {"bar": "healthbar"})


def _bounded_stage(m):
    """Stage settings for an arena larger than the window: the view follows
    the players anywhere inside the map."""
    return {"stage#width": "1400", "stage#height": "800",
            "stage#boundx": str(m.width * T // 2), "stage#boundy": str(m.height * T // 2)}


# The moving platforms: 192 x 56 like their picture; the collider is its top
# 40 pixels, a slab's thickness.
LIFT_W, LIFT_H = tiles.PLATFORM_W, tiles.PLATFORM_H


def _moving_platform(m, objects, name, path, top_points, speed):
    """A platform riding the polyline `path` through points given as (x,
    top y) of the platform, starting at the first; returns nothing."""
    centres = [(x, y + LIFT_H / 2) for x, y in top_points]
    path_id = m.path(objects, path, centres)
    x, y = m.world_to_map(centres[0][0] - LIFT_W / 2, centres[0][1] - LIFT_H / 2)
    m.obj(objects, name, int(x), int(y), LIFT_W, LIFT_H, {
        "Platform": "tag",
        "body": "rigidbody",
        "body#type": "kinematic",
        "collider": "box",
        "collider#friction": "0.8",
        "collider#height": "40",
        "collider#yoff": str(20 - LIFT_H // 2),
        "move": "moving platform",
        "move#path": path,
        "move#speed": str(speed),
        "sprite": "sprite",
        "sprite#path": "platform%s.png" % m.theme.suffix,
        "sprite#scale": "width",
    })
    return path_id


def _arena_layers(m, distant):
    """The layers every arena has, in draw order: the sky, the distant
    scenery (trailing the camera), the beards' and players' groups, the
    platforms' group and tiles, the foreground. Returns the players' and
    platforms' groups and the platform and foreground grids."""
    _sky(m)
    _distant(m, m.layer("Background", DISTANT_PARALLAX), distant)
    m.group("Beards")
    players = m.group("Players")
    platforms = m.group("Platforms")
    return players, platforms, m.layer("Platforms"), m.layer("Foreground")


def _arena_cast(m, players, platforms, crates, spawn_x, feet_y, view_centre, file_name):
    """Crates at (x, feet y), the players at -spawn_x and spawn_x, the camera
    and health bars around `view_centre`; writes the map."""
    for i, (x, feet) in enumerate(crates, start=1):
        _crate(m, platforms, "Crate%d" % i, x, feet)
    _player(m, players, "Player1", -spawn_x, feet_y)
    _player(m, players, "Player2", spawn_x, feet_y)
    _camera_and_bars(m, view_centre, _bounded_stage(m))
    write_text(m.xml(), "tilemap", file_name)
    return m


def spires():
    """Sunrise Spires: a tall arena climbed by ledges stepping up left and
    right in turn, with a lift on either side from the low ledges to the
    perches at the top. 40 x 36 tiles: x -1280..1280, y -1152..1152."""
    m = MapBuilder(40, 36, THEMES["dawn"])
    players, platforms, ground, front = _arena_layers(m, [
        ("cloud1", 1, 4), ("cloud2", 14, 2), ("cloud3", 29, 5), ("cloud1", 33, 14), ("cloud2", 3, 17),
        ("isle1", 6, 28), ("isle2", 20, 33), ("isle3", 31, 30), ("cloud3", 17, 24), ("isle2", 11, 35),
        ("cloud1", 24, 10)])
    solids = []
    # Row r's top is at y 64 r - 1152; each level is three rows (192
    # pixels, within a jump of 245) above the one below, and stands a little
    # beside it, so every ledge is jumped onto from beside its end.
    solids += _island(m, ground, front, 12, 27, 28, 4)          # y 640, x -512..512
    solids += _slab(m, ground, front, 4, 11, 25)                # y 448, ending above the island's ends
    solids += _slab(m, ground, front, 28, 35, 25)
    solids += _slab(m, ground, front, 9, 16, 22)                # y 256
    solids += _slab(m, ground, front, 23, 30, 22)
    solids += _slab(m, ground, front, 15, 24, 19)               # y 64, under the respawn point
    solids += _slab(m, ground, front, 6, 15, 16)                # y -128
    solids += _slab(m, ground, front, 24, 33, 16)
    solids += _slab(m, ground, front, 10, 17, 13)               # y -320
    solids += _slab(m, ground, front, 22, 29, 13)
    solids += _slab(m, ground, front, 14, 25, 10)               # y -512
    solids += _island(m, ground, front, 4, 7, 9, 2)             # y -576, the perches
    solids += _island(m, ground, front, 32, 35, 9, 2)
    _platform_objects(m, platforms, solids, "Platform")
    # The lifts run beside the low ledges (y 448) up to the perches (y -576).
    _moving_platform(m, platforms, "Lift1", "Lift1Path", [(-1152, 448), (-1152, -576)], 150)
    _moving_platform(m, platforms, "Lift2", "Lift2Path", [(1152, 448), (1152, -576)], 150)
    return _arena_cast(m, players, platforms, [(-800, 448), (800, 448), (-900, -576), (900, -576)],
                       420, 640, (0, 400), "spiresMap.tmx")


def crossing():
    """Moonlit Crossing: a wide arena of three islands whose gaps are too
    wide to jump with ease; a ferry shuttles across each gap, and a long one
    sails over everything from end to end. 60 x 24 tiles: x -1920..1920,
    y -768..768."""
    m = MapBuilder(60, 24, THEMES["night"])
    players, platforms, ground, front = _arena_layers(m, [
        ("cloud1", 2, 4), ("cloud3", 15, 2), ("cloud2", 28, 5), ("cloud1", 41, 3), ("cloud3", 52, 6),
        ("isle1", 5, 21), ("isle2", 19, 23), ("isle3", 33, 22), ("isle1", 46, 23), ("cloud2", 10, 12),
        ("cloud1", 50, 13), ("isle3", 56, 20)])
    solids = []
    # Row r's top is at y 64 r - 768, column c's left edge at x 64 c - 1920.
    solids += _island(m, ground, front, 2, 14, 15, 5)           # y 192, x -1792..-960
    solids += _island(m, ground, front, 24, 35, 15, 5)          # x -384..384
    solids += _island(m, ground, front, 45, 57, 15, 5)          # x 960..1792
    solids += _slab(m, ground, front, 27, 32, 12)               # y 0, under the respawn point
    solids += _slab(m, ground, front, 6, 9, 12)                 # y 0
    solids += _slab(m, ground, front, 50, 53, 12)
    solids += _slab(m, ground, front, 11, 14, 6)                # y -384, reached from the long ferry
    solids += _slab(m, ground, front, 45, 48, 6)
    _platform_objects(m, platforms, solids, "Platform")
    # The ferries: level with the island tops, across the 576-pixel gaps,
    # mirrored so that both start at their outer island.
    _moving_platform(m, platforms, "Ferry1", "Ferry1Path", [(-856, 192), (-488, 192)], 100)
    _moving_platform(m, platforms, "Ferry2", "Ferry2Path", [(856, 192), (488, 192)], 100)
    # The long ferry, 192 pixels above the slabs, from end to end and back.
    _moving_platform(m, platforms, "SkyFerry", "SkyFerryPath", [(-1408, -192), (1408, -192)], 140)
    return _arena_cast(m, players, platforms, [(-1500, 192), (1500, 192), (-200, 192)],
                       1150, 192, (0, 0), "crossingMap.tmx")


def arena():
    # 42 x 24 tiles of 64 px: the world spans x -1344..1344, y -768..768, and
    # anything that drops below y 1500 has fallen out of the arena.
    m = MapBuilder(42, 24)
    # The distant clouds and isles trail the camera (half its speed), so the
    # arena looks deeper as the camera follows the fight. The sky, a gradient
    # that shows little of it, stays in step with the platforms: their opaque
    # tiles then leave out the sky's behind them, a full window's worth of
    # pixels a frame on a software renderer.
    _sky(m)
    far = m.layer("Background", DISTANT_PARALLAX)
    _distant(m, far, [("cloud1", 2, 5), ("cloud2", 17, 3), ("cloud3", 31, 6), ("isle1", 4, 21),
                      ("isle2", 25, 22), ("isle3", 37, 23), ("cloud2", 9, 22), ("cloud1", 28, 23),
                      ("isle2", 14, 23), ("cloud3", 38, 10)])
    m.group("Beards")
    players = m.group("Players")
    platforms = m.group("Platforms")
    ground = m.layer("Platforms")
    front = m.layer("Foreground")
    solids = []
    # Main island: grass top at row 15 (world y 192), 26 tiles wide.
    solids += _island(m, ground, front, 8, 33, 15, 5)
    # Side islands, a jump up from the main one.
    solids += _island(m, ground, front, 1, 6, 12, 3)
    solids += _island(m, ground, front, 35, 40, 12, 3)
    # Stepping slabs, the central slab under the respawn point (0, -300)
    # and the two high ledges.
    solids += _slab(m, ground, front, 12, 14, 12)
    solids += _slab(m, ground, front, 27, 29, 12)
    solids += _slab(m, ground, front, 18, 23, 9)
    solids += _slab(m, ground, front, 7, 11, 6)
    solids += _slab(m, ground, front, 30, 34, 6)
    _platform_objects(m, platforms, solids, "Platform")
    _crate(m, platforms, "Crate1", -420, 192)
    _crate(m, platforms, "Crate2", 420, 192)
    _crate(m, platforms, "Crate3", -1150, 0)
    _crate(m, platforms, "Crate4", 1180, 0)
    _player(m, players, "Player1", -640, 192)
    _player(m, players, "Player2", 640, 192)
    _camera_and_bars(m, (0, 0), {"stage#width": "1400", "stage#height": "800"})
    write_text(m.xml(), "tilemap", "zefMap.tmx")
    return m


def victory():
    # 32 x 18 tiles: x -1024..1024, y -576..576.
    m = MapBuilder(32, 18)
    _sky(m)
    far = m.layer("Background")
    _distant(m, far, [("cloud1", 1, 5), ("cloud3", 20, 4), ("isle1", 3, 15), ("isle3", 24, 14), ("cloud2", 12, 2)])
    m.group("Beards")
    players = m.group("Players")
    platforms = m.group("Platforms")
    ground = m.layer("Platforms")
    front = m.layer("Foreground")
    solids = _island(m, ground, front, 8, 23, 12, 4)
    # The podium in the middle of the island, two rows high, under (0, -300).
    for c in range(14, 18):
        kind = "l" if c == 14 else "r" if c == 17 else "m"
        ground[10][c] = m.gid("islands", ISLAND["podium_" + kind])
        ground[11][c] = m.gid("islands", ISLAND["podium_base_" + kind])
        front[9][c] = 0
        front[11][c] = 0
    solids.append((14 * T + 6, 10 * T, 4 * T - 12, 2 * T))
    for c in (12, 13, 18, 19):
        front[11][c] = m.gid("foliage", FOLIAGE["pennant"])
    _platform_objects(m, platforms, solids, "Platform")
    _crate(m, platforms, "Crate1", -300, 192)
    _crate(m, platforms, "Crate2", 330, 192)
    _player(m, players, "Player1", 0, 64)
    hud = m.group("Camera")
    m.obj(hud, "Camera", *[int(v) for v in m.world_to_map(-960, -576)], 1920, 1080, {
        "cam": "camera",
        "cam#main": "true",
    })
    write_text(m.xml(), "tilemap", "victoryMap.tmx")
    return m


def generate():
    tiles.spawn_marker(PLAYER_W, PLAYER_H)
    arena()
    spires()
    crossing()
    victory()
