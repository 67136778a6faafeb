#include "contactsheet.h"

#include "canvas.h"
#include "gamepreview.h"
#include "shipmodel.h"
#include "shiprender.h"

#include <allegro.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

const Colour kSheetColour{0.16f, 0.17f, 0.19f};
const Colour kLabelColour{0.85f, 0.9f, 1.0f};
constexpr int kMargin = 24;

// Draws img at (left, top), each texel as a scale x scale block, blended over
// what is there by its alpha.
void Place(Canvas& sheet, const Canvas& img, int left, int top, int scale = 1) {
    for (int y = 0; y < img.height() * scale; ++y) {
        for (int x = 0; x < img.width() * scale; ++x) {
            const Colour& c = img.at(x / scale, y / scale);
            Colour& out = sheet.at(left + x, top + y);
            out = Mix(out, c, c.a);
            out.a = 1.0f;
        }
    }
}

// A dark checkerboard under see-through textures: dark like space, but the
// squares show where alpha is partial.
void PlaceOverChecker(Canvas& sheet, const Canvas& img, int left, int top, int scale = 1) {
    for (int y = 0; y < img.height() * scale; ++y) {
        for (int x = 0; x < img.width() * scale; ++x) {
            const float check = ((x / 8 + y / 8) % 2) ? 0.24f : 0.1f;
            sheet.at(left + x, top + y) = Colour{check, check, check};
        }
    }
    Place(sheet, img, left, top, scale);
}

// Repeats img cols x rows times in one canvas, to show whether its edges meet.
Canvas Tile(const Canvas& img, int cols, int rows) {
    Canvas tiled(img.width() * cols, img.height() * rows);
    for (int y = 0; y < tiled.height(); ++y) {
        for (int x = 0; x < tiled.width(); ++x)
            tiled.at(x, y) = img.at(x % img.width(), y % img.height());
    }
    return tiled;
}

Canvas Halve(const Canvas& img) {
    Canvas half(img.width() / 2, img.height() / 2);
    for (int y = 0; y < half.height(); ++y) {
        for (int x = 0; x < half.width(); ++x) {
            half.at(x, y) = (img.at(2 * x, 2 * y) + img.at(2 * x + 1, 2 * y) +
                             img.at(2 * x, 2 * y + 1) + img.at(2 * x + 1, 2 * y + 1)) *
                            0.25f;
        }
    }
    return half;
}

// Prints text with the game font the way the game shows it: rendered by Allegro,
// then every row doubled (the HUD texture is drawn at twice its height).
void Print(Canvas& sheet, FONT* font, const std::string& text, int left, int top,
           Colour colour = kLabelColour) {
    BITMAP* line = create_bitmap_ex(8, text_length(font, text.c_str()), text_height(font));
    clear_to_color(line, 0);
    textout_ex(line, font, text.c_str(), 0, 0, 1, 0);
    for (int y = 0; y < line->h * 2; ++y) {
        for (int x = 0; x < line->w; ++x) {
            if (getpixel(line, x, y / 2) != 0) sheet.at(left + x, top + y) = colour;
        }
    }
    destroy_bitmap(line);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A screen-like strip: the background dimmed to 40% as the game draws it, with
// text on top exactly as the HUD and the level screens place it.
void PlaceHudSample(Canvas& sheet, FONT* font, const Canvas& background, int left, int top) {
    Canvas strip(512, 4 * 32 + 3 * 8);
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) strip.at(x, y) = Shade(background.at(x, y), 0.4f);
    }
    Place(sheet, strip, left, top);
    const char* lines[] = {"COMPLETE: 0 / 1  FUEL:0350", "COMPLETE: 12 / 12  FUEL:4000",
                           "ENTERING LEVEL 1", "YOU WIN!"};
    for (int i = 0; i < 4; ++i)
        Print(sheet, font, lines[i], left, top + i * 40, {1.0f, 1.0f, 1.0f});
}

void PlaceCharacterSet(Canvas& sheet, FONT* font, int left, int top) {
    std::string all;
    for (int c = 32; c < 127; ++c) all += static_cast<char>(c);
    for (int row = 0; row * 32 < static_cast<int>(all.size()); ++row) {
        Print(sheet, font, all.substr(row * 32, 32), left, top + row * 34, {1.0f, 1.0f, 1.0f});
    }
}

