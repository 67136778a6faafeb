#!/usr/bin/env python3
"""Says whether a line of text reached the screen.

    textmatch.py SCREEN.pgm EXPECTED.pgm ROW

SCREEN.pgm is a grey 1024x768 screenshot, EXPECTED.pgm the 512x16 text bitmap from
textimage. The game draws that bitmap stretched to 512x32 with its top at screen row ROW
and its left edge at column 0, bright where there is ink. Exits 0 when at least 97% of the
ink and background pixels agree, printing the score either way.
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
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height]


def main():
    sw, _, screen = read_pgm(sys.argv[1])
    ew, eh, expected = read_pgm(sys.argv[2])
    top = int(sys.argv[3])
    agree = total = ink = 0
    # Linear filtering blends neighbouring texel rows at the stretch; the middle of each
    # pair of screen rows is three quarters one texel row, so judge with a 50% threshold.
    for y in range(eh * 2):
        for x in range(ew):
            want = expected[(y // 2) * ew + x] > 127
            got = screen[(top + y) * sw + x] > 160
            ink += want
            total += 1
            agree += want == got
    score = agree / total
    print(f"text match {score:.4f} ({ink} ink pixels expected)")
    sys.exit(0 if score >= 0.97 and ink > 0 else 1)


main()
