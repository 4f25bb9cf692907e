"""A contact sheet of every texture, for looking the art over by eye."""
import os

from PIL import Image

from .font import text

CELL_W, CELL_H, LABEL_H, PAD = 220, 150, 18, 8
STRIP_H = 108
WIDTH = 1800


def _checker(w, h):
    img = Image.new("RGBA", (w, h), (120, 120, 130, 255))
    dark = Image.new("RGBA", (8, 8), (95, 95, 105, 255))
    for y in range(0, h, 8):
        for x in range((y // 8) % 2 * 8, w, 16):
            img.paste(dark, (x, y))
    return img


def _fit(img, w, h):
    s = min(w / img.width, h / img.height, 1.0)
    size = (max(1, int(img.width * s)), max(1, int(img.height * s)))
    return img.resize(size, Image.NEAREST if s >= 0.5 else Image.BILINEAR)


def _caption(sheet, x, y, s):
    text(sheet, x, y, s[:34], (255, 255, 255, 255), 2)


def _layout(entries, images):
    """Places textures in a grid and each sheet on a row of its own."""
    boxes, x, y, row_h = [], PAD, PAD, 0
    for e in entries:
        img = images[e.name]
        if e.kind == "sheet":
            if x > PAD:
                x, y = PAD, y + row_h + PAD
            frame_h = STRIP_H
            frame_w = max(1, int(e.width * frame_h / e.height))
            per_row = max(1, (WIDTH - 2 * PAD) // (frame_w + 2))
            rows = (e.frames + per_row - 1) // per_row
            h = LABEL_H + rows * (frame_h + 2)
            boxes.append((e, x, y, frame_w, frame_h, per_row))
            y += h + PAD
            row_h = 0
            continue
        if x + CELL_W > WIDTH - PAD:
            x, y, row_h = PAD, y + row_h + PAD, 0
        boxes.append((e, x, y, CELL_W, CELL_H, 0))
        x += CELL_W + PAD
        row_h = max(row_h, CELL_H + LABEL_H)
    return boxes, y + row_h + PAD


def contact_sheet(entries, images, path):
    prefix = os.path.splitext(path)[0] + "_page"
    folder = os.path.dirname(os.path.abspath(path))
    for old in os.listdir(folder):
        if os.path.join(folder, old).startswith(prefix):
            os.remove(os.path.join(folder, old))
    boxes, height = _layout(entries, images)
    sheet = Image.new("RGBA", (WIDTH, height), (40, 36, 52, 255))
    for e, x, y, w, h, per_row in boxes:
        img = images[e.name]
        _caption(sheet, x, y, f"{e.name} x{e.frames}" if per_row else e.name)
        if per_row:
            for i in range(e.frames):
                frame = img.crop((i * e.width, 0, (i + 1) * e.width, e.height))
                thumb = _fit(frame, w, h)
                fx = x + (i % per_row) * (w + 2)
                fy = y + LABEL_H + (i // per_row) * (h + 2)
                sheet.alpha_composite(_checker(thumb.width, thumb.height), (fx, fy))
                sheet.alpha_composite(thumb, (fx, fy))
            continue
        thumb = _fit(img, w, h)
        sheet.alpha_composite(_checker(thumb.width, thumb.height), (x, y + LABEL_H))
        sheet.alpha_composite(thumb, (x, y + LABEL_H))
    sheet.save(path)
    _pages(sheet, prefix)


def _pages(sheet, prefix, page_h=1000):
    """The same sheet cut into screen-sized pages for close viewing."""
    for i, top in enumerate(range(0, sheet.height, page_h)):
        sheet.crop((0, top, sheet.width, min(sheet.height, top + page_h))).save(
            f"{prefix}{i + 1}.png")
