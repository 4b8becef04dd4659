"""A rough renderer of our form files for looking at the menu pages before
the game can show them: enough of the widget layer's format for our own forms."""
import os
import re
from PIL import Image, ImageDraw

from .common import ASSETS, font

TOKEN = re.compile(r'\s*(//[^\n]*|"(?:\\.|[^"\\])*"|[{};=]|[^\s{};=]+(?:\s*\([^)]*\))?)')


def _tokens(text):
    pos, out = 0, []
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m or m.end() == pos:
            break
        pos = m.end()
        tok = m.group(1)
        if tok and not tok.startswith("//"):
            out.append(tok)
    return out


def parse(text):
    toks = _tokens(text)
    shared = {}

    def block(i):
        props, children = {}, []
        while toks[i] != "}":
            if toks[i + 1] == "{":
                head = toks[i]
                inner, i = block(i + 2)
                if head == "Renderer":
                    props["Renderer"] = inner[0]
                elif head.startswith("Renderer."):
                    shared[head.split(".", 1)[1]] = inner[0]
                else:
                    kind, _, name = head.partition(".")
                    children.append((kind, name, inner[0], inner[1]))
            else:
                key = toks[i]
                j = i + 2
                value = []
                while toks[j] != ";":
                    value.append(toks[j])
                    j += 1
                props[key] = " ".join(value)
                i = j + 1
        return (props, children), i + 1

    toks.append("}")
    (props, children), _ = block(0)
    return children, shared


def _colour(v):
    v = v.strip()
    if v.lower() == "transparent":
        return (0, 0, 0, 0)
    if v.startswith("#"):
        h = v[1:]
        vals = [int(h[k:k + 2], 16) for k in range(0, len(h), 2)]
        return tuple(vals + [255] * (4 - len(vals)))
    return (255, 255, 255, 255)


def _num(expr, full):
    total = 0.0
    for sign, part in re.findall(r"([+-]?)\s*([\d.]+%?)", expr):
        value = float(part[:-1]) * full / 100 if part.endswith("%") else float(part)
        total += -value if sign == "-" else value
    return total


def _pair(v, parent):
    inner = v.strip()[1:-1].split(",")
    return _num(inner[0], parent[0]), _num(inner[1], parent[1])


def _text(v):
    return v[1:-1].replace("\\n", "\n").replace('\\"', '"')


def render(path, canvas, shared=None):
    with open(path, encoding="utf-8") as handle:
        children, shared = parse(handle.read())
    d = ImageDraw.Draw(canvas)
    base = os.path.dirname(path)
    for kind, name, props, _ in children:
        if props.get("Visible") == "false":
            continue
        rend = props.get("Renderer", {})
        if isinstance(rend, str):
            rend = shared.get(rend.lstrip("&"), {})
        x, y = _pair(props.get("Position", "(0, 0)"), canvas.size)
        size = props.get("Size")
        if kind == "Picture":
            tex = rend.get("Texture", "").split('"')[1]
            img = Image.open(os.path.join(base, tex)).convert("RGBA")
            w, h = _pair(size, canvas.size) if size else img.size
            canvas.alpha_composite(img.resize((int(w), int(h))), (int(x), int(y)))
            continue
        text = _text(props.get("Text", '""'))
        ts = int(float(props.get("TextSize", "24")))
        f = font(ts, bold=False)
        if size:
            w, h = _pair(size, canvas.size)
        else:
            box = d.multiline_textbbox((0, 0), text, font=f)
            w, h = box[2], box[3]
        bg = _colour(rend.get("BackgroundColor", "Transparent"))
        layer = Image.new("RGBA", canvas.size)
        ld = ImageDraw.Draw(layer)
        if kind == "Slider":
            ld.rectangle([x, y, x + w, y + h], fill=_colour(rend.get("TrackColor", "#000000")), outline=_colour(rend.get("BorderColor", "#FFFFFF")), width=2)
            lo, hi, val = float(props.get("Minimum", 0)), float(props.get("Maximum", 10)), float(props.get("Value", 0))
            tx = x + w * (val - lo) / max(hi - lo, 1e-6)
            ld.rectangle([tx - 8, y - 8, tx + 8, y + h + 8], fill=_colour(rend.get("ThumbColor", "#FFFFFF")))
        else:
            if bg[3]:
                ld.rectangle([x, y, x + w, y + h], fill=bg)
            if kind == "Button":
                b = int(re.findall(r"\d+", rend.get("Borders", "0"))[0]) if "Borders" in rend else 0
                if b:
                    ld.rectangle([x, y, x + w, y + h], outline=_colour(rend.get("BorderColor", "#000000")), width=b)
                box = ld.textbbox((0, 0), text, font=f)
                ld.text((x + (w - box[2]) / 2, y + (h - box[3]) / 2), text, font=f, fill=_colour(rend.get("TextColor", "#FFFFFF")))
            elif text:
                align = props.get("HorizontalAlignment", "Left").lower()
                box = ld.multiline_textbbox((0, 0), text, font=f, align=align)
                tx = x if align == "left" else x + (w - box[2]) / 2 if align == "center" else x + w - box[2]
                ld.multiline_text((tx, y), text, font=f, fill=_colour(rend.get("TextColor", "#FFFFFF")), align=align, spacing=ts * 0.25)
        canvas.alpha_composite(layer)


PAGES = [
    ("menu", ["Menu.txt"]), ("credits", ["Credits.txt"]),
    ("options_controls", ["Menu_Controls.txt", "Menu_Options.txt"]),
    ("options_sound", ["Menu_Audio.txt", "Menu_Options.txt"]),
    ("options_gameplay", ["Menu_Gameplay.txt", "Menu_Options.txt"]),
    ("options_advanced", ["Menu_Gameplay_Advanced.txt", "Menu_Options.txt"]),
    ("pause", ["PauseMenu.txt"]), ("pause_controls", ["PauseMenu_Controls.txt"]), ("victory", ["Victory.txt"]),
]


def generate(out_dir):
    gui = os.path.join(ASSETS, "gui")
    for name, files in PAGES:
        canvas = Image.new("RGBA", (1920, 1080), (90, 120, 90, 255))
        for f in files:
            render(os.path.join(gui, f), canvas)
        canvas.convert("RGB").resize((960, 540)).save(os.path.join(out_dir, "page_%s.png" % name))
