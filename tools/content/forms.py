"""The menu pages, as form files of the widget layer, laid out for a
1920 x 1080 window. The widget names the game looks up are checked by the
content suite (tests/content/ContentCatalogue.hpp)."""
from .common import write_text

RENDERERS = """// Shared looks: 1 buttons, 2 panels, 3 headings, 4 body text, 5 sliders, 6 small buttons.
Renderer.1 {
    TextColor = #FFF0DE;
    TextColorHover = #FFCE60;
    TextColorDown = #FFE9A8;
    TextColorDisabled = #8C7C96;
    BackgroundColor = #2A1A3CDD;
    BackgroundColorHover = #4A2E66EE;
    BackgroundColorDown = #1C1028F0;
    BackgroundColorDisabled = #2A1A3C80;
    BorderColor = #FFCE60;
    BorderColorHover = #FFF0DE;
    BorderColorDown = #FFCE60;
    Borders = (3, 3, 3, 3);
}

Renderer.2 {
    TextColor = #FFF0DE;
    BackgroundColor = #26163AD0;
}

Renderer.3 {
    TextColor = #FFCE60;
    BackgroundColor = Transparent;
}

Renderer.4 {
    TextColor = #FFF0DE;
    BackgroundColor = Transparent;
}

Renderer.5 {
    TrackColor = #1C1028;
    TrackColorHover = #2A1A3C;
    ThumbColor = #FFCE60;
    ThumbColorHover = #FFF0DE;
    BorderColor = #FFF0DE;
    Borders = (2, 2, 2, 2);
}

Renderer.6 {
    TextColor = #FFF0DE;
    TextColorHover = #FFCE60;
    TextColorDown = #FFE9A8;
    BackgroundColor = #3A2452DD;
    BackgroundColorHover = #5A3A7AEE;
    BackgroundColorDown = #1C1028F0;
    BorderColor = #C9A0DC;
    BorderColorHover = #FFCE60;
    BorderColorDown = #FFCE60;
    Borders = (2, 2, 2, 2);
}
"""


