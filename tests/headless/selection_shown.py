#!/usr/bin/python3
"""True (exit 0) when a screenshot shows the selection window: the red
frame of its warning area around a large white area.

usage: selection_shown.py SHOT.png
"""
import sys

from PIL import Image


def main():
    image = Image.open(sys.argv[1]).convert("RGB")
    width, height = image.size
    pixels = image.load()
    red_rows = []
    white = 0
    for y in range(height):
        run = longest = 0
        for x in range(width):
            r, g, b = pixels[x, y]
            if r > 170 and g < 80 and b < 80:
                run += 1
                longest = max(longest, run)
            else:
                run = 0
                if r > 240 and g > 240 and b > 240:
                    white += 1
        if longest >= 400:
            red_rows.append(y)
    # The frame's top and bottom edges, far apart, around the warning text.
    framed = len(red_rows) >= 2 and red_rows[-1] - red_rows[0] >= 250
    if not (framed and white >= 150000):
        print(f"selection_shown: red edges at rows {red_rows[:3]}...{red_rows[-3:]}, {white} white pixels")
        sys.exit(1)


if __name__ == "__main__":
    main()
