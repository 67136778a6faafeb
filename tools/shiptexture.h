// Hull plating for the ship, painted in the model's own coordinates so panels,
// canopy and pods line up with the mesh under the game's planar mapping.
#pragma once

#include "canvas.h"
#include "shipmodel.h"

// The game maps the model's x/y bounding square onto the texture: s = 0..1 across
// x, t = 0..1 along y, centred on the bounds' middle. Images are uploaded flipped,
// so image row 0 is t = 1, the nose end.
struct PlanarMapping {
    double centreX;
    double centreY;
    double scale;  // texture units per model unit: 1 / longer side of the bounds
};

PlanarMapping MappingOf(const Mesh& mesh);

Canvas PaintShipTexture(const Ship& ship, int size);
