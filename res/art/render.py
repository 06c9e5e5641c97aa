"""Renders every image, the cursor, the sound and the animations of the resource script.

    python3 render.py IMAGES_DIR HELP_IMAGES_DIR [--preview DIR]

Output is deterministic, so unchanged art leaves the committed files unchanged.
"""
import os
import sys

import animations
import avi
import cursor
import formats
import glyphs
import icons
import palette
import pictures
import sound
from grid import Grid
from raster import Canvas

PAGE_SIZE = 36
COMMAND_SIZE = 32


def glyph_canvas(draw, size):
    c = Canvas(size, size)
    draw(c, Grid(0, 0, size))
    return c


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def bitmap(path, w, h, rgba):
    write(path, formats.bmp24(w, h, palette.flatten_on_face(rgba)))


def render_bitmaps(out, help_out):
    """Page buttons (highlighted and plain), commands and pictures; returns them for previews."""
    shown = []
    for name, draw in glyphs.PAGES.items():
        hot = glyph_canvas(draw, PAGE_SIZE).rgba()
        plain = [palette.plain(p) for p in hot]
        bitmap(os.path.join(out, "page_%s_hot.bmp" % name), PAGE_SIZE, PAGE_SIZE, hot)
        bitmap(os.path.join(out, "page_%s.bmp" % name), PAGE_SIZE, PAGE_SIZE, plain)
        write(os.path.join(help_out, "page_%s.png" % name), formats.png(PAGE_SIZE, PAGE_SIZE, hot))
        shown += [(PAGE_SIZE, PAGE_SIZE, hot), (PAGE_SIZE, PAGE_SIZE, plain)]
    for name, draw in glyphs.COMMANDS.items():
        px = glyph_canvas(draw, COMMAND_SIZE).rgba()
        bitmap(os.path.join(out, name + ".bmp"), COMMAND_SIZE, COMMAND_SIZE, px)
        write(os.path.join(help_out, name + ".png"), formats.png(COMMAND_SIZE, COMMAND_SIZE, px))
        shown.append((COMMAND_SIZE, COMMAND_SIZE, px))
    for name, make in (("info_picture", pictures.info_picture),
                       ("shield_banner", pictures.shield_banner)):
        c = make()
        px = c.rgba()
        bitmap(os.path.join(out, name + ".bmp"), c.w, c.h, px)
        write(os.path.join(help_out, name + ".png"), formats.png(c.w, c.h, px))
        shown.append((c.w, c.h, px))
    return shown


def render_icons(out, help_out):
    shown = []
    for name, (design, sizes) in icons.ICONS.items():
        images = []
        for size in sizes:
            c = design(size)
            images.append((size, size, c.rgba()))
        write(os.path.join(out, name + ".ico"), formats.ico(images))
        shown += images
        biggest = max(images, key=lambda image: image[0])
        if name in ("app", "help"):
            write(os.path.join(help_out, name + ".png"), formats.png(*biggest))
    return shown


def render_media(out):
    data, pixels = cursor.hand_cursor()
    write(os.path.join(out, "hand.cur"), data)
    write(os.path.join(out, "alert.wav"), sound.wav(sound.alert_samples()))
    clips = {}
    for name, (draw, count) in animations.ANIMATIONS.items():
        frames = animations.frames(draw, count)
        w, h = frames[0][0], frames[0][1]
        write(os.path.join(out, name + ".avi"),
              avi.avi(w, h, [f[2] for f in frames], animations.FPS))
        clips[name] = frames
    return pixels, clips


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    out, help_out = argv[1], argv[2]
    os.makedirs(out, exist_ok=True)
    os.makedirs(help_out, exist_ok=True)
    shown = render_bitmaps(out, help_out)
    icon_images = render_icons(out, help_out)
    hand, clips = render_media(out)
    if "--preview" in argv:
        import preview
        folder = argv[argv.index("--preview") + 1]
        os.makedirs(folder, exist_ok=True)
        preview.write_all(folder, shown, icon_images, hand, clips)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
