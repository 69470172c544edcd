#!/usr/bin/env python3
"""Draws the program's bitmaps and writes them as PNG files.

The pictures are drawn here from simple shapes, at every size the program
needs, so that each size is sharp on its own. The PNG files use stored
(uncompressed) deflate blocks, which the window system's own decoder reads
without a compression library.

Run from the repository root: tools/artwork/draw_bitmaps.py resources/bitmaps
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SS = 4  # supersampling factor


class Canvas:
    def __init__(self, width, height, background):
        self.w, self.h = width, height
        self.bg = background
        # Drawn at SS x SS per pixel, each sample an RGBA tuple of floats.
        self.px = [[None] * (width * SS) for _ in range(height * SS)]

    def _put(self, sx, sy, colour):
        if 0 <= sx < self.w * SS and 0 <= sy < self.h * SS:
            old = self.px[sy][sx]
            a = colour[3] / 255.0
            if old is None or a >= 1.0:
                self.px[sy][sx] = colour if old is None or a >= 1.0 else colour
                if old is not None and a < 1.0:
                    self.px[sy][sx] = blend(old, colour)
            else:
                self.px[sy][sx] = blend(old, colour)

    def fill(self, inside, colour, x0=0, y0=0, x1=None, y1=None):
        """Fills every sample whose centre (in pixel units) satisfies inside(x, y)."""
        x1 = self.w if x1 is None else x1
        y1 = self.h if y1 is None else y1
        for sy in range(max(0, int(y0 * SS)), min(self.h * SS, int(math.ceil(y1 * SS)))):
            y = (sy + 0.5) / SS
            for sx in range(max(0, int(x0 * SS)), min(self.w * SS, int(math.ceil(x1 * SS)))):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    self._put(sx, sy, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, colour,
                  cx - rx - 1, cy - ry - 1, cx + rx + 1, cy + ry + 1)

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, colour, x0, y0, x1 + 1, y1 + 1)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            c = False
            n = len(points)
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    c = not c
            return c

        self.fill(inside, colour, min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1)

    def line(self, xa, ya, xb, yb, width, colour):
        def inside(x, y):
            dx, dy = xb - xa, yb - ya
            length2 = dx * dx + dy * dy or 1e-9
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
            px, py = xa + t * dx, ya + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2

        self.fill(inside, colour, min(xa, xb) - width, min(ya, yb) - width,
                  max(xa, xb) + width + 1, max(ya, yb) + width + 1)

    def ring(self, cx, cy, r, width, colour):
        self.fill(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= width / 2, colour,
                  cx - r - width, cy - r - width, cx + r + width + 1, cy + r + width + 1)

    def pixels(self, alpha=False):
        """Averages the samples. Without alpha, pixels with little coverage keep
        the background exactly, so that a transparent colour stays exact; with
        alpha, a pixel is the average of what covers it and its alpha says how
        much of it is covered (RGBA)."""
        n = SS * SS
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0]
                drawn = [0.0, 0.0, 0.0]
                covered = 0
                for sy in range(y * SS, y * SS + SS):
                    for sx in range(x * SS, x * SS + SS):
                        c = self.px[sy][sx]
                        if c is None:
                            c = self.bg
                        else:
                            covered += 1
                            for k in range(3):
                                drawn[k] += c[k]
                        for k in range(3):
                            acc[k] += c[k]
                if alpha:
                    row.append((0, 0, 0, 0) if covered == 0 else
                               tuple(int(round(a / covered)) for a in drawn) +
                               (int(round(255 * covered / n)),))
                elif covered * 4 < n:
                    row.append(tuple(self.bg[:3]))
                else:
                    row.append(tuple(int(round(a / n)) for a in acc))
            out.append(row)
        return out


def blend(under, over):
    a = over[3] / 255.0
    return tuple(under[k] * (1 - a) + over[k] * a for k in range(3)) + (255,)


def write_png(path, rows, level=0):
    """Writes RGB rows, or RGBA rows (4-tuples), compressed at `level`."""
    height, width = len(rows), len(rows[0])
    colour_type = 6 if len(rows[0][0]) == 4 else 2
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, level))  # level 0: stored blocks only
    png += chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def strip(images, size, background):
    """Joins images drawn by functions f(canvas, x0, s) side by side."""
    canvas = Canvas(size * len(images), size, background)
    for i, draw in enumerate(images):
        if draw is not None:
            draw(canvas, i * size, size)
    return canvas.pixels()


GREY = (192, 192, 192, 255)
WHITE = (255, 255, 255, 255)


def rgb(r, g, b, a=255):
    return (r, g, b, a)


# ---- Database icons: ordinary, system, unopenable, (unused), empty ----------

def cylinder(c, x0, s, body, top, edge, hollow=False):
    u = s / 16.0
    cx = x0 + s / 2
    rx, ry = 6.2 * u, 2.0 * u
    ytop, ybot = 3.0 * u, 12.6 * u
    c.ellipse(cx, ybot, rx + 0.6 * u, ry + 0.6 * u, edge)
    c.rect(cx - rx - 0.6 * u, ytop, cx + rx + 0.6 * u, ybot, edge)
    c.ellipse(cx, ytop, rx + 0.6 * u, ry + 0.6 * u, edge)
    fill = WHITE if hollow else body
    c.ellipse(cx, ybot, rx, ry, fill)
    c.rect(cx - rx, ytop, cx + rx, ybot, fill)
    if not hollow:
        for k in (1, 2):  # bands between the stacked disks
            y = ytop + k * (ybot - ytop) / 3
            c.fill(lambda x, yy, y=y: abs(((x - cx) / rx) ** 2 + ((yy - y) / ry) ** 2 - 1) < 0.35
                   and yy > y, edge, x0, y - ry - 1, x0 + s, y + ry + 1)
        # highlight on the left of the body
        c.rect(cx - rx + 1.0 * u, ytop + 1.5 * u, cx - rx + 2.0 * u, ybot - 1.0 * u,
               rgb(255, 255, 255, 110))
    c.ellipse(cx, ytop, rx, ry, top)


def icon_ordinary(c, x0, s):
    cylinder(c, x0, s, rgb(52, 120, 214), rgb(140, 190, 250), rgb(20, 50, 110))


def icon_system(c, x0, s):
    u = s / 16.0
    cylinder(c, x0, s, rgb(120, 126, 136), rgb(190, 196, 204), rgb(50, 54, 60))
    # a gear in the lower right corner
    gx, gy, r = x0 + 11.6 * u, 11.4 * u, 3.2 * u
    for k in range(8):
        a = k * math.pi / 4
        c.line(gx, gy, gx + math.cos(a) * (r + 0.9 * u), gy + math.sin(a) * (r + 0.9 * u),
               1.5 * u, rgb(200, 120, 20))
    c.ellipse(gx, gy, r, r, rgb(240, 160, 40))
    c.ellipse(gx, gy, r * 0.42, r * 0.42, rgb(120, 60, 0))


def icon_unopenable(c, x0, s):
    u = s / 16.0
    cylinder(c, x0, s, rgb(170, 150, 150), rgb(215, 200, 200), rgb(90, 60, 60))
    gx, gy = x0 + 11.0 * u, 11.0 * u
    c.ellipse(gx, gy, 4.3 * u, 4.3 * u, rgb(255, 255, 255))
    c.ellipse(gx, gy, 3.7 * u, 3.7 * u, rgb(210, 30, 30))
    c.line(gx - 1.8 * u, gy - 1.8 * u, gx + 1.8 * u, gy + 1.8 * u, 1.3 * u, WHITE)
    c.line(gx - 1.8 * u, gy + 1.8 * u, gx + 1.8 * u, gy - 1.8 * u, 1.3 * u, WHITE)


def icon_empty(c, x0, s):
    u = s / 16.0
    cylinder(c, x0, s, None, rgb(235, 240, 250), rgb(90, 110, 140), hollow=True)
    # dashed rim lines suggest nothing inside
    cx = x0 + s / 2
    for k in range(3):
        y = 6.0 * u + k * 2.4 * u
        c.line(cx - 3.5 * u, y, cx + 3.5 * u, y, 0.7 * u, rgb(170, 180, 200))


DATABASE_ICONS = [icon_ordinary, icon_system, icon_unopenable, icon_ordinary, icon_empty]


# ---- Header sort marks: none, descending, ascending ---------------------------

def mark_down(c, x0, s):
    u = s / 10.0
    c.polygon([(x0 + 1.5 * u, 3.0 * u), (x0 + 8.5 * u, 3.0 * u), (x0 + 5.0 * u, 7.5 * u)],
              rgb(60, 60, 60))


def mark_up(c, x0, s):
    u = s / 10.0
    c.polygon([(x0 + 1.5 * u, 7.0 * u), (x0 + 8.5 * u, 7.0 * u), (x0 + 5.0 * u, 2.5 * u)],
              rgb(60, 60, 60))


# ---- Toolbar images --------------------------------------------------------

def tb_properties(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 2 * u, 1.5 * u, x0 + 13 * u, 14.5 * u, rgb(60, 60, 60))
    c.rect(x0 + 2.8 * u, 2.3 * u, x0 + 12.2 * u, 13.7 * u, WHITE)
    for k in range(4):
        y = 4.5 * u + k * 2.7 * u
        c.rect(x0 + 4 * u, y, x0 + 5 * u, y + 1 * u, rgb(40, 90, 200))
        c.rect(x0 + 6.2 * u, y, x0 + 11 * u, y + 1 * u, rgb(80, 80, 80))


def arrow_into_box(c, x0, s, down, colour):
    u = s / 16.0
    c.rect(x0 + 1.5 * u, 9.5 * u, x0 + 14.5 * u, 14.5 * u, rgb(70, 70, 70))
    c.rect(x0 + 2.5 * u, 10.5 * u, x0 + 13.5 * u, 13.5 * u, rgb(230, 210, 150))
    cx = x0 + 8 * u
    if down:
        c.rect(cx - 1.3 * u, 1 * u, cx + 1.3 * u, 6 * u, colour)
        c.polygon([(cx - 4 * u, 5 * u), (cx + 4 * u, 5 * u), (cx, 9.5 * u)], colour)
    else:
        c.rect(cx - 1.3 * u, 5 * u, cx + 1.3 * u, 9.5 * u, colour)
        c.polygon([(cx - 4 * u, 5.5 * u), (cx + 4 * u, 5.5 * u), (cx, 1 * u)], colour)


def tb_backup(c, x0, s):
    arrow_into_box(c, x0, s, True, rgb(30, 140, 60))


def tb_restore(c, x0, s):
    arrow_into_box(c, x0, s, False, rgb(30, 90, 200))


def tb_autobackup(c, x0, s):
    u = s / 16.0
    arrow_into_box(c, x0, s, True, rgb(30, 140, 60))
    c.ring(x0 + 11.5 * u, 4.5 * u, 3.2 * u, 1.0 * u, rgb(200, 110, 0))
    c.line(x0 + 11.5 * u, 4.5 * u, x0 + 11.5 * u, 2.5 * u, 0.9 * u, rgb(200, 110, 0))
    c.line(x0 + 11.5 * u, 4.5 * u, x0 + 13.0 * u, 4.5 * u, 0.9 * u, rgb(200, 110, 0))


def tb_delete(c, x0, s):
    u = s / 16.0
    red = rgb(200, 30, 30)
    c.line(x0 + 3 * u, 3 * u, x0 + 13 * u, 13 * u, 2.6 * u, red)
    c.line(x0 + 3 * u, 13 * u, x0 + 13 * u, 3 * u, 2.6 * u, red)


def nav(c, x0, s, direction, bar):
    u = s / 16.0
    colour = rgb(40, 90, 190)
    cx = x0 + 8 * u
    if direction < 0:
        c.polygon([(cx + 3 * u, 3 * u), (cx + 3 * u, 13 * u), (cx - 3 * u, 8 * u)], colour)
        if bar:
            c.rect(cx - 5.5 * u, 3 * u, cx - 3.8 * u, 13 * u, colour)
    else:
        c.polygon([(cx - 3 * u, 3 * u), (cx - 3 * u, 13 * u), (cx + 3 * u, 8 * u)], colour)
        if bar:
            c.rect(cx + 3.8 * u, 3 * u, cx + 5.5 * u, 13 * u, colour)


def tb_first(c, x0, s):
    nav(c, x0, s, -1, True)


def tb_previous(c, x0, s):
    nav(c, x0, s, -1, False)


def tb_next(c, x0, s):
    nav(c, x0, s, 1, False)


def tb_last(c, x0, s):
    nav(c, x0, s, 1, True)


def magnifier(c, x0, s, plus_arrow):
    u = s / 16.0
    c.ring(x0 + 6.5 * u, 6.5 * u, 4.0 * u, 1.5 * u, rgb(50, 50, 50))
    c.ellipse(x0 + 6.5 * u, 6.5 * u, 3.2 * u, 3.2 * u, rgb(200, 225, 255))
    c.line(x0 + 9.5 * u, 9.5 * u, x0 + 14 * u, 14 * u, 2.2 * u, rgb(50, 50, 50))
    if plus_arrow:
        c.polygon([(x0 + 10.5 * u, 1 * u), (x0 + 15.5 * u, 3.5 * u), (x0 + 10.5 * u, 6 * u)],
                  rgb(30, 140, 60))


def tb_find(c, x0, s):
    magnifier(c, x0, s, False)


def tb_find_next(c, x0, s):
    magnifier(c, x0, s, True)


PALM_TOOLBAR = [tb_properties, tb_backup, tb_restore, tb_autobackup, tb_delete,
                tb_first, tb_previous, tb_next, tb_last, tb_find, tb_find_next]


# ---- The keyboard edition's toolbar and band images -------------------------

def page(c, x0, s, x, y, w, h):
    u = s / 16.0
    c.rect(x0 + x * u, y * u, x0 + (x + w) * u, (y + h) * u, rgb(70, 70, 70))
    c.rect(x0 + (x + 0.8) * u, (y + 0.8) * u, x0 + (x + w - 0.8) * u, (y + h - 0.8) * u, WHITE)


def arrow_right(c, x0, s, x, y, length, colour):
    u = s / 16.0
    c.rect(x0 + x * u, (y - 1.1) * u, x0 + (x + length - 2.5) * u, (y + 1.1) * u, colour)
    c.polygon([(x0 + (x + length - 3) * u, (y - 3.2) * u), (x0 + (x + length) * u, y * u),
               (x0 + (x + length - 3) * u, (y + 3.2) * u)], colour)


def arrow_left(c, x0, s, x, y, length, colour):
    u = s / 16.0
    c.rect(x0 + (x + 2.5) * u, (y - 1.1) * u, x0 + (x + length) * u, (y + 1.1) * u, colour)
    c.polygon([(x0 + (x + 3) * u, (y - 3.2) * u), (x0 + x * u, y * u),
               (x0 + (x + 3) * u, (y + 3.2) * u)], colour)


def tb_export(c, x0, s):
    page(c, x0, s, 1.5, 1.5, 9, 13)
    u = s / 16.0
    for k in range(4):
        c.rect(x0 + 3.2 * u, (4 + 2.5 * k) * u, x0 + 8.5 * u, (4.8 + 2.5 * k) * u, rgb(90, 90, 90))
    arrow_right(c, x0, s, 8, 10.5, 7.5, rgb(30, 140, 60))


def tb_copy(c, x0, s):
    cylinder_small(c, x0, s, 1.0, 1.0, rgb(52, 120, 214))
    cylinder_small(c, x0, s, 6.0, 5.0, rgb(90, 170, 90))


def cylinder_small(c, x0, s, x, y, body):
    u = s / 16.0
    c.rect(x0 + x * u, (y + 1.5) * u, x0 + (x + 9) * u, (y + 9) * u, body)
    c.ellipse(x0 + (x + 4.5) * u, (y + 9) * u, 4.5 * u, 1.5 * u, body)
    c.ellipse(x0 + (x + 4.5) * u, (y + 1.5) * u, 4.5 * u, 1.5 * u, rgb(200, 220, 250))


def beam(c, x0, s, x):
    u = s / 16.0
    for k in range(3):
        c.ring(x0 + x * u, 8 * u, (2 + 2.2 * k) * u, 0.8 * u, rgb(200, 40, 40))


def tb_send(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 1 * u, 3 * u, x0 + 6 * u, 13 * u, rgb(60, 60, 60))
    c.rect(x0 + 1.8 * u, 4 * u, x0 + 5.2 * u, 8 * u, rgb(150, 200, 150))
    arrow_right(c, x0, s, 7, 8, 8.5, rgb(200, 40, 40))


def tb_receive(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 10 * u, 3 * u, x0 + 15 * u, 13 * u, rgb(60, 60, 60))
    c.rect(x0 + 10.8 * u, 4 * u, x0 + 14.2 * u, 8 * u, rgb(150, 200, 150))
    arrow_right(c, x0, s, 0.5, 8, 8.5, rgb(30, 90, 200))


KEYBOARD_TOOLBAR = [tb_backup, tb_restore, tb_export, tb_copy, tb_autobackup, tb_send,
                    tb_receive, tb_first, tb_previous, tb_next, tb_last, tb_find, tb_find_next]


def band_menu(c, x0, s):
    u = s / 16.0
    for k in range(3):
        c.rect(x0 + 2 * u, (3 + 4 * k) * u, x0 + 14 * u, (4.6 + 4 * k) * u, rgb(60, 60, 60))


def band_tools(c, x0, s):
    u = s / 16.0
    for k in range(2):
        for j in range(2):
            c.rect(x0 + (2 + 6.5 * j) * u, (2 + 6.5 * k) * u, x0 + (7.5 + 6.5 * j) * u,
                   (7.5 + 6.5 * k) * u, rgb(52, 120, 214))


# ---- The platform's standard and view images ---------------------------------

def std_cut(c, x0, s):
    u = s / 16.0
    c.line(x0 + 4 * u, 1 * u, x0 + 10 * u, 10 * u, 1.3 * u, rgb(60, 60, 60))
    c.line(x0 + 12 * u, 1 * u, x0 + 6 * u, 10 * u, 1.3 * u, rgb(60, 60, 60))
    c.ring(x0 + 5 * u, 12.5 * u, 2.3 * u, 1.2 * u, rgb(30, 60, 160))
    c.ring(x0 + 11 * u, 12.5 * u, 2.3 * u, 1.2 * u, rgb(30, 60, 160))


def std_copy(c, x0, s):
    page(c, x0, s, 1.5, 1.5, 8, 10)
    page(c, x0, s, 6.5, 4.5, 8, 10)


def std_paste(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 2 * u, 2.5 * u, x0 + 11 * u, 14.5 * u, rgb(150, 100, 40))
    c.rect(x0 + 4.5 * u, 1.5 * u, x0 + 8.5 * u, 4 * u, rgb(90, 90, 90))
    page(c, x0, s, 7, 6, 7.5, 9)


def std_undo(c, x0, s):
    u = s / 16.0
    c.ring(x0 + 9 * u, 9 * u, 4.5 * u, 1.4 * u, rgb(30, 90, 200))
    c.rect(x0 + 4 * u, 9 * u, x0 + 14.5 * u, 15 * u, GREY)
    c.polygon([(x0 + 1.5 * u, 8.5 * u), (x0 + 7.5 * u, 8.5 * u), (x0 + 4.5 * u, 13 * u)],
              rgb(30, 90, 200))


def std_redo(c, x0, s):
    u = s / 16.0
    c.ring(x0 + 7 * u, 9 * u, 4.5 * u, 1.4 * u, rgb(30, 90, 200))
    c.rect(x0 + 1.5 * u, 9 * u, x0 + 12 * u, 15 * u, GREY)
    c.polygon([(x0 + 8.5 * u, 8.5 * u), (x0 + 14.5 * u, 8.5 * u), (x0 + 11.5 * u, 13 * u)],
              rgb(30, 90, 200))


def std_new(c, x0, s):
    page(c, x0, s, 3, 1.5, 10, 13)


def folder(c, x0, s, colour=rgb(230, 190, 60)):
    u = s / 16.0
    c.rect(x0 + 1.5 * u, 3.5 * u, x0 + 6.5 * u, 5.5 * u, colour)
    c.rect(x0 + 1.5 * u, 5 * u, x0 + 14.5 * u, 13.5 * u, rgb(120, 90, 20))
    c.rect(x0 + 2.3 * u, 5.8 * u, x0 + 13.7 * u, 12.7 * u, colour)


def std_open(c, x0, s):
    folder(c, x0, s)
    u = s / 16.0
    c.polygon([(x0 + 4 * u, 8 * u), (x0 + 15.5 * u, 8 * u), (x0 + 13 * u, 13.5 * u),
               (x0 + 1.5 * u, 13.5 * u)], rgb(250, 220, 120))


def std_save(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 1.5 * u, 1.5 * u, x0 + 14.5 * u, 14.5 * u, rgb(40, 60, 140))
    c.rect(x0 + 4 * u, 1.5 * u, x0 + 12 * u, 6.5 * u, WHITE)
    c.rect(x0 + 4.5 * u, 9 * u, x0 + 11.5 * u, 14.5 * u, rgb(180, 180, 180))


def std_print_preview(c, x0, s):
    page(c, x0, s, 1.5, 1.5, 10, 13)
    magnifier(c, x0, s, False)


def std_help(c, x0, s):
    help_button(c, x0, s)


def std_replace(c, x0, s):
    u = s / 16.0
    c.rect(x0 + 1.5 * u, 2 * u, x0 + 7 * u, 7 * u, rgb(30, 90, 200))
    c.rect(x0 + 9 * u, 9 * u, x0 + 14.5 * u, 14 * u, rgb(200, 40, 40))
    arrow_right(c, x0, s, 6, 8, 6, rgb(60, 60, 60))


def std_print(c, x0, s):
    u = s / 16.0
    page(c, x0, s, 4, 1.5, 8, 6)
    c.rect(x0 + 1.5 * u, 7 * u, x0 + 14.5 * u, 12.5 * u, rgb(110, 110, 110))
    page(c, x0, s, 4, 10.5, 8, 4)


STANDARD_SMALL = [std_cut, std_copy, std_paste, std_undo, std_redo, tb_delete, std_new,
                  std_open, std_save, std_print_preview, tb_properties, std_help, tb_find,
                  std_replace, std_print]


def tiles(c, x0, s, n, size):
    u = s / 16.0
    step = 14.0 / n
    for k in range(n):
        for j in range(n):
            c.rect(x0 + (1.5 + step * j) * u, (1.5 + step * k) * u,
                   x0 + (1.5 + step * j + size * step) * u, (1.5 + step * k + size * step) * u,
                   rgb(52, 120, 214))


def view_large(c, x0, s):
    tiles(c, x0, s, 2, 0.75)


def view_small(c, x0, s):
    u = s / 16.0
    for k in range(3):
        for j in range(2):
            c.rect(x0 + (1.5 + 7 * j) * u, (2 + 4.5 * k) * u, x0 + (3.5 + 7 * j) * u,
                   (4 + 4.5 * k) * u, rgb(52, 120, 214))
            c.rect(x0 + (4.3 + 7 * j) * u, (2.6 + 4.5 * k) * u, x0 + (7.5 + 7 * j) * u,
                   (3.4 + 4.5 * k) * u, rgb(60, 60, 60))


def view_list(c, x0, s):
    u = s / 16.0
    for k in range(4):
        c.rect(x0 + 1.5 * u, (1.5 + 3.5 * k) * u, x0 + 3.5 * u, (3.5 + 3.5 * k) * u,
               rgb(52, 120, 214))
        c.rect(x0 + 4.5 * u, (2.1 + 3.5 * k) * u, x0 + 9 * u, (2.9 + 3.5 * k) * u, rgb(60, 60, 60))


def view_details(c, x0, s):
    u = s / 16.0
    for k in range(4):
        c.rect(x0 + 1.5 * u, (1.5 + 3.5 * k) * u, x0 + 3.5 * u, (3.5 + 3.5 * k) * u,
               rgb(52, 120, 214))
        c.rect(x0 + 4.5 * u, (2.1 + 3.5 * k) * u, x0 + 14.5 * u, (2.9 + 3.5 * k) * u,
               rgb(60, 60, 60))


def sort_lines(c, x0, s, widths):
    u = s / 16.0
    for k, w in enumerate(widths):
        c.rect(x0 + 1.5 * u, (2 + 3.5 * k) * u, x0 + (1.5 + w) * u, (3.2 + 3.5 * k) * u,
               rgb(60, 60, 60))
    c.line(x0 + 13 * u, 2 * u, x0 + 13 * u, 13 * u, 1.2 * u, rgb(30, 140, 60))
    c.polygon([(x0 + 10.5 * u, 11 * u), (x0 + 15.5 * u, 11 * u), (x0 + 13 * u, 14.5 * u)],
              rgb(30, 140, 60))


def view_sort_name(c, x0, s):
    sort_lines(c, x0, s, [8, 8, 8, 8])


def view_sort_size(c, x0, s):
    sort_lines(c, x0, s, [3, 5, 7, 9])


def view_sort_date(c, x0, s):
    u = s / 16.0
    c.ring(x0 + 6 * u, 8 * u, 4.5 * u, 1.2 * u, rgb(60, 60, 60))
    c.line(x0 + 6 * u, 8 * u, x0 + 6 * u, 5 * u, 1.0 * u, rgb(60, 60, 60))
    sort_lines(c, x0, s, [])


def view_sort_type(c, x0, s):
    u = s / 16.0
    c.ellipse(x0 + 4 * u, 4 * u, 2.5 * u, 2.5 * u, rgb(200, 40, 40))
    c.rect(x0 + 1.5 * u, 9 * u, x0 + 6.5 * u, 14 * u, rgb(52, 120, 214))
    sort_lines(c, x0, s, [])


def view_parent(c, x0, s):
    folder(c, x0, s)
    u = s / 16.0
    c.polygon([(x0 + 5 * u, 10 * u), (x0 + 11 * u, 10 * u), (x0 + 8 * u, 6.5 * u)],
              rgb(40, 40, 40))


def network(c, x0, s, connected):
    u = s / 16.0
    c.rect(x0 + 1.5 * u, 2 * u, x0 + 9 * u, 8 * u, rgb(60, 60, 60))
    c.rect(x0 + 2.3 * u, 2.8 * u, x0 + 8.2 * u, 7.2 * u, rgb(150, 200, 250))
    c.line(x0 + 5 * u, 8 * u, x0 + 5 * u, 13 * u, 1.2 * u, rgb(60, 60, 60))
    c.line(x0 + 5 * u, 13 * u, x0 + 14 * u, 13 * u, 1.2 * u, rgb(60, 60, 60))
    if not connected:
        c.line(x0 + 10 * u, 9 * u, x0 + 15 * u, 15 * u, 1.5 * u, rgb(200, 40, 40))
        c.line(x0 + 15 * u, 9 * u, x0 + 10 * u, 15 * u, 1.5 * u, rgb(200, 40, 40))


def view_net_connect(c, x0, s):
    network(c, x0, s, True)


def view_net_disconnect(c, x0, s):
    network(c, x0, s, False)


def view_new_folder(c, x0, s):
    folder(c, x0, s)
    u = s / 16.0
    c.rect(x0 + 11 * u, 0.5 * u, x0 + 12.5 * u, 6 * u, rgb(200, 110, 0))
    c.rect(x0 + 9 * u, 2.5 * u, x0 + 14.5 * u, 4 * u, rgb(200, 110, 0))


VIEW_SMALL = [view_large, view_small, view_list, view_details, view_sort_name, view_sort_size,
              view_sort_date, view_sort_type, view_parent, view_net_connect, view_net_disconnect,
              view_new_folder]


# ---- Help button and program icon ----------------------------------------

def help_button(c, x0, s):
    u = s / 16.0
    c.ellipse(x0 + 8 * u, 8 * u, 7 * u, 7 * u, rgb(30, 80, 170))
    c.ellipse(x0 + 8 * u, 8 * u, 6 * u, 6 * u, rgb(60, 120, 220))
    # a question mark
    c.ring(x0 + 8 * u, 6.0 * u, 2.3 * u, 1.5 * u, WHITE)
    c.rect(x0 + 5 * u, 6 * u, x0 + 8 * u, 9 * u, rgb(60, 120, 220))  # open the left of the ring
    c.line(x0 + 8 * u, 8.2 * u, x0 + 8 * u, 9.8 * u, 1.5 * u, WHITE)
    c.ellipse(x0 + 8 * u, 12 * u, 0.95 * u, 0.95 * u, WHITE)


def program_icon(c, x0, s):
    u = s / 16.0
    cylinder(c, x0, s, rgb(52, 120, 214), rgb(140, 190, 250), rgb(20, 50, 110))
    c.ellipse(x0 + 11.5 * u, 11.5 * u, 3.8 * u, 3.8 * u, rgb(255, 255, 255))
    c.ellipse(x0 + 11.5 * u, 11.5 * u, 3.2 * u, 3.2 * u, rgb(250, 180, 30))
    c.line(x0 + 10 * u, 11.5 * u, x0 + 13 * u, 11.5 * u, 1.1 * u, rgb(120, 70, 0))
    c.line(x0 + 11.5 * u, 10 * u, x0 + 11.5 * u, 13 * u, 1.1 * u, rgb(120, 70, 0))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "resources/bitmaps")
    out.mkdir(parents=True, exist_ok=True)
    jobs = {
        "144_database_icons_16.png": (DATABASE_ICONS, 16, GREY),
        "145_database_icons_32.png": (DATABASE_ICONS, 32, GREY),
        "149_database_icons_64.png": (DATABASE_ICONS, 64, GREY),
        "174_sort_marks_10.png": ([None, mark_down, mark_up], 10, WHITE),
        "143_sort_marks_20.png": ([None, mark_down, mark_up], 20, WHITE),
        "125_toolbar_16.png": (PALM_TOOLBAR, 16, GREY),
        "148_toolbar_32.png": (PALM_TOOLBAR, 32, GREY),
        "158_help_16.png": ([help_button], 16, GREY),
        "159_help_32.png": ([help_button], 32, GREY),
        "101_program_32.png": ([program_icon], 32, GREY),
    }
    for name, (images, size, background) in jobs.items():
        write_png(out / name, strip(images, size, background))
        print("wrote", out / name)
    # The keyboard edition's own bitmaps, and the platform's image sets.
    others = {
        out / "keyboard" / "125_toolbar_16.png": (KEYBOARD_TOOLBAR, 16, GREY),
        out / "keyboard" / "136_bands_14.png": ([band_menu, band_tools], 14, GREY),
        Path("platform/gui/images") / "0_standard_small_16.png": (STANDARD_SMALL, 16, GREY),
        Path("platform/gui/images") / "4_view_small_16.png": (VIEW_SMALL, 16, GREY),
    }
    for path, (images, size, background) in others.items():
        path.parent.mkdir(parents=True, exist_ok=True)
        write_png(path, strip(images, size, background))
        print("wrote", path)


if __name__ == "__main__":
    main()
