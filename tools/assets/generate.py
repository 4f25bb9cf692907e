#!/usr/bin/python3
"""Makes every texture and sound listed in manifest.txt.

Run with Debian's /usr/bin/python3 (PIL) from anywhere:
    /usr/bin/python3 tools/assets/generate.py [--only NAME...] [--contact PNG]
Textures go to Resources/ArtAssets/<name>.png, sounds to
Resources/Sounds/<name>.ogg (encoded by sox). Files in those folders that
the manifest does not list are removed. Output is deterministic.
"""
import argparse
import array
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

from PIL import Image  # noqa: E402

from orvart import manifest, registry  # noqa: E402
# Imported for their side effect: each module registers its painters or synths.
from orvart import characters, creatures, effects, ui, hud, scenery, audio  # noqa: E402,F401
from orvart.contact import contact_sheet  # noqa: E402

ART_DIR = os.path.join(ROOT, "Resources", "ArtAssets")
SOUND_DIR = os.path.join(ROOT, "Resources", "Sounds")
RATE = 22050


def make_image(entry):
    paint = registry.PAINTERS[entry.key]
    result = paint(entry)
    if entry.kind == "sheet":
        frames = list(result)
        if len(frames) != entry.frames:
            raise ValueError(f"{entry.name}: painter gave {len(frames)} frames")
        sheet = Image.new("RGBA", (entry.width * entry.frames, entry.height))
        for i, frame in enumerate(frames):
            if frame.size != (entry.width, entry.height):
                raise ValueError(f"{entry.name}: frame {i} is {frame.size}")
            sheet.paste(frame, (i * entry.width, 0))
        if all(f.tobytes() == frames[0].tobytes() for f in frames[1:]):
            raise ValueError(f"{entry.name}: every frame is the same")
        return sheet
    if result.size != (entry.width, entry.height):
        raise ValueError(f"{entry.name}: painted {result.size}")
    return result.convert("RGBA")


def make_sound(entry, path):
    samples = registry.SYNTHS[entry.key](entry, RATE)
    pcm = array.array("h", (int(max(-1.0, min(1.0, s)) * 32000) for s in samples))
    if sys.byteorder != "little":
        pcm.byteswap()
    # -R: sox's own random seed stays fixed, so the file is reproducible.
    # The low-pass takes the edge off the aliasing of raw square waves.
    cmd = ["sox", "-R", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16",
           "-c", "1", "-", "-C", "3", path,
           "lowpass", "5000" if entry.kind == "music" else "7000"]
    subprocess.run(cmd, input=pcm.tobytes(), check=True)


def prune(folder, keep):
    for name in sorted(os.listdir(folder)):
        if name not in keep:
            print(f"removing {os.path.join(folder, name)} (not in the manifest)")
            os.remove(os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", nargs="*", help="make only these names")
    parser.add_argument("--contact", help="also write a contact sheet PNG here")
    parser.add_argument("--no-sound", action="store_true", help="skip sounds")
    args = parser.parse_args()

    entries = manifest.read(os.path.join(HERE, "manifest.txt"))
    os.makedirs(ART_DIR, exist_ok=True)
    os.makedirs(SOUND_DIR, exist_ok=True)
    wanted = set(args.only or [])
    unknown = wanted - {e.name for e in entries}
    if unknown:
        sys.exit(f"not in the manifest: {', '.join(sorted(unknown))}")

    images = {}
    for entry in entries:
        if wanted and entry.name not in wanted:
            continue
        if entry.is_image:
            image = make_image(entry)
            image.save(os.path.join(ART_DIR, entry.file_name), optimize=True)
            images[entry.name] = image
        elif not args.no_sound:
            make_sound(entry, os.path.join(SOUND_DIR, entry.file_name))

    if not wanted:
        prune(ART_DIR, {e.file_name for e in entries if e.is_image})
        if not args.no_sound:
            prune(SOUND_DIR, {e.file_name for e in entries if not e.is_image})
    if args.contact:
        contact_sheet([e for e in entries if e.name in images], images, args.contact)
        print(f"contact sheet: {args.contact}")


if __name__ == "__main__":
    main()
