"""Chiptune sound effects and looping music beds, synthesised sample by sample.

Every synth returns exactly round(seconds * rate) samples, so a music bed
loops on its bar line and its length matches the manifest.
"""
import math

from .pixel import Rng
from .registry import synth

A4 = 440.0

# Levels in the game's mix. Every sound plays at full volume and the mixer adds the voices, clipping
# at full scale, so the files carry the mix: every music bed has one RMS over its loop, and each
# effect's loudest 100 ms (RMS) sits a set number of dB above it, its peak held under a ceiling. At
# these levels the level music, both characters' footsteps, a fight's hurt sounds and spells together
# stay below full scale (build/sound_levels measures played levels).
MUSIC_RMS_DB = -25.0
EFFECT_PEAK_DB = -13.0
ABOVE_MUSIC_DB = {
    "blip": 5.0,         # menu and purification keys, over the menu music
    "step light": -3.0,  # Ilo's footsteps: under the music, heard between its notes
    "step heavy": -2.0,  # Dora's
    "hurt": 6.0,
    "death": 7.0,
    "spell": 5.0,
    "debuffed": 5.0,
    "heal": 4.0,
    "chime": 6.0,
    "buzz": 5.0,
    "thud": 7.0,
    "barrier": 2.0,
    "bubbles": 1.0,      # a loop that plays as long as Ilo stands in the poison
}
# Lower ceilings: the boss drops up to five boulders at once, whose thuds start on the same sample
# and add up in phase.
PEAK_DB = {"thud": -19.0}


def hz(semitone):
    """Frequency of a semitone offset from A4."""
    return A4 * 2 ** (semitone / 12.0)


