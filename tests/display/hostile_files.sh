#!/usr/bin/env bash
# Hostile image and font files in place of the game's own: each is one class that crashes
# or stalls Allegro 4.4's loaders. The program must report the plain load failure and exit
# 1, never crash; an image wider than any driver takes is refused as one AllegroGL cannot
# convert. Then replacement art the game accepts must load and play: the star texture
# re-encoded in each true-colour layout, an 8-bit colour-mapped background as a paint
# program saves it, and the font without its palette.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)
use_gate
hostile="$WORK/hostile"
mkdir -p "$hostile"

# Writes the hostile files into $1, cut from the game's own star texture and font ($2, $3)
# where a class needs real data.
python3 - "$hostile" "$game/gfx/star.tga" "$game/font.pcx" <<'EOF'
import struct, sys
out, star_path, font_path = sys.argv[1:]
star = open(star_path, 'rb').read()
font = open(font_path, 'rb').read()

def tga(image_type=2, bpp=24, w=2, h=2, cm_type=0, cm_len=0, cm_bits=0):
    return struct.pack('<BBBHHBHHHHBB', 0, cm_type, image_type, 0, cm_len, cm_bits,
                       0, 0, w, h, bpp, 0)

def pcx(xmax, ymax, bytes_per_line):
    head = struct.pack('<BBBBHHHHHH', 10, 5, 1, 8, 0, 0, xmax, ymax, 72, 72)
    head += bytes(48) + bytes([0, 1]) + struct.pack('<HH', bytes_per_line, 1)
    return head + bytes(128 - len(head))

palette = b'\x0c' + bytes(768)
files = {
    # Allegro reads the map into a 256-entry stack array: 18 bytes smash it.
    'colour-map-1000.tga': tga(image_type=1, bpp=8, cm_type=1, cm_len=1000, cm_bits=24),
    # One run of four pixels over a row of two: Allegro writes past the bitmap (23 bytes).
    'run-crossing-row.tga': tga(image_type=10, bpp=32) + bytes([0x83, 1, 2, 3, 4]),
    # 32768 x 32768 x 4 bytes wraps Allegro's int to a zero-byte buffer.
    'size-wrapping-int.tga': tga(w=32768, h=32768, bpp=32),
    # 1 GiB of pixels from an 18-byte header.
    'gigabytes.tga': tga(w=16384, h=16384, bpp=32),
    'truncated.tga': star[:len(star) // 2],
    # 8x8 of border colour: a PCX, but no glyph box in it.
    'no-glyph-grid.pcx': pcx(7, 7, 8) + bytes([0xc8, 255]) * 8 + palette,
    # 0..65535 wraps to zero pixels.
    'extent-65535.pcx': pcx(65535, 65535, 2) + bytes([1, 2, 3, 4]) + palette,
    # 65534 bytes a row for a 2-pixel row: seconds of decoding from a 128-byte file.
    'bytes-per-line-65534.pcx': pcx(1, 1, 65534),
    'truncated.pcx': font[:len(font) // 2],
}
for name, data in files.items():
    open(f'{out}/{name}', 'wb').write(data)
EOF

# Puts FILE in place of the game's TARGET, runs the program and restores TARGET.
run_with() {
    local file=$1 target=$2
    cp "$game/$target" "$WORK/original"
    cp "$file" "$game/$target"
    local started=$SECONDS
    run_to_end "$game"
    echo "   ended after $((SECONDS - started)) s"
    cp "$WORK/original" "$game/$target"
}

for file in "$hostile"/*.tga; do
    echo "-- gfx/star.tga: $(basename "$file")"
    run_with "$file" gfx/star.tga
    expect_reported_failure "Failed to load texture: gfx/star.tga"
done

# 65535 pixels wide is within Allegro's arithmetic but past any driver's texture size.
echo "-- gfx/star.tga: wider than the driver takes"
python3 -c "import struct, sys; sys.stdout.buffer.write(
    struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, 65535, 1, 24, 0) + bytes(65535 * 3))" \
    >"$WORK/wide.tga"
run_with "$WORK/wide.tga" gfx/star.tga
expect_reported_failure "Failed to convert texture: gfx/star.tga"

for file in "$hostile"/*.pcx; do
    echo "-- font.pcx: $(basename "$file")"
    run_with "$file" font.pcx
    expect_reported_failure "Font load failed"
done

# The star texture in each accepted layout: uncompressed and run-length, 24 and 32 bits,
# both origins. The unit tests check the pixels; here the program loads it and plays.
python3 - "$game/gfx/star.tga" "$hostile" <<'EOF'
import struct, sys
star_path, out = sys.argv[1:]
star = open(star_path, 'rb').read()
(id_len, cm_type, image_type, _, _, _, _, _, w, h, bpp, desc) = struct.unpack('<BBBHHBHHHHBB', star[:18])
assert (id_len, cm_type, image_type, bpp, desc & 0x20) == (0, 0, 2, 24, 0), 'expected a plain 24-bit star'
rows = [[star[18 + (y * w + x) * 3:18 + (y * w + x) * 3 + 3] for x in range(w)] for y in range(h)]

def run_length(row):
    packets, x = b'', 0
    while x < len(row):
        n = 1
        while x + n < len(row) and n < 128 and row[x + n] == row[x]:
            n += 1
        if n > 1:
            packets += bytes([0x80 | (n - 1)]) + row[x]
        else:
            while x + n < len(row) and n < 128 and row[x + n] != row[x + n - 1]:
                n += 1
            packets += bytes([n - 1]) + b''.join(row[x:x + n])
        x += n
    return packets

for name, rle, depth, top_left in [('rle24-bottom-left', True, 24, False),
                                   ('raw24-top-left', False, 24, True),
                                   ('raw32-bottom-left', False, 32, False),
                                   ('rle32-top-left', True, 32, True)]:
    pixels = [[p + b'\xff' if depth == 32 else p for p in row] for row in rows]
    if top_left:
        pixels.reverse()
    body = b''.join(run_length(r) if rle else b''.join(r) for r in pixels)
    header = struct.pack('<BBBHHBHHHHBB', 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0, w, h, depth,
                         (0x20 if top_left else 0) | (8 if depth == 32 else 0))
    open(f'{out}/{name}.layout', 'wb').write(header + body)
EOF

# Puts FILE in place of the game's TARGET, plays past the first intermission, ends with
# ESC and expects a normal end. TARGET keeps FILE.
plays_with() {
    local file=$1 target=$2 name
    name=$(basename "$file")
    echo "-- $target as $name"
    cp "$file" "$game/$target"
    start_game "$game"
    sleep 3
    hold_key space
    sleep 2
    screenshot "${target//\//-}-$name" >/dev/null
    hold_key Escape 1.0
    wait_game
    expect_normal_end "a game with $target as $name"
}

for file in "$hostile"/*.layout; do
    plays_with "$file" gfx/star.tga
done
convert "$game/gfx/background.tga" -colors 256 -type Palette "$hostile/8-bit-colour-mapped.tga"
plays_with "$hostile/8-bit-colour-mapped.tga" gfx/background.tga
head -c -769 "$game/font.pcx" >"$hostile/no-palette.pcx"
plays_with "$hostile/no-palette.pcx" font.pcx
echo "PASS"
