"""Backgrounds, parallax layers, ground tiles, props and full-screen stills.

Layers repeat seamlessly left to right (every curve has a whole number of
periods across the width), so they can be laid end to end.
"""
import math

from PIL import Image

from .characters import ilo_body, dora_body
from .creatures import enemy_body
from .font import label
from .pixel import (canvas, draw, ell, rect, poly, line, dot, outline, glow,
                    sparkle, upscale, col, mix, Rng, fade)
from .registry import painter

SKIES = {
    "night": ["ink", "night", "night", "slate", "plum"],
    "dawn": ["night", "slate", "sky", "gold", "orange"],
    "boss": ["ink", "ink", "night", "plum", "red"],
}


BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def _ridge(w, x, parts, seed):
    """Height offset of a periodic ridge line at column x."""
    rng = Rng(seed)
    v = 0.0
    for k, amp in parts:
        v += amp * math.sin(2 * math.pi * k * x / w + rng.next() * 6.28)
    return v


def sky(w, h, variant="night", seed=1):
    img = canvas(w, h)
    px = img.load()
    bands = SKIES[variant]
    for y in range(h):
        pos = y / h * (len(bands) - 1)
        i = min(int(pos), len(bands) - 2)
        frac = pos - i
        for x in range(w):
            # Ordered (Bayer 4x4) dither between neighbouring bands.
            pick = bands[i + 1] if frac * 16 > BAYER[y % 4][x % 4] + 0.5 else bands[i]
            px[x, y] = col(pick)
    rng = Rng(seed)
    for k in range(w * h // 300):
        x, y = rng.int(0, w - 1), rng.int(0, int(h * 0.6))
        dot(img, x, y, "cream" if k % 5 else "sky")
    if variant == "night":
        img = glow(img, w * 0.8, h * 0.2, 14, "sky", 0.3)
        ell(draw(img), w * 0.8, h * 0.2, 7, 7, "cream")
        ell(draw(img), w * 0.8 + 2, h * 0.2 - 1, 2, 2, "sky")
    elif variant == "boss":
        img = glow(img, w * 0.5, h * 0.28, 22, "red", 0.35)
        ell(draw(img), w * 0.5, h * 0.28, 11, 11, "red")
        ell(draw(img), w * 0.5 + 3, h * 0.28 - 2, 3, 3, "orange")
    else:
        img = glow(img, w * 0.5, h * 0.95, 40, "gold", 0.5)
        ell(draw(img), w * 0.5, h * 0.95, 16, 16, "gold")
    return img


def mountains(w, h, seed=2):
    img = canvas(w, h)
    d = draw(img)
    for x in range(w):
        top = int(h * 0.45 + _ridge(w, x, [(2, 14), (5, 6), (11, 3)], seed))
        line(d, [(x, top), (x, h - 1)], "slate")
        if top < h * 0.42:
            line(d, [(x, top), (x, top + 2)], "sky")
    return img


def hills(w, h, seed=3, colour="moss", light="leaf", trees=True):
    img = canvas(w, h)
    d = draw(img)
    tops = []
    for x in range(w):
        top = int(h * 0.62 + _ridge(w, x, [(3, 8), (7, 3)], seed))
        tops.append(top)
        line(d, [(x, top), (x, h - 1)], colour)
        dot(img, x, top, light)
    if trees:
        rng = Rng(seed + 10)
        for k in range(w // 24):
            x = rng.int(0, w - 1)
            top = tops[x]
            th = rng.int(8, 14)
            for xx in (x, (x + w) % w):
                poly(d, [(xx - 4, top + 2), (xx + 4, top + 2), (xx, top - th)], "ink")
    return img


def city(w, h, seed=4):
    img = canvas(w, h)
    d = draw(img)
    rng = Rng(seed)
    x = 0
    while x < w:
        bw, bh = rng.int(14, 30), rng.int(int(h * 0.2), int(h * 0.55))
        top = h - bh
        rect(d, x, top, min(w - 1, x + bw), h - 1, "night")
        if rng.next() < 0.5:  # broken roof
            poly(d, [(x + bw // 3, top), (x + bw, top), (x + bw, top + 7)], (0, 0, 0, 0))
        for wy in range(top + 4, h - 6, 7):
            for wx in range(x + 3, x + bw - 3, 6):
                lit = rng.next()
                if lit < 0.12:
                    rect(d, wx, wy, wx + 2, wy + 3, "gold")
                elif lit < 0.6:
                    rect(d, wx, wy, wx + 2, wy + 3, "ink")
        x += bw + rng.int(1, 4)
    for x in range(w):  # corruption pooling at the foot of the city
        top = int(h * 0.86 + _ridge(w, x, [(4, 3), (9, 2)], seed))
        line(d, [(x, top), (x, h - 1)], "plum")
    return img


def forest(w, h, seed=5):
    img = canvas(w, h)
    d = draw(img)
    rng = Rng(seed)
    for k in range(w // 10):
        x = rng.int(0, w - 1)
        top = int(h * 0.25) + rng.int(0, int(h * 0.25))
        for xx in (x - w, x, x + w):
            rect(d, xx - 1, top + 10, xx + 1, h - 1, "earth")
            ell(d, xx, top + 8, 8, 10, "moss")
            ell(d, xx - 2, top + 5, 4, 4, "leaf")
    rect(d, 0, int(h * 0.85), w - 1, h - 1, "moss")
    return outline(img)


def _layer(fn, entry, *args):
    w, h = entry.width // 4, entry.height // 4
    return upscale(fn(w, h, *args), 4)


@painter("sky")
def paint_sky(entry):
    return _layer(sky, entry, entry.arg or "night")


@painter("layer")
def paint_layer(entry):
    fn = {"mountains": mountains, "hills": hills, "city": city, "forest": forest}[entry.arg]
    return _layer(fn, entry)


def landscape(w, h, variant="night"):
    img = sky(w, h, variant)
    img.alpha_composite(mountains(w, h))
    if variant != "dawn":
        img.alpha_composite(city(w, h))
    img.alpha_composite(hills(w, h, colour="moss" if variant != "boss" else "ink"))
    return img


@painter("landscape")
def paint_landscape(entry):
    return _layer(landscape, entry, entry.arg or "night")


@painter("arena")
def paint_arena(entry):
    w, h = entry.width // 4, entry.height // 4
    img = sky(w, h, "boss")
    d = draw(img)
    for k, x in enumerate(range(10, w, 44)):
        broken = k % 2
        top = int(h * (0.35 if not broken else 0.5))
        rect(d, x, top, x + 10, h - 1, "night")
        rect(d, x + 2, top, x + 3, h - 1, "slate")
        rect(d, x - 2, top, x + 12, top + 3, "slate")
        if broken:
            poly(d, [(x - 2, top), (x + 12, top - 5), (x + 12, top)], "slate")
    for x in range(w):
        top = int(h * 0.8 + _ridge(w, x, [(5, 2)], 9))
        line(d, [(x, top), (x, h - 1)], "plum")
    return upscale(img, 4)


# --- ground ---------------------------------------------------------------

@painter("tile")
def paint_tile(entry):
    w, h = entry.width // 4, entry.height // 4
    kind = entry.arg
    img = canvas(w, h)
    d = draw(img)
    rng = Rng(len(kind) * 7)
    if kind == "cobble":  # rounded stones in offset rows; wraps on both axes
        rect(d, 0, 0, w - 1, h - 1, mix("slate", "ink", 0.5))
        for row, y in enumerate(range(0, h, 8)):
            x = 3 * (row % 3)
            while x < w:
                cw = rng.int(5, 9)
                shade = mix("stone", "slate", rng.next() * 0.6)
                for xx in (x, x - w):
                    d.rounded_rectangle((xx + 1, y + 1, xx + cw - 1, y + 6), 2, fill=shade)
                    dot(img, xx + 2, y + 2, mix("stone", "cream", 0.6))
                    line(d, [(xx + 2, y + 6), (xx + cw - 2, y + 6)], mix("stone", "ink", 0.5))
                x += cw
    elif kind == "grass":
        rect(d, 0, 0, w - 1, h - 1, "moss")
        for k in range(w * h // 12):
            x, y = rng.int(0, w - 1), rng.int(0, h - 1)
            dot(img, x, y, "leaf" if k % 3 else "earth")
    elif kind == "dark":
        rect(d, 0, 0, w - 1, h - 1, "ink")
        for y in range(0, h, 16):
            for x in range(0, w, 16):
                rect(d, x + 1, y + 1, x + 14, y + 14, "night")
                line(d, [(x + 2, y + 2), (x + 13, y + 2)], "slate")
                if rng.next() < 0.3:
                    line(d, [(x + 4, y + 5), (x + 8, y + 9), (x + 7, y + 13)], "plum")
    elif kind == "edge":  # grass lip along the top of the walkable ground
        for x in range(w):
            top = 2 + (1 if (x * 7) % 5 == 0 else 0)
            line(d, [(x, top), (x, h - 1)], "moss")
            dot(img, x, top, "leaf")
            if x % 4 == 1:
                dot(img, x, top - 1, "leaf")
    return upscale(img, 4)


def _path_band(img, top, bottom, colour, soft=4):
    """Fills rows top..bottom with colour, dithered over `soft` rows at both edges."""
    px = img.load()
    fill = col(colour) if isinstance(colour, str) else colour
    for y in range(top, bottom):
        cover = min(y - top + 1, bottom - y) / (soft + 1)
        for x in range(img.width):
            if cover >= 1 or cover * 16 > BAYER[y % 4][x % 4] + 0.5:
                px[x, y] = fill


@painter("ground")
def paint_ground(entry):
    """The floor of a level, a strip that repeats left to right: a lip along
    the top, then a worn path (forest) or cracked flagstones (arena)."""
    w, h = entry.width // 4, entry.height // 4
    forest = entry.arg == "forest"
    base, light, path = (("moss", "leaf", mix("earth", "moss", 0.35)) if forest
                         else ("night", "slate", mix("plum", "night", 0.55)))
    img = canvas(w, h, col(base))
    d = draw(img)
    rng = Rng(17 if forest else 23)
    path_top, path_bottom = int(h * 0.38), int(h * 0.72)
    _path_band(img, path_top, path_bottom, path)
    for k in range(w // 3):
        x, y = rng.int(2, w - 3), rng.int(5, h - 2)
        if path_top + 4 <= y < path_bottom - 4:
            # Pebbles on the path; cracks between the arena's flagstones.
            dot(img, x, y, mix("stone", path, 0.4) if forest else "ink")
            if not forest and k % 4 == 0:
                line(d, [(x, y), (x + 1, y + 1), (x + 1, y + 3)], "ink")
        elif k % 2 and not path_top - 2 <= y < path_bottom + 2:
            line(d, [(x, y), (x, y - 2)], light)  # a tuft of three blades
            dot(img, x - 1, y - 1, light)
            dot(img, x + 1, y - 1, light)
        else:
            dot(img, x, y, mix(light, base, 0.5))
    for x in range(w):  # the lip, as on the edge tile
        top = 1 + (1 if (x * 7) % 5 == 0 else 0)
        line(d, [(x, 0), (x, top)], light)
        if forest and x % 4 == 1:
            dot(img, x, top + 1, light)
    return upscale(img, 4)


@painter("platform")
def paint_platform(entry):
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    d = draw(img)
    rect(d, 1, 3, w - 2, h - 2, "stone")
    rect(d, 1, 1, w - 2, 4, "moss")
    line(d, [(1, 1), (w - 2, 1)], "leaf")
    for x in range(6, w - 4, 12):
        line(d, [(x, 6), (x, h - 3)], "slate")
    line(d, [(2, h - 3), (w - 3, h - 3)], "slate")
    return upscale(outline(img), 4)


@painter("prop")
def paint_prop(entry):
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    d = draw(img)
    kind = entry.arg
    if kind == "tree":
        rect(d, w // 2 - 2, h // 2, w // 2 + 2, h - 2, "earth")
        for cx, cy, r in ((w // 2, h // 2 - 8, 12), (w // 2 - 6, h // 2 - 2, 8), (w // 2 + 6, h // 2 - 3, 8)):
            ell(d, cx, cy, r, r, "moss")
        ell(d, w // 2 - 3, h // 2 - 12, 5, 4, "leaf")
    elif kind == "rock":
        ell(d, w // 2, h - 6, w // 2 - 2, h // 3, "stone")
        ell(d, w // 2 - 2, h - 8, w // 5, h // 8, "cream")
        ell(d, w // 2 + 3, h - 4, w // 4, h // 10, mix("stone", "ink", 0.4))
    elif kind == "lamp":
        rect(d, w // 2 - 1, 8, w // 2, h - 2, "night")
        rect(d, w // 2 - 3, h - 3, w // 2 + 2, h - 2, "night")
        rect(d, w // 2 - 3, 3, w // 2 + 2, 8, "gold")
        img = glow(img, w / 2, 6, 7, "gold", 0.35)
    elif kind == "pillar":
        rect(d, 3, 6, w - 4, h - 2, "stone")
        rect(d, 1, h - 5, w - 2, h - 2, "slate")
        poly(d, [(1, 8), (w - 2, 3), (w - 2, 8)], "slate")
        line(d, [(6, 10), (6, h - 6)], "cream")
        line(d, [(w // 2, 14), (w // 2 + 2, 20), (w // 2, 26)], "ink")
    elif kind == "crate":
        rect(d, 1, 1, w - 2, h - 2, "earth")
        d.rectangle((2, 2, w - 3, h - 3), outline=col("gold"))
        line(d, [(2, 2), (w - 3, h - 3)], "gold")
    elif kind == "sign":
        rect(d, w // 2 - 1, h // 2, w // 2, h - 2, "earth")
        poly(d, [(2, 3), (w - 6, 3), (w - 2, 8), (w - 6, 13), (2, 13)], "earth")
        line(d, [(4, 8), (w - 7, 8)], "cream")
    elif kind == "house":
        rect(d, 4, h // 3, w - 5, h - 2, "night")
        poly(d, [(2, h // 3), (w // 2, 4), (w - 3, h // 3)], "earth")
        poly(d, [(w // 2 + 2, 6), (w - 3, h // 3), (w // 2 + 6, h // 3)], (0, 0, 0, 0))
        rect(d, w // 2 - 4, h - 16, w // 2 + 3, h - 2, "ink")
        for x in (10, w - 18):
            rect(d, x, h // 2, x + 7, h // 2 + 7, "gold" if x == 10 else "ink")
        line(d, [(6, h - 20), (14, h - 12), (12, h - 4)], "plum")
    return upscale(outline(img), 4)


# --- stills ------------------------------------------------------------------

def _stand(img, body, x, ground, scale=1):
    fig = body if scale == 1 else body.resize((32 * scale, 32 * scale), Image.NEAREST)
    img.alpha_composite(fig, (int(x - fig.width / 2), int(ground - fig.height + scale)))


@painter("still")
def paint_still(entry):
    """Full-screen pictures (160x90 at base) with an optional caption:
    arg is the scene key, then '|' and caption lines."""
    key, *caption = entry.arg.split("|")
    scale = entry.width // 160
    w, h = 160, 90
    img = STILLS[key](w, h)
    if caption and key in ("victory", "defeat", "chapter", "engine"):
        label(img, w // 2, 8, caption.pop(0), "gold", 2)
    if caption:
        top = h - 4 - 10 * len(caption)
        band = canvas(w, h)
        rect(draw(band), 0, top - 3, w - 1, h - 1, col("ink", 170))
        img.alpha_composite(band)
        for i, row in enumerate(caption):
            label(img, w // 2, top + 10 * i, row, "cream")
    return upscale(img, scale)


def _still_engine(w, h):
    img = canvas(w, h, col("ink"))
    img = glow(img, w / 2, h / 2 + 6, 18, "teal", 0.5)
    d = draw(img)
    d.ellipse((w / 2 - 12, h / 2 - 6, w / 2 + 12, h / 2 + 18), outline=col("gold"))
    d.ellipse((w / 2 - 8, h / 2 - 2, w / 2 + 8, h / 2 + 14), outline=col("teal"))
    ell(d, w / 2, h / 2 + 6, 3, 3, "cream")
    return img


def _still_darkness(w, h):
    img = landscape(w, h, "night")
    d = draw(img)
    for y in range(h):  # the darkness rolling in from the left
        edge = int(w * 0.4 + 6 * math.sin(y / 4.0))
        line(d, [(0, y), (edge, y)], col("ink", 230))
        line(d, [(edge, y), (edge + 4, y)], col("plum", 200))
    rng = Rng(21)
    for k in range(10):
        x, y = rng.int(4, int(w * 0.38)), rng.int(6, h - 6)
        rect(d, x, y, x + 1, y, "red")
        rect(d, x + 3, y, x + 4, y, "red")
    return img


def _still_pendant(w, h):
    img = sky(w, h, "night")
    img.alpha_composite(hills(w, h, colour="ink", light="night", trees=False))
    ground = int(h * 0.8)
    img = glow(img, w / 2, ground - 12, 26, "teal", 0.4)
    _stand(img, ilo_body(), w / 2, ground, 2)
    return img


def _still_meeting(w, h):
    img = landscape(w, h, "night")
    ground = int(h * 0.85)
    rect(draw(img), 0, ground, w - 1, h - 1, "ink")
    _stand(img, ilo_body(), w * 0.38, ground, 2)
    _stand(img, dora_body(hood=True).transpose(Image.FLIP_LEFT_RIGHT), w * 0.62, ground, 2)
    return img


def _still_orb(w, h):
    img = canvas(w, h, col("ink"))
    img = glow(img, w / 2, h / 2 - 6, 34, "teal", 0.5)
    d = draw(img)
    ell(d, w / 2, h / 2 - 6, 9, 9, "teal")
    ell(d, w / 2 - 3, h / 2 - 9, 3, 3, "cream")
    d.ellipse((w / 2 - 11, h / 2 - 17, w / 2 + 11, h / 2 + 5), outline=col("gold"))
    line(d, [(w / 2, 0), (w / 2, h / 2 - 17)], "gold")
    rng = Rng(8)
    for k in range(12):
        sparkle(img, rng.int(10, w - 10), rng.int(5, h - 20), 1, "teal" if k % 2 else "cream")
    return img


def _still_journey(w, h):
    img = landscape(w, h, "night")
    ground = int(h * 0.86)
    rect(draw(img), 0, ground, w - 1, h - 1, "ink")
    img = glow(img, w * 0.9, ground - 20, 30, "gold", 0.35)  # the light they set out for
    _stand(img, ilo_body(), w * 0.3, ground)
    _stand(img, dora_body(), w * 0.2, ground)
    return img


def _still_chapter(w, h):
    img = canvas(w, h, col("ink"))
    img.alpha_composite(fade(forest(w, h), 0.5))
    return img


def _still_victory(w, h):
    img = sky(w, h, "dawn")
    img.alpha_composite(hills(w, h, colour="moss", trees=False))
    ground = int(h * 0.72)
    _stand(img, ilo_body(arm="high", eyes="shut"), w * 0.44, ground)
    _stand(img, dora_body(), w * 0.58, ground)
    _stand(img, enemy_body("atk", eyes="calm", pure=True), w * 0.26, ground)
    _stand(img, enemy_body("spd", eyes="calm", pure=True).transpose(Image.FLIP_LEFT_RIGHT), w * 0.76, ground)
    return img


def _still_defeat(w, h):
    img = canvas(w, h, col("ink"))
    ground = int(h * 0.75)
    img = glow(img, w / 2, ground - 2, 10, "teal", 0.25)
    d = draw(img)
    ell(d, w / 2, ground + 6, 40, 6, "night")
    ell(d, w / 2, ground - 2, 3, 3, "slate")
    line(d, [(w / 2 - 8, ground), (w / 2 - 2, ground - 2)], "gold")
    rng = Rng(13)
    for k in range(14):
        x, y = rng.int(0, w - 1), rng.int(0, h - 1)
        rect(d, x, y, x + 1, y, col("red", 160))
        rect(d, x + 3, y, x + 4, y, col("red", 160))
    return img


STILLS = {"engine": _still_engine, "darkness": _still_darkness, "pendant": _still_pendant,
          "meeting": _still_meeting, "orb": _still_orb, "journey": _still_journey, "chapter": _still_chapter,
          "victory": _still_victory, "defeat": _still_defeat}