LoadedAssets LoadAssets(const std::string& dir) {
    return {LoadImage(dir + "/gfx/background.tga"),
            LoadImage(dir + "/gfx/star.tga"),
            LoadImage(dir + "/gfx/pointer.tga"),
            LoadImage(dir + "/gfx/flametex1.tga"),
            LoadImage(dir + "/gfx/glow.tga"),
            LoadImage(dir + "/gfx/shiptex.tga"),
            LoadImage(dir + "/gfx/tractortexture.tga"),
            ParseModelFile(ReadFile(dir + "/models/ship.model"))};
}

void PlaceBackgrounds(Canvas& sheet, FONT* font, const LoadedAssets& a, int top) {
    Print(sheet, font, "background.tga", kMargin, top);
    Place(sheet, a.background, kMargin, top + 34);
    Print(sheet, font, "tiled 2 x 2, half size", 560, top);
    Place(sheet, Halve(Tile(a.background, 2, 2)), 560, top + 34);
}

void PlaceSmallTextures(Canvas& sheet, FONT* font, const LoadedAssets& a, int top) {
    Print(sheet, font, "star x2", kMargin, top);
    Place(sheet, a.star, kMargin, top + 34, 2);
    Print(sheet, font, "pointer x2", 176, top);
    PlaceOverChecker(sheet, a.pointer, 176, top + 34, 2);
    Print(sheet, font, "glow", 352, top);
    PlaceOverChecker(sheet, a.glow, 352, top + 34);
    Print(sheet, font, "flametex1 tiled 2 x 1", 504, top);
    Place(sheet, Tile(a.flame, 2, 1), 504, top + 34);
}

void PlaceShip(Canvas& sheet, FONT* font, const LoadedAssets& a, int top) {
    const Colour dark{0.02f, 0.03f, 0.06f};
    Print(sheet, font, "beam", kMargin, top);
    Place(sheet, Tile(a.beam, 1, 2), kMargin, top + 34);
    Print(sheet, font, "shiptex x2", 176, top);
    Place(sheet, a.hull, 176, top + 34, 2);
    Print(sheet, font, "top", 456, top);
    Place(sheet, RenderShip(a.ship, a.hull, TopCamera(), 256, 19.0, dark), 456, top + 34);
    Print(sheet, font, "wireframe", 736, top);
    Place(sheet, RenderWireframe(a.ship, TopCamera(), 256, 19.0), 736, top + 34);
    Print(sheet, font, "rear 3/4", 576, top + 310);
    Place(sheet, RenderShip(a.ship, a.hull, CameraFrom({0.7, -0.9, 0.8}), 256, 21.0, dark), 576,
          top + 344);
    Print(sheet, font, "front 3/4", 848, top + 310);
    Place(sheet, RenderShip(a.ship, a.hull, CameraFrom({-0.8, 0.9, 0.6}), 256, 21.0, dark), 848,
          top + 344);
}

void PlaceFont(Canvas& sheet, FONT* font, const LoadedAssets& a, int top) {
    Print(sheet, font, "font, rows doubled as shown", kMargin, top);
    PlaceHudSample(sheet, font, a.background, kMargin, top + 34);
    PlaceCharacterSet(sheet, font, kMargin, top + 200);
}

}  // namespace

void WriteContactSheet(const std::string& dataDir, const std::string& sheetPath) {
    const LoadedAssets assets = LoadAssets(dataDir);
    FONT* font = load_font((dataDir + "/font.pcx").c_str(), nullptr, nullptr);
    if (!font) throw std::runtime_error("cannot load " + dataDir + "/font.pcx");
    Canvas sheet(1128, 1820, kSheetColour);
    Print(sheet, font, "StarTug assets, as the game loads them", kMargin, 12);
    PlaceBackgrounds(sheet, font, assets, 60);
    PlaceSmallTextures(sheet, font, assets, 620);
    PlaceShip(sheet, font, assets, 810);
    PlaceFont(sheet, font, assets, 1120);
    Print(sheet, font, "together, at the game's scale", kMargin, 1450);
    Place(sheet, RenderGamePreview(assets, 1080, 320), kMargin, 1484);
    destroy_font(font);
    SaveTga(sheet, sheetPath, false);
}
