#include "meshcheck.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>

namespace {

const double kEpsilon = 1e-7;

using Edge = std::pair<int, int>;

std::string Problem(size_t polygon, const std::string& what) {
    return "polygon " + std::to_string(polygon) + ": " + what;
}

// Polygons in drawing order (reverse file order) with positions.
std::vector<Vec3> DrawnPoints(const Mesh& mesh, const std::vector<int>& polygon) {
    std::vector<Vec3> points;
    for (auto it = polygon.rbegin(); it != polygon.rend(); ++it)
        points.push_back(mesh.vertices[*it]);
    return points;
}

bool IndicesValid(const Mesh& mesh, const std::vector<int>& polygon) {
    std::vector<int> sorted = polygon;
    std::sort(sorted.begin(), sorted.end());
    const bool distinct = std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    const int count = static_cast<int>(mesh.vertices.size());
    return polygon.size() >= 3 && distinct && sorted.front() >= 0 && sorted.back() < count;
}

// Flatness and strict convexity of one polygon against its game normal.
void CheckShape(const Mesh& mesh, size_t index, std::vector<std::string>& problems) {
    const std::vector<int>& polygon = mesh.polygons[index];
    const Vec3 p0 = mesh.vertices[polygon[0]];
    const Vec3 raw = Cross(mesh.vertices[polygon[2]] - p0, mesh.vertices[polygon[1]] - p0);
    if (Length(raw) < kEpsilon) {
        problems.push_back(Problem(index, "first three vertices are collinear"));
        return;
    }
    const Vec3 normal = Normalised(raw);
    const std::vector<Vec3> points = DrawnPoints(mesh, polygon);
    const size_t n = points.size();
    for (size_t k = 0; k < n; ++k) {
        if (std::abs(Dot(points[k] - p0, normal)) > 1e-6) {
            problems.push_back(Problem(index, "not flat"));
        }
        const Vec3 turn =
            Cross(points[(k + 1) % n] - points[k], points[(k + 2) % n] - points[(k + 1) % n]);
        if (Dot(turn, normal) <= kEpsilon) {
            problems.push_back(
                Problem(index, "not strictly convex and counter-clockwise when drawn"));
        }
    }
}

// Each directed edge must occur once and its reverse once: the surface is closed
// and neighbouring faces agree on which side is out.
void CheckClosed(const Mesh& mesh, std::vector<std::string>& problems) {
    std::map<Edge, int> count;
    for (const std::vector<int>& polygon : mesh.polygons) {
        for (size_t k = 0; k < polygon.size(); ++k)
            ++count[{polygon[k], polygon[(k + 1) % polygon.size()]}];
    }
    for (const auto& [edge, times] : count) {
        const auto reverse = count.find({edge.second, edge.first});
        if (times != 1 || reverse == count.end() || reverse->second != 1) {
            problems.push_back("edge " + std::to_string(edge.first) + "-" +
                               std::to_string(edge.second) + " is not shared by exactly two " +
                               "faces in opposite directions");
        }
    }
}

int Find(std::vector<int>& parent, int i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

// Groups polygons into pieces that share vertices.
std::vector<int> PieceOfPolygon(const Mesh& mesh, int* pieceCount) {
    std::vector<int> parent(mesh.vertices.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (const std::vector<int>& polygon : mesh.polygons) {
        for (int index : polygon) parent[Find(parent, index)] = Find(parent, polygon[0]);
    }
    std::map<int, int> pieceOfRoot;
    std::vector<int> pieces;
    for (const std::vector<int>& polygon : mesh.polygons) {
        const int root = Find(parent, polygon[0]);
        const auto inserted = pieceOfRoot.emplace(root, static_cast<int>(pieceOfRoot.size()));
        pieces.push_back(inserted.first->second);
    }
    *pieceCount = static_cast<int>(pieceOfRoot.size());
    return pieces;
}

// Ray against triangle (Moller-Trumbore); true when hit at a positive distance.
bool RayHitsTriangle(Vec3 origin, Vec3 direction, Vec3 a, Vec3 b, Vec3 c) {
    const Vec3 e1 = b - a;
    const Vec3 e2 = c - a;
    const Vec3 p = Cross(direction, e2);
    const double det = Dot(e1, p);
    if (std::abs(det) < 1e-12) return false;
    const Vec3 s = origin - a;
    const double u = Dot(s, p) / det;
    if (u < 0.0 || u > 1.0) return false;
    const Vec3 q = Cross(s, e1);
    const double v = Dot(direction, q) / det;
    if (v < 0.0 || u + v > 1.0) return false;
    return Dot(e2, q) / det > 0.0;
}

int Crossings(const Mesh& mesh, const std::vector<int>& polygons, Vec3 origin, Vec3 direction) {
    int hits = 0;
    for (int index : polygons) {
        const std::vector<int>& polygon = mesh.polygons[index];
        for (size_t k = 1; k + 1 < polygon.size(); ++k) {
            hits += RayHitsTriangle(origin, direction, mesh.vertices[polygon[0]],
                                    mesh.vertices[polygon[k]], mesh.vertices[polygon[k + 1]]);
        }
    }
    return hits;
}

// A ray leaving a face along its normal crosses its own closed piece an even
// number of times exactly when the normal points outwards. This holds for
// concave pieces too, where a test against the centre would not.
void CheckOutward(const Mesh& mesh, const std::vector<int>& pieces, int pieceCount,
                  std::vector<std::string>& problems) {
    std::vector<std::vector<int>> members(pieceCount);
    for (size_t i = 0; i < pieces.size(); ++i) members[pieces[i]].push_back(static_cast<int>(i));
    // A slightly skewed ray keeps clear of edges and vertices shared by faces.
    const Vec3 skew{0.0123, -0.0071, 0.0047};
    for (size_t i = 0; i < mesh.polygons.size(); ++i) {
        const Vec3 normal = GameNormal(mesh, mesh.polygons[i]);
        Vec3 centre;
        for (int index : mesh.polygons[i]) centre = centre + mesh.vertices[index];
        centre = centre * (1.0 / mesh.polygons[i].size());
        const Vec3 origin = centre + normal * 1e-4;
        if (Crossings(mesh, members[pieces[i]], origin, Normalised(normal + skew)) % 2 != 0) {
            problems.push_back(Problem(i, "normal points into its piece"));
        }
    }
}

void Measure(const Mesh& mesh, MeshSummary* summary) {
    summary->min = summary->max = mesh.vertices.front();
    for (const Vec3& v : mesh.vertices) {
        summary->min = {std::min(summary->min.x, v.x), std::min(summary->min.y, v.y),
                        std::min(summary->min.z, v.z)};
        summary->max = {std::max(summary->max.x, v.x), std::max(summary->max.y, v.y),
                        std::max(summary->max.z, v.z)};
    }
}

}  // namespace

Vec3 GameNormal(const Mesh& mesh, const std::vector<int>& polygon) {
    const Vec3 p0 = mesh.vertices[polygon[0]];
    return Normalised(Cross(mesh.vertices[polygon[2]] - p0, mesh.vertices[polygon[1]] - p0));
}

std::vector<std::string> CheckMesh(const Mesh& mesh, MeshSummary* summary) {
    std::vector<std::string> problems;
    if (mesh.vertices.empty() || mesh.polygons.empty()) return {"mesh is empty"};
    for (size_t i = 0; i < mesh.polygons.size(); ++i) {
        if (!IndicesValid(mesh, mesh.polygons[i])) {
            problems.push_back(Problem(i, "fewer than three, repeated or out-of-range indices"));
        }
    }
    if (!problems.empty()) return problems;
    for (size_t i = 0; i < mesh.polygons.size(); ++i) CheckShape(mesh, i, problems);
    CheckClosed(mesh, problems);
    if (!problems.empty()) return problems;
    const std::vector<int> pieces = PieceOfPolygon(mesh, &summary->parts);
    CheckOutward(mesh, pieces, summary->parts, problems);
    Measure(mesh, summary);
    return problems;
}
