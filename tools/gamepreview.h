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

// The flame texture as the game wraps it around a star, a sphere with its poles on the
// screen's vertical axis: the texel at (x, y) from the centre in radii, y up, inside the
// unit circle.
Colour StarSurface(const Canvas& flame, double x, double y);

Canvas RenderGamePreview(const LoadedAssets& assets, int width, int height);
