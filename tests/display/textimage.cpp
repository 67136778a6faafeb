// Prints a line of text with the game's font into a 512x16 bitmap the way the HUD and the
// intermission do, and writes it as a binary PGM (255 where the glyphs have ink), so a
// display test can compare it with what reached the screen:
//   textimage FONT.pcx X Y "TEXT" OUT.pgm
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: textimage FONT X Y TEXT OUT.pgm\n");
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    set_color_conversion(COLORCONV_NONE);
    FONT* textFont = load_font(argv[1], nullptr, nullptr);
    if (textFont == nullptr) {
        std::fprintf(stderr, "textimage: cannot load %s\n", argv[1]);
        return 1;
    }
    BITMAP* bitmap = create_bitmap(512, 16);
    clear_to_color(bitmap, 0);
    textout_ex(bitmap, textFont, argv[4], std::atoi(argv[2]), std::atoi(argv[3]),
               makecol(255, 255, 255), 0);
    FILE* out = std::fopen(argv[5], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "textimage: cannot write %s\n", argv[5]);
        return 1;
    }
    std::fprintf(out, "P5\n%d %d\n255\n", bitmap->w, bitmap->h);
    for (int y = 0; y < bitmap->h; ++y) {
        for (int x = 0; x < bitmap->w; ++x) {
            std::fputc(getr32(getpixel(bitmap, x, y)) > 127 ? 255 : 0, out);
        }
    }
    std::fclose(out);
    return 0;
}
