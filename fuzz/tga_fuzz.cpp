// Feeds arbitrary bytes through the texture path of the game: the TGA check, then, for a
// file it accepts, Allegro's own load_bitmap on the same file and the conversion to the
// depths AllegroGL uploads. A crash or sanitizer report inside Allegro on an accepted file
// is a hole in the check; so is an accepted file that Allegro refuses or loads at another
// size than the check read, or that does not end up 24- or 32-bit.
#include "imagecheck.h"
#include "resources.h"
#include "scratchfile.h"

#include <allegro.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// load_bitmap picks the TGA reader by the extension.
const ScratchFile scratch("tga-fuzz", ".tga");

int Le16(const uint8_t* p) { return p[0] | p[1] << 8; }

// What loadFromFile does before the texture upload.
void CheckAndLoad(const uint8_t* data) {
    ImageSize size;
    if (!CheckTgaFile(scratch.path(), nullptr, &size)) return;
    BITMAP* bitmap = LoadTrueColourBitmap(scratch.path());
    if (bitmap == nullptr || bitmap->w != Le16(data + 12) || bitmap->h != Le16(data + 14) ||
        static_cast<std::size_t>(bitmap->w) != size.width ||
        static_cast<std::size_t>(bitmap->h) != size.height ||
        (bitmap_color_depth(bitmap) != 24 && bitmap_color_depth(bitmap) != 32)) {
        __builtin_trap();
    }
    destroy_bitmap(bitmap);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // As the game loads its textures: in the depth stored in the file.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    set_color_conversion(COLORCONV_NONE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ScratchFile::Input input(scratch, data, size);
    if (input.written()) CheckAndLoad(data);
    return 0;
}
