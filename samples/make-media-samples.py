#!/usr/bin/env python3
"""Writes the card sets of the sample media (made by make-samples.sh) in the card set file layout."""
import os
import sys

FOLDER = "%APPDATA%\\Mnemora samples\\"


def rtf(body):
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}"
            "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green110\\blue0;\\red0\\green0\\blue200;}"
            "\\pard\\f0\\fs20 " + body + "\\par}")


def write(out, name, pairs):
    keys = ["Text1", "Text2", "PictureFileName1", "PictureFileName2", "SoundFileName1", "SoundFileName2",
            "VideoFileName1", "VideoFileName2"]
    lines = ["[General]", "Count=%d" % len(pairs)]
    for n, pair in enumerate(pairs, 1):
        lines.append("[Entry%d]" % n)
        lines += ["%s=%s" % (k, pair.get(k, "")) for k in keys]
    with open(os.path.join(out, name + ".mnc"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def main():
    out = sys.argv[1]
    shapes = ["circle", "square", "triangle", "star", "diamond", "hexagon", "oval", "rectangle", "cross", "arrow"]
    write(out, "Shapes", [{"PictureFileName1": FOLDER + s + ".png", "Text2": rtf("\\b " + s + "\\b0")}
                          for s in shapes])
    solfege = {"C": "do", "D": "re", "E": "mi", "F": "fa", "G": "sol", "A": "la", "B": "si"}
    write(out, "Musical notes", [{"Text1": rtf("\\b %s\\b0  \\cf3 %s\\cf0" % (n, s)),
                                  "SoundFileName1": FOLDER + "note-%s.wav" % n,
                                  "PictureFileName2": FOLDER + "note-%s.png" % n,
                                  "SoundFileName2": FOLDER + "note-%s.wav" % n}
                                 for n, s in solfege.items()])
    write(out, "Moving pictures", [{"VideoFileName1": FOLDER + "pattern.mpg", "Text2": rtf("test \\b pattern\\b0")},
                                   {"VideoFileName1": FOLDER + "life.mpg", "Text2": rtf("game of \\cf2 life\\cf0")},
                                   {"VideoFileName1": FOLDER + "mandelbrot.wmv", "Text2": rtf("\\i Mandelbrot\\i0")}])


main()
