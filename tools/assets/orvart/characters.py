"""Ilo (the player) and Dora (the companion): 32x32 pixel frames, facing right."""
import math

from .pixel import (canvas, draw, ell, rect, poly, line, dot, outline, flash,
                    glow, sparkle, upscale, wave, dissolve, shift)
from .registry import painter

SPELL_COLOURS = {"attack": "red", "defence": "sky", "speed": "gold"}


def sheet(entry, frame_fn):
    """Calls frame_fn(t, n) for each 32x32 frame and scales it to the entry."""
    scale = entry.height // 32
    return [upscale(frame_fn(t, entry.frames), scale) for t in range(entry.frames)]


# --- Ilo -----------------------------------------------------------------

def ilo_body(bob=0, lean=0, feet=(0, 0, 0, 0), hem=0, arm="rest", eyes="open",
             tip=0):
    img = canvas(32, 32)
    d = draw(img)
    bx, by, fx, fy = feet
    ell(d, 12 + bx, 28 + by, 2, 1, "earth")
    ell(d, 19 + fx, 28 + fy, 2, 1, "earth")
    x, y = lean, bob
    # Robe: slate with a night shadow on the back and a gold hem.
    poly(d, [(12 + x, 16 + y), (20 + x, 16 + y), (23 + hem, 27), (9 + hem, 27)], "slate")
    poly(d, [(12 + x, 16 + y), (14 + x, 16 + y), (12 + hem, 27), (9 + hem, 27)], "night")
    line(d, [(10 + hem, 27), (22 + hem, 27)], "gold")
    # Pendant cord and orb.
    dot(img, 15 + x, 17 + y, "gold")
    dot(img, 17 + x, 17 + y, "gold")
    rect(d, 15 + x, 18 + y, 16 + x, 19 + y, "teal")
    # Hood with a drooping tip, face turned to the right.
    ell(d, 16 + x, 11 + y, 5, 5, "slate")
    poly(d, [(12 + x, 9 + y), (14 + x, 6 + y), (8 + x - tip, 3 + y), (7 + x - tip, 5 + y)], "slate")
    dot(img, 7 + x - tip, 5 + y, "gold")
    ell(d, 18 + x, 12 + y, 3, 3, "cream")
    line(d, [(16 + x, 9 + y), (20 + x, 9 + y)], "night")
    if eyes == "open":
        dot(img, 17 + x, 12 + y, "ink")
        dot(img, 20 + x, 12 + y, "ink")
    elif eyes == "shut":
        line(d, [(16 + x, 12 + y), (17 + x, 12 + y)], "ink")
        line(d, [(19 + x, 12 + y), (20 + x, 12 + y)], "ink")
    else:  # hurt: squeezed shut
        line(d, [(16 + x, 11 + y), (17 + x, 12 + y)], "ink")
        line(d, [(20 + x, 11 + y), (19 + x, 12 + y)], "ink")
        dot(img, 18 + x, 14 + y, "ink")
    _ilo_arms(d, img, x, y, arm)
    return outline(img)


def _ilo_arms(d, img, x, y, arm):
    if arm == "rest":
        ell(d, 18 + x, 20 + y, 2, 3, "night")
        dot(img, 19 + x, 23 + y, "cream")
    elif arm == "up":
        poly(d, [(17 + x, 18 + y), (19 + x, 17 + y), (24 + x, 15 + y), (23 + x, 13 + y)], "night")
        ell(d, 25 + x, 14 + y, 1, 1, "cream")
    elif arm == "forward":
        rect(d, 17 + x, 18 + y, 23 + x, 20 + y, "night")
        ell(d, 25 + x, 19 + y, 1, 1, "cream")
    elif arm == "high":  # both arms raised in a V, clear of the face
        poly(d, [(12 + x, 18 + y), (14 + x, 17 + y), (10 + x, 9 + y), (8 + x, 10 + y)], "night")
        poly(d, [(18 + x, 17 + y), (20 + x, 18 + y), (25 + x, 10 + y), (23 + x, 9 + y)], "night")
        ell(d, 8 + x, 8 + y, 1, 1, "cream")
        ell(d, 25 + x, 8 + y, 1, 1, "cream")


