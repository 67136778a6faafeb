#pragma once

#include "model.h"

#include <allegro.h>

#include <string>
#include <vector>

// Every texture, the ship model and the font, loaded once at start-up and kept for the whole run.
class ResourceManager {
  public:
    enum TextureType {
        StarTexture = 1,
        BackgroundTexture = 2,
        PointerTexture = 3,
        FlameTexture = 4,
        GlowTexture = 5,
        ShipTexture = 6,
        TractorTexture = 7,
        NumTextureSlots = 9  // slots 0 and 8 exist and stay empty
    };
    enum ModelType { ShipModel = 2, NumModelSlots = 3 };
    enum SampleType { Sample0 = 0, Sample1 = 1, NumSampleSlots = 2 };

    std::vector<int> textures;     // OpenGL texture names by TextureType; 0 is no texture
    std::vector<Model> models;     // by ModelType, once loadAll has run
    std::vector<SAMPLE*> samples;  // by SampleType; both stay null: the game has no sounds
    FONT* gameFont = nullptr;

    ResourceManager();
    // Loads everything in a fixed order; throws std::runtime_error at the first failure.
    void loadAll();
    // The font for all game text: the loaded one, else Allegro's built-in font.
    FONT* getFont() const;
};

// Reads one image file into a new OpenGL texture; never returns 0, throws instead.
int loadFromFile(const std::string& fileName, bool alpha);

// Reads an image file that passed CheckTgaFile into a 24- or 32-bit bitmap, the depths
// AllegroGL uploads as they are; null when Allegro cannot read it.
BITMAP* LoadTrueColourBitmap(const std::string& fileName);

extern ResourceManager resourceManager;
