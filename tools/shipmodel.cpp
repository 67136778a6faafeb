#include "shipmodel.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace {

using namespace ship_layout;

// One cross-section of the hull, symmetric about x = 0.
struct Station {
    double y;
    double ridgeZ;
    double shoulderX, shoulderZ;
    double wingX, wingTopZ, wingBottomZ;
    double bellyX, bellyZ;
    double keelZ;
};

// Front to back. Between the second and fourth station the wing edge sweeps out to
// the tip; behind the tip it sweeps back in to the tail, giving the arrowhead.
constexpr Station kHullStations[] = {
    {6.2, 0.70, 0.70, 0.45, 1.0, 0.12, -0.12, 0.65, -0.32, -0.42},
    {kLeadingRootY, 1.15, 1.15, 0.78, kLeadingRootX, 0.28, -0.14, 1.05, -0.52, -0.66},
    {-1.0, 1.30, 1.35, 0.85, 4.6, 0.20, -0.10, 1.25, -0.60, -0.75},
    {kWingTipFrontY, 1.25, 1.35, 0.82, kWingSpan, 0.10, -0.06, 1.25, -0.58, -0.72},
    {kWingTipBackY, 1.15, 1.30, 0.78, kWingSpan, 0.10, -0.06, 1.20, -0.55, -0.68},
    {kTailY, 1.00, 1.20, 0.70, 2.6, 0.22, -0.10, 1.10, -0.50, -0.60},
};

// Every ring below lists its points top first, then down the right side (+x), along
// the bottom and up the left side: clockwise as seen from behind the ship.
std::vector<Vec3> HullRing(const Station& s) {
    return {{0.0, s.y, s.ridgeZ},        {s.shoulderX, s.y, s.shoulderZ},
            {s.wingX, s.y, s.wingTopZ},  {s.wingX, s.y, s.wingBottomZ},
            {s.bellyX, s.y, s.bellyZ},   {0.0, s.y, s.keelZ},
            {-s.bellyX, s.y, s.bellyZ},  {-s.wingX, s.y, s.wingBottomZ},
            {-s.wingX, s.y, s.wingTopZ}, {-s.shoulderX, s.y, s.shoulderZ}};
}

// A hexagon around the pod's axis, one corner on top.
std::vector<Vec3> PodRing(double centreX, double y, double radius) {
    constexpr double kCentreZ = 0.12;
    std::vector<Vec3> ring;
    for (int k = 0; k < 6; ++k) {
        const double angle = (90.0 - 60.0 * k) * (3.14159265358979 / 180.0);
        ring.push_back(
            {centreX + radius * std::cos(angle), y, kCentreZ + radius * std::sin(angle)});
    }
    return ring;
}

std::vector<Vec3> CanopyRing(double y, double halfWidth, double baseZ, double topZ) {
    return {{0.0, y, topZ},
            {halfWidth * 0.7, y, topZ - 0.22},
            {halfWidth, y, baseZ},
            {-halfWidth, y, baseZ},
            {-halfWidth * 0.7, y, topZ - 0.22}};
}

bool IsPlanar(const std::vector<Vec3>& points) {
    const Vec3 normal = Normalised(Cross(points[1] - points[0], points[2] - points[0]));
    for (const Vec3& p : points) {
        if (std::abs(Dot(p - points[0], normal)) > 1e-9) return false;
    }
    return true;
}

// Adds closed parts to a ship. Faces are given counter-clockwise as seen from
// outside (the usual convention) and stored reversed, as the file wants them.
class PartBuilder {
  public:
    PartBuilder(Ship& ship, ShipPart part) : ship_(ship), part_(part) {}

    int vertex(Vec3 p) {
        ship_.mesh.vertices.push_back(p);
        return static_cast<int>(ship_.mesh.vertices.size()) - 1;
    }

    std::vector<int> ring(const std::vector<Vec3>& points) {
        std::vector<int> indices;
        for (const Vec3& p : points) indices.push_back(vertex(p));
        return indices;
    }

    void face(std::vector<int> counterClockwise) {
        ship_.mesh.polygons.emplace_back(counterClockwise.rbegin(), counterClockwise.rend());
        ship_.partOfPolygon.push_back(part_);
    }

    // Skins consecutive rings (front to back) with quads, or with two triangles where
    // a quad would not be flat; the diagonal is mirrored on the left side so the
    // facets stay symmetric.
    void loft(const std::vector<std::vector<int>>& rings) {
        for (size_t r = 0; r + 1 < rings.size(); ++r) {
            const std::vector<int>& front = rings[r];
            const std::vector<int>& back = rings[r + 1];
            for (size_t i = 0; i < front.size(); ++i) {
                const size_t j = (i + 1) % front.size();
                quad(front[i], back[i], back[j], front[j]);
            }
        }
    }

