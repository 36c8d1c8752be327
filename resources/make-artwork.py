#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Draws the program's artwork: logo, window skins, flags and the banner's house icon.

Every picture is described once in logical pixels and rendered at 1x (name.png) and at
2x (name@2x.png, which Qt picks on high-density screens). The program's icon for the
desktop's icon theme is the logo once more at each of the theme's sizes (appicon/N.png)
and as a drawing (appicon/scalable.svg); the build installs them under the program's id. Each output pixel is the average
of 4 x 4 samples, so slanted and round edges are smooth while edges that fall on pixel
boundaries stay crisp; the skins keep their straight edges on whole pixels because the
windows cut them into slices at fixed pixel positions.

Standard library only. Run from anywhere: python3 resources/make-artwork.py
The PNGs it writes are kept in the repository; run it again after changing a drawing.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4

# The program's palette (red, green, blue).
WINDOW = (255, 224, 101)  # window background
ORANGE = (245, 143, 6)  # accent
DARK_ORANGE = (213, 111, 0)  # outlines
WHITE = (255, 255, 255)


# --- geometry ------------------------------------------------------------------------------


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def in_round_rect(x, y, left, top, right, bottom, radius):
    """Inside the rectangle [left, right) x [top, bottom) with round corners."""
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_ellipse(x, y, cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0


def in_polygon(x, y, points):
    inside = False
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def near_segment(x, y, x1, y1, x2, y2, half_width):
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
    px, py = x1 + t * dx, y1 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width


# --- rendering -----------------------------------------------------------------------------


def render(width, height, scale, shade):
    """shade(x, y) -> (r, g, b, a) or None at a logical point; returns rows of RGBA bytes."""
    rows = []
    step = 1.0 / (scale * SAMPLES)
    for py in range(height * scale):
        row = bytearray()
        for px in range(width * scale):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                y = (py * SAMPLES + sy + 0.5) * step
                for sx in range(SAMPLES):
                    x = (px * SAMPLES + sx + 0.5) * step
                    c = shade(x, y)
                    if c is None:
                        continue
                    alpha = c[3] / 255.0 if len(c) > 3 else 1.0
                    r += c[0] * alpha
                    g += c[1] * alpha
                    b += c[2] * alpha
                    a += alpha
            n = SAMPLES * SAMPLES
            if a == 0:
                row += bytes(4)
            else:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0]) // 4

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + row for row in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def greyed(rows):
    """The inactive look of a picture: its brightness only, lifted toward white."""
    out = []
    for row in rows:
        o = bytearray(row)
        for i in range(0, len(o), 4):
            lum = 0.299 * o[i] + 0.587 * o[i + 1] + 0.114 * o[i + 2]
            v = round(lum * 0.55 + 255 * 0.45)
            o[i] = o[i + 1] = o[i + 2] = v
        out.append(bytes(o))
    return out


# --- the pictures --------------------------------------------------------------------------


def logo(size):
    """An orange disc with a white quill whose nib writes a dark stroke; fewer details small."""
    small = size < 24
    c = size / 2.0
    outline = max(1.0, size / 21.0)
    angle = math.radians(-45)

    def shade(x, y):
        u, v = x / size, y / size  # 0..1
        colour = None
        if in_ellipse(x, y, c, c, c, c):
            colour = DARK_ORANGE + (255,)
        if in_ellipse(x, y, c, c, c - outline, c - outline):
            # a soft light from the upper left
            colour = mix((255, 178, 60), ORANGE, (u + v) * 0.8) + (255,)
        # the written stroke under the nib
        if near_segment(u, v, 0.18, 0.80, 0.42, 0.80, 0.035 if not small else 0.05):
            colour = (90, 45, 0, 255)
        # feather: a long leaf from lower left to upper right
        if in_ellipse(u, v, 0.55, 0.45, 0.36, 0.14 if not small else 0.16, angle):
            colour = WHITE + (255,)
            # shaft down the middle of the feather
            if not small and near_segment(u, v, 0.30, 0.70, 0.78, 0.22, 0.012):
                colour = (200, 160, 110, 255)
            # barbs: short lines off the shaft give the vane its texture
            if not small and any(near_segment(u, v, 0.42 + k * 0.09, 0.58 - k * 0.09,
                                              0.50 + k * 0.09, 0.63 - k * 0.09, 0.008)
                                 for k in range(4)):
                colour = (225, 200, 170, 255)
        # the nib
        if near_segment(u, v, 0.30, 0.70, 0.20, 0.80, 0.03 if not small else 0.045):
            colour = (60, 30, 0, 255)
        return colour

    return shade


