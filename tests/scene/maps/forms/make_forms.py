#!/usr/bin/python3
"""Makes the map fixtures of this folder with the map editor itself.

Each map is written here in a minimal form, then read and saved again by
`tiled --export-map` (which keeps the tile layer format it read), and drawn
by `tmxrasterizer` into <map>.expected.png: the pictures the tests compare
the engine's painting with. Needs `scripts/setup.sh --content --tools`.

forms-*.tmx: one 6 x 4 map saved in every tile layer format (CSV, Base64
plain, zlib, gzip, zstd, and as an infinite map's chunks).
flips.tmx: an asymmetric tile and a tall tile in every flip combination.
layers.tmx: external and image-collection tilesets, an image layer, nested
groups with offsets, opacity and tint, and a hidden layer.
spacing.tmx: tilesets cut with a margin and spacing (gutters in magenta, so
a tile cut from the wrong place shows) and a tile count.
order-<render order>.tmx: tiles of twice the grid size and tiles shifted by
their tileset's offset, wider than one drawing block, under a layer of
opaque tiles, in each render order.
parallax.tmx: layers with parallax factors (one in a group with its own)
and tile objects in a group with a factor, around a parallax origin; parallax-<n>.expected.png are the editor's
pictures of the view around camera n of PARALLAX_CAMERAS, made from a copy
of the map whose layers carry their scroll at that camera as offsets and
whose objects carry it in their places (the renderer draws a map as seen
from its parallax origin).
repeat.tmx: image layers repeated across, down and both ways.
tileobjects.tmx: tile objects scaled, flipped, turned and shifted by their
tileset's offset, in a tinted, half-transparent group; the group "Props"
(an object that draws itself) is left out of the picture.
"""
import base64
import gzip
import os
import shutil
import struct
import subprocess
import tempfile
import zlib

from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

H, V, D = 0x80000000, 0x40000000, 0x20000000


