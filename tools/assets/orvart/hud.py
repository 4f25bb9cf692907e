"""Heads-up display pieces: damage digits, arrow keys, debuff and skill icons,
health bars and markers.

Bars and HUD keys are pale so the scripts' tints (green, yellow, red,
half-grey) read on them.
"""
from .characters import ilo_body, dora_body
from .font import text
from .pixel import canvas, draw, ell, rect, poly, line, outline, glow, upscale, col, mix
from .registry import painter
from .ui import keycap, arrow, HEAD_BOX

ARROWS = {"up": "^", "down": "v", "left": "<", "right": ">"}


@painter("digit")
def paint_digit(entry):
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    text(img, (w - 10) // 2, (h - 14) // 2, entry.arg, "cream", 2)
    return upscale(outline(outline(img, "red"), "ink"), 4)


@painter("arrow_key")
def paint_arrow_key(entry):
    """Combination icons: dark keys while waiting, gold keys once typed."""
    direction, state = entry.arg.split()
    size = entry.width // 4
    img = canvas(size, size)
    if state == "lit":
        img = glow(img, size / 2, size / 2, size / 2, "gold", 0.6)
        cap = keycap(ARROWS[direction], size - 4, face="gold")
    else:
        cap = keycap(ARROWS[direction], size - 4, face="slate", ink="ink")
        arrow(draw(cap), (size - 4) // 2, (size - 6) // 2, ARROWS[direction], max(2, size // 5), "cream")
    img.alpha_composite(cap, (2, 2))
    return upscale(img, 4)


def _sword(d, cx, cy, fill):
    line(d, [(cx - 4, cy + 4), (cx + 3, cy - 3)], fill, 2)
    line(d, [(cx - 5, cy + 1), (cx - 1, cy + 5)], "gold")
    dot_fill = col("cream")
    d.point((cx + 3, cy - 4), fill=dot_fill)


def _shield(d, cx, cy, fill):
    poly(d, [(cx - 4, cy - 4), (cx + 4, cy - 4), (cx + 4, cy), (cx, cy + 5), (cx - 4, cy)], fill)
    line(d, [(cx, cy - 3), (cx, cy + 3)], "cream")


def _wing(d, cx, cy, fill):
    poly(d, [(cx - 5, cy + 3), (cx + 4, cy - 4), (cx + 2, cy), (cx + 5, cy - 1), (cx - 1, cy + 4)], fill)
    line(d, [(cx - 3, cy + 2), (cx + 2, cy - 2)], "cream")


def _dora_head(img, cx, cy):
    head = dora_body().crop(HEAD_BOX["dora"])
    img.alpha_composite(head, (cx - 8, cy - 8))


ICONS = {"attack": (_sword, "red"), "defence": (_shield, "sky"), "speed": (_wing, "gold")}


@painter("debuff")
def paint_debuff(entry):
    """A lowered stat: its symbol, a red down arrow and one to three pips."""
    kind, level = entry.arg.split()
    size = entry.width // 4
    img = canvas(size, size)
    d = draw(img)
    rect(d, 1, 1, size - 2, size - 2, "night")
    fn, fill = ICONS[kind]
    fn(d, 6, 8, fill)
    img = outline(img)
    marks = canvas(size, size)
    arrow(draw(marks), size - 4, 4, "v", 2, "red")
    text(marks, size - 6, size - 8, level, "cream")
    img.alpha_composite(outline(marks))
    return upscale(img, 4)


@painter("hud_key")
def paint_hud_key(entry):
    """An on-screen arrow key with the action it casts drawn in its corner."""
    direction = entry.arg
    size = entry.width // 4
    img = canvas(size, size)
    cap = keycap(" ", size - 2)
    arrow(draw(cap), 7, size - 10, ARROWS[direction], 4, "ink")
    img.alpha_composite(cap, (1, 1))
    if direction == "down":
        _dora_head(img, size - 9, 9)
    else:
        kind = {"up": "attack", "left": "defence", "right": "speed"}[direction]
        fn, fill = ICONS[kind]
        sub = canvas(14, 14)
        fn(draw(sub), 7, 7, fill)
        img.alpha_composite(outline(sub), (size - 15, 1))
    return upscale(img, 4)


@painter("skill")
def paint_skill(entry):
    """The purification skill: a bright orb when ready, grey with a clock hand
    while it cools down."""
    size = entry.width // 4
    ready = entry.arg == "ready"
    img = canvas(size, size)
    d = draw(img)
    c = size // 2
    ell(d, c, c - 2, 7, 7, "gold" if ready else "stone")
    ell(d, c, c - 2, 5, 5, "teal" if ready else "slate")
    if ready:
        ell(d, c - 2, c - 4, 1, 1, "cream")
    else:
        line(d, [(c, c - 2), (c, c - 6)], "cream")
        line(d, [(c, c - 2), (c + 3, c - 2)], "cream")
    img = outline(img)
    if ready:
        halo = glow(canvas(size, size), c, c - 2, 11, "teal", 0.5)
        halo.alpha_composite(img)
        img = halo
    cap = keycap("SPACE", 11, 30, face="cream" if ready else "stone")
    img.alpha_composite(cap, (c - 15, size - 12))
    return upscale(img, 4)


@painter("help")
def paint_help(entry):
    """Dora's hint over a foe: a speech bubble with the spell to use on it."""
    size = entry.width // 4
    img = canvas(size, size)
    d = draw(img)
    ell(d, size / 2, size / 2 - 2, size / 2 - 2, size / 2 - 4, "cream")
    poly(d, [(size / 2 - 2, size - 6), (size / 2 + 2, size - 6), (size / 2 - 3, size - 2)], "cream")
    fn, fill = ICONS["attack" if entry.arg == "attack" else "defence"]
    fn(d, size // 2, size // 2 - 2, fill)
    return upscale(outline(img), 4)


@painter("bar")
def paint_bar(entry):
    """Health bars: 'fill' is pale for tinting, 'back' is the dark frame."""
    part, _, colour = entry.arg.partition(" ")
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    d = draw(img)
    if part == "fill":
        face = colour or "cream"
        rect(d, 0, 0, w - 1, h - 1, face)
        line(d, [(0, 0), (w - 1, 0)], mix(face, "cream", 0.7))
        line(d, [(0, h - 1), (w - 1, h - 1)], mix(face, "ink", 0.35))
        return upscale(img, 4)
    rect(d, 0, 0, w - 1, h - 1, "ink")
    rect(d, 1, 1, w - 2, h - 2, "night")
    line(d, [(1, 1), (w - 2, 1)], "slate")
    return upscale(img, 4)


@painter("hud_face")
def paint_hud_face(entry):
    size = entry.width // 4
    img = canvas(size, size)
    d = draw(img)
    ell(d, size / 2 - 1, size / 2 - 1, size / 2 - 1, size / 2 - 1, "gold")
    ell(d, size / 2 - 1, size / 2 - 1, size / 2 - 3, size / 2 - 3, "night")
    body = ilo_body() if entry.arg == "ilo" else dora_body()
    face = body.crop(HEAD_BOX[entry.arg])
    img.alpha_composite(face, ((size - 16) // 2, (size - 16) // 2))
    return upscale(outline(img), 4)


@painter("low_hp")
def paint_low_hp(entry):
    """Over a weakened foe: a teal arrow telling the player to purify it."""
    size = entry.width // 4
    img = canvas(size, size)
    d = draw(img)
    c = size // 2
    poly(d, [(c - 5, 2), (c + 5, 2), (c + 5, 7), (c, 13), (c - 5, 7)], "teal")
    poly(d, [(c - 3, 4), (c + 3, 4), (c, 9)], "cream")
    img = outline(img)
    return upscale(glow(img, c, 7, 7, "teal", 0.3), 4)