def _walk_feet(t):
    p = t % 8
    stride = [-2, -1, 0, 1, 2, 1, 0, -1][p]
    lift = [0, 0, -1, 0, 0, 0, -1, 0][p]
    return (stride, lift if stride > 0 else 0, -stride, lift if stride < 0 else 0)


@painter("ilo")
def paint_ilo(entry):
    pose = entry.arg.split()[0]

    def frame(t, n):
        if pose == "idle":
            b = 1 if (t // 4) % 2 else 0
            img = ilo_body(bob=b, tip=(t // 8) % 2)
            if t % 8 in (2, 3):
                sparkle(img, 17, 17 + b, 1, "cream")
            return img
        if pose == "walk":
            p = t % 8
            return ilo_body(bob=[0, 1, 1, 0, 0, 1, 1, 0][p], feet=_walk_feet(t),
                            hem=[0, 0, 1, 0, 0, 0, -1, 0][p], tip=p % 4 // 2)
        if pose == "hurt":
            if t < 3:
                return flash(ilo_body(lean=-2, eyes="hurt", feet=(-1, 0, -1, 0)), "cream", 0.75)
            if t < 10:
                return ilo_body(lean=-1 + (t % 2), eyes="hurt", bob=1, feet=(-1, 0, 0, 0))
            return ilo_body(lean=0 if t > 12 else -1, eyes="shut" if t < 13 else "open")
        if pose == "purify":
            img = ilo_body(arm="high", bob=wave(t, n, 1), eyes="shut")
            img = glow(img, 16.5, 4, 4, "teal", 0.7)
            for k in range(3):
                a = 2 * math.pi * (t / n + k / 3)
                sparkle(img, 16 + round(math.cos(a) * 9), 14 + round(math.sin(a) * 7),
                        1, "cream" if k else "teal")
            return img
        raise KeyError(pose)
    return sheet(entry, frame)


@painter("ilo_cast")
def paint_ilo_cast(entry):
    colour = SPELL_COLOURS[entry.arg]

    def frame(t, n):
        if t < 8:  # gathering the spell over the raised hand
            img = ilo_body(arm="up", lean=-(t // 4), bob=1 if t > 3 else 0, eyes="shut" if t > 5 else "open")
            r = 1 + t // 2
            cx, cy = 25 - t // 4, 14 + (1 if t > 3 else 0)
            img = glow(img, cx, cy, r + 1, colour, 0.8)
            for k in range(2):
                a = t * 0.9 + k * math.pi
                sparkle(img, cx + round(math.cos(a) * (8 - t)), cy + round(math.sin(a) * (8 - t)), 1, colour)
            return img
        if t < 12:  # release: the frame the spell leaves the hand, then recoil
            img = ilo_body(arm="forward", lean=1 if t == 8 else 0)
            r = 5 if t == 8 else 4 - (t - 8)
            img = glow(img, 25, 19, r, colour, 0.9)
            if t == 8:
                sparkle(img, 26, 19, 3, "cream")
            return img
        return ilo_body(arm="rest" if t > 13 else "forward", lean=0)
    return sheet(entry, frame)


# --- Dora ----------------------------------------------------------------

def dora_body(bob=0, lean=0, legs=(0, 0), arm="rest", eyes="open", kneel=0, hood=False):
    img = canvas(32, 32)
    d = draw(img)
    back, front = legs
    x, y = lean, bob + kneel
    if kneel < 4:
        rect(d, 12 + back, 22 + y, 14 + back, 28, "earth")
        rect(d, 18 + front, 22 + y, 20 + front, 28, "earth")
        rect(d, 11 + back, 28, 14 + back, 29, "ink")
        rect(d, 18 + front, 28, 21 + front, 29, "ink")
    else:
        rect(d, 10, 26, 21, 28, "earth")
    # Tunic and cloak.
    rect(d, 12 + x, 12 + y, 20 + x, 23 + y, "leaf")
    poly(d, [(11 + x, 11 + y), (15 + x, 11 + y), (13 + x, 25 + y), (8 + x, 25 + y)], "moss")
    line(d, [(12 + x, 17 + y), (20 + x, 17 + y)], "earth")
    dot(img, 16 + x, 17 + y, "gold")
    # Head: brown hair, face turned right.
    ell(d, 16 + x, 7 + y, 4, 4, "earth")
    ell(d, 18 + x, 8 + y, 3, 3, "cream")
    line(d, [(15 + x, 4 + y), (20 + x, 4 + y)], "earth")
    poly(d, [(16 + x, 4 + y), (21 + x, 5 + y), (19 + x, 7 + y), (16 + x, 7 + y)], "earth")
    dot(img, 20 + x, 11 + y, "earth")
    dot(img, 19 + x, 11 + y, "earth")
    if eyes == "open":
        dot(img, 19 + x, 8 + y, "ink")
        dot(img, 21 + x, 8 + y, "ink")
        dot(img, 22 + x, 9 + y, "earth")
    else:
        line(d, [(18 + x, 8 + y), (21 + x, 8 + y)], "ink")
    if hood:  # the stranger, before he gives his name
        ell(d, 16 + x, 7 + y, 5, 5, "moss")
        ell(d, 19 + x, 9 + y, 3, 3, "ink")
        dot(img, 20 + x, 9 + y, "cream")
    _dora_arm(d, img, x, y, arm)
    return outline(img)


def _dora_arm(d, img, x, y, arm):
    if arm == "rest":
        rect(d, 18 + x, 13 + y, 20 + x, 19 + y, "moss")
        line(d, [(21 + x, 19 + y), (27 + x, 11 + y)], "stone")
        line(d, [(22 + x, 19 + y), (28 + x, 11 + y)], "cream")
        line(d, [(19 + x, 18 + y), (22 + x, 21 + y)], "gold")
        dot(img, 20 + x, 20 + y, "cream")
    elif arm == "raise":
        rect(d, 17 + x, 9 + y, 19 + x, 14 + y, "moss")
        line(d, [(18 + x, 8 + y), (12 + x, 2 + y)], "stone", 2)
        dot(img, 18 + x, 8 + y, "cream")
    elif arm == "swing":
        rect(d, 18 + x, 13 + y, 23 + x, 15 + y, "moss")
        line(d, [(24 + x, 14 + y), (29 + x, 14 + y)], "stone", 2)
        dot(img, 24 + x, 14 + y, "cream")
    elif arm == "low":
        rect(d, 18 + x, 14 + y, 20 + x, 20 + y, "moss")
        line(d, [(21 + x, 21 + y), (28 + x, 24 + y)], "stone", 2)


@painter("dora")
def paint_dora(entry):
    pose = entry.arg

    def frame(t, n):
        if pose == "idle":
            return dora_body(bob=1 if t in (2, 3, 4) else 0)
        if pose == "walk":
            s = [-2, -1, 1, 2, 2, 1, -1, -2][t % 8]
            return dora_body(bob=1 if t % 4 in (1, 2) else 0, legs=(s, -s))
        if pose == "attack":
            if t < 3:
                return dora_body(arm="raise", lean=-1, legs=(-1, 1))
            if t < 6:
                img = dora_body(arm="swing", lean=1, legs=(-2, 2))
                layer = canvas(32, 32)
                ld = draw(layer)
                d_arc = 6 - t
                poly(ld, [(24, 4 + d_arc), (28, 9), (29, 15), (28, 22 - d_arc), (26, 24 - d_arc),
                          (28, 16), (27, 10)], (244, 236, 214, 200))
                return _over(img, layer)
            return dora_body(arm="low", legs=(-1, 1))
        if pose == "down":
            kneel = min(t, 4)
            img = dora_body(kneel=kneel, eyes="shut", arm="low" if t < 4 else "rest")
            if t >= 5:
                img = on_ground(img.rotate(-90 if t >= 6 else -45, center=(16, 16)))
            return img
        if pose == "teleport":
            img = dora_body(eyes="shut")
            img = dissolve(img, t / (n - 1), 7 + t) if t else img
            img = glow(img, 16, 16, 6 + t, "teal", 0.25 + 0.05 * t)
            for k in range(4):
                a = t * 0.8 + k * math.pi / 2
                sparkle(img, 16 + round(math.cos(a) * (6 + t)), 16 + round(math.sin(a) * 8), 1, "teal")
            return img
        raise KeyError(pose)
    return sheet(entry, frame)


def on_ground(img, ground=29):
    """Moves a frame up or down so its lowest visible pixel sits on the ground."""
    box = img.getchannel("A").getbbox()
    return shift(img, 0, ground - (box[3] - 1)) if box else img


def _over(img, layer):
    out = img.copy()
    out.alpha_composite(layer)
    return out
