// A still of the assets together at the game's own scale (76.8 pixels per world
// unit), drawn in the game's order: dimmed background, tractor beam, ship, star
// sphere, star glow, pointer.
#pragma once

#include "canvas.h"
#include "shipmodel.h"

struct LoadedAssets {
    Canvas background, star, pointer, flame, glow, hull, beam;
    Mesh ship;
};

Canvas RenderGamePreview(const LoadedAssets& assets, int width, int height);
