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


def export(source_text, name):
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
        subprocess.run(["tmxrasterizer", "--no-smoothing", os.path.join(here, name), image], env=env,
                       check=True, stderr=subprocess.DEVNULL)
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


draw_images()
make_forms()
make_flips()
make_layers()
