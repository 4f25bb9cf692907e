"""The corrupted creatures: three melee enemy kinds and the boss.

Corrupted things are plum and ink with red eyes; purified ones turn cream,
sky and leaf with calm eyes, so the change reads at a glance.
"""
import math

from PIL import Image

from .pixel import (canvas, draw, ell, rect, poly, line, dot, outline, flash,
                    glow, sparkle, upscale, wave, dissolve, shift, col, Rng)
from .registry import painter

PURIFY = {"plum": "cream", "night": "sky", "red": "leaf",
          "stone": "cream", "gold": "teal", "slate": "sky"}


def _frames(entry, fn):
    """Frames are drawn at a quarter of their size and scaled up."""
    return [upscale(fn(t, entry.frames), 4) for t in range(entry.frames)]


def _wisps(img, t, seed, colour="plum", count=3, top=8, span=12):
    rng = Rng(seed)
    for k in range(count):
        x0 = rng.int(6, 26)
        y = span - ((t * 2 + rng.int(0, span)) % span)
        a = int(110 + 90 * y / span)
        dot(img, x0 + wave(t + k * 3, 8, 1), top + y, col(colour, a))


# --- melee enemies --------------------------------------------------------

def enemy_body(kind, bob=0, lean=0, legs=0, mouth=False, squash=0, eyes="red",
               pure=False):
    """One melee enemy; pure draws the purified creature (no spikes or horns)."""
    img = canvas(32, 32)
    d = draw(img)

    def c(name):
        return PURIFY.get(name, name) if pure else name

    x, y = lean, bob + squash
    slim = kind == "spd"
    leg_top = 22 if slim else 24
    for i, lx in enumerate((9, 13, 18, 22)):
        lift = legs if i % 2 == 0 else -legs
        rect(d, lx + x // 2 + lift, leg_top + y // 2, lx + 1 + x // 2 + lift,
             28 - (1 if lift > 0 else 0), c("night"))
    ry = 4 if slim else 6
    ell(d, 15 + x, 20 + y, 8, ry, c("plum"))
    ell(d, 15 + x, 22 + y + (ry - 6), 6, 2, c("night"))
    ell(d, 22 + x, 17 + y, 6, 5, c("plum"))
    if kind == "def":
        ell(d, 13 + x, 16 + y, 7, 5, c("stone"))
        for px in (9, 13, 17):
            line(d, [(px + x, 12 + y), (px + x, 19 + y)], c("slate"))
        rect(d, 19 + x, 12 + y, 25 + x, 13 + y, c("stone"))
    elif kind is not None and not pure:
        for sx in (8, 11, 14, 17):
            poly(d, [(sx + x, 15 + y), (sx + 2 + x, 15 + y), (sx + x, 10 + y)], "night")
    if kind == "atk" and not pure:
        poly(d, [(21 + x, 13 + y), (23 + x, 12 + y), (25 + x, 6 + y)], "cream")
        line(d, [(10 + x, 19 + y), (12 + x, 17 + y)], "red")
        line(d, [(14 + x, 20 + y), (16 + x, 18 + y)], "red")
    if kind == "spd":
        poly(d, [(13 + x, 16 + y), (5 + x, 9 + y), (8 + x, 15 + y), (3 + x, 14 + y), (11 + x, 19 + y)], c("gold"))
        if not pure:
            line(d, [(16 + x, 18 + y), (18 + x, 20 + y), (20 + x, 18 + y)], "gold")
    if eyes == "red":
        rect(d, 23 + x, 14 + y, 25 + x, 16 + y, "red")
        dot(img, 24 + x, 14 + y, "cream")
    elif eyes == "calm":
        line(d, [(23 + x, 16 + y), (24 + x, 15 + y), (25 + x, 16 + y)], "ink")
    else:
        line(d, [(23 + x, 14 + y), (25 + x, 16 + y)], "ink")
        line(d, [(25 + x, 14 + y), (23 + x, 16 + y)], "ink")
    if mouth:
        rect(d, 23 + x, 19 + y, 28 + x, 21 + y, "ink")
        dot(img, 24 + x, 19 + y, "cream")
        dot(img, 26 + x, 21 + y, "cream")
    elif pure:
        line(d, [(24 + x, 19 + y), (25 + x, 20 + y), (26 + x, 19 + y)], "ink")
    else:
        line(d, [(22 + x, 20 + y), (27 + x, 20 + y)], "ink")
        dot(img, 23 + x, 19 + y, "cream")
        dot(img, 26 + x, 19 + y, "cream")
    if pure:
        line(d, [(21 + x, 12 + y), (21 + x, 10 + y)], "moss")
        ell(d, 22 + x, 9 + y, 1, 1, "leaf")
    return outline(img)


