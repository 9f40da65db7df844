#!/usr/bin/env python3
"""Draws the application's pictures (icon, logo, stretch signs) as XPM files in app/pictures.

The pictures are simple shapes on a pixel grid, so they are made here rather than kept as
binary files: run this script again after changing a drawing and commit its output.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "app", "pictures")


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def triangle_right(self, tip_x, mid_y, depth, colour):
        """Arrow head pointing right, its tip at (tip_x, mid_y)."""
        for d in range(depth):
            self.rect(tip_x - d, mid_y - d, tip_x - d, mid_y + d, colour)

    def triangle_left(self, tip_x, mid_y, depth, colour):
        for d in range(depth):
            self.rect(tip_x + d, mid_y - d, tip_x + d, mid_y + d, colour)

    def wave(self, x0, x1, mid_y, amplitude, period, colour, thickness=1, squeeze=1.0):
        previous = None
        for x in range(x0, x1 + 1):
            t = (x - x0) / max(1, x1 - x0)
            phase = 2 * math.pi * (x - x0) / (period * (1.0 - (1.0 - squeeze) * t))
            y = round(mid_y - amplitude * math.sin(phase))
            lo, hi = (y, y) if previous is None else (min(y, previous), max(y, previous))
            self.rect(x, lo, x + thickness - 1, hi + thickness - 1, colour)
            previous = y

    def xpm(self, name):
        colours = sorted({c for row in self.pixels for c in row})
        symbols = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        key = {c: symbols[i] for i, c in enumerate(colours)}
        lines = [f'"{self.width} {self.height} {len(colours)} 1",']
        lines += [f'"{key[c]} c {c}",' for c in colours]
        lines += ['"' + "".join(key[c] for c in row) + '",' for row in self.pixels]
        lines[-1] = lines[-1].rstrip(",")
        return ("/* XPM */\n/* Made by scripts/draw-pictures.py. */\n"
                f"static const char* const {name}[] = {{\n" + "\n".join(lines) + "\n};\n")


RED = "#FF0000"
INK = "#1F3A5F"


def stretch_sign(kind):
    """16 by 15, red transparent: a bar, with arrow heads inwards or outwards."""
    c = Canvas(16, 15, RED)
    if kind == "outwards":
        c.rect(3, 6, 12, 8, INK)
        c.triangle_left(0, 7, 5, INK)
        c.triangle_right(15, 7, 5, INK)
    elif kind == "inwards":
        c.rect(0, 6, 15, 8, INK)
        c.triangle_right(6, 7, 5, "#B03020")
        c.triangle_left(9, 7, 5, "#B03020")
    else:
        c.rect(1, 6, 14, 8, INK)
    return c


# A 5 by 7 pixel font for the few letters the logo spells.
GLYPHS = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
}


def text(c, x, y, letters, scale, colour):
    for letter in letters:
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    c.rect(x + col * scale, y + row * scale,
                           x + col * scale + scale - 1, y + row * scale + scale - 1, colour)
        x += 6 * scale


def film_strip(c, y0, y1, hole_step):
    c.rect(0, y0, c.width - 1, y1, "#202020")
    for x in range(3, c.width - 3, hole_step):
        c.rect(x, y0 + 2, x + hole_step // 2 - 1, y0 + 3, "#E8E8E8")
        c.rect(x, y1 - 3, x + hole_step // 2 - 1, y1 - 2, "#E8E8E8")


def logo():
    """158 by 90: a film strip over a wave that tightens, and the letters TKV."""
    c = Canvas(158, 90, "#F4F1E8")
    film_strip(c, 4, 25, 10)
    c.wave(6, 151, 46, 10, 34, "#D07020", thickness=2, squeeze=0.45)
    text(c, 32, 62, "TKV", 3, INK)
    return c


def icon():
    """32 by 32: a frame of film with a wave across it."""
    c = Canvas(32, 32, "#1F3A5F")
    film_strip(c, 6, 25, 6)
    c.rect(2, 10, 29, 21, "#F4F1E8")
    c.wave(3, 27, 15, 3, 12, "#D07020", thickness=1, squeeze=0.5)
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {
        "icon128": icon(),
        "logo141": logo(),
        "sign132": stretch_sign("inwards"),
        "sign133": stretch_sign("flat"),
        "sign134": stretch_sign("outwards"),
    }
    for name, canvas in pictures.items():
        with open(os.path.join(OUT, name + ".xpm"), "w") as f:
            f.write(canvas.xpm(name + "_xpm"))


if __name__ == "__main__":
    main()
