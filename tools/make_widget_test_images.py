#!/usr/bin/python3
"""Draws the small images that the widget tests' sample form uses.

Run from the repository root; writes into tests/widgets/forms/images/.
"""
import os

from PIL import Image, ImageDraw

OUT = os.path.join("tests", "widgets", "forms", "images")


def banner():
    # A warm gradient with a frame: easy to recognise in a screenshot.
    image = Image.new("RGBA", (128, 64))
    draw = ImageDraw.Draw(image)
    for x in range(128):
        draw.line([(x, 0), (x, 63)], fill=(200 + x * 55 // 127, 120 + x // 2, 40, 255))
    draw.rectangle([0, 0, 127, 63], outline=(60, 30, 10, 255), width=3)
    return image


def button(colour):
    image = Image.new("RGBA", (64, 32), colour)
    draw = ImageDraw.Draw(image)
    draw.rectangle([0, 0, 63, 31], outline=(255, 255, 255, 255), width=2)
    return image


def main():
    os.makedirs(OUT, exist_ok=True)
    banner().save(os.path.join(OUT, "banner.png"))
    button((40, 110, 60, 255)).save(os.path.join(OUT, "button.png"))
    button((70, 170, 95, 255)).save(os.path.join(OUT, "button_hover.png"))


if __name__ == "__main__":
    main()
