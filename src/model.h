#pragma once

#include "vector3d.h"

#include <string>
#include <vector>

// One face of a model: indices into the model's vertex table, in file order.
class Polygon {
  public:
    std::vector<int> indices;
    // Unit face normal; zero for a polygon with fewer than three indices or whose first
    // three vertices are collinear.
    Vect3d normal;
};

// A rigid polygon mesh read from the game's plain-text model format.
class Model {
  public:
    std::vector<Vect3d> vertices{Vect3d()};  // already in game axes
    std::vector<Polygon> polygons;
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;  // x/y bounds, set by load()
    double centreX = 0.0, centreY = 0.0;
    double texScale = 0.0;  // 1 / the longer side of the bounds; 1 when both sides are 0

    // Replaces this model with the file's contents. Throws std::runtime_error starting with
    // "Unable to load file <name>" when the file cannot be opened or is malformed; the model
    // is then left exactly as it was.
    void load(std::string fileName);
    // Emits the polygons in the current OpenGL state, with planar texture coordinates if asked.
    void draw(bool textured) const;
};
