"""Spells, hit and heal effects, and the hazards (boulder, spikes, poison, walls)."""
import math

from .pixel import (canvas, draw, ell, rect, poly, line, dot, outline, glow,
                    sparkle, upscale, wave, dissolve, fade, col, mix, Rng)
from .registry import painter

SPELL = {"attack": ("red", "orange"), "defence": ("sky", "teal"), "speed": ("gold", "leaf")}


def _frames(entry, fn, scale=4):
    base = entry.height // scale
    return [upscale(fn(t, entry.frames, base), scale) for t in range(entry.frames)]


@painter("bullet")
def paint_bullet(entry):
    """A spell in flight, heading right, on a 16-pixel base."""
    main, second = SPELL[entry.arg]

    def frame(t, n, size):
        img = canvas(size, size)
        d = draw(img)
        cy = size // 2
        rng = Rng(t + 3)
        for k in range(6):  # trail
            tx = 8 - k - rng.int(0, 1)
            dot(img, tx, cy + rng.int(-2, 2), col(second if k % 2 else main, 220 - k * 30))
        if entry.arg == "attack":
            ell(d, 10, cy, 3, 3, "red")
            ell(d, 11, cy, 2, 2 - t % 2, "orange")
            dot(img, 11, cy, "cream")
        elif entry.arg == "defence":
            ell(d, 10, cy, 3, 3, "sky")
            line(d, [(10, cy - 2), (10, cy + 2)], "night")
            line(d, [(8, cy), (12, cy)], "night")
            a = t * math.pi / 4
            dot(img, 10 + round(math.cos(a) * 4), cy + round(math.sin(a) * 4), "cream")
        else:
            line(d, [(5, cy - 2), (9, cy), (8, cy + 1), (13, cy + 2 - t % 2)], "gold")
            line(d, [(6, cy - 3 + t % 2), (10, cy - 1)], "cream")
        img = outline(img)
        return glow(img, 10, cy, 4, main, 0.35)
    return _frames(entry, frame)


