// The game's icon: the ship towing a star out of the game's own sky, on a rounded tile.
// The desktop's menu icons and the window icon are this one picture.
#pragma once

#include "canvas.h"
#include "shipmodel.h"

struct IconArt {
    Mesh ship;
    Canvas hull;   // the ship's texture
    Canvas flame;  // the stars' texture
    Canvas sky;    // the game's background
};

// A size x size picture, transparent outside the tile.
Canvas PaintIcon(const IconArt& art, int size);
