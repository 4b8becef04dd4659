#!/usr/bin/python3
"""Draws the tileset images of the map test fixtures beside this script.

tiles.png: 8 x 8 tiles of 16 px, each a solid colour of its own inside a
darker one-pixel frame, so a misplaced or misnumbered tile shows in a pixel
read. tall.png: two tiles of 16 x 32 px whose top and bottom halves differ.
glass.png: one 16 x 16 tile of one colour whose alpha rises from left to
right, to show how half-transparent tile pixels are blended.
"""
import os

from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))

tiles = Image.new("RGBA", (128, 128))
pixels = tiles.load()
for number in range(64):
    column, row = number % 8, number // 8
    colour = ((number * 37 + 20) % 256, (number * 91 + 60) % 256, (number * 53 + 120) % 256, 255)
    frame = tuple(c // 2 for c in colour[:3]) + (255,)
    for y in range(16):
        for x in range(16):
            edge = x in (0, 15) or y in (0, 15)
            pixels[column * 16 + x, row * 16 + y] = frame if edge else colour
tiles.save(os.path.join(here, "tiles.png"))

tall = Image.new("RGBA", (32, 32))
pixels = tall.load()
for number in range(2):
    for y in range(32):
        for x in range(16):
            green = 40 + 100 * number
            pixels[number * 16 + x, y] = (250, green, 10, 255) if y < 16 else (10, green, 250, 255)
tall.save(os.path.join(here, "tall.png"))

glass = Image.new("RGBA", (16, 16))
pixels = glass.load()
for y in range(16):
    for x in range(16):
        pixels[x, y] = (200, 100, 50, 40 + 12 * x)
glass.save(os.path.join(here, "glass.png"))
