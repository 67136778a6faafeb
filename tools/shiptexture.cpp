#include "shiptexture.h"

#include "meshcheck.h"
#include "noise.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace ship_layout;

// What the camera, looking straight down, sees at one point of the model.
struct TopHit {
    bool hit = false;
    ShipPart part = ShipPart::Hull;
    double z = -1e9;
};

// The upward-facing polygons, each with its plane, for looking up TopHit.
class TopView {
  public:
    explicit TopView(const Ship& ship) : mesh_(ship.mesh) {
        for (size_t i = 0; i < mesh_.polygons.size(); ++i) {
            const Vec3 normal = GameNormal(mesh_, mesh_.polygons[i]);
            if (normal.z > 1e-6) faces_.push_back({i, normal, ship.partOfPolygon[i]});
        }
    }

    TopHit at(double x, double y) const {
        TopHit best;
        for (const Face& face : faces_) {
            if (!covers(face, x, y)) continue;
            const Vec3 p0 = mesh_.vertices[mesh_.polygons[face.polygon][0]];
            const double z =
                p0.z - (face.normal.x * (x - p0.x) + face.normal.y * (y - p0.y)) / face.normal.z;
            if (z > best.z) best = {true, face.part, z};
        }
        return best;
    }

  private:
    struct Face {
        size_t polygon;
        Vec3 normal;
        ShipPart part;
    };

    // Convex polygon test in x/y: the point lies on the same side of every edge.
    bool covers(const Face& face, double x, double y) const {
        const std::vector<int>& polygon = mesh_.polygons[face.polygon];
        int sign = 0;
        for (size_t k = 0; k < polygon.size(); ++k) {
            const Vec3 a = mesh_.vertices[polygon[k]];
            const Vec3 b = mesh_.vertices[polygon[(k + 1) % polygon.size()]];
            const double side = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
            const int s = side > 0.0 ? 1 : (side < 0.0 ? -1 : 0);
            if (s != 0 && sign != 0 && s != sign) return false;
            if (s != 0) sign = s;
        }
        return true;
    }

    const Mesh& mesh_;
    std::vector<Face> faces_;
};

const Colour kMetal{0.66f, 0.70f, 0.76f};
const Colour kDarkMetal{0.30f, 0.32f, 0.36f};
const Colour kAccent{0.95f, 0.45f, 0.10f};

// 1 on a seam line of the given half-width around value = k * spacing + offset.
float Seam(double value, double spacing, double offset, double halfWidth) {
    const double d = std::abs(std::remainder(value - offset, spacing));
    return d < halfWidth ? 1.0f : 0.0f;
}

// Distance behind the wing's leading edge, measured square to the edge.
double BehindLeadingEdge(double x, double y) {
    const double ex = kWingSpan - kLeadingRootX;
    const double ey = kWingTipFrontY - kLeadingRootY;
    const double length = std::hypot(ex, ey);
    return ((std::abs(x) - kLeadingRootX) * ey - (y - kLeadingRootY) * ex) / length;
}

// Panels get a slightly different tone each, like plates of one alloy.
float PanelTone(int a, int b) {
    return 0.93f + 0.1f * static_cast<float>(HashCell(a, b, 77) & 0xff) / 255.0f;
}

Colour Grime(Colour c, double x, double y) {
    const float n =
        PeriodicNoise(static_cast<float>(x * 1.7), static_cast<float>(y * 1.7), 256, 256, 5);
    return Shade(c, 0.95f + 0.05f * n);
}

Colour SpinePaint(double x, double y) {
    if (y > 7.4) return Seam(y, 100.0, 7.4, 0.1) ? kDarkMetal : Colour{0.85f, 0.28f, 0.14f};
    if (y > kCanopyFrontY && std::abs(x) < 0.55) return kDarkMetal;  // anti-glare panel
    if (y < kCanopyBackY && std::abs(x) < 0.22) return kDarkMetal;   // spine strip
    const int row = static_cast<int>(std::floor(y / 1.8));
    const Colour plate = Shade(kMetal, PanelTone(row, x < 0.0 ? -1 : 1));
    const bool seam = Seam(y, 1.8, 0.0, 0.09) || std::abs(x) < 0.06;
    return seam ? Shade(plate, 0.6f) : plate;
}