@painter("blast")
def paint_blast(entry):
    """The hit of a spell: a burst in the spell's colours, gone by the last frame."""
    main, second = SPELL[entry.arg]

    def frame(t, n, size):
        img = canvas(size, size)
        d = draw(img)
        c = size / 2
        life = t / (n - 1)
        alpha = int(255 * (1 - life * 0.85))
        r = 3 + life * (c - 5)
        if entry.arg == "attack":
            ell(d, c, c, r, r, col("orange", alpha // 2))
            ell(d, c, c, r * 0.6, r * 0.6, col("red", alpha))
            ell(d, c, c, max(1, r * 0.3 * (1 - life)), max(1, r * 0.3 * (1 - life)), col("cream", alpha))
        elif entry.arg == "defence":
            for k in range(6):
                a = k * math.pi / 3 + life
                px, py = c + math.cos(a) * r, c + math.sin(a) * r
                poly(d, [(px, py - 2), (px + 2, py), (px, py + 2), (px - 2, py)], col("sky", alpha))
            d.ellipse((c - r * 0.7, c - r * 0.7, c + r * 0.7, c + r * 0.7), outline=col("teal", alpha))
        else:
            for k in range(3):
                pts = []
                for s in range(8):
                    a = k * 2 * math.pi / 3 + s * 0.5 + life * 2
                    rr = r * s / 8
                    pts.append((c + math.cos(a) * rr, c + math.sin(a) * rr))
                line(d, pts, col("gold", alpha))
            ell(d, c, c, 2, 2, col("cream", alpha))
        rng = Rng(70 + t)
        for k in range(8):
            a = rng.next() * 2 * math.pi
            rr = r * (0.8 + rng.next() * 0.5)
            dot(img, c + math.cos(a) * rr, c + math.sin(a) * rr, col(second, alpha))
        return img
    return _frames(entry, frame)


@painter("vfx")
def paint_vfx(entry):
    kind = entry.arg

    def frame(t, n, size):
        img = canvas(size, size)
        d = draw(img)
        life = t / (n - 1)
        c = size / 2
        if kind == "heal":  # a ring at the feet and plus signs rising
            r = 4 + t
            d.ellipse((c - r, size - 6 - r / 3, c + r, size - 6 + r / 3), outline=col("leaf", int(240 * (1 - life))))
            rng = Rng(12)
            for k in range(5):
                x = rng.int(6, size - 7)
                y = size - 6 - ((t * 3 + rng.int(0, 12)) % (size - 8))
                a = int(255 * (1 - life * 0.6))
                colour = col("cream" if k % 2 else "leaf", a)
                line(d, [(x - 1, y), (x + 1, y)], colour)
                line(d, [(x, y - 1), (x, y + 1)], colour)
        elif kind == "dizzy":  # stars circling over a hit head
            d.ellipse((c - 10, c - 10, c + 10, c - 2), outline=col("gold", 200))
            for k in range(3):
                a = t * math.pi / 4 + k * 2 * math.pi / 3
                sparkle(img, c + round(math.cos(a) * 10), c - 6 + round(math.sin(a) * 4), 2, "gold")
                dot(img, c + round(math.cos(a) * 10), c - 6 + round(math.sin(a) * 4), "cream")
        elif kind == "purify_mark":  # a pulsing teal diamond over a weakened enemy
            s = 4 + wave(t, n, 1)
            poly(d, [(c, c - s - 1), (c + s, c), (c, c + s + 1), (c - s, c)], "teal")
            poly(d, [(c, c - s + 1), (c + s - 2, c), (c, c + s - 1), (c - s + 2, c)], "cream")
            img = outline(img)
            img = glow(img, c, c, s + 3, "teal", 0.25 + 0.1 * wave(t, n, 1))
        return img
    return _frames(entry, frame)


# --- hazards ---------------------------------------------------------------

def _ring(size, colour, marks):
    img = canvas(size, size)
    d = draw(img)
    cx, cy = size // 2, size - 5
    ell(d, cx, cy, 9, 3, col(colour, 70))
    d.ellipse((cx - 9, cy - 3, cx + 9, cy + 3), outline=col(colour, 230))
    d.ellipse((cx - 6, cy - 2, cx + 6, cy + 2), outline=col("cream", 150))
    if marks == "spikes":
        for k in (-4, 0, 4):
            poly(d, [(cx + k - 1, cy + 1), (cx + k + 1, cy + 1), (cx + k, cy - 2)], col(colour))
    else:
        rect(d, cx, cy - 2, cx, cy, col("cream"))
    return img


@painter("ring")
def paint_ring(entry):
    size = entry.height // 4
    colour, marks = ("orange", "boulder") if entry.arg == "boulder" else ("red", "spikes")
    return upscale(_ring(size, colour, marks), 4)


def _boulder(d, img, cx, cy, r, cracked=0):
    ell(d, cx, cy, r, r - 1, "stone")
    ell(d, cx + 2, cy + 2, r // 2 + 1, r // 3 + 1, mix("stone", "ink", 0.45))
    ell(d, cx - 2, cy - 3, 1, 1, "cream")
    dot(img, cx + 1, cy - 2, "ink")
    dot(img, cx - 3, cy + 1, "ink")
    if cracked:
        line(d, [(cx - 2, cy - r + 1), (cx, cy), (cx - 1, cy + r - 2)], "ink")
    if cracked > 1:
        line(d, [(cx, cy), (cx + r - 1, cy - 1)], "ink")


@painter("boulder")
def paint_boulder(entry):
    """Falls onto its ring (frames 1-7), lands (8-11), crumbles (12-16)."""
    def frame(t, n, size):
        img = _ring(size, "orange", "boulder") if t < 7 else canvas(size, size)
        d = draw(img)
        gx, gy = size // 2, size - 5
        r = 6
        if t < 7:
            ell(d, gx, gy, 2 + t, 1 + t // 3, col("ink", 90 + t * 15))
            body = canvas(size, size)
            _boulder(draw(body), body, gx, -4 + t * 3 + (t * t) // 3, r)
            img.alpha_composite(outline(body))
            return img
        if t < 11:
            body = canvas(size, size)
            _boulder(draw(body), body, gx, gy - r + 1 + (1 if t == 7 else 0), r, cracked=t - 7)
            img.alpha_composite(outline(body))
            rng = Rng(t)
            for k in range(10):
                a = math.pi + rng.next() * math.pi
                rr = 6 + (t - 6) * 2 + rng.int(0, 3)
                ell(d, gx + math.cos(a) * rr, gy + math.sin(a) * rr * 0.4, 1, 1, col("stone", 200))
            return img
        k = t - 10
        body = canvas(size, size)
        bd = draw(body)
        for px, py in ((-4, 0), (4, 0), (0, -3), (-2, 2), (3, 3)):
            ell(bd, gx + px * (1 + k // 2), gy - 3 + py + k // 2, 2, 2, "stone")
        body = outline(body)
        return fade(dissolve(body, k / 6, 90 + t), 1 - k / 6)
    return _frames(entry, frame)


@painter("spikes")
def paint_spikes(entry):
    """Ground cracks (1-7), spikes up (8-11), spikes sink back (12-16)."""
    def frame(t, n, size):
        img = _ring(size, "red", "spikes") if t < 7 else canvas(size, size)
        d = draw(img)
        gx, gy = size // 2, size - 5
        if t < 7:
            h = t // 2
        elif t < 11:
            h = 14
        else:
            h = max(0, 14 - (t - 10) * 3)
        body = canvas(size, size)
        bd = draw(body)
        ell(bd, gx, gy, 9, 2, "earth")
        line(bd, [(gx - 7, gy), (gx - 3, gy - 1), (gx + 2, gy + 1), (gx + 7, gy)], "ink")
        for k, dx in enumerate((-6, -3, 0, 3, 6)):
            hh = h - (k % 2) * 3 if h > 3 else h
            if hh > 0:
                poly(bd, [(gx + dx - 1, gy), (gx + dx + 1, gy), (gx + dx, gy - hh)], "stone")
                dot(body, gx + dx, gy - hh, "cream")
        img.alpha_composite(outline(body))
        if 7 <= t < 11:
            sparkle(img, gx + 5 - (t % 2) * 10, gy - 12, 1, "cream")
        return img
    return _frames(entry, frame)


@painter("poison")
def paint_poison(entry):
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    d = draw(img)
    ell(d, w / 2, h / 2, w / 2 - 2, h / 2 - 3, col("moss", 235))
    ell(d, w / 2, h / 2, w / 2 - 6, h / 2 - 6, col("leaf", 235))
    ell(d, w / 2 - 6, h / 2 - 1, w / 5, h / 6, col("plum", 200))
    rng = Rng(4)
    for k in range(14):
        x, y = rng.int(8, w - 9), rng.int(7, h - 8)
        ell(d, x, y, 1, 1, col("cream" if k % 3 == 0 else "leaf", 230))
    return upscale(outline(img), 4)


@painter("bubbles")
def paint_bubbles(entry):
    def frame(t, n, size):
        img = canvas(size, size)
        d = draw(img)
        rng = Rng(8)
        for k in range(4):
            x = rng.int(3, size - 4)
            phase = (t + k * 2) % n
            y = size - 3 - phase
            r = 1 + (phase // 3) % 2
            if phase < n - 1:
                d.ellipse((x - r, y - r, x + r, y + r), outline=col("leaf", 230), fill=col("moss", 120))
            else:
                sparkle(img, x, y, 1, col("leaf", 200))
        return img
    return _frames(entry, frame)


@painter("death_wall")
def paint_death_wall(entry):
    """A moving wall of darkness: solid on the left, ragged on its leading edge."""
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    px = img.load()
    rng = Rng(17)
    edge = [w - 10 + round(4 * math.sin(y / 5) + 3 * math.sin(y / 2.3)) for y in range(h)]
    for y in range(h):
        for x in range(w):
            if x < edge[y] - 8:
                v = (math.sin(x / 4 + y / 7) + math.sin(y / 3 - x / 9)) * 0.5
                px[x, y] = col("ink") if v < 0.3 else col("plum", 255) if v > 0.8 else col("night")
            elif x < edge[y]:
                a = 1 - (x - edge[y] + 8) / 8
                px[x, y] = col("plum", int(100 + 155 * a)) if (x + y) % 3 else col("ink", int(255 * a))
    for k in range(9):
        ex, ey = rng.int(6, w - 20), rng.int(8, h - 8)
        rect(draw(img), ex, ey, ex + 1, ey, "red")
        rect(draw(img), ex + 3, ey, ex + 4, ey, "red")
    return upscale(img, 4)


@painter("barrier")
def paint_barrier(entry):
    w, h = entry.width // 4, entry.height // 4
    img = canvas(w, h)
    d = draw(img)
    rect(d, 4, 0, w - 5, h - 1, col("sky", 110))
    rect(d, 8, 0, w - 9, h - 1, col("teal", 70))
    for x in (4, w - 5):
        line(d, [(x, 0), (x, h - 1)], col("cream", 230))
    for y in range(6, h - 4, 14):
        c = w // 2
        poly(d, [(c, y), (c + 3, y + 4), (c, y + 8), (c - 3, y + 4)], col("cream", 200))
        dot(img, c, y + 4, "teal")
    return upscale(img, 4)