def note(name):
    """'C4', 'F#3', 'Bb2' -> semitones from A4."""
    letters = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    s = letters[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        s, rest = s + 1, rest[1:]
    elif rest.startswith("b"):
        s, rest = s - 1, rest[1:]
    return s + (int(rest) - 4) * 12


def wave(kind, phase, duty=0.5):
    p = phase % 1.0
    if kind == "square":
        return 1.0 if p < duty else -1.0
    if kind == "triangle":
        return 4 * p - 1 if p < 0.5 else 3 - 4 * p
    if kind == "saw":
        return 2 * p - 1
    return math.sin(2 * math.pi * p)


class Mix:
    def __init__(self, seconds, rate):
        self.rate = rate
        self.buf = [0.0] * int(round(seconds * rate))
        self.noise = Rng(99)

    def tone(self, start, length, freq, kind="square", vol=0.3, duty=0.5,
             slide=0.0, attack=0.005, release=0.05, vibrato=0.0):
        """A note from start for length seconds; slide is the end frequency
        ratio, vibrato its depth in semitones."""
        i0 = int(start * self.rate)
        n = int(length * self.rate)
        phase = 0.0
        for k in range(n):
            i = i0 + k
            if i >= len(self.buf):
                break
            t = k / self.rate
            f = freq * (1 + (slide - 1) * k / n if slide else 1)
            if vibrato:
                f *= 2 ** (vibrato * math.sin(2 * math.pi * 6 * t) / 12)
            phase += f / self.rate
            env = min(1.0, t / attack) if attack else 1.0
            env *= min(1.0, (length - t) / release) if release else 1.0
            self.buf[i] += wave(kind, phase, duty) * vol * env

    def hiss(self, start, length, vol=0.3, decay=20.0, colour=0.5):
        """Noise burst; colour near 1 is dull (low-passed), near 0 bright."""
        i0 = int(start * self.rate)
        prev = 0.0
        for k in range(int(length * self.rate)):
            i = i0 + k
            if i >= len(self.buf):
                break
            t = k / self.rate
            raw = self.noise.next() * 2 - 1
            prev = prev * colour + raw * (1 - colour)
            self.buf[i] += prev * vol * math.exp(-decay * t) * min(1.0, (length - t) * 200)

    def rms(self, window=None):
        """RMS of the whole buffer, or of its loudest `window` seconds."""
        power = [s * s for s in self.buf]
        n = len(power) if window is None else max(1, min(len(power), int(window * self.rate)))
        total = loudest = sum(power[:n])
        for i in range(n, len(power)):
            total += power[i] - power[i - n]
            loudest = max(loudest, total)
        return math.sqrt(max(loudest, 0.0) / n)

    def scaled(self, rms, target_db, peak_db=0.0):
        peak = max(1e-9, max(abs(s) for s in self.buf))
        gain = min(10 ** (target_db / 20.0) / max(rms, 1e-9), 10 ** (peak_db / 20.0) / peak)
        return [s * gain for s in self.buf]

    def done(self, look):
        """The effect at its level in the mix (ABOVE_MUSIC_DB[look]) or at its peak ceiling."""
        return self.scaled(self.rms(0.1), MUSIC_RMS_DB + ABOVE_MUSIC_DB[look], PEAK_DB.get(look, EFFECT_PEAK_DB))

    def done_bed(self):
        """A music bed at the music's RMS."""
        return self.scaled(self.rms(), MUSIC_RMS_DB)


# --- effects -----------------------------------------------------------------

@synth("blip")
def s_blip(entry, rate):
    m = Mix(entry.seconds, rate)
    if entry.arg == "high":
        m.tone(0, 0.07, hz(note("E6")), "square", 0.4, 0.25, release=0.03)
    elif entry.arg == "key":
        m.tone(0, 0.05, hz(note("C6")), "square", 0.4, 0.25, release=0.02)
        m.tone(0.05, 0.09, hz(note("G6")), "square", 0.4, 0.25, release=0.05)
    else:
        m.tone(0, 0.08, hz(note("C5")), "square", 0.4, 0.5, release=0.02)
        m.tone(0.08, 0.16, hz(note("G5")), "square", 0.4, 0.5, release=0.1)
    return m.done("blip")


@synth("step")
def s_step(entry, rate):
    weight, i = entry.arg.split()
    i = int(i)
    m = Mix(entry.seconds, rate)
    colour = 0.55 + 0.05 * i if weight == "light" else 0.8 + 0.02 * i
    m.hiss(0, entry.seconds, 0.6, 45 if weight == "light" else 30, min(colour, 0.93))
    m.tone(0, 0.05, 90 + 12 * i if weight == "light" else 60 + 6 * i, "sine", 0.4, slide=0.5)
    return m.done("step " + weight)


HURT = {"ilo": ("square", "E5", 0.5), "dora": ("square", "A3", 0.5),
        "growl": ("saw", "E2", 0.7), "clank": ("square", "C5", 0.3),
        "screech": ("saw", "C6", 0.6), "boss": ("saw", "C2", 0.6)}


@synth("hurt")
def s_hurt(entry, rate):
    who, i = entry.arg.split()
    kind, base, slide = HURT[who]
    m = Mix(entry.seconds, rate)
    f = hz(note(base) + (int(i) - 3))
    m.tone(0, entry.seconds, f, kind, 0.35, 0.3, slide=slide, release=0.08, vibrato=0.8)
    if who == "clank":
        m.tone(0, entry.seconds * 0.7, f * 1.41, "square", 0.2, 0.5, release=0.15)
        m.hiss(0, 0.1, 0.3, 30, 0.2)
    else:
        m.hiss(0, 0.08, 0.25, 40, 0.6)
    return m.done("hurt")


@synth("death")
def s_death(entry, rate):
    m = Mix(entry.seconds, rate)
    start = {"enemy": "E4", "ilo": "A5", "dora": "D4"}[entry.arg]
    steps = [0, -3, -7, -12]
    step = entry.seconds / (len(steps) + 1)
    for k, s in enumerate(steps):
        m.tone(k * step, step * 1.5, hz(note(start) + s), "square" if entry.arg != "enemy" else "saw",
               0.3, 0.5, release=0.1)
    m.tone(len(steps) * step, step, hz(note(start) - 12), "triangle", 0.4, slide=0.5)
    if entry.arg == "enemy":
        m.hiss(0, entry.seconds, 0.3, 5, 0.7)
    return m.done("death")


@synth("spell")
def s_spell(entry, rate):
    m = Mix(entry.seconds, rate)
    T = entry.seconds
    if entry.arg == "attack":
        m.hiss(0, T, 0.5, 6, 0.75)
        m.tone(0, T, hz(note("A4")), "saw", 0.25, slide=0.3, release=0.15)
    elif entry.arg == "defence":
        for k, n in enumerate(("C5", "E5", "G5", "C6")):
            m.tone(k * 0.06, T - k * 0.06, hz(note(n)), "triangle", 0.25, release=0.2, vibrato=0.3)
    else:
        m.tone(0, T, hz(note("C5")), "square", 0.3, 0.25, slide=3.0, release=0.1)
        m.hiss(0, T * 0.6, 0.2, 10, 0.3)
    return m.done("spell")


@synth("debuffed")
def s_debuffed(entry, rate):
    m = Mix(entry.seconds, rate)
    for k, n in enumerate(("G5", "D5", "A4", "D4")):
        m.tone(k * 0.08, 0.1, hz(note(n)), "square", 0.3, 0.25, release=0.03)
    return m.done("debuffed")


@synth("heal")
def s_heal(entry, rate):
    m = Mix(entry.seconds, rate)
    for k, n in enumerate(("C5", "E5", "G5", "C6", "E6")):
        m.tone(k * 0.09, entry.seconds - k * 0.09, hz(note(n)), "triangle", 0.25, release=0.25)
    m.tone(0.4, 0.25, hz(note("G6")), "square", 0.1, 0.125, release=0.2)
    return m.done("heal")


@synth("chime")
def s_chime(entry, rate):
    m = Mix(entry.seconds, rate)
    for k, n in enumerate(("C5", "E5", "G5", "C6")):
        m.tone(k * 0.1, entry.seconds - k * 0.1, hz(note(n)), "square", 0.2, 0.25, release=0.3)
        m.tone(k * 0.1, entry.seconds - k * 0.1, hz(note(n)) * 2, "triangle", 0.12, release=0.3)
    return m.done("chime")


@synth("buzz")
def s_buzz(entry, rate):
    m = Mix(entry.seconds, rate)
    m.tone(0, 0.15, hz(note("C3")), "square", 0.4, 0.5, release=0.02)
    m.tone(0.18, 0.2, hz(note("B2")), "square", 0.4, 0.5, release=0.05)
    return m.done("buzz")


@synth("thud")
def s_thud(entry, rate):
    m = Mix(entry.seconds, rate)
    m.tone(0, entry.seconds, 110, "sine", 0.7, slide=0.3, release=0.3)
    m.hiss(0, entry.seconds, 0.5, 7, 0.85)
    return m.done("thud")


@synth("barrier")
def s_barrier(entry, rate):
    m = Mix(entry.seconds, rate)
    for k, n in enumerate(("A4", "E5", "A5")):
        m.tone(0, entry.seconds, hz(note(n)), "triangle", 0.2, attack=0.3, release=0.4, vibrato=0.4)
    m.tone(0, entry.seconds, hz(note("A3")), "square", 0.08, 0.25, slide=2.0, attack=0.2, release=0.3)
    return m.done("barrier")


@synth("bubbles")
def s_bubbles(entry, rate):
    """A bubbling loop: every bubble ends well before the loop point."""
    m = Mix(entry.seconds, rate)
    rng = Rng(31)
    t = 0.05
    while t < entry.seconds - 0.25:
        f = 200 + rng.next() * 500
        m.tone(t, 0.06 + rng.next() * 0.06, f, "sine", 0.35, slide=1.8, release=0.03)
        t += 0.08 + rng.next() * 0.2
    m.hiss(0, entry.seconds, 0.05, 0, 0.95)
    return m.done("bubbles")


# --- music -------------------------------------------------------------------

# bpm, bars, chords (root, quality) per bar, key scale root, drums, lead wave
TUNES = {
    "main": (90, 6, [("A3", "m"), ("F3", "M"), ("C4", "M"), ("G3", "M"), ("A3", "m"), ("E3", "M")], True, 0.5),
    "level1": (120, 8, [("D3", "m"), ("Bb2", "M"), ("C3", "M"), ("A2", "m")] * 2, True, 0.25),
    "level2": (150, 10, [("E3", "m"), ("C3", "M"), ("D3", "M"), ("B2", "M"), ("E3", "m")] * 2, True, 0.25),
    "intro1": (80, 4, [("A3", "m"), ("E3", "m"), ("F3", "M"), ("E3", "M")], False, 0.5),
    "intro2": (80, 4, [("C4", "M"), ("G3", "M"), ("A3", "m"), ("F3", "M")], False, 0.5),
    "win": (120, 6, [("C4", "M"), ("F3", "M"), ("G3", "M"), ("C4", "M"), ("F3", "M"), ("G3", "M")], True, 0.25),
    "lose": (80, 4, [("A3", "m"), ("D3", "m"), ("E3", "M"), ("A3", "m")], False, 0.5),
}


def _chord(root, quality):
    r = note(root)
    return [r, r + (3 if quality == "m" else 4), r + 7]


@synth("tune")
def s_tune(entry, rate):
    bpm, bars, chords, drums, duty = TUNES[entry.arg]
    beat = 60.0 / bpm
    bar = beat * 4
    if abs(bar * bars - entry.seconds) > 1e-6:
        raise ValueError(f"{entry.name}: {bars} bars at {bpm} bpm is not {entry.seconds} s")
    m = Mix(entry.seconds, rate)
    rng = Rng(sum(map(ord, entry.arg)))
    motif = [rng.int(0, 3) for _ in range(8)]
    for b, (root, quality) in enumerate(chords):
        t0 = b * bar
        tones = _chord(root, quality)
        for k in range(8):  # bass in eighths
            m.tone(t0 + k * beat / 2, beat / 2 * 0.9, hz(tones[0] - 12 + (12 if k % 4 == 3 else 0)),
                   "triangle", 0.32, release=0.03)
        for k in range(16):  # soft arpeggio in sixteenths
            m.tone(t0 + k * beat / 4, beat / 4 * 0.8, hz(tones[k % 3] + 12), "square", 0.05, 0.125,
                   release=0.02)
        for k in range(8):  # lead: the motif over the chord, varied on odd bars
            step = motif[k] if b % 2 == 0 else (motif[k] + rng.int(0, 2)) % 4
            if step == 3 and k % 2:
                continue  # a rest
            pitch = (tones + [tones[0] + 12])[step] + 12
            length = beat / 2 * (2 if k % 4 == 0 else 1) * 0.9
            m.tone(t0 + k * beat / 2, length, hz(pitch), "square", 0.16, duty, release=0.05,
                   vibrato=0.15)
        if drums:
            for k in range(4):
                t = t0 + k * beat
                if k % 2 == 0:
                    m.tone(t, 0.12, 120, "sine", 0.5, slide=0.4, release=0.05)
                else:
                    m.hiss(t, 0.12, 0.3, 25, 0.3)
                m.hiss(t + beat / 2, 0.04, 0.12, 80, 0.05)
        else:
            m.tone(t0, bar * 0.98, hz(tones[1]), "triangle", 0.08, attack=0.4, release=0.5)
    return m.done_bed()
