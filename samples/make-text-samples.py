#!/usr/bin/env python3
"""Writes the sample card sets into samples/ in the card set file layout."""
import os

def rtf(body):
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}"
            "{\\f1\\fnil\\fcharset0 Times New Roman;}}"
            "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green110\\blue0;\\red0\\green0\\blue200;}"
            "\\pard\\f0\\fs20 " + body + "\\par}")

def write(name, pairs):
    lines = ["[General]", "Count=%d" % len(pairs)]
    for n, (a, b) in enumerate(pairs, 1):
        lines += ["[Entry%d]" % n, "Text1=" + a, "Text2=" + b,
                  "PictureFileName1=", "PictureFileName2=", "SoundFileName1=", "SoundFileName2=",
                  "VideoFileName1=", "VideoFileName2="]
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, name + ".mnc"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))

write("Capitals", [("France", "Paris"), ("Italy", "Rome"), ("Spain", "Madrid"), ("Germany", "Berlin"),
                   ("Japan", "Tokyo"), ("Egypt", "Cairo"), ("Canada", "Ottawa"), ("Peru", "Lima"),
                   ("Kenya", "Nairobi"), ("Norway", "Oslo"), ("Chile", "Santiago"), ("India", "New Delhi")])
write("Opposites", [(rtf("\\b hot\\b0"), rtf("\\i cold\\i0")), (rtf("\\b big\\b0"), rtf("\\i small\\i0")),
                    (rtf("\\cf1 up\\cf0"), rtf("\\cf3 down\\cf0")), (rtf("\\ul day\\ulnone"), rtf("\\ul night\\ulnone")),
                    (rtf("\\b fast\\b0"), rtf("\\i slow\\i0")), (rtf("\\cf2 open\\cf0"), rtf("\\cf1 closed\\cf0")),
                    (rtf("\\f1 old\\f0"), rtf("\\f1 new\\f0")), (rtf("\\b full\\b0"), rtf("\\i empty\\i0")),
                    (rtf("\\cf3 wet\\cf0"), rtf("\\cf1 dry\\cf0")), (rtf("\\b light\\b0"), rtf("\\b dark\\b0"))])
write("Colours", [(rtf("\\cf1\\b red\\b0\\cf0"), "rouge"), (rtf("\\cf2\\b green\\b0\\cf0"), "vert"),
                  (rtf("\\cf3\\b blue\\b0\\cf0"), "bleu"), ("yellow", "jaune"), ("black", "noir"),
                  ("white", "blanc"), ("orange", "orange"), ("pink", "rose"), ("grey", "gris"),
                  ("brown", "marron")])