def draw_images():
    # arrow.png: four 16 x 16 tiles, none of them symmetric, so any wrong
    # flip shows: red grows to the right, green downwards, blue per tile,
    # and a white mark sits near the top-left corner.
    arrow = Image.new("RGBA", (32, 32))
    pixels = arrow.load()
    for number in range(4):
        ox, oy = (number % 2) * 16, (number // 2) * 16
        for y in range(16):
            for x in range(16):
                colour = (x * 16, y * 16, 60 * number + 40, 255)
                if 2 <= x <= 5 and 1 <= y <= 3:
                    colour = (255, 255, 255, 255)
                pixels[ox + x, oy + y] = colour
    arrow.save(os.path.join(here, "arrow.png"))
    for name, size, colour in (("pebble.png", (16, 16), (90, 200, 120)), ("post.png", (16, 32), (200, 90, 40))):
        image = Image.new("RGBA", size)
        pixels = image.load()
        for y in range(size[1]):
            for x in range(size[0]):
                inside = 2 <= x < size[0] - 2 and 2 <= y < size[1] - 2
                shade = 255 if inside else 160
                pixels[x, y] = tuple(c * shade // 255 for c in colour) + ((255 if inside else 200),)
        image.save(os.path.join(here, name))
    backdrop = Image.new("RGBA", (40, 24))
    pixels = backdrop.load()
    for y in range(24):
        for x in range(40):
            pixels[x, y] = (40 + x * 5, 200 - y * 6, 150, 255)
    backdrop.save(os.path.join(here, "backdrop.png"))


TILESETS = """ <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="64" columns="8">
  <image source="../tiles.png" width="128" height="128"/>
 </tileset>
 <tileset firstgid="65" name="arrow" tilewidth="16" tileheight="16" tilecount="4" columns="2">
  <image source="arrow.png" width="32" height="32"/>
 </tileset>
 <tileset firstgid="69" name="tall" tilewidth="16" tileheight="32" tilecount="2" columns="2">
  <image source="../tall.png" width="32" height="32"/>
 </tileset>
"""

GROUND = [
    [1, 2, 3, 4, 5, 6],
    [9, 0, 65 | H, 66 | V, 67 | D, 68 | H | V | D],
    [17, 18, 0, 0, 20, 21],
    [25, 26, 27, 28, 29, 30],
]
DECOR = [
    [0, 0, 0, 0, 0, 0],
    [0, 0, 0, 0, 0, 0],
    [0, 69, 0, 0, 70 | H, 0],
    [0, 0, 0, 66 | H | D, 0, 0],
]


def data_text(rows, encoding, compression):
    numbers = [n for row in rows for n in row]
    if encoding == "csv":
        return "\n" + ",\n".join(",".join(str(n) for n in row) for row in rows) + "\n"
    raw = struct.pack("<%dI" % len(numbers), *numbers)
    if compression == "zlib":
        raw = zlib.compress(raw)
    elif compression == "gzip":
        raw = gzip.compress(raw)
    elif compression == "zstd":
        raw = subprocess.run(["zstd", "-q", "-c"], input=raw, stdout=subprocess.PIPE, check=True).stdout
    return "\n   " + base64.b64encode(raw).decode() + "\n  "


def data_element(rows, encoding, compression):
    attributes = 'encoding="%s"' % encoding
    if compression:
        attributes += ' compression="%s"' % compression
    return "<data %s>%s</data>" % (attributes, data_text(rows, encoding, compression))


def map_text(body, width, height, infinite=0):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            'renderorder="right-down" width="%d" height="%d" tilewidth="16" tileheight="16" infinite="%d" '
            'nextlayerid="20" nextobjectid="1">\n%s%s</map>\n' % (width, height, infinite, TILESETS, body))


def chunk_rows(rows, x, y):
    """The 16 x 16 chunk at (x, y) of a grid whose cell (0, 0) is map cell (0, 0)."""
    chunk = [[0] * 16 for _ in range(16)]
    for r in range(16):
        for c in range(16):
            mr, mc = y + r, x + c
            if 0 <= mr < len(rows) and 0 <= mc < len(rows[0]):
                chunk[r][c] = rows[mr][mc]
    return chunk


def rasterize(path, image, hidden=()):
    arguments = ["tmxrasterizer", "--no-smoothing"]
    for layer in hidden:
        arguments += ["--hide-layer", layer]
    subprocess.run(arguments + [path, image], env=env, check=True, stderr=subprocess.DEVNULL)


def export(source_text, name, hidden=()):
    with tempfile.TemporaryDirectory() as scratch:
        # The source stands beside the fixtures so its relative paths resolve.
        source = os.path.join(here, ".source-" + name)
        with open(source, "w") as out:
            out.write(source_text)
        try:
            subprocess.run(["tiled", "--export-map", source, os.path.join(here, name)], env=env, check=True,
                           stderr=subprocess.DEVNULL)
        finally:
            os.remove(source)
        image = os.path.join(scratch, "out.png")
        rasterize(os.path.join(here, name), image, hidden)
        shutil.copy(image, os.path.join(here, name.replace(".tmx", ".expected.png")))


def make_forms():
    for suffix, encoding, compression in (("csv", "csv", None), ("base64", "base64", None),
                                          ("zlib", "base64", "zlib"), ("gzip", "base64", "gzip"),
                                          ("zstd", "base64", "zstd")):
        body = ""
        for index, (name, rows) in enumerate((("Ground", GROUND), ("Decor", DECOR))):
            body += ' <layer id="%d" name="%s" width="6" height="4">\n  %s\n </layer>\n' % (
                index + 1, name, data_element(rows, encoding, compression))
        export(map_text(body, 6, 4), "forms-%s.tmx" % suffix)
    # The same tiles in an infinite map, with one more tile up and to the
    # left of the origin, in a chunk of its own.
    body = ""
    for index, (name, rows) in enumerate((("Ground", GROUND), ("Decor", DECOR))):
        chunks = []
        for (x, y) in ((-16, -16), (0, 0)):
            rows_here = chunk_rows(rows, x, y)
            if (x, y) == (-16, -16):
                if name != "Ground":
                    continue
                rows_here[14][13] = 7
            chunks.append('  <chunk x="%d" y="%d" width="16" height="16">%s</chunk>' % (
                x, y, data_text(rows_here, "csv", None)))
        body += ' <layer id="%d" name="%s" width="6" height="4">\n  <data encoding="csv">\n%s\n  </data>\n </layer>\n' % (
            index + 1, name, "\n".join(chunks))
    export(map_text(body, 6, 4, infinite=1), "forms-infinite.tmx")


def make_flips():
    arrows = [65 | f for f in (0, H, V, D, H | V, H | D, V | D, H | V | D)]
    tall = [69 | f for f in (0, H, V, D, H | V, H | D, V | D, H | V | D)]
    top = [arrows[i] if i < 8 else 0 for i in range(8)]
    middle = [0] * 16
    bottom = [0] * 16
    for i, gid in enumerate(tall):
        bottom[i * 2] = gid
    rows = [top + [0] * 8, middle, bottom]
    body = ' <layer id="1" name="Flips" width="16" height="3">\n  %s\n </layer>\n' % data_element(rows, "csv", None)
    export(map_text(body, 16, 3), "flips.tmx")


def make_layers():
    with open(os.path.join(here, "tilesets", "arrows.tsx"), "w") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                  '<tileset version="1.8" name="arrows" tilewidth="16" tileheight="16" tilecount="4" columns="2">\n'
                  ' <image source="../arrow.png" width="32" height="32"/>\n</tileset>\n')
    tilesets = (' <tileset firstgid="1" source="tilesets/arrows.tsx"/>\n'
                ' <tileset firstgid="5" name="things" tilewidth="16" tileheight="32" tilecount="2" columns="0">\n'
                '  <grid orientation="orthogonal" width="1" height="1"/>\n'
                '  <tile id="0"><image width="16" height="16" source="pebble.png"/></tile>\n'
                '  <tile id="3"><image width="16" height="32" source="post.png"/></tile>\n'
                ' </tileset>\n')
    ground = [[1 + (r + c) % 4 for c in range(8)] for r in range(6)]
    things = [[0] * 8 for _ in range(6)]
    things[2][1] = 5
    things[3][3] = 8
    things[5][6] = 8 | H
    pebbles = [[0] * 8 for _ in range(6)]
    pebbles[1][5] = 5
    pebbles[4][2] = 5 | V
    hidden = [[2] * 8 for _ in range(6)]

    def layer(lid, name, rows, extra=""):
        return ' <layer id="%d" name="%s" width="8" height="6"%s>\n  %s\n </layer>\n' % (
            lid, name, extra, data_element(rows, "csv", None))

    body = (layer(1, "Ground", ground, ' offsetx="3" offsety="-2"') +
            ' <imagelayer id="2" name="Picture" offsetx="20" offsety="10" opacity="0.5">\n'
            '  <image source="backdrop.png" width="40" height="24"/>\n </imagelayer>\n' +
            ' <group id="3" name="Decor" offsetx="4" offsety="2" opacity="0.8" tintcolor="#ff80c0">\n' +
            layer(4, "Things", things, ' opacity="0.75"') +
            '  <group id="5" name="Inner" offsetx="-2" offsety="3">\n' +
            layer(6, "Pebbles", pebbles, ' tintcolor="#c04080ff"') +
            '  </group>\n </group>\n' +
            layer(7, "Hidden", hidden, ' visible="0"'))
    text = ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            'renderorder="right-down" width="8" height="6" tilewidth="16" tileheight="16" infinite="0" '
            'nextlayerid="20" nextobjectid="1">\n%s%s</map>\n' % (tilesets, body))
    export(text, "layers.tmx")