def _q(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")


def widget(kind, name, position, size, props=None, renderer=None, indent=""):
    lines = ["%s%s.%s {" % (indent, kind, name)]
    lines.append("%s    Position = (%s, %s);" % (indent, position[0], position[1]))
    if size is not None:
        lines.append("%s    Size = (%s, %s);" % (indent, size[0], size[1]))
    for key, value in (props or []):
        lines.append("%s    %s = %s;" % (indent, key, value))
    if renderer is not None:
        if isinstance(renderer, int):
            lines.append("%s    Renderer = &%d;" % (indent, renderer))
        else:
            lines.append("%s    Renderer {" % indent)
            for key, value in renderer:
                lines.append("%s        %s = %s;" % (indent, key, value))
            lines.append("%s    }" % indent)
    lines.append("%s}" % indent)
    return "\n".join(lines)


def button(name, x, y, w, h, text, size=36, look=1):
    return widget("Button", name, (x, y), (w, h), [("Text", _q(text)), ("TextSize", size)], look)


def label(name, x, y, text, size=28, look=4, align="Left", w=None, h=None):
    props = [("Text", _q(text)), ("TextSize", size), ("HorizontalAlignment", align)]
    return widget("Label", name, (x, y), (w, h) if w is not None else None, props, look)


def edit_box(name, x, y, w, h, text, validator, most):
    props = [("Text", _q(text)), ("TextSize", 30), ("MaximumCharacters", most), ("InputValidator", _q(validator))]
    return widget("EditBox", name, (x, y), (w, h), props,
                  [("TextColor", "#FFF0DE"), ("BackgroundColor", "#1C1028F0"), ("BackgroundColorFocused", "#2A1A3CF0"),
                   ("BorderColor", "#C9A0DC"), ("BorderColorFocused", "#FFCE60"), ("CaretColor", "#FFCE60"),
                   ("Borders", "(2, 2, 2, 2)"), ("Padding", "(8, 4, 8, 4)")])


def panel(name, x, y, w, h):
    return widget("Label", name, (x, y), (w, h), [("Text", '""')], 2)


def picture(name, x, y, w, h, path, visible=True):
    props = [] if visible else [("Visible", "false")]
    return widget("Picture", name, (x, y), (w, h) if w is not None else None, props,
                  [("Texture", '"%s" Smooth' % path)])


def backdrop():
    return picture("Backdrop", 0, 0, "100%", "100%", "backdrop.png")


def page(title, widgets):
    head = "// %s\n// Made by tools/make_content.py; edit the generator, not this file.\n\n" % title
    return head + RENDERERS + "\n" + "\n\n".join(widgets) + "\n"


# Options pages: the tab column (Menu_Options) is shown over one content page,
# which brings the backdrop, since the tab page is drawn above it.
CONTENT_X, CONTENT_Y, CONTENT_W, CONTENT_H = 640, 170, 1120, 760


def content_page(title, heading, rows):
    widgets = [backdrop(), panel("Panel", CONTENT_X, CONTENT_Y, CONTENT_W, CONTENT_H),
               label("Heading", CONTENT_X + 50, CONTENT_Y + 36, heading, 48, 3)]
    widgets += rows
    return page(title, widgets)


# The binding rows: (what the row is called, the widget's name without the
# player, the default keys of players 1 and 2). The game writes the keys in
# force over these texts; the names must match its binding slots.
BINDING_ROWS = [
    ("Run left", "Left", "A", "Left"),
    ("Run right", "Right", "D", "Right"),
    ("Aim up", "Up", "W", "Up"),
    ("Aim down", "Down", "S", "Down"),
    ("Jump", "Jump", "Space  \u00b7  pad 1 bottom button", "Numpad 0  \u00b7  pad 2 bottom button"),
    ("Magic: hold, fling", "Magic", "G  \u00b7  pad 1 right button", "Numpad 4  \u00b7  pad 2 right button"),
]
SHARED_ROWS = [
    ("Pause and back", "Pause", "Escape  \u00b7  pad 1 start"),
    ("Restart the match", "Restart", "R"),
]


def controls_rows(x, y, rebind):
    """The bindings of the game, one row per action: buttons that rebind on
    the title menu's page, labels on the pause page."""
    step, height, width = 48, 42, 350
    rows = [label("Player1Heading", x + 320, y, "Player 1", 26, 3),
            label("Player2Heading", x + 690, y, "Player 2", 26, 3)]

    def cell(name, cx, cy, text):
        if rebind:
            return button(name, cx, cy, width, height, text, 22, 6)
        return label(name, cx, cy + 8, text, 22, 4)

    for i, (what, name, p1, p2) in enumerate(BINDING_ROWS):
        top = y + 44 + i * step
        rows.append(label("Action" + name, x, top + 8, what, 24, 4))
        rows.append(cell("Player1" + name, x + 320, top, p1))
        rows.append(cell("Player2" + name, x + 690, top, p2))
    for i, (what, name, keys) in enumerate(SHARED_ROWS):
        top = y + 44 + (len(BINDING_ROWS) + i) * step
        rows.append(label("Action" + name, x, top + 8, what, 24, 4))
        rows.append(cell(name, x + 320, top, keys))
    bottom = y + 44 + (len(BINDING_ROWS) + len(SHARED_ROWS)) * step
    if rebind:
        rows.append(button("Player2Keys", x, bottom + 8, 480, 52, "Player 2 keys: number pad", 24, 6))
        rows.append(button("ResetBindings", x + 500, bottom + 8, 360, 52, "Reset to defaults", 24, 6))
        rows += pad_rows(x, bottom + 76)
        rows.append(label("Hint", x, bottom + 154,
                          "Choose a row, then press the new key or pad button (Escape cancels). "
                          "Sticks and d-pad run and aim.", 20, 4))
    else:
        rows += pad_rows(x, bottom + 12)
        rows.append(label("Hint", x, bottom + 96,
                          "Sticks and d-pad run and aim. Change the keys in the title menu's options.", 22, 4))
    return rows


def pad_rows(x, y):
    """Which pad each player has, and the button that swaps them (the game
    writes the pads' names into Pad1 and Pad2). The keys reach the page's
    other buttons first: Enter on a page just opened still goes back."""
    return [
        label("Pad1", x, y, "Player 1: no pad yet", 26, 4),
        label("Pad2", x, y + 38, "Player 2: no pad yet", 26, 4),
        widget("Button", "SwapPads", (x + 760, y), (260, 64),
               [("Text", _q("Swap pads")), ("TextSize", 28), ("FocusOrder", 1)], 6),
    ]


def generate():
    import os
    from PIL import Image
    from .common import ASSETS
    title_w, title_h = Image.open(os.path.join(ASSETS, "gui", "title.png")).size
    files = {}
    files["Menu.txt"] = page("Title screen", [
        backdrop(),
        picture("Title", (1920 - title_w) // 2, 40, title_w, title_h, "title.png"),
        button("StartGame", 760, 400, 400, 96, "Play", 48),
        button("Online", 760, 516, 400, 80, "Online"),
        button("MenuOptions", 760, 616, 400, 80, "Options"),
        button("Credits", 760, 716, 400, 80, "Credits"),
        button("EndGame", 760, 816, 400, 80, "Quit"),
        label("Hint", 0, 1030, "Two players, one keyboard or two gamepads", 24, 4, "Center", "100%", 40),
    ])
    # The arena page, between the title's Play and the match: a card per
    # arena (its picture over its button), then Random and Back.
    cards = []
    for i, (key, title_text) in enumerate((("isles", "Floating Isles"), ("spires", "Sunrise Spires"),
                                           ("crossing", "Moonlit Crossing"))):
        x = 180 + i * 540
        cards.append(picture("Arena%dPicture" % (i + 1), x, 250, 480, 270, "arena_%s.png" % key))
        cards.append(button("Arena%d" % (i + 1), x, 540, 480, 84, title_text, 36))
    files["Menu_Arena.txt"] = page("Arena choice", [
        backdrop(),
        panel("Panel", 120, 110, 1680, 860),
        label("Heading", 120, 140, "Choose the arena", 56, 3, "Center", 1680, 80),
    ] + cards + [
        button("RandomArena", 760, 690, 400, 84, "Random", 38),
        button("BackMenu", 760, 830, 400, 72, "Back", 34),
    ])
    files["Credits.txt"] = page("Credits", [
        backdrop(),
        panel("Panel", 460, 160, 1000, 700),
        label("Heading", 460, 200, "Credits", 56, 3, "Center", 1000, 70),
        label("Body", 460, 300,
              "Vorlune\n\nA couch brawl of bearded wizards.\n\nCode, maps, art, sound and music\nmade by the Vorlune team with our own tools.\n\nText set in DejaVu Sans.",
              30, 4, "Center", 1000, 440),
        button("BackMenu", 760, 760, 400, 72, "Back", 34),
    ])
    files["Menu_Online.txt"] = page("Online", [
        backdrop(),
        panel("Panel", 360, 160, 1200, 760),
        label("Heading", 360, 200, "Play online", 56, 3, "Center", 1200, 70),
        label("HostLabel", 420, 330, "Host a match on port (0: any free port)", 30),
        edit_box("HostPort", 420, 380, 300, 56, "7777", "[0-9]*", 5),
        button("Host", 760, 376, 300, 64, "Host", 34, 6),
        label("JoinLabel", 420, 480, "Join a match at address:port", 30),
        edit_box("JoinAddress", 420, 530, 520, 56, "127.0.0.1:7777", "[0-9A-Za-z.-]*(:[0-9]{0,5})?", 60),
        button("Join", 980, 526, 300, 64, "Join", 34, 6),
        label("Status", 420, 640, "Not connected", 30, 4, "Left", 1080, 120),
        button("Cancel", 520, 800, 400, 80, "Cancel", 34, 6),
        button("BackMenu", 1000, 800, 400, 80, "Back", 34),
    ])
    # While a join is under way: whom it connects to and for how long (the
    # game writes the line), and the way back to the online page.
    files["Menu_Joining.txt"] = page("Joining", [
        backdrop(),
        panel("Panel", 460, 300, 1000, 440),
        label("Heading", 460, 340, "Joining", 56, 3, "Center", 1000, 70),
        label("Connecting", 460, 450, "connecting\u2026", 34, 4, "Center", 1000, 60),
        label("Hint", 460, 520, "Escape cancels", 26, 4, "Center", 1000, 40),
        button("Cancel", 760, 610, 400, 80, "Cancel", 34, 6),
    ])
    files["Menu_Controls.txt"] = content_page("Options: controls", "Controls", controls_rows(CONTENT_X + 50, CONTENT_Y + 120, True))
    files["Menu_Audio.txt"] = content_page("Options: sound", "Sound", [
        label("MasterLabel", CONTENT_X + 50, CONTENT_Y + 170, "Master volume", 32),
        widget("Slider", "MasterVolume", (CONTENT_X + 420, CONTENT_Y + 180), (560, 28),
               [("Minimum", 0), ("Maximum", 100), ("Value", 100), ("Step", 1)], 5),
        label("MusicLabel", CONTENT_X + 50, CONTENT_Y + 290, "Music", 32),
        widget("Slider", "MusicVolume", (CONTENT_X + 420, CONTENT_Y + 300), (560, 28),
               [("Minimum", 0), ("Maximum", 100), ("Value", 50), ("Step", 1)], 5),
        label("SoundsLabel", CONTENT_X + 50, CONTENT_Y + 410, "Game sounds", 32),
        widget("Slider", "GameSounds", (CONTENT_X + 420, CONTENT_Y + 420), (560, 28),
               [("Minimum", 0), ("Maximum", 100), ("Value", 50), ("Step", 1)], 5),
    ])
    files["Menu_Gameplay.txt"] = content_page("Options: how to play", "How to play", [
        label("Body", CONTENT_X + 50, CONTENT_Y + 140,
              "Knock your rival off the islands. Each hat is a life:\n"
              "fall out of the sky and you lose one.\n\n"
              "Your beard grows a little every second.\n"
              "Hold Magic and it floats: steer the tip with your aim keys.\n"
              "Let go of Magic to fling it. A flung beard knocks\n"
              "your rival back and cuts through their beard.\n\n"
              "Magic works twice in the air; land to recharge it.",
              30),
        label("LivesLabel", CONTENT_X + 50, CONTENT_Y + 536, "Lives per match:", 30),
        widget("Slider", "Lives", (CONTENT_X + 420, CONTENT_Y + 542), (380, 28),
               [("Minimum", 1), ("Maximum", 10), ("Value", 3), ("Step", 1)], 5),
        label("LivesValue", CONTENT_X + 830, CONTENT_Y + 536, "3", 30),
        label("Player2Label", CONTENT_X + 50, CONTENT_Y + 622, "Who plays player 2:", 30),
        button("Player2Mode", CONTENT_X + 420, CONTENT_Y + 606, 460, 72, "Player 2: person", 30, 6),
        label("RumbleLabel", CONTENT_X + 50, CONTENT_Y + 702, "Pads rumble:", 30),
        button("Rumble", CONTENT_X + 420, CONTENT_Y + 690, 460, 56, "Rumble: on", 28, 6),
    ])
    files["Menu_Gameplay_Advanced.txt"] = content_page("Options: advanced", "Advanced", [
        label("Body", CONTENT_X + 50, CONTENT_Y + 140,
              "Grapple: fling your beard at a platform or crate\n"
              "and the tip holds on. Hold Magic again to swing,\n"
              "release to let go. A hold lasts five seconds.\n\n"
              "While your beard holds a platform, magic is free.\n\n"
              "A longer beard flings harder, but is also more to cut.\n"
              "Aim for the middle of your rival's beard.",
              30),
    ])
    files["Menu_Options.txt"] = page("Options: tabs", [
        label("Heading", 160, 60, "Options", 64, 3),
        button("Controls", 160, 200, 400, 80, "Controls", 34, 6),
        button("Sound", 160, 300, 400, 80, "Sound", 34, 6),
        button("Gameplay", 160, 400, 400, 80, "How to play", 34, 6),
        button("Gameplay2", 160, 500, 400, 80, "Advanced", 34, 6),
        button("BackPause", 160, 850, 400, 80, "Back", 34),
    ])
    files["PauseMenu.txt"] = page("Pause", [
        panel("Shade", 0, 0, "100%", "100%"),
        label("Heading", 0, 220, "Paused", 72, 3, "Center", "100%", 90),
        button("Continue", 760, 380, 400, 84, "Continue", 38),
        button("Controls", 760, 484, 400, 84, "Controls", 38),
        button("Menu", 760, 588, 400, 84, "Main menu", 38),
        button("Quit", 760, 692, 400, 84, "Quit", 38),
        label("Online", 0, 816, "The match goes on while this page is open", 30, 4, "Center", "100%", 44),
    ])
    files["PauseMenu_Controls.txt"] = page("Pause: controls", [
        panel("Shade", 0, 0, "100%", "100%"),
        label("Heading", 0, 120, "Controls", 64, 3, "Center", "100%", 80),
    ] + controls_rows(480, 260, False) + [
        button("BackPause", 760, 860, 400, 80, "Back", 36),
    ])
    files["PadLost.txt"] = page("A pad is gone", [
        panel("Shade", 0, 0, "100%", "100%"),
        label("Heading", 0, 300, "Paused", 72, 3, "Center", "100%", 90),
        label("Message", 0, 430, "Player 1's pad is disconnected", 40, 4, "Center", "100%", 120),
        label("Hint", 0, 560, "Plug it back in to go on, or:", 28, 4, "Center", "100%", 40),
        button("Keyboard", 660, 640, 600, 84, "Go on with the keyboard", 36),
    ])
    files["Victory.txt"] = page("Victory", [
        picture("Player1won", 410, 70, 1100, 220, "player1won.png"),
        picture("Player2won", 410, 70, 1100, 220, "player2won.png", visible=False),
        button("Continue", 290, 900, 400, 90, "Continue", 40),
        button("Watch", 740, 900, 440, 90, "Watch the replay", 40),
        button("Rematch", 1230, 900, 400, 90, "Rematch", 40),
    ])
    for name, text in files.items():
        write_text(text, "gui", name)
