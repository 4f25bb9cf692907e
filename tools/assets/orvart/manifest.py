"""Reads tools/assets/manifest.txt: one asset per line.

    kind  name  size  frames  look...

kind is texture, sheet, sound or music. size is WxH pixels (for a sheet,
the size of one frame; frames sit side by side in one row) or a length in
seconds for sounds. frames is 1 except for sheets. look is the painter or
synth key followed by its free-form argument (a button's label, say).
"""
from dataclasses import dataclass

IMAGE_KINDS = ("texture", "sheet")
SOUND_KINDS = ("sound", "music")


@dataclass
class Entry:
    kind: str
    name: str
    width: int
    height: int
    seconds: float
    frames: int
    key: str
    arg: str
    line: int

    @property
    def is_image(self):
        return self.kind in IMAGE_KINDS

    @property
    def file_name(self):
        return self.name + (".png" if self.is_image else ".ogg")


def read(path):
    entries, seen = [], set()
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            text = raw.strip()
            if not text or text.startswith("#"):
                continue
            parts = text.split(None, 4)
            if len(parts) < 5:
                raise ValueError(f"{path}:{number}: expected kind name size frames look")
            kind, name, size, frames, look = parts
            key, _, arg = look.partition(" ")
            if kind not in IMAGE_KINDS + SOUND_KINDS:
                raise ValueError(f"{path}:{number}: unknown kind {kind}")
            if name in seen:
                raise ValueError(f"{path}:{number}: {name} listed twice")
            seen.add(name)
            width = height = 0
            seconds = 0.0
            if kind in IMAGE_KINDS:
                w, _, h = size.partition("x")
                width, height = int(w), int(h)
            else:
                seconds = float(size)
            count = int(frames)
            if (kind == "sheet") != (count > 1):
                raise ValueError(f"{path}:{number}: only sheets have more than one frame")
            entries.append(Entry(kind, name, width, height, seconds, count,
                                 key, arg.strip(), number))
    return entries
