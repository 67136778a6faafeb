// Feeds arbitrary bytes through the font path of the game: the PCX font check, then, for a
// file it accepts, Allegro's own load_font on the same file. A crash or sanitizer report
// inside Allegro on an accepted file is a hole in the check; so is an accepted file that
// gives no font, or a font without glyphs or with a height of no glyph.
#include "imagecheck.h"
#include "scratchfile.h"

#include <allegro.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// load_font picks the bitmap-font reader by the extension.
const ScratchFile scratch("font-fuzz", ".pcx");

// What loadAll does for the font.
void CheckAndLoad() {
    if (!CheckFontFile(scratch.path(), nullptr)) return;
    FONT* font = load_font(scratch.path().c_str(), nullptr, nullptr);
    // One range from character 32 with a glyph per box, at least one box.
    if (font == nullptr || get_font_ranges(font) != 1 || get_font_range_begin(font, 0) != 32 ||
        get_font_range_end(font, 0) < 32 || text_height(font) < 1 || text_height(font) > 65536) {
        __builtin_trap();
    }
    destroy_font(font);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    set_color_conversion(COLORCONV_NONE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ScratchFile::Input input(scratch, data, size);
    if (input.written()) CheckAndLoad();
    return 0;
}
