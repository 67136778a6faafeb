// Sanity checks for a model the game will draw with back-face culling on.
#pragma once

#include "shipmodel.h"

#include <string>
#include <vector>

struct MeshSummary {
    int parts = 0;  // closed pieces, connected through shared edges
    Vec3 min;
    Vec3 max;
};

// Checks that every polygon is flat, strictly convex and has a usable normal
// (computed the game's way), that the mesh is closed (each directed edge is
// matched by exactly one edge running the other way), and that every normal
// points out of its own piece. Returns one line per problem; empty means sound.
std::vector<std::string> CheckMesh(const Mesh& mesh, MeshSummary* summary);

// The face normal as the game computes it: (p2 - p0) x (p1 - p0), normalised.
Vec3 GameNormal(const Mesh& mesh, const std::vector<int>& polygon);
