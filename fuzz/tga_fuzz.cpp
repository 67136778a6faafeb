// Feeds arbitrary bytes through the texture path of the game: the TGA check, then, for a
// file it accepts, Allegro's own load_bitmap on the same file. A crash or sanitizer report
// inside Allegro on an accepted file is a hole in the check; so is an accepted file that
// Allegro refuses or loads at another size.
#include "imagecheck.h"

#include <allegro.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Written and removed on every run (a timed-out run ends without exit handlers), so kept in
// memory where the system has a RAM-backed directory: on disk that costs more than the run.
const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* dir = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/startug-tga-fuzz-" + std::to_string(getpid()) + ".tga";
    }();
    return path;
}

int Le16(const uint8_t* p) { return p[0] | p[1] << 8; }

// What loadFromFile does before the texture upload.
void CheckAndLoad(const uint8_t* data) {
    if (!CheckTgaFile(ScratchPath(), nullptr)) return;
    PALETTE palette;
    BITMAP* bitmap = load_bitmap(ScratchPath().c_str(), palette);
    if (bitmap == nullptr || bitmap->w != Le16(data + 12) || bitmap->h != Le16(data + 14)) {
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
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CheckAndLoad(data);
    std::remove(ScratchPath().c_str());
    return 0;
}
