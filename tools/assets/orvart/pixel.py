"""Palette and low-resolution drawing helpers shared by every painter.

Everything is drawn at a small base resolution with hard edges, outlined
in ink and scaled up nearest-neighbour, so all assets share one look.
"""
import math

from PIL import Image, ImageChops, ImageDraw

# The whole game draws from these colours (plus alpha).
PALETTE = {
    "ink":    (27, 20, 38),     # outlines, deepest shadow
    "night":  (43, 45, 92),     # Ilo's robe, night sky
    "slate":  (74, 78, 138),    # highlights on dark things, far hills
    "sky":    (143, 166, 217),  # pale sky, glass, defence magic light
    "cream":  (244, 236, 214),  # skin, paper, UI faces
    "gold":   (242, 193, 78),   # trim, speed magic, lit keys
    "orange": (224, 122, 58),   # warmth, fire, warnings
    "red":    (200, 65, 59),    # attack magic, enemy eyes, danger
    "leaf":   (95, 163, 90),    # grass, healing, purified things
    "moss":   (47, 94, 69),     # Dora's cloak, dark foliage
    "teal":   (95, 211, 208),   # the orb, purification
    "plum":   (138, 63, 158),   # corruption
    "earth":  (122, 82, 54),    # wood, soil, boots
    "stone":  (140, 138, 147),  # rock, metal, armour
}


def col(name, alpha=255):
    """A palette colour as an RGBA tuple."""
    r, g, b = PALETTE[name]
    return (r, g, b, alpha)


def mix(a, b, t):
    """Blend two palette names (or RGBA tuples) by t in [0, 1]."""
    ca = col(a) if isinstance(a, str) else a
    cb = col(b) if isinstance(b, str) else b
    return tuple(int(round(ca[i] + (cb[i] - ca[i]) * t)) for i in range(4))


def canvas(w, h, fill=None):
    return Image.new("RGBA", (w, h), fill if fill else (0, 0, 0, 0))


def upscale(img, s):
    return img.resize((img.width * s, img.height * s), Image.NEAREST)


def outline(img, colour="ink"):
    """Adds a one-pixel, four-neighbour outline around opaque pixels."""
    w, h = img.size
    alpha = Image.new("L", (w + 2, h + 2))
    alpha.paste(img.getchannel("A").point(lambda a: 255 if a > 40 else 0), (1, 1))
    grown = alpha
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        grown = ImageChops.lighter(grown, ImageChops.offset(alpha, dx, dy))
    ring = ImageChops.subtract(grown, alpha).crop((1, 1, w + 1, h + 1))
    out = img.copy()
    out.paste(Image.new("RGBA", img.size, col(colour)), (0, 0), ring)
    return out


def flash(img, colour="cream", amount=0.7):
    """Pulls every visible pixel toward one colour (hit flashes)."""
    solid = Image.new("RGBA", img.size, col(colour))
    blended = Image.blend(img, solid, amount)
    blended.putalpha(img.getchannel("A"))
    return blended


def fade(img, alpha):
    """Scales the image's alpha by alpha in [0, 1]."""
    out = img.copy()
    out.putalpha(img.getchannel("A").point(lambda a: int(a * alpha)))
    return out


def recolour(img, mapping):
    """Swaps exact palette colours: mapping from name to name."""
    px = img.load()
    table = {PALETTE[a]: col(b)[:3] for a, b in mapping.items()}
    for y in range(img.height):
        for x in range(img.width):
            r, g, b, a = px[x, y]
            if a and (r, g, b) in table:
                px[x, y] = table[(r, g, b)] + (a,)
    return img


def dissolve(img, amount, seed):
    """Removes a seeded random share of the pixels (0 none, 1 all)."""
    out = img.copy()
    px = out.load()
    rng = Rng(seed)
    for y in range(out.height):
        for x in range(out.width):
            if rng.next() < amount:
                px[x, y] = (0, 0, 0, 0)
    return out


def shift(img, dx, dy):
    """Moves the picture without wrapping."""
    out = canvas(img.width, img.height)
    out.paste(img, (dx, dy), img)
    return out


class Rng:
    """Small deterministic generator so output never depends on Python's."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 12345) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 4294967296.0

    def int(self, lo, hi):
        return lo + int(self.next() * (hi - lo + 1))


def draw(img):
    return ImageDraw.Draw(img)


def ell(d, cx, cy, rx, ry, fill):
    """Filled ellipse by centre and radii, in palette colour or RGBA."""
    d.ellipse((cx - rx, cy - ry, cx + rx, cy + ry),
              fill=col(fill) if isinstance(fill, str) else fill)


def rect(d, x0, y0, x1, y1, fill):
    d.rectangle((x0, y0, x1, y1), fill=col(fill) if isinstance(fill, str) else fill)


def poly(d, pts, fill):
    d.polygon(pts, fill=col(fill) if isinstance(fill, str) else fill)


def line(d, pts, fill, width=1):
    d.line(pts, fill=col(fill) if isinstance(fill, str) else fill, width=width)


def dot(img, x, y, fill):
    if 0 <= x < img.width and 0 <= y < img.height:
        img.putpixel((int(x), int(y)), col(fill) if isinstance(fill, str) else fill)


def sparkle(img, x, y, size, fill):
    """A four-pointed pixel star."""
    dot(img, x, y, fill)
    for i in range(1, size + 1):
        for dx, dy in ((i, 0), (-i, 0), (0, i), (0, -i)):
            dot(img, x + dx, y + dy, fill)


def glow(img, cx, cy, r, fill, strength=0.5):
    """A soft stepped halo (three rings of falling alpha)."""
    layer = canvas(img.width, img.height)
    d = draw(layer)
    base = col(fill) if isinstance(fill, str) else fill
    for i, a in ((r, 0.35), (r * 0.66, 0.6), (r * 0.33, 1.0)):
        ri = max(1, int(round(i)))
        ell(d, cx, cy, ri, ri, base[:3] + (int(255 * strength * a),))
    return Image.alpha_composite(img, layer)


def wave(t, period, amp):
    """Integer pixel offset of a sine cycle: t frames into a period."""
    return int(round(math.sin(2 * math.pi * t / period) * amp))
