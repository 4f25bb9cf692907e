"""Menus and story screens: buttons, toggles, panels, the dialogue box,
portraits, key hints, the title logo, overlays.

Button faces are light (cream) because the button system highlights by
multiplying a tint (yellow when selected, blue under the cursor).
"""
from PIL import Image

from .characters import ilo_body, dora_body
from .font import label, text, text_centred, text_width
from .pixel import (canvas, draw, ell, rect, poly, line, dot, outline, glow,
                    sparkle, upscale, fade, col, mix, Rng)
from .registry import painter


def _plate(w, h, face="cream", edge="stone", trim="gold"):
    """A bevelled plate filling a w x h base canvas (one pixel kept clear)."""
    img = canvas(w, h)
    d = draw(img)
    rect(d, 2, 1, w - 3, h - 2, face)
    rect(d, 1, 2, w - 2, h - 3, face)
    rect(d, 2, h - 4, w - 3, h - 2, edge)
    rect(d, 1, h - 4, w - 2, h - 3, edge)
    line(d, [(3, 2), (w - 4, 2)], mix(face, "cream", 0.6))
    for x in (4, w - 5):
        poly(d, [(x, h // 2 - 3), (x + 2, h // 2 - 1), (x, h // 2 + 1), (x - 2, h // 2 - 1)], trim)
    return outline(img)


@painter("button")
def paint_button(entry):
    w, h = entry.width // 4, entry.height // 4
    img = _plate(w, h)
    text_centred(img, w // 2, (h - 7) // 2 - 1, entry.arg, "ink")
    return upscale(img, 4)


@painter("toggle")
def paint_toggle(entry):
    """A mute toggle: its label and a check box, ticked or not."""
    state, _, caption = entry.arg.partition(" ")
    w, h = entry.width // 4, entry.height // 4
    img = _plate(w, h)
    text(img, 10, (h - 7) // 2 - 1, caption, "ink")
    d = draw(img)
    bx, by = w - 22, (h - 12) // 2 - 1
    rect(d, bx, by, bx + 11, by + 11, "ink")
    rect(d, bx + 1, by + 1, bx + 10, by + 10, "sky" if state == "on" else "stone")
    if state == "on":
        line(d, [(bx + 2, by + 5), (bx + 4, by + 8), (bx + 9, by + 2)], "moss", 2)
    else:
        line(d, [(bx + 3, by + 3), (bx + 8, by + 8)], "red")
        line(d, [(bx + 8, by + 3), (bx + 3, by + 8)], "red")
    return upscale(img, 4)


def panel(w, h, title=None, alpha=255):
    """A dark framed panel with an optional gold title; opaque, as every panel that holds text
    must be, or what lies under it reads through."""
    img = canvas(w, h)
    d = draw(img)
    rect(d, 1, 1, w - 2, h - 2, col("ink", alpha))
    rect(d, 3, 3, w - 4, h - 4, col("night", alpha))
    d.rectangle((3, 3, w - 4, h - 4), outline=col("slate"))
    d.rectangle((1, 1, w - 2, h - 2), outline=col("gold"))
    for x, y in ((1, 1), (w - 2, 1), (1, h - 2), (w - 2, h - 2)):
        sparkle(img, x, y, 1, "cream")
    if title:
        label(img, w // 2, 8, title, "gold", 2)
        line(d, [(12, 26), (w - 13, 26)], "slate")
    return img


@painter("panel")
def paint_panel(entry):
    w, h = entry.width // 4, entry.height // 4
    lines = entry.arg.split("|")
    img = panel(w, h, lines[0] or None)
    y = 34
    for row in lines[1:]:
        label(img, w // 2, y, row, "cream")
        y += 12
    return upscale(img, 4)


@painter("howto")
def paint_howto(entry):
    w, h = entry.width // 4, entry.height // 4
    img = panel(w, h, "HOW TO PLAY")
    rows = [("W A S D", "MOVE"), ("UP", "ATTACK SPELL"), ("LEFT", "DEFENCE SPELL"),
            ("RIGHT", "SPEED SPELL"), ("DOWN", "CALL DORA TO YOU"),
            ("SPACE", "PURIFY A WEAK FOE"), ("ARROWS", "TYPE THE 3 KEYS"),
            ("ENTER", "NEXT LINE OF TALK"), ("ESC", "PAUSE")]
    y = 32
    for key, what in rows:
        text(img, 16, y, key, "gold")
        text(img, 64, y, what, "cream")
        y += 10
    # The in-game panel closes by click or Escape; "none" drops the line (a page with its own button).
    footer = entry.arg or "CLICK OR ESC TO CLOSE"
    if footer != "none":
        label(img, w // 2, h - 14, footer, "sky")
    return upscale(img, 4)


@painter("dialog_box")
def paint_dialog_box(entry):
    """Opens over frames 1-10 and holds fully open up to frame 16 (open), or
    slides down and fades away (drop). Frames are square like every sheet, so
    the box is a wide band across the middle of each frame."""
    size = entry.width // 4
    w, h = size - 4, size // 4
    top = (size - h) // 2

    def full():
        img = panel(w, h)
        poly(draw(img), [(w - 10, h - 8), (w - 6, h - 8), (w - 8, h - 6)], "gold")
        return img

    frames = []
    for t in range(entry.frames):
        img = canvas(size, size)
        if entry.arg == "open":
            k = min(1.0, (t + 1) / 10)
            bw, bh = max(6, int(w * k)), max(4, int(h * min(1.0, k * 1.6)))
            box = panel(bw, bh) if k < 1 else full()
            if k == 1 and t % 4 >= 2:
                sparkle(box, w - 8, h - 12, 1, "cream")
            img.paste(box, ((size - bw) // 2, top + (h - bh) // 2), box)
        else:
            k = t / (entry.frames - 4)
            if k < 1:
                box = fade(full(), 1 - k * k)
                img.paste(box, (2, top + int(k * h)), box)
        frames.append(upscale(img, 4))
    return frames


# 16x16 squares around each character's head in their 32x32 frames.
HEAD_BOX = {"ilo": (9, 4, 25, 20), "dora": (10, 1, 26, 17), "stranger": (10, 1, 26, 17)}


@painter("portrait")
def paint_portrait(entry):
    who = entry.arg
    size = entry.width // 4
    img = panel(size, size)
    d = draw(img)
    rect(d, 3, 3, size - 4, size - 4, "slate" if who != "orb" else "night")
    if who == "orb":
        img = glow(img, size / 2, size / 2, 11, "teal", 0.6)
        ell(d, size / 2, size / 2, 6, 6, "teal")
        ell(d, size / 2 - 2, size / 2 - 2, 2, 2, "cream")
        d = draw(img)
        d.ellipse((size / 2 - 8, size / 2 - 8, size / 2 + 8, size / 2 + 8), outline=col("gold"))
        line(d, [(size / 2, 3), (size / 2, size / 2 - 8)], "gold")
        return upscale(img, 4)
    body = {"ilo": ilo_body(), "dora": dora_body(), "stranger": dora_body(hood=True)}[who]
    head = body.crop(HEAD_BOX[who]).resize((32, 32), Image.NEAREST)
    head = head.crop((0, 0, 32, size - 8))
    img.paste(head, ((size - 32) // 2, 4), head)
    img = img.copy()
    draw(img).rectangle((1, 1, size - 2, size - 2), outline=col("gold"))
    return upscale(img, 4)


@painter("hint")
def paint_hint(entry):
    """A key hint card: key caps and what they do."""
    kind, _, caption = entry.arg.partition(" ")
    w, h = entry.width // 4, entry.height // 4
    img = panel(w, h)
    if kind == "wasd":
        caps = [("W", w // 2 - 7, 4), ("A", w // 2 - 22, 19), ("S", w // 2 - 7, 19), ("D", w // 2 + 8, 19)]
        for ch, x, y in caps:
            img.alpha_composite(keycap(ch, 14), (x, y))
    elif kind == "space":
        img.alpha_composite(keycap("SPACE", 14, 56), (w // 2 - 28, 12))
    else:
        img.alpha_composite(keycap("<", 16), (w // 2 - 8, 10))
    label(img, w // 2, h - 12, caption, "gold")
    return upscale(img, 4)


def keycap(glyph, size, width=None, face="cream", ink="ink"):
    """A keyboard key with a letter or an arrow on it."""
    w = width or size
    img = canvas(w, size)
    d = draw(img)
    rect(d, 0, 0, w - 1, size - 1, ink)
    rect(d, 1, 1, w - 2, size - 3, face)
    line(d, [(1, size - 2), (w - 2, size - 2)], "stone")
    if glyph in ("^", "v", "<", ">"):
        arrow(d, w // 2, (size - 2) // 2, glyph, max(2, size // 4), ink)
    else:
        text_centred(img, w // 2, (size - 9) // 2, glyph, ink)
    return img


def arrow(d, cx, cy, direction, r, fill):
    pts = {"^": [(cx, cy - r), (cx + r, cy + r // 2), (cx - r, cy + r // 2)],
           "v": [(cx, cy + r), (cx + r, cy - r // 2), (cx - r, cy - r // 2)],
           "<": [(cx - r, cy), (cx + r // 2, cy - r), (cx + r // 2, cy + r)],
           ">": [(cx + r, cy), (cx - r // 2, cy - r), (cx - r // 2, cy + r)]}[direction]
    poly(d, pts, fill)


@painter("logo")
def paint_logo(entry):
    """The title: ILO in big gold letters with the orb as the dot of the I."""
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    letters = canvas(w, h)
    scale = 6
    tw = text_width("ILO", scale)
    x0 = (w - tw) // 2
    text(letters, x0, 4, "ILO", "gold", scale)
    d = draw(letters)
    for y in range(4 + 4 * scale, 4 + 7 * scale):
        for x in range(x0, x0 + tw):
            if letters.getpixel((x, y))[3]:
                letters.putpixel((x, y), col("orange"))
    letters = outline(letters, "ink")
    shadow = canvas(w, h)
    shadow.paste(col("night"), (0, 3), letters)
    img.alpha_composite(outline(shadow, "night"))
    img.alpha_composite(letters)
    img = glow(img, x0 + 15, 2 + 3, 6, "teal", 0.6)
    ell(draw(img), x0 + 15, 5, 3, 3, "teal")
    dot(img, x0 + 14, 4, "cream")
    label(img, w // 2, h - 12, entry.arg or "THE LAST LIGHT", "cream")
    rng = Rng(3)
    for k in range(7):
        sparkle(img, rng.int(4, w - 5), rng.int(3, h - 20), 1, "cream" if k % 2 else "gold")
    return upscale(img, 4)


@painter("solid")
def paint_solid(entry):
    """Fades and overlays: one colour; 'clear' is fully transparent."""
    if entry.arg == "clear":
        return canvas(entry.width, entry.height)
    name, _, alpha = entry.arg.partition(" ")
    rgba = (0, 0, 0) if name == "black" else col(name)[:3]
    return canvas(entry.width, entry.height, rgba + (int(alpha or 255),))
