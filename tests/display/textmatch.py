#!/usr/bin/env python3
"""Says which of some candidate lines of text is on the screen.

    textmatch.py SCREEN.pgm ROW EXPECTED.pgm [EXPECTED.pgm ...]

SCREEN.pgm is a grey 1024x768 screenshot in which the game's white text is bright,
each EXPECTED.pgm a 512x16 text bitmap from textimage. The game draws such a bitmap
stretched to 512x32 with its top at screen row ROW and its left edge at column 0.
The score of a candidate is the overlap of its ink with the screen's bright pixels
(intersection over union). Prints the best candidate's index and score; exits 0 when
that score is at least 0.9.
"""
import sys


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height]


def score(screen, screen_width, top, expected):
    width, height, ink = expected
    both = either = 0
    # Linear filtering blends neighbouring texel rows at the stretch: each screen row is
    # three quarters one texel row, so a 160 threshold sees that row.
    for y in range(height * 2):
        line = (top + y) * screen_width
        for x in range(width):
            want = ink[(y // 2) * width + x] > 127
            got = screen[line + x] > 160
            both += want and got
            either += want or got
    return both / either if either else 0.0


def main():
    screen_width, _, screen = read_pgm(sys.argv[1])
    top = int(sys.argv[2])
    scores = [score(screen, screen_width, top, read_pgm(p)) for p in sys.argv[3:]]
    best = max(range(len(scores)), key=scores.__getitem__)
    print(best, f"{scores[best]:.3f}")
    sys.exit(0 if scores[best] >= 0.9 else 1)


main()