def purified_body(kind, bob=0):
    return enemy_body(kind, bob=bob, eyes="calm", pure=True)


@painter("enemy")
def paint_enemy(entry):
    kind, pose = entry.arg.split()
    seed = {"atk": 11, "def": 23, "spd": 37}[kind]

    def frame(t, n):
        if pose == "idle":
            img = enemy_body(kind, bob=1 if (t // 4) % 2 else 0)
            _wisps(img, t, seed)
            return img
        if pose == "walk":
            p = t % 8
            img = enemy_body(kind, bob=[0, 1, 1, 0][p % 4], legs=[1, 1, 0, -1, -1, -1, 0, 1][p])
            _wisps(img, t, seed)
            return img
        if pose == "attack":
            if t < 10:
                img = enemy_body(kind, lean=-(t // 4), bob=1 if t > 3 else 0)
                return glow(img, 24 - t // 4, 16, 2 + t // 5, "red", 0.4)
            if t < 14:
                img = enemy_body(kind, lean=t - 10, mouth=True)
                if t >= 12:
                    layer = canvas(32, 32)
                    ld = draw(layer)
                    poly(ld, [(27, 11), (31, 16), (28, 24), (29, 16)], col("red", 210))
                    img.alpha_composite(layer)
                return img
            return enemy_body(kind, lean=1 if t == 14 else 0)
        if pose == "down":
            if t < 4:
                img = enemy_body(kind, eyes="x", lean=-1 + t % 2)
                return flash(img, "cream", 0.5) if t % 2 == 0 else img
            if t < 8:
                return enemy_body(kind, eyes="x", squash=t - 3, legs=0)
            img = enemy_body(kind, eyes="x", squash=4)
            img = dissolve(img, (t - 7) / 5, seed + t)
            _wisps(img, t, seed, "plum", 6, 10, 16)
            return img
        if pose == "purified":
            if t < 4:
                img = enemy_body(kind, eyes="calm")
                return glow(flash(img, "teal", 0.2 * t), 16, 19, 6 + t, "teal", 0.2 + 0.1 * t)
            if t < 7:
                img = flash(enemy_body(kind, eyes="calm"), "cream", 0.9)
                return glow(img, 16, 19, 12, "cream", 0.5)
            img = purified_body(kind, bob=-1 if t % 2 else 0)
            for k in range(3):
                a = t * 0.7 + k * 2.1
                sparkle(img, 16 + round(math.cos(a) * 11), 14 + round(math.sin(a) * 6), 1, "teal")
            return img
        if pose == "appear":
            img = canvas(32, 32)
            d = draw(img)
            ell(d, 16, 28, min(12, 3 + t * 2), 2, col("ink", 220))
            ell(d, 16, 28, min(9, 1 + t * 2), 1, col("plum", 220))
            if t >= 4:
                body = enemy_body(kind)
                rise = max(0, 18 - (t - 4) * 3)
                body = shift(body, 0, rise)
                body = body.crop((0, 0, 32, 29))
                img.paste(body, (0, 0), body)
            if t >= 10:
                img = glow(img, 24, 16, 2, "red", 0.8)
            _wisps(img, t, seed, "plum", 4, 12, 14)
            return img
        raise KeyError(pose)
    return _frames(entry, frame)


@painter("enemy_debuffed")
def paint_enemy_debuffed(entry):
    spell = entry.arg
    colour = {"speed": "gold", "attack": "red", "defence": "sky"}[spell]

    def frame(t, n):
        img = enemy_body(None, eyes="x", lean=-1 - t % 2)
        if t == 0:
            img = flash(img, colour, 0.6)
        layer = canvas(32, 32)
        d = draw(layer)
        rng = Rng(5 + t)
        for k in range(6):
            a = k * math.pi / 3 + t * 0.5
            r0, r1 = 6 + t * 2, 10 + t * 3
            p0 = (16 + math.cos(a) * r0, 19 + math.sin(a) * r0 * 0.7)
            p1 = (16 + math.cos(a) * r1, 19 + math.sin(a) * r1 * 0.7)
            if spell == "defence":
                poly(d, [p0, p1, (p1[0] + rng.int(-2, 2), p1[1] + 2)], col(colour, 230 - t * 60))
            else:
                line(d, [p0, p1], col(colour, 240 - t * 60), 1)
        if spell == "attack":
            line(d, [(12, 14), (15, 19), (13, 24)], col("red"), 1)
        if spell == "speed":
            for k in range(3):
                line(d, [(4, 14 + k * 4), (9 - t, 14 + k * 4)], col("gold", 220))
        img.alpha_composite(layer)
        return img
    return _frames(entry, frame)


# --- boss -----------------------------------------------------------------

def boss_body(bob=0, hands=(0, 0), hands_up=0, lean=0, eyes=1.0, sag=0, crown=True):
    img = canvas(64, 64)
    d = draw(img)
    x, y = lean, bob + sag
    poly(d, [(22 + x, 24 + y), (42 + x, 24 + y), (54, 58), (10, 58)], "plum")
    for fx in (18, 26, 36, 44):
        line(d, [(fx + x // 2 + (fx - 32) // 6, 30 + y), (fx + (fx - 32) // 3, 57)], "night")
    poly(d, [(10, 58), (54, 58), (50, 60), (14, 60)], "night")
    ell(d, 32 + x, 18 + y, 10, 10, "night")
    ell(d, 33 + x, 20 + y, 7, 6, "ink")
    if crown:
        for cx, h in ((24, 9), (29, 12), (35, 12), (40, 9)):
            poly(d, [(cx - 2 + x, 12 + y), (cx + 2 + x, 12 + y), (cx + x, 12 - h + y)], "cream")
        line(d, [(23 + x, 12 + y), (41 + x, 12 + y)], "gold", 2)
    if eyes > 0:
        for ex in (29, 36):
            rect(d, ex + x, 19 + y, ex + 1 + x, 20 + y, "red")
    hl, hr = hands
    for hx, hy in ((10, 36 + hl - hands_up), (54, 36 + hr - hands_up)):
        ell(d, hx + x // 2, hy + y // 2, 4, 4, "plum")
        for k in (-3, 0, 3):
            line(d, [(hx + k + x // 2, hy - 3 + y // 2), (hx + k + x // 2, hy - 7 + y // 2)], "ink")
    img = outline(img)
    if eyes > 0:
        for ex in (29.5, 36.5):
            img = glow(img, ex + x, 19.5 + y, 3, "red", 0.5 * eyes)
    return img


def _boss_aura(img, t, strength=1.0):
    rng = Rng(91)
    for k in range(10):
        x0 = rng.int(8, 56)
        span = 24
        yy = 58 - ((t * 3 + rng.int(0, span)) % span)
        dot(img, x0 + wave(t + k, 8, 1), yy, col("plum", int(200 * strength)))
        dot(img, x0 + wave(t + k, 8, 1), yy - 1, col("plum", int(120 * strength)))


def _shadow(img, w=20):
    layer = canvas(64, 64)
    ell(draw(layer), 32, 61, w, 2, col("ink", 150))
    return Image.alpha_composite(layer, img)


@painter("boss")
def paint_boss(entry):
    pose = entry.arg

    def frame(t, n):
        b = wave(t, 16, 2)
        if pose == "idle":
            img = boss_body(bob=b, hands=(wave(t + 4, 16, 2), wave(t + 12, 16, 2)), eyes=0.6 + 0.4 * abs(math.sin(t / 5)))
            _boss_aura(img, t)
            return _shadow(img)
        if pose in ("tele_out", "tele_in"):
            k = t if pose == "tele_out" else n - 1 - t
            img = boss_body(bob=b, hands_up=min(6, k))
            if k >= 3:
                img = dissolve(img, min(1.0, (k - 2) / 11), 300 + t)
            img = glow(img, 32, 34, 8 + k * 2, "plum", 0.15 + 0.03 * k)
            layer = canvas(64, 64)
            r = 6 + k * 2
            draw(layer).ellipse((32 - r, 58 - r // 4, 32 + r, 58 + r // 4), outline=col("plum", 220))
            img.alpha_composite(layer)
            return _shadow(img, max(4, 20 - k))
        if pose == "spawn_enemy":
            up = min(10, t * 2)
            img = boss_body(bob=b, hands_up=up, eyes=1.0)
            for px in (14, 50):
                r = min(7, t // 2 + 1) if t < 14 else 9 - (t - 14) * 3
                img = glow(img, px, 52, r + 3, "plum", 0.5)
                ell(draw(img), px, 52, r, r // 2 + 1, "ink")
            if t in (10, 11):
                sparkle(img, 14, 48, 3, "red")
                sparkle(img, 50, 48, 3, "red")
            _boss_aura(img, t)
            return _shadow(img)
        if pose == "spawn_terrain":
            if t < 8:
                img = boss_body(bob=b - t // 3, hands_up=t * 2)
            else:
                img = boss_body(bob=2, hands=(14, 14), hands_up=0, lean=0)
            if t >= 8:
                rng = Rng(40 + t)
                for k in range(8):
                    rx = rng.int(4, 60)
                    ry = 58 - (t - 7) * rng.int(1, 3)
                    rect(draw(img), rx, ry, rx + 1, ry + 1, "stone")
                layer = canvas(64, 64)
                r = (t - 7) * 4
                draw(layer).ellipse((32 - r, 57, 32 + r, 61), outline=col("orange", 220))
                img.alpha_composite(layer)
            return _shadow(img)
        if pose == "hurt":
            if t < 3:
                return _shadow(flash(boss_body(lean=-2, eyes=0.2), "cream", 0.8))
            shake = (-1 if t % 2 else 1) if t < 12 else 0
            return _shadow(boss_body(lean=shake - (1 if t < 12 else 0), eyes=0.5))
        if pose == "down":
            if t < 6:
                img = boss_body(lean=-1 + t % 2, eyes=0.3)
                return _shadow(flash(img, "cream", 0.6) if t % 2 == 0 else img)
            sag = min(12, (t - 5) * 2)
            img = boss_body(sag=sag, eyes=0, hands=(sag, sag), crown=t < 10)
            if t >= 10:
                lifted = dissolve(img, (t - 9) / 8, 500 + t)
                img = Image.blend(flash(img, "sky", 0.5), lifted, 0.5)
                img = glow(img, 32, 36, 6 + t - 10, "cream", 0.25)
            return _shadow(img)
        raise KeyError(pose)
    return _frames(entry, frame)


@painter("burst")
def paint_burst(entry):
    """A purifying burst of light: rings and rays spread, then fade out."""
    colours = entry.arg.split() or ["cream", "gold", "teal"]

    def frame(t, n):
        size = entry.height // 4
        c = size / 2
        img = canvas(size, size)
        life = t / (n - 1)
        alpha = 1.0 if life < 0.6 else max(0.0, 1 - (life - 0.6) / 0.4)
        d = draw(img)
        for k in range(12):
            a = k * math.pi / 6 + life * 0.6
            r0, r1 = c * 0.15 + c * 0.3 * life, c * 0.35 + c * 0.6 * life
            line(d, [(c + math.cos(a) * r0, c + math.sin(a) * r0),
                     (c + math.cos(a) * r1, c + math.sin(a) * r1)],
                 col(colours[k % len(colours)], int(230 * alpha)))
        for i, name in enumerate(colours):
            r = c * (0.2 + 0.7 * life) - i * 3
            if r > 1:
                d.ellipse((c - r, c - r, c + r, c + r), outline=col(name, int(255 * alpha)))
        img = glow(img, c, c, max(2, c * (0.5 - 0.3 * life)), "cream", alpha * 0.8)
        return img
    return _frames(entry, frame)
