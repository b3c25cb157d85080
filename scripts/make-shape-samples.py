#!/usr/bin/env python3
"""Writes the sample card set "Shapes" into samples/: pictures of shapes drawn here (PNG, one with
transparency, and BMP) in samples/Shapes/, and the card set file naming them through %APPDATA%,
where the samples are copied for playing. The second cards are empty, so both cards of a pair
show the first card's picture and text."""
import math
import os
import struct
import zlib

SIZE = 160
HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "samples")


def inside(shape, x, y):
    """True when the pixel centre (x, y) of a SIZE x SIZE picture lies in the shape."""
    u = (x + 0.5) / SIZE * 2 - 1
    v = (y + 0.5) / SIZE * 2 - 1
    r = math.hypot(u, v)
    a = math.atan2(v, u)
    if shape == "circle":
        return r < 0.8
    if shape == "ring":
        return 0.5 < r < 0.85
    if shape == "square":
        return abs(u) < 0.7 and abs(v) < 0.7
    if shape == "diamond":
        return abs(u) + abs(v) < 0.85
    if shape == "triangle":
        return v < 0.7 and v > -0.8 + 1.75 * abs(u) * 0.9
    if shape == "cross":
        return (abs(u) < 0.22 and abs(v) < 0.8) or (abs(v) < 0.22 and abs(u) < 0.8)
    if shape == "star":
        edge = 0.45 + 0.4 * (0.5 + 0.5 * math.cos(5 * (a + math.pi / 2)))
        return r < edge
    if shape == "moon":
        return r < 0.8 and math.hypot(u - 0.35, v + 0.15) > 0.6
    if shape == "hexagon":
        k = max(abs(u), abs(u) * 0.5 + abs(v) * 0.866)
        return k < 0.78
    if shape == "heart":
        p, q = u * 1.2, -v * 1.2 + 0.25
        return (p * p + q * q - 1) ** 3 - p * p * q ** 3 < 0
    raise ValueError(shape)


def pixels(shape, colour, background):
    return [[colour if inside(shape, x, y) else background for x in range(SIZE)] for y in range(SIZE)]


def write_png(path, rows, alpha):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    channels = 4 if alpha else 3
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel[:channels]) for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


def write_bmp(path, rows):
    stride = (SIZE * 3 + 3) & ~3
    data = b"".join(bytes(c for pixel in row for c in (pixel[2], pixel[1], pixel[0])).ljust(stride, b"\x00")
                    for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + info + data)


def rtf(text, colour):
    r, g, b = colour
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}"
            "{\\colortbl ;\\red%d\\green%d\\blue%d;}\\pard\\f0\\fs20\\cf1\\b %s\\b0\\cf0\\par}" % (r, g, b, text))


# Name, colour, file kind, and whether the card also carries the name as text.
SHAPES = [
    ("circle", (220, 40, 40), "png", True),
    ("square", (40, 90, 220), "png", True),
    ("triangle", (30, 150, 60), "png", False),
    ("star", (230, 170, 0), "alpha", True),
    ("diamond", (150, 40, 190), "bmp", False),
    ("cross", (200, 30, 120), "png", True),
    ("moon", (60, 60, 70), "alpha", False),
    ("ring", (0, 150, 170), "bmp", True),
    ("hexagon", (150, 90, 30), "png", True),
    ("heart", (230, 60, 110), "png", False),
]


def main():
    folder = os.path.join(SAMPLES, "Shapes")
    os.makedirs(folder, exist_ok=True)
    lines = ["[General]", "Count=%d" % len(SHAPES)]
    for n, (name, colour, kind, with_text) in enumerate(SHAPES, 1):
        if kind == "alpha":
            rows = pixels(name, colour + (255,), (255, 255, 255, 0))
            file_name = name + ".png"
            write_png(os.path.join(folder, file_name), rows, True)
        elif kind == "bmp":
            file_name = name + ".bmp"
            write_bmp(os.path.join(folder, file_name), pixels(name, colour, (255, 255, 255)))
        else:
            file_name = name + ".png"
            write_png(os.path.join(folder, file_name), pixels(name, colour, (255, 255, 255)), False)
        lines += ["[Entry%d]" % n, "Text1=" + (rtf(name.capitalize(), colour) if with_text else ""), "Text2=",
                  "PictureFileName1=%APPDATA%\\Shapes\\" + file_name, "PictureFileName2=",
                  "SoundFileName1=", "SoundFileName2=", "VideoFileName1=", "VideoFileName2="]
    with open(os.path.join(SAMPLES, "Shapes.mnc"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