Colour WingPaint(double x, double y) {
    const double ax = std::abs(x);
    if (ax > kWingSpan - 0.5 && y < kWingTipFrontY + 0.2 && y > kWingTipBackY - 0.2) {
        return x < 0.0 ? Colour{0.9f, 0.12f, 0.1f} : Colour{0.15f, 0.85f, 0.3f};  // position lights
    }
    const double behind = BehindLeadingEdge(x, y);
    if (behind < 0.9) return Shade(kMetal, 0.8f);  // leading-edge strip
    if (behind < 1.4 && ax > 2.4 && ax < 7.0) return kAccent;
    const int chord = static_cast<int>(std::floor((behind - 1.4) / 1.6));
    const int span = static_cast<int>(std::floor(ax / 1.7));
    const Colour plate = Shade(kMetal, PanelTone(chord, span + (x < 0.0 ? 100 : 0)));
    const bool seam =
        Seam(behind, 1.6, 1.4, 0.09) || Seam(ax, 1.7, 0.0, 0.09) || std::abs(behind - 0.9) < 0.08;
    return seam ? Shade(plate, 0.6f) : plate;
}

Colour CanopyPaint(double x, double y, double z) {
    if (z < 0.98) return kDarkMetal;                              // frame along the hull
    if (std::abs(y - 2.1) < 0.1) return Shade(kDarkMetal, 1.3f);  // bar between panes
    const float depth = static_cast<float>(std::clamp((1.75 - z) / 0.8, 0.0, 1.0));
    Colour glass = Mix(Colour{0.10f, 0.22f, 0.42f}, Colour{0.03f, 0.07f, 0.16f}, depth);
    // A soft reflection of the light across the front pane.
    const double streak = std::abs(x + 0.35 * (y - 3.2));
    if (streak < 0.18 && y > 2.3) glass = glass + Colour{0.45f, 0.55f, 0.65f} * 0.7f;
    return glass;
}

Colour PodPaint(double y) {
    if (y > kPodFrontY - 0.7) return Colour{0.12f, 0.13f, 0.15f};  // intake
    if (y < kPodBackY + 0.5) return Colour{1.0f, 0.55f, 0.18f};    // hot nozzle
    if (y < -3.3 && y > -3.7) return kAccent;
    const Colour body = Shade(kDarkMetal, 1.35f);
    return Seam(y, 1.3, -4.0, 0.08) ? Shade(body, 0.6f) : body;
}

Colour PaintAt(const TopView& view, double x, double y) {
    const TopHit hit = view.at(x, y);
    if (!hit.hit) return Shade(kMetal, 0.7f);  // seen only on the hull's steep sides
    switch (hit.part) {
        case ShipPart::Canopy:
            return CanopyPaint(x, y, hit.z);
        case ShipPart::Pod:
            return Grime(PodPaint(y), x, y);
        case ShipPart::Hull:
            break;
    }
    const bool spine = std::abs(x) < kSpineHalfWidth;
    return Grime(spine ? SpinePaint(x, y) : WingPaint(x, y), x, y);
}

}  // namespace

PlanarMapping MappingOf(const Mesh& mesh) {
    double minX = mesh.vertices.front().x, maxX = minX;
    double minY = mesh.vertices.front().y, maxY = minY;
    for (const Vec3& v : mesh.vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    return {(minX + maxX) * 0.5, (minY + maxY) * 0.5, 1.0 / std::max(maxX - minX, maxY - minY)};
}

Canvas PaintShipTexture(const Ship& ship, int size) {
    const TopView view(ship);
    const PlanarMapping mapping = MappingOf(ship.mesh);
    return Paint(size, size, 4, [&](float u, float v) {
        const double x = (u - 0.5) / mapping.scale + mapping.centreX;
        const double y = (0.5 - v) / mapping.scale + mapping.centreY;
        Colour c = PaintAt(view, x, y);
        c.a = 1.0f;
        return c;
    });
}
