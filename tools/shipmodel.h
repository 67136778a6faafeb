// The player's ship: a low-poly dart with swept wings, a canopy and two engine pods,
// built in the game's axes (x to the right, y towards the nose, z up towards the
// camera) and written in the game's plain-text model format.
#pragma once

#include "vec3.h"

#include <string>
#include <vector>

// Polygons hold vertex indices in file order. The game emits them in reverse order
// as counter-clockwise front faces, so in file order each polygon runs clockwise
// when seen from outside, and (p2 - p0) x (p1 - p0) points outwards.
struct Mesh {
    std::vector<Vec3> vertices;
    std::vector<std::vector<int>> polygons;
};

enum class ShipPart { Hull, Canopy, Pod };

struct Ship {
    Mesh mesh;
    std::vector<ShipPart> partOfPolygon;
};

// Layout shared by the mesh and the hull texture, in model units (the game draws
// the model at 1/15 scale).
namespace ship_layout {
constexpr double kNoseY = 9.0;
constexpr double kWingSpan = 7.5;  // x of each wing tip
constexpr double kWingTipFrontY = -5.0;
constexpr double kWingTipBackY = -6.8;
constexpr double kTailY = -8.0;
// The wing's leading edge runs straight from its root to the tip.
constexpr double kLeadingRootX = 2.0;
constexpr double kLeadingRootY = 2.6;
constexpr double kSpineHalfWidth = 1.2;
constexpr double kPodX = 3.6;
constexpr double kPodRadius = 0.75;
constexpr double kPodFrontY = -2.4;
constexpr double kPodBackY = -9.0;
constexpr double kCanopyFrontY = 4.8;
constexpr double kCanopyBackY = -0.8;
}  // namespace ship_layout

Ship BuildShip();

// The text of a model file: vertex count, vertices as "a b c" with a = x, b = z,
// c = -y, polygon count, then each polygon's vertex count and indices.
std::string FormatModelFile(const Mesh& mesh);
// Reads that text back with the same axis conversion. Throws std::runtime_error on
// a truncated file, a bad count or an index out of range.
Mesh ParseModelFile(const std::string& text);