def gutter_image(name, columns, rows, margin, spacing, seed):
    """Tiles of 16 px, each a colour of its own in a darker frame, cut by
    margin and spacing; everything between them is magenta."""
    width = 2 * margin + columns * 16 + (columns - 1) * spacing
    height = 2 * margin + rows * 16 + (rows - 1) * spacing
    image = Image.new("RGBA", (width, height), (255, 0, 255, 255))
    pixels = image.load()
    for number in range(columns * rows):
        column, row = number % columns, number // columns
        colour = ((number * 61 + seed) % 200 + 20, (number * 97 + 2 * seed) % 200 + 20, (number * 29 + 150) % 200, 255)
        for y in range(16):
            for x in range(16):
                edge = x in (0, 15) or y in (0, 15)
                pixels[margin + column * (16 + spacing) + x, margin + row * (16 + spacing) + y] = (
                    tuple(c // 2 for c in colour[:3]) + (255,) if edge else colour)
    image.save(os.path.join(here, name))
    return width, height


def draw_more_images():
    gutter_image("spaced.png", 4, 3, 2, 3, 30)
    gutter_image("gutter.png", 3, 2, 0, 2, 90)
    # big.png: two 32 x 32 tiles, asymmetric (a white mark at the top-left,
    # a see-through notch at the bottom-right), so placement, flips and
    # overlap all show.
    big = Image.new("RGBA", (64, 32))
    pixels = big.load()
    for number in range(2):
        for y in range(32):
            for x in range(32):
                if x < 5 and y < 5:
                    colour = (255, 255, 255, 255)
                elif x >= 24 and y >= 24:
                    colour = (0, 0, 0, 0)
                else:
                    colour = (200 if number == 0 else 40, x * 8, y * 8, 255)
                pixels[number * 32 + x, y] = colour
    big.save(os.path.join(here, "big.png"))


def map_head(width, height, extra="", order="right-down"):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            'renderorder="%s" width="%d" height="%d" tilewidth="16" tileheight="16" infinite="0"%s '
            'nextlayerid="20" nextobjectid="20">\n' % (order, width, height, extra))


def csv_layer(lid, name, rows, extra=""):
    return ' <layer id="%d" name="%s" width="%d" height="%d"%s>\n  %s\n </layer>\n' % (
        lid, name, len(rows[0]), len(rows), extra, data_element(rows, "csv", None))


def make_spacing():
    tilesets = (' <tileset firstgid="1" name="spaced" tilewidth="16" tileheight="16" spacing="3" margin="2" '
                'tilecount="12" columns="4">\n  <image source="spaced.png" width="77" height="58"/>\n </tileset>\n'
                ' <tileset firstgid="13" name="gutter" tilewidth="16" tileheight="16" spacing="2" '
                'tilecount="6" columns="3">\n  <image source="gutter.png" width="52" height="34"/>\n </tileset>\n')
    rows = [[1, 2, 3, 4, 5, 6],
            [7, 8, 9, 10, 11, 12],
            [13, 14, 15, 16, 17, 0],
            [1 | H, 6 | V, 9 | D, 0, 13 | H | V, 17]]
    export(map_head(6, 4) + tilesets + csv_layer(1, "Ground", rows) + "</map>\n", "spacing.tmx")


ORDER_TILESETS = (' <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="64" columns="8">\n'
                  '  <image source="../tiles.png" width="128" height="128"/>\n </tileset>\n'
                  ' <tileset firstgid="65" name="big" tilewidth="32" tileheight="32" tilecount="2" columns="2">\n'
                  '  <tileoffset x="3" y="-2"/>\n  <image source="big.png" width="64" height="32"/>\n </tileset>\n'
                  ' <tileset firstgid="67" name="arrow" tilewidth="16" tileheight="16" tilecount="4" columns="2">\n'
                  '  <tileoffset x="-4" y="5"/>\n  <image source="arrow.png" width="32" height="32"/>\n </tileset>\n')


def make_orders():
    import random
    rng = random.Random(28)
    width, height = 40, 6
    ground = [[0] * width for _ in range(height)]
    cover = [[0] * width for _ in range(height)]
    for r in range(height):
        for c in range(width):
            pick = rng.random()
            if pick < 0.3:
                ground[r][c] = 1 + rng.randrange(64)
            elif pick < 0.5:
                ground[r][c] = 65 + rng.randrange(2) | (H if rng.random() < 0.3 else 0)
            elif pick < 0.6:
                ground[r][c] = 67 + rng.randrange(4)
            if rng.random() < 0.15:
                cover[r][c] = 1 + rng.randrange(64)
    # Big tiles on both sides of the drawing blocks' edge (512 px, column 32).
    for r, c in ((2, 31), (3, 31), (3, 32), (1, 30), (5, 31)):
        ground[r][c] = 65 + (r + c) % 2
    cover[3][31] = 9
    for order in ("right-down", "right-up", "left-down", "left-up"):
        body = csv_layer(1, "Ground", ground) + csv_layer(2, "Cover", cover)
        export(map_head(width, height, order=order) + ORDER_TILESETS + body + "</map>\n", "order-%s.tmx" % order)


# Parallax: (name, kind, factor x, factor y, offset x, offset y, content) per
# layer; "Distant" is a group with its own factor around "Hills".
PARALLAX_ORIGIN = (40, 24)
PARALLAX_GROUP = (0.5, 1.0)
# Camera centres, in map pixels, of the views of parallax-<n>.expected.png.
PARALLAX_CAMERAS = [(40, 24), (100, 64), (0, 4)]


def parallax_layers():
    def scattered(seed, first):
        import random
        rng = random.Random(seed)
        return [[first + rng.randrange(32) if rng.random() < 0.3 else 0 for _ in range(12)] for _ in range(8)]
    return [("Far", "layer", 0.5, 0.25, 0, 0, scattered(1, 1)),
            ("Hills", "grouped", 0.8, 0.5, 4, 0, scattered(2, 33)),
            ("Cloud", "image", 0.3, 1.0, 60, 30, None),
            ("Near", "layer", 1.0, 1.0, 0, 0, scattered(3, 1)),
            ("Fixed", "layer", 0.0, 0.0, 0, 0, [[0] * 12 for _ in range(3)] + [[65, 66] + [0] * 10] +
             [[0] * 12 for _ in range(4)])]


def parallax_text(camera=None):
    """The parallax map; with a camera, the copy whose layers carry their
    scroll there as offsets instead of parallax factors."""
    body = ""
    for index, (name, kind, fx, fy, ox, oy, rows) in enumerate(parallax_layers()):
        gx, gy = PARALLAX_GROUP if kind == "grouped" else (1.0, 1.0)
        if camera:
            ox += (1 - fx * gx) * (camera[0] - PARALLAX_ORIGIN[0])
            oy += (1 - fy * gy) * (camera[1] - PARALLAX_ORIGIN[1])
            settings = ' offsetx="%g" offsety="%g"' % (ox, oy)
        else:
            settings = ' offsetx="%g" offsety="%g" parallaxx="%g" parallaxy="%g"' % (ox, oy, fx, fy)
        if kind == "image":
            body += (' <imagelayer id="%d" name="%s"%s>\n  <image source="backdrop.png" width="40" height="24"/>\n'
                     ' </imagelayer>\n' % (index + 1, name, settings))
            continue
        layer = csv_layer(index + 1, name, rows, settings)
        if kind == "grouped":
            group = '' if camera else ' parallaxx="%g" parallaxy="%g"' % PARALLAX_GROUP
            layer = ' <group id="%d" name="Distant"%s>\n%s </group>\n' % (index + 10, group, layer)
        body += layer
    # Tile objects in a group with a factor of its own move with it.
    factor = 0.5
    kites = ""
    for number, (gid, x, y) in enumerate(((20, 70, 40), (37, 150, 100))):
        if camera:
            x += (1 - factor) * (camera[0] - PARALLAX_ORIGIN[0])
            y += (1 - factor) * (camera[1] - PARALLAX_ORIGIN[1])
        kites += '  <object id="%d" gid="%d" x="%g" y="%g" width="16" height="16"/>\n' % (number + 1, gid, x, y)
    group = '' if camera else ' parallaxx="%g" parallaxy="%g"' % (factor, factor)
    body += ' <objectgroup id="30" name="Kites"%s>\n%s </objectgroup>\n' % (group, kites)
    origin = ' parallaxoriginx="%d" parallaxoriginy="%d"' % PARALLAX_ORIGIN
    return map_head(12, 8, "" if camera else origin) + TILESETS + body + "</map>\n"


def make_parallax():
    export(parallax_text(), "parallax.tmx")
    os.remove(os.path.join(here, "parallax.expected.png"))
    for number, camera in enumerate(PARALLAX_CAMERAS):
        with tempfile.TemporaryDirectory() as scratch:
            source = os.path.join(here, ".source-parallax-%d.tmx" % number)
            with open(source, "w") as out:
                out.write(parallax_text(camera))
            image = os.path.join(scratch, "out.png")
            try:
                rasterize(source, image)
            finally:
                os.remove(source)
            # The renderer widens its picture by the layers' offsets; the
            # view is the map's size around the camera.
            offsets = [(ox + (1 - fx * gx) * (camera[0] - PARALLAX_ORIGIN[0]),
                        oy + (1 - fy * gy) * (camera[1] - PARALLAX_ORIGIN[1]))
                       for name, kind, fx, fy, ox, oy, rows in parallax_layers()
                       for gx, gy in [PARALLAX_GROUP if kind == "grouped" else (1.0, 1.0)]]
            left = max(0, max(-x for x, y in offsets))
            top = max(0, max(-y for x, y in offsets))
            rendered = Image.open(image)
            view = (int(camera[0] - 96 + left), int(camera[1] - 64 + top))
            picture = Image.new("RGBA", (192, 128))
            picture.paste(rendered.crop((view[0], view[1], view[0] + 192, view[1] + 128)))
            picture.save(os.path.join(here, "parallax-%d.expected.png" % number))


def make_repeat():
    body = (' <imagelayer id="1" name="Wall" opacity="0.4" repeatx="1" repeaty="1" offsetx="-7" offsety="3">\n'
            '  <image source="backdrop.png" width="40" height="24"/>\n </imagelayer>\n' +
            csv_layer(2, "Ground", [[1 + (r * 8 + c) % 64 if (r + c) % 3 == 0 else 0 for c in range(8)]
                                     for r in range(6)]) +
            ' <imagelayer id="3" name="Band" offsetx="5" offsety="7" repeatx="1">\n'
            '  <image source="backdrop.png" width="40" height="24"/>\n </imagelayer>\n'
            ' <imagelayer id="4" name="Column" offsetx="50" offsety="30" repeaty="1" opacity="0.5">\n'
            '  <image source="backdrop.png" width="40" height="24"/>\n </imagelayer>\n')
    export(map_head(8, 6) + TILESETS + body + "</map>\n", "repeat.tmx")


def make_tile_objects():
    tilesets = (' <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="64" columns="8">\n'
                '  <image source="../tiles.png" width="128" height="128"/>\n </tileset>\n'
                ' <tileset firstgid="65" name="big" tilewidth="32" tileheight="32" tilecount="2" columns="2">\n'
                '  <tileoffset x="3" y="-2"/>\n  <image source="big.png" width="64" height="32"/>\n </tileset>\n'
                ' <tileset firstgid="67" name="things" tilewidth="16" tileheight="32" tilecount="2" columns="0">\n'
                '  <grid orientation="orthogonal" width="1" height="1"/>\n'
                '  <tile id="0"><image width="16" height="16" source="pebble.png"/></tile>\n'
                '  <tile id="3"><image width="16" height="32" source="post.png"/></tile>\n'
                ' </tileset>\n')
    # Stretched by whole factors: the renderer samples a tile stretched by
    # a fraction half a pixel away from where a GPU samples it.
    objects = [(10, 8, 24, 16, 16, ""), (65, 40, 40, 32, 32, ""), (12, 90, 40, 48, 32, ""),
               (67 | H, 8, 60, 16, 16, ""), (65 | V, 40, 96, 32, 32, ""), (66, 92, 88, 64, 32, ""),
               (20, 110, 110, 32, 32, ' rotation="30"'), (70, 64, 124, 16, 32, ' rotation="90"'),
               (3, 140, 124, 16, 16, ' visible="0"'), (66 | H, 8, 124, 24, 24, ' rotation="-45"')]
    things = "".join('  <object id="%d" gid="%d" x="%d" y="%d" width="%d" height="%d"%s/>\n' % (
        number + 1, gid, x, y, w, h, extra) for number, (gid, x, y, w, h, extra) in enumerate(objects))
    props = ('  <object id="19" name="Pebble" gid="5" x="140" y="40" width="16" height="16">\n'
             '   <properties>\n    <property name="look" value="sprite"/>\n'
             '    <property name="look#path" value="pebble.png"/>\n   </properties>\n  </object>\n')
    body = (csv_layer(1, "Ground", [[0] * 10 for _ in range(7)] + [[57] * 10]) +
            ' <objectgroup id="2" name="Things" opacity="0.8" tintcolor="#ffd0a0">\n' + things +
            ' </objectgroup>\n <objectgroup id="3" name="Props">\n' + props + ' </objectgroup>\n')
    export(map_head(10, 8) + tilesets + body + "</map>\n", "tileobjects.tmx", hidden=["Props"])


draw_images()
make_forms()
make_flips()
make_layers()
draw_more_images()
make_spacing()
make_orders()
make_parallax()
make_repeat()
make_tile_objects()