    // Closes the front of a ring with triangles meeting at a tip ahead of it.
    void noseFan(int tip, const std::vector<int>& ring) {
        for (size_t i = 0; i < ring.size(); ++i) face({tip, ring[i], ring[(i + 1) % ring.size()]});
    }

    // Closes the back of a ring with triangles meeting at a tip behind it.
    void tailFan(int tip, const std::vector<int>& ring) {
        for (size_t i = 0; i < ring.size(); ++i) face({tip, ring[(i + 1) % ring.size()], ring[i]});
    }

    // Closes the back of a flat, convex ring with one polygon.
    void tailCap(const std::vector<int>& ring) {
        face(std::vector<int>(ring.rbegin(), ring.rend()));
    }

  private:
    const Vec3& at(int index) const { return ship_.mesh.vertices[index]; }

    void quad(int a, int b, int c, int d) {
        if (IsPlanar({at(a), at(b), at(c), at(d)})) {
            face({a, b, c, d});
        } else if (at(a).x + at(d).x >= 0.0) {
            face({a, b, c});
            face({a, c, d});
        } else {
            face({a, b, d});
            face({b, c, d});
        }
    }

    Ship& ship_;
    ShipPart part_;
};

void AddHull(Ship& ship) {
    PartBuilder hull(ship, ShipPart::Hull);
    std::vector<std::vector<int>> rings;
    for (const Station& station : kHullStations) rings.push_back(hull.ring(HullRing(station)));
    hull.noseFan(hull.vertex({0.0, kNoseY, 0.05}), rings.front());
    hull.loft(rings);
    hull.tailCap(rings.back());
}

// A hexagonal nacelle: pointed intake, a slightly swelling body and a narrower
// nozzle, reaching behind the wing's trailing edge.
void AddPod(Ship& ship, double centreX) {
    PartBuilder pod(ship, ShipPart::Pod);
    const std::vector<std::vector<int>> rings = {
        pod.ring(PodRing(centreX, -4.0, 0.70)),
        pod.ring(PodRing(centreX, -8.3, kPodRadius)),
        pod.ring(PodRing(centreX, kPodBackY, 0.60)),
    };
    pod.noseFan(pod.vertex({centreX, kPodFrontY, 0.12}), rings.front());
    pod.loft(rings);
    pod.tailCap(rings.back());
}

// A faceted bubble whose lower edge is sunk into the hull, so only the glass shows.
void AddCanopy(Ship& ship) {
    PartBuilder canopy(ship, ShipPart::Canopy);
    const std::vector<std::vector<int>> rings = {
        canopy.ring(CanopyRing(3.0, 0.80, 0.75, 1.60)),
        canopy.ring(CanopyRing(0.8, 0.85, 0.80, 1.75)),
    };
    canopy.noseFan(canopy.vertex({0.0, kCanopyFrontY, 0.85}), rings.front());
    canopy.loft(rings);
    canopy.tailFan(canopy.vertex({0.0, kCanopyBackY, 1.20}), rings.back());
}

// Prints a coordinate without a stray minus sign on zero.
std::string Number(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(4) << value + 0.0;
    return out.str();
}

}  // namespace

Ship BuildShip() {
    Ship ship;
    AddHull(ship);
    AddCanopy(ship);
    AddPod(ship, kPodX);
    AddPod(ship, -kPodX);
    return ship;
}

std::string FormatModelFile(const Mesh& mesh) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << mesh.vertices.size() << '\n';
    for (const Vec3& v : mesh.vertices) {
        out << Number(v.x) << ' ' << Number(v.z) << ' ' << Number(-v.y) << '\n';
    }
    out << mesh.polygons.size() << '\n';
    for (const std::vector<int>& polygon : mesh.polygons) {
        out << polygon.size();
        for (int index : polygon) out << ' ' << index;
        out << '\n';
    }
    return out.str();
}

Mesh ParseModelFile(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    auto fail = [](const std::string& what) { throw std::runtime_error("model file: " + what); };
    Mesh mesh;
    int vertexCount = -1;
    if (!(in >> vertexCount) || vertexCount < 0) fail("bad vertex count");
    mesh.vertices.resize(vertexCount);
    for (Vec3& v : mesh.vertices) {
        double a = 0.0, b = 0.0, c = 0.0;
        if (!(in >> a >> b >> c)) fail("truncated vertex list");
        v = {a, -c, b};
    }
    int polygonCount = -1;
    if (!(in >> polygonCount) || polygonCount < 0) fail("bad polygon count");
    mesh.polygons.resize(polygonCount);
    for (std::vector<int>& polygon : mesh.polygons) {
        int size = -1;
        if (!(in >> size) || size < 0) fail("bad polygon size");
        polygon.resize(size);
        for (int& index : polygon) {
            if (!(in >> index)) fail("truncated polygon");
            if (index < 0 || index >= vertexCount) fail("index out of range");
        }
    }
    return mesh;
}
