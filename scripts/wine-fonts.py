#!/usr/bin/python3
"""Adds to a Wine prefix the Windows fonts the program's windows are laid out
for but that Wine does not ship: "Times New Roman" (the protocol display).

Liberation Serif has Times New Roman's glyph widths but states a different
average character width, which Windows programs read as tmAveCharWidth. The
copy made here carries Times New Roman's name and average width (821/2048 em),
so text lands where it does on Windows."""
import sys
from fontTools.ttLib import TTFont

source, target = sys.argv[1], sys.argv[2]
font = TTFont(source)
font["OS/2"].xAvgCharWidth = 821
names = {1: "Times New Roman", 2: "Regular", 4: "Times New Roman", 6: "TimesNewRomanPSMT"}
for record in font["name"].names:
    if record.nameID in names:
        record.string = names[record.nameID]
font.save(target)
