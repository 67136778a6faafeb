#pragma once

// Writes a small but complete game data directory (the seven textures, a ship model and a
// font) with Allegro's own writers, so loader tests do not depend on the real art.
// Header-only: shared by the unit tests and the real-display tests.

#include "resources.h"
#include "tempdir.h"

#include <allegro.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace gamedata {

struct TextureFile {
    const char* name;
    int width, height;  // distinct per file, so a test can tell the uploads apart
    int depth;          // 32 for the two textures drawn with alpha
};

// In the order the resource manager loads them.
inline const TextureFile Textures[] = {
    {"gfx/background.tga", 64, 32, 24},   {"gfx/star.tga", 32, 32, 24},
    {"gfx/pointer.tga", 32, 16, 32},      {"gfx/flametex1.tga", 16, 16, 24},
    {"gfx/glow.tga", 16, 8, 32},          {"gfx/shiptex.tga", 8, 8, 24},
    {"gfx/tractortexture.tga", 8, 4, 24},
};

inline const char* const ModelFile = "models/ship.model";
inline const char* const FontFile = "font.pcx";
// One triangle; any valid model serves.
inline const char* const ModelText = "3\n0 0 0\n1 0 0\n0 0 1\n1\n3 0 1 2\n";

// First and last printable character, and the glyph box size of the written font.
constexpr int FirstGlyph = 32, LastGlyph = 126, GlyphSize = 8;

inline void WriteImage(const std::filesystem::path& path, int width, int height, int depth) {
    BITMAP* image = create_bitmap_ex(depth, width, height);
    clear_to_color(
        image, depth == 32 ? makeacol32(200, 120, 40, 128) : makecol_depth(depth, 200, 120, 40));
    save_tga(path.string().c_str(), image, nullptr);
    destroy_bitmap(image);
}

// A mono bitmap font in the grid layout load_font reads: border colour 255 around one box
// per glyph, 16 boxes a row, each glyph a single ink pixel.
inline void WriteFont(const std::filesystem::path& path) {
    constexpr int PerRow = 16, Glyphs = LastGlyph - FirstGlyph + 1;
    constexpr int Rows = (Glyphs + PerRow - 1) / PerRow, Pitch = GlyphSize + 1;
    BITMAP* image = create_bitmap_ex(8, PerRow * Pitch + 1, Rows * Pitch + 1);
    clear_to_color(image, 255);
    for (int g = 0; g < Glyphs; ++g) {
        const int x = 1 + (g % PerRow) * Pitch, y = 1 + (g / PerRow) * Pitch;
        rectfill(image, x, y, x + GlyphSize - 1, y + GlyphSize - 1, 0);
        putpixel(image, x + 1, y + 1, 1);
    }
    PALETTE palette;
    for (int i = 0; i < PAL_SIZE; ++i) palette[i] = RGB{0, 0, 0, 0};
    palette[1] = RGB{63, 63, 63, 0};
    palette[255] = RGB{63, 63, 0, 0};
    save_pcx(path.string().c_str(), image, palette);
    destroy_bitmap(image);
}

inline void WriteGameData(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "gfx");
    std::filesystem::create_directories(dir / "models");
    for (const TextureFile& t : Textures) WriteImage(dir / t.name, t.width, t.height, t.depth);
    std::ofstream(dir / ModelFile) << ModelText;
    WriteFont(dir / FontFile);
}

// Runs the manager's loadAll; returns its failure message, empty on success.
inline std::string LoadAllMessage(ResourceManager& manager) {
    try {
        manager.loadAll();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

// A fresh temporary directory that is the working directory while the object lives.
class TempWorkingDir {
  public:
    TempWorkingDir()
        : previous_(std::filesystem::current_path()), path_(tempdir::Make("startug-data-")) {
        std::filesystem::current_path(path_);
    }
    ~TempWorkingDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    TempWorkingDir(const TempWorkingDir&) = delete;
    TempWorkingDir& operator=(const TempWorkingDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace gamedata
