// The game's key picture: the ship towing a star along its beam out of the game's own sky.
// The icons and the installer's pictures each lay it out in their own frame.
#pragma once

#include "canvas.h"
#include "shipmodel.h"

struct SceneArt {
    Mesh ship;
    Canvas hull;   // the ship's texture
    Canvas flame;  // the stars' texture
    Canvas sky;    // the game's background
};

// The ship, its texture, the stars' texture and the background, painted as for the game.
SceneArt PaintSceneArt();

// Where things sit, in fractions of the picture's width: x to the right, y down (so y
// reaches height / width at the bottom edge).
struct SceneLayout {
    float starX;
    float starY;
    float starRadius;
    double shipX;
    double shipY;
    double shipHeading;  // degrees clockwise from the top; the beam leaves the tail
    double shipSpan;     // model units across the picture's width
};

// The scene filling a width x height picture, opaque.
Canvas PaintScene(const SceneArt& art, int width, int height, const SceneLayout& layout);
