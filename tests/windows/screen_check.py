#!/usr/bin/env python3
"""Checks a screenshot of the game's client area against what the title
screens must show: 640x480 at the usual zoom of 2, or a whole multiple of
320x240 at another zoom, every logical pixel then a square of one colour.
Pictures are decoded with ImageMagick, so nothing beyond python3 is needed.

  screen_check.py title   SHOT.png RESOURCES_DIR   title screen (first)
  screen_check.py prompts SHOT.png RESOURCES_DIR   title with prompts
Exits 0 when the screen matches, 1 with the reasons otherwise.
"""
import subprocess
import sys

WIDTH, HEIGHT = 640, 480
GREY = (38, 38, 38)  # the clear colour before the first change: 0.15 of 255
WHITE = (255, 255, 255)
TITLE_Y = 10  # logical row of the title picture's top


def decode(path, channels):
    size = subprocess.run(["convert", path, "-format", "%w %h", "info:"], check=True,
                          capture_output=True, text=True).stdout.split()
    raw = subprocess.run(["convert", path, "-set", "colorspace", "sRGB", "-depth", "8",
                          channels + ":-"], check=True, capture_output=True).stdout
    return int(size[0]), int(size[1]), raw


def screen(path, problems):
    """The shot as pixels of the 640x480 window at zoom 2 (x, y from the
    top-left); a shot at another zoom is read at the matching pixels."""
    w, h, raw = decode(path, "rgb")
    zoom = w * 2 // WIDTH
    if zoom < 1 or (w, h) != (zoom * WIDTH // 2, zoom * HEIGHT // 2):
        raise SystemExit("screenshot is %dx%d, not a whole zoom of 320x240" % (w, h))
    at = lambda x, y: tuple(raw[(y * w + x) * 3:(y * w + x) * 3 + 3])
    # Each logical pixel is a zoom x zoom square of one colour.
    uneven = sum(1 for y in range(h) for x in range(w)
                 if at(x, y) != at(x - x % zoom, y - y % zoom))
    if uneven:
        problems.append("%d pixels differ from their logical pixel at zoom %d" % (uneven, zoom))
    return lambda x, y: at(x * zoom // 2, y * zoom // 2)


def title_pixels(resources):
    """(window x, window y, RGBA) for each logical pixel of the title picture."""
    w, h, raw = decode(resources + "/title.png", "rgba")
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 4
            yield 2 * x, 2 * (TITLE_Y + y), tuple(raw[i:i + 4])


def text_band(px, logical_y):
    """Left and right window x of the white text pixels in a line's band."""
    xs = [x for y in range(2 * logical_y, 2 * logical_y + 24) for x in range(WIDTH)
          if px(x, y) == WHITE]
    return (min(xs), max(xs)) if xs else None


def check_centred_line(px, logical_y, name, problems):
    band = text_band(px, logical_y)
    if band is None:
        problems.append("no %s text at logical row %d" % (name, logical_y))
    elif abs((band[0] + band[1]) / 2 - WIDTH / 2) > 4:
        problems.append("%s text at x %d..%d is not centred" % (name, band[0], band[1]))


def check_title(px, resources, problems):
    wrong = 0
    for x, y, rgba in title_pixels(resources):
        if rgba[3] not in (0, 255):
            continue  # partly transparent: blending may round either way
        want = rgba[:3] if rgba[3] == 255 else GREY
        # Every logical pixel covers 2x2 window pixels.
        for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1)):
            if px(x + dx, y + dy) != want:
                wrong += 1
    if wrong:
        problems.append("%d window pixels of the title picture differ" % wrong)
    check_centred_line(px, 105, "start prompt", problems)
    check_centred_line(px, 125, "key help", problems)


def check_prompts(px, resources, problems):
    # The title picture is recoloured: its opaque pixels show one colour that
    # is neither its own black nor the grey of the first screen.
    colours = set()
    for x, y, rgba in title_pixels(resources):
        if rgba[3] == 255:
            colours.add(px(x, y))
    if len(colours) != 1 or colours & {(0, 0, 0), GREY, WHITE}:
        problems.append("title picture shows %s, not one new colour" % sorted(colours)[:4])
    check_centred_line(px, 120, "title text", problems)
    check_centred_line(px, 170, "play prompt", problems)
    check_centred_line(px, 190, "quit prompt", problems)
    if text_band(px, 105) is not None:
        problems.append("the start prompt is still shown")


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("title", "prompts"):
        raise SystemExit(__doc__)
    problems = []
    px = screen(sys.argv[2], problems)
    {"title": check_title, "prompts": check_prompts}[sys.argv[1]](px, sys.argv[3], problems)
    for p in problems:
        print(p)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
