#!/usr/bin/python3
"""Regenerates every content file under assets/ from code.

Usage: tools/make_content.py [part ...]   (parts: tiles maps character sounds music gui forms)
With no argument every part is made. Output is deterministic: running it on a
clean checkout reproduces the committed files byte for byte.
"""
import os
import sys

sys.dont_write_bytecode = True  # keep the tree clean of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from content import tiles, maps, character, sounds, music, gui_art, forms, preview  # noqa: E402

PARTS = {
    "tiles": tiles.generate,
    "maps": maps.generate,
    "character": character.generate,
    "sounds": sounds.generate,
    "music": music.generate,
    "gui": gui_art.generate,
    "forms": forms.generate,
}
# Not part of the content: contact sheets for looking at it (written to /tmp).
EXTRA = {"preview": preview.generate}


def main(argv):
    chosen = argv[1:] or list(PARTS)
    for name in chosen:
        step = PARTS.get(name) or EXTRA.get(name)
        if step is None:
            print("make_content: unknown part %s (known: %s)" % (name, " ".join(list(PARTS) + list(EXTRA))))
            return 2
        print("make_content: %s" % name)
        step()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
