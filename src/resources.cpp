#include "resources.h"

#include <stdexcept>

ResourceManager resourceManager;

ResourceManager::ResourceManager() : textures(NumTextureSlots, 0) {}

// Placeholder until the resource loader lands.
void ResourceManager::loadAll() {}

FONT* ResourceManager::getFont() const { return gameFont != nullptr ? gameFont : font; }

int loadFromFile(const std::string& fileName, bool) {
    throw std::runtime_error("Failed to load texture: " + fileName);
}
