#include "font.h"

#include "glyphart.h"

#include <allegro.h>

#include <array>
#include <sstream>
#include <stdexcept>

namespace {

constexpr int kFirstChar = 32;
constexpr int kGlyphCount = 95;
constexpr int kArtWidth = 7;
constexpr int kGlyphsPerRow = 16;
// Palette indices: load_font treats 255 as the grid and 0 as paper; one other
// index for all ink makes a mono font.
constexpr int kPaper = 0;
constexpr int kInk = 1;
constexpr int kBorder = 255;

using Glyph = std::array<std::string, kGlyphHeight>;

void ReadBand(std::istringstream& in, std::vector<Glyph>& glyphs) {
    std::vector<Glyph> band;
    for (int row = 0; row < kGlyphHeight; ++row) {
        std::string line;
        if (!std::getline(in, line)) throw std::runtime_error("glyph art: band cut short");
        std::istringstream cells(line);
        std::string cell;
        for (size_t column = 0; cells >> cell; ++column) {
            if (cell.size() != kArtWidth) throw std::runtime_error("glyph art: bad row " + line);
            if (band.size() <= column) band.resize(column + 1);
            band[column][row] = cell;
        }
    }
    glyphs.insert(glyphs.end(), band.begin(), band.end());
}

std::vector<Glyph> ParseGlyphArt() {
    std::istringstream in(kGlyphArt);
    std::vector<Glyph> glyphs;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '>') ReadBand(in, glyphs);
    }
    if (glyphs.size() != kGlyphCount) throw std::runtime_error("glyph art: wrong glyph count");
    return glyphs;
}

void DrawGlyph(BITMAP* sheet, const Glyph& glyph, int left, int top) {
    rectfill(sheet, left, top, left + kGlyphWidth - 1, top + kGlyphHeight - 1, kPaper);
    for (int row = 0; row < kGlyphHeight; ++row) {
        for (int column = 0; column < kArtWidth; ++column) {
            if (glyph[row][column] != '#') continue;
            putpixel(sheet, left + 2 * column, top + row, kInk);
            putpixel(sheet, left + 2 * column + 1, top + row, kInk);
        }
    }
}

}  // namespace

void WriteFont(const std::string& path) {
    const std::vector<Glyph> glyphs = ParseGlyphArt();
    const int rows = (kGlyphCount + kGlyphsPerRow - 1) / kGlyphsPerRow;
    BITMAP* sheet =
        create_bitmap_ex(8, 1 + kGlyphsPerRow * (kGlyphWidth + 1), 1 + rows * (kGlyphHeight + 1));
    if (!sheet) throw std::runtime_error("cannot create the font sheet");
    clear_to_color(sheet, kBorder);
    for (int i = 0; i < kGlyphCount; ++i) {
        DrawGlyph(sheet, glyphs[i], 1 + (i % kGlyphsPerRow) * (kGlyphWidth + 1),
                  1 + (i / kGlyphsPerRow) * (kGlyphHeight + 1));
    }
    PALETTE palette;
    for (RGB& entry : palette) entry = {0, 0, 0, 0};
    palette[kInk] = {63, 63, 63, 0};    // white: the HUD keeps only the red channel
    palette[kBorder] = {63, 63, 0, 0};  // the grid, never drawn
    const int result = save_pcx(path.c_str(), sheet, palette);
    destroy_bitmap(sheet);
    if (result != 0) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> CheckFont(const std::string& path) {
    FONT* font = load_font(path.c_str(), nullptr, nullptr);
    if (!font) return {"load_font cannot read " + path};
    std::vector<std::string> problems;
    if (!is_mono_font(font)) problems.push_back("not a mono font");
    if (get_font_ranges(font) != 1 || get_font_range_begin(font, 0) != kFirstChar ||
        get_font_range_end(font, 0) != kFirstChar + kGlyphCount - 1) {
        problems.push_back("characters are not exactly 32..126 in one range");
    }
    if (text_height(font) != kGlyphHeight) problems.push_back("unexpected glyph height");
    if (text_length(font, "COMPLETE: 12 / 12  FUEL:4000") > 512) {
        problems.push_back("the widest HUD line is over 512 pixels");
    }
    destroy_font(font);
    return problems;
}
