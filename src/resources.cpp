#include "resources.h"

#include "imagecheck.h"
#include "opengl.h"

#include <alleggl.h>

#include <algorithm>
#include <stdexcept>

ResourceManager resourceManager;

// The destructor is the implicit one on purpose: it runs after allegro_exit, so it releases
// the tables only and never hands a texture, font or sample back to Allegro.
ResourceManager::ResourceManager() : textures(NumTextureSlots, 0) {}

// The load order is not the slot order: the background comes before the star.
void ResourceManager::loadAll() {
    // Images keep the depth stored in their files, so 32-bit art keeps its alpha.
    set_color_conversion(COLORCONV_NONE);
    textures[BackgroundTexture] = loadFromFile("gfx/background.tga", false);
    textures[StarTexture] = loadFromFile("gfx/star.tga", false);
    textures[PointerTexture] = loadFromFile("gfx/pointer.tga", true);
    textures[FlameTexture] = loadFromFile("gfx/flametex1.tga", false);
    textures[GlowTexture] = loadFromFile("gfx/glow.tga", true);
    textures[ShipTexture] = loadFromFile("gfx/shiptex.tga", false);
    textures[TractorTexture] = loadFromFile("gfx/tractortexture.tga", false);

    models.resize(NumModelSlots, Model());
    models[ShipModel].load("models/ship.model");

    samples.resize(NumSampleSlots, nullptr);

    // Allegro's font reader is not safe on a malformed file: check it first.
    if (CheckFontFile("font.pcx", nullptr)) {
        gameFont = load_font("font.pcx", nullptr, nullptr);
    }
    if (gameFont == nullptr) {
        throw std::runtime_error("Font load failed");
    }
}

FONT* ResourceManager::getFont() const { return gameFont != nullptr ? gameFont : font; }

namespace {

// AllegroGL uploads an 8-bit bitmap through its own palette and cannot upload a 15- or
// 16-bit one at all, so those become 24-bit first, coloured by the palette the file came
// with. 24 bits, not 32: a 32-bit copy would have alpha 0, a fully transparent texture.
BITMAP* ToTrueColour(BITMAP* bitmap, const PALETTE palette) {
    const int depth = bitmap_color_depth(bitmap);
    if (depth == 24 || depth == 32) return bitmap;
    BITMAP* converted = create_bitmap_ex(24, bitmap->w, bitmap->h);
    if (converted != nullptr) {
        select_palette(palette);
        blit(bitmap, converted, 0, 0, 0, 0, bitmap->w, bitmap->h);
        unselect_palette();
    }
    destroy_bitmap(bitmap);
    return converted;
}

bool DriverTakes(const ImageSize& size) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const auto limit = static_cast<std::size_t>(std::max(largest, 0));
    return size.width <= limit && size.height <= limit;
}

}  // namespace

BITMAP* LoadTrueColourBitmap(const std::string& fileName) {
    PALETTE palette = {};  // indices past a short colour map stay black
    BITMAP* bitmap = load_bitmap(fileName.c_str(), palette);
    return bitmap != nullptr ? ToTrueColour(bitmap, palette) : nullptr;
}

// Needs the OpenGL context: the texture is made in it. The image's top row lands at t = 1.
int loadFromFile(const std::string& fileName, bool alpha) {
    // Allegro's image reader is not safe on a malformed file: only checked ones reach it.
    ImageSize size;
    const bool checked = CheckTgaFile(fileName, nullptr, &size);
    // What AllegroGL would refuse anyway, refused before the pixels are read.
    if (checked && !DriverTakes(size)) {
        throw std::runtime_error("Failed to convert texture: " + fileName);
    }
    BITMAP* bitmap = checked ? LoadTrueColourBitmap(fileName) : nullptr;
    if (bitmap == nullptr) {
        throw std::runtime_error("Failed to load texture: " + fileName);
    }
    const GLuint texture =
        allegro_gl_make_texture_ex(AGL_TEXTURE_FLIP, bitmap, alpha ? GL_RGBA : GL_RGB);
    destroy_bitmap(bitmap);
    if (texture == 0) {
        throw std::runtime_error("Failed to convert texture: " + fileName);
    }
    return static_cast<int>(texture);
}
