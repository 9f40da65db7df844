#!/usr/bin/env python3
"""Writes the desktop icon for installation: the application's 32 by 32 icon (drawn by
draw-pictures.py) as PNG files at the hicolor theme's usual sizes and as a scalable SVG, in
data/icons. Run it again after changing the icon's drawing and commit its output.
"""
import importlib.util
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "data", "icons")
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def load_pictures():
    spec = importlib.util.spec_from_file_location("pictures", os.path.join(HERE, "draw-pictures.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def rgb(colour):
    return bytes(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def png(canvas, size):
    """The canvas scaled to size by nearest neighbour, as an 8-bit RGB PNG."""
    rows = bytearray()
    for y in range(size):
        rows.append(0)  # no filter
        source = canvas.pixels[y * canvas.height // size]
        for x in range(size):
            rows += rgb(source[x * canvas.width // size])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def svg(canvas):
    """One rectangle per run of equal pixels in a row; crisp edges keep the pixel look."""
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             f'viewBox="0 0 {canvas.width} {canvas.height}" shape-rendering="crispEdges">']
    for y, row in enumerate(canvas.pixels):
        x = 0
        while x < canvas.width:
            end = x
            while end < canvas.width and row[end] == row[x]:
                end += 1
            parts.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" fill="{row[x]}"/>')
            x = end
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    icon = load_pictures().icon()
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(OUT, f"tkv-{size}.png"), "wb") as f:
            f.write(png(icon, size))
    with open(os.path.join(OUT, "tkv.svg"), "w") as f:
        f.write(svg(icon))


if __name__ == "__main__":
    main()