def frame_skin():
    """23 x 20: a rounded frame, light at the top, gold down the sides, brown at the bottom.

    The windows cut it with corner radius 7 to 9: the top edge is sampled from rows 0-4,
    the bottom from the last 4 rows, the left side from columns 0-2 and the right from the
    last 4 columns, so the frame is 4 pixels thick at the top and 3 elsewhere, and the
    window colour fills the rest.
    """
    w, h = 23, 20
    light, pale, gold, brown = (255, 253, 238), (255, 240, 160), (228, 176, 52), (135, 86, 18)

    def band(y):
        t = y / h
        if t < 0.25:
            return mix(light, pale, t / 0.25)
        if t < 0.7:
            return mix(pale, gold, (t - 0.25) / 0.45)
        return mix(gold, brown, (t - 0.7) / 0.3)

    def shade(x, y):
        if not in_round_rect(x, y, 0, 0, w, h, 4.5):
            return None
        if in_round_rect(x, y, 3, 4, w - 3, h - 3, 1.5):
            return WINDOW
        # a darker outer line gives the frame a crisp edge against the desktop
        if not in_round_rect(x, y, 1, 1, w - 1, h - 1, 3.5):
            return mix(band(y), brown, 0.55)
        return band(y)

    return w, h, shade


def status_skin():
    """50 x 20: the status bar's sunken panel.

    Columns 0-3 hold its round left end, 4-7 a slice of its middle, the last 30 columns its
    right end: a light edge slanting down to the left, then a grip of six dots.
    """
    w, h = 50, 20
    top, bottom = 2, 18
    dark_gold, shadow, light = (170, 124, 28), (222, 182, 78), (255, 250, 222)

    def right_edge(y):  # x of the slanted end at height y
        return 38.5 - (y - top) * 0.75

    def inside_panel(x, y, inset):
        if not in_round_rect(x, y, inset, top + inset, 60, bottom - inset, 3 - inset):
            return False
        return x < right_edge(y) - inset

    def grip(x, y):
        for gx, gy in ((35, 15), (41, 15), (47, 15), (41, 9), (47, 9), (47, 3)):
            if gx <= x < gx + 2 and gy <= y < gy + 2:
                return (128, 128, 128)
            if gx + 1 <= x < gx + 3 and gy + 1 <= y < gy + 3:
                return WHITE
        return None

    def shade(x, y):
        if inside_panel(x, y, 1):
            # one darker row under the upper border deepens the sunken look
            return shadow if y < top + 2 else WINDOW
        if inside_panel(x, y, 0):
            if x >= right_edge(y) - 1.2 and y > top + 1:
                return light  # the slanted end catches the light
            return dark_gold if y < (top + bottom) / 2 else light
        return grip(x, y)

    return w, h, shade


def german_flag():
    def shade(x, y):
        if x < 1 or x >= 15 or y < 1 or y >= 10:
            return (70, 70, 70)
        if y < 4:
            return (0, 0, 0)
        if y < 7:
            return (221, 0, 0)
        return (255, 206, 0)

    return 16, 11, shade


def british_flag():
    blue, red = (1, 33, 105), (200, 16, 46)

    def shade(x, y):
        if x < 1 or x >= 15 or y < 1 or y >= 10:
            return (70, 70, 70)
        u, v = (x - 1) / 14.0, (y - 1) / 9.0  # 0..1 over the field
        # diagonals, measured across the field's aspect
        d1 = abs((u - v)) * 14 / math.hypot(1, 14 / 9)
        d2 = abs((u + v - 1)) * 14 / math.hypot(1, 14 / 9)
        colour = blue
        if min(d1, d2) < 1.2:
            colour = WHITE
        # at this size the red diagonals are drawn centred; off-centre they turn to noise
        if min(d1, d2) < 0.45:
            colour = red
        # the upright cross sits on whole pixels: red 2 columns and 1 row, white around
        if abs(x - 8) < 2.0 or abs(y - 5.5) < 1.5:
            colour = WHITE
        if abs(x - 8) < 1.0 or abs(y - 5.5) < 0.5:
            colour = red
        return colour

    return 16, 11, shade


def home_icon():
    """16 x 16: a house with a red roof and a green arrow pointing into it."""
    roof, roof_dark = (196, 56, 32), (120, 30, 16)
    wall, wall_dark = (250, 236, 200), (120, 96, 60)
    green, green_dark = (40, 170, 40), (16, 90, 16)
    arrow = [(8.5, 11.5), (11.5, 11.5), (11.5, 9.0), (15.5, 12.5), (11.5, 16.0), (11.5, 13.5),
             (8.5, 13.5)]

    def shade(x, y):
        colour = None
        if 1.0 <= x < 11.0 and 7.0 <= y < 14.0:
            colour = wall_dark
        if 2.0 <= x < 10.0 and 7.0 <= y < 13.0 or in_polygon(x, y, [(2, 8), (6, 3.5), (10, 8)]):
            colour = wall
        if 4.0 <= x < 6.0 and 9.0 <= y < 13.0:
            colour = (150, 90, 40)  # the door
        if near_segment(x, y, 0.8, 7.8, 6.0, 2.4, 1.3) or near_segment(x, y, 6.0, 2.4, 11.2, 7.8,
                                                                        1.3):
            colour = roof_dark
        if near_segment(x, y, 1.2, 7.6, 6.0, 2.6, 0.6) or near_segment(x, y, 6.0, 2.6, 10.8, 7.6,
                                                                        0.6):
            colour = roof
        if 8.0 <= x < 9.5 and 2.5 <= y < 5.5:
            colour = roof_dark  # the chimney
        # arrow with a dark rim, drawn over the corner of the house
        grown = [(px + (0.9 if px > 12 else -0.6 if px < 9 else 0),
                  py + (-0.9 if py < 10 else 0.9 if py > 15 else 0)) for px, py in arrow]
        if in_polygon(x, y, grown):
            colour = green_dark
        if in_polygon(x, y, arrow):
            colour = mix((110, 220, 90), green, (y - 9) / 7)
        return colour

    return 16, 16, shade


