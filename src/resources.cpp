#include "resources.h"

#include "imagecheck.h"

#include <alleggl.h>

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

// Needs the OpenGL context: the texture is made in it. The image's top row lands at t = 1.
int loadFromFile(const std::string& fileName, bool alpha) {
    PALETTE palette;  // 8-bit images only; the texture does not keep it
    // Allegro's image reader is not safe on a malformed file: only checked ones reach it.
    BITMAP* bitmap =
        CheckTgaFile(fileName, nullptr) ? load_bitmap(fileName.c_str(), palette) : nullptr;
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
