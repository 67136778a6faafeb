// Painters for the game's flat textures. Each returns a canvas whose row 0 is the
// top of the image; the game uploads images flipped, so row 0 lands at t = 1.
#pragma once

#include "canvas.h"

// Deep-space nebula that tiles in both directions.
Canvas PaintBackground(int size);
// Soft round star on black, fully black well inside the edge.
Canvas PaintStarSprite(int size);
// Crosshair with a dark rim; alpha is 0 away from the marks.
Canvas PaintPointer(int size);
// Churning fire that wraps around a sphere: seamless along u.
Canvas PaintFlame(int width, int height);
// Warm radial glow whose alpha reaches exactly 0 at the edge circle.
Canvas PaintGlow(int size);
// Energy chevrons flowing along v (seamless in v), bright along the middle of u.
Canvas PaintTractorBeam(int width, int height);