def logo_svg():
    """The logo of logo() as an SVG drawing on 256 x 256 units, shape by shape."""
    n = 256.0

    def p(value):
        return "%g" % round(value * n, 2)

    def colour(rgb):
        return "#%02x%02x%02x" % tuple(round(c) for c in rgb)

    def segment(x1, y1, x2, y2, half_width, rgb, clip=""):
        # near_segment() is a capsule: a line with round ends.
        return ('  <line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"%s/>\n'
                % (p(x1), p(y1), p(x2), p(y2), colour(rgb), p(2 * half_width), clip))

    feather = ('cx="%s" cy="%s" rx="%s" ry="%s" transform="rotate(-45 %s %s)"'
               % (p(0.55), p(0.45), p(0.36), p(0.14), p(0.55), p(0.45)))
    clip = ' clip-path="url(#feather)"'
    # The disc's light runs with u + v: mix(light, ORANGE, (u + v) * 0.8) reaches ORANGE
    # where u + v = 1.25.
    svg = ('<?xml version="1.0" encoding="UTF-8"?>\n'
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
           'viewBox="0 0 256 256">\n'
           '  <defs>\n'
           '    <linearGradient id="light" gradientUnits="userSpaceOnUse" x1="0" y1="0" '
           'x2="%s" y2="%s">\n'
           '      <stop offset="0" stop-color="%s"/>\n'
           '      <stop offset="1" stop-color="%s"/>\n'
           '    </linearGradient>\n'
           '    <clipPath id="feather"><ellipse %s/></clipPath>\n'
           '  </defs>\n'
           % (p(0.625), p(0.625), colour((255, 178, 60)), colour(ORANGE), feather))
    svg += '  <circle cx="%s" cy="%s" r="%s" fill="%s"/>\n' % (p(0.5), p(0.5), p(0.5),
                                                              colour(DARK_ORANGE))
    svg += '  <circle cx="%s" cy="%s" r="%s" fill="url(#light)"/>\n' % (p(0.5), p(0.5),
                                                                       p(0.5 - 1 / 21.0))
    svg += segment(0.18, 0.80, 0.42, 0.80, 0.035, (90, 45, 0))
    svg += '  <ellipse %s fill="%s"/>\n' % (feather, colour(WHITE))
    svg += segment(0.30, 0.70, 0.78, 0.22, 0.012, (200, 160, 110), clip)
    for k in range(4):
        svg += segment(0.42 + k * 0.09, 0.58 - k * 0.09, 0.50 + k * 0.09, 0.63 - k * 0.09,
                       0.008, (225, 200, 170), clip)
    svg += segment(0.30, 0.70, 0.20, 0.80, 0.03, (60, 30, 0))
    return svg + "</svg>\n"


# --- output --------------------------------------------------------------------------------


def emit(name, width, height, shade, post=None):
    for scale, suffix in ((1, ""), (2, "@2x")):
        rows = render(width, height, scale, shade)
        if post:
            rows = post(rows)
        write_png(os.path.join(HERE, name + suffix + ".png"), rows)


def main():
    for size in (16, 32, 48, 63):
        emit("logo/logo%d" % size, size, size, logo(size))
    emit("skin/frame_skin", *frame_skin())
    emit("skin/status_skin", *status_skin())
    emit("flags/de", *german_flag())
    emit("flags/gb", *british_flag())
    emit("flags/de_grey", *german_flag(), post=greyed)
    emit("flags/gb_grey", *british_flag(), post=greyed)
    emit("icons/home", *home_icon())
    # The icon theme's sizes, each at 1x only: the theme has a folder per size.
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        write_png(os.path.join(HERE, "appicon/%d.png" % size), render(size, size, 1, logo(size)))
    with open(os.path.join(HERE, "appicon/scalable.svg"), "w", encoding="utf-8") as f:
        f.write(logo_svg())


if __name__ == "__main__":
    main()
