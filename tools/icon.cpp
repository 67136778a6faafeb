#include "icon.h"

#include "noise.h"
#include "shipmodel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979;

// Layout in fractions of the icon's side, x to the right and y down. The ship flies
// toward the top-right corner with its tail, where the beam starts, toward the star.
constexpr SceneLayout kIconLayout{0.29f, 0.71f, 0.17f, 0.65, 0.35, 45.0, 46.0};
// The small icons' ship is larger and their star nearer the corner.
constexpr SceneLayout kSmallLayout{0.29f, 0.71f, 0.2f, 0.65, 0.35, 45.0, 32.0};
constexpr float kMargin = 0.03f;
constexpr float kCorner = 0.2f;

struct Point {
    float x;
    float y;
};

// Signed distance to the tile's rounded square (negative inside).
float TileDistance(float x, float y) {
    const float half = 0.5f - kMargin - kCorner;
    const float dx = std::max(std::abs(x - 0.5f) - half, 0.0f);
    const float dy = std::max(std::abs(y - 0.5f) - half, 0.0f);
    return std::hypot(dx, dy) - kCorner;
}

// Cuts the tile out with an edge one pixel soft and lights its rim.
void CutTile(Canvas& icon) {
    const float pixel = 1.0f / icon.width();
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const float d = TileDistance((x + 0.5f) * pixel, (y + 0.5f) * pixel);
            Colour& out = icon.at(x, y);
            const float rim = Clamp01(1.0f - std::abs(d + 1.5f * pixel) / (1.5f * pixel));
            out = Mix(out, Colour{0.6f, 0.7f, 1.0f}, 0.35f * rim);
            out.a = Clamp01(0.5f - d / pixel);
        }
    }
}

float SegmentDistance(Point p, Point a, Point b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float t = Clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy));
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Signed distance to a simple polygon (negative inside).
float PolygonDistance(const std::vector<Point>& polygon, Point p) {
    float distance = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point a = polygon[j];
        const Point b = polygon[i];
        distance = std::min(distance, SegmentDistance(p, a, b));
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x))
            inside = !inside;
    }
    return inside ? -distance : distance;
}

// The ship's outline seen from above, in model units (x to the right, y to the nose),
// as two halves: the left one faces the light.
constexpr float kTailNotch = -3.5f;
const std::vector<Point> kLeftHalf{{0.0f, 9.0f}, {0.0f, kTailNotch}, {-7.5f, -7.0f}};
const std::vector<Point> kRightHalf{{0.0f, 9.0f}, {7.5f, -7.0f}, {0.0f, kTailNotch}};

// A point of the picture in the small ship's model units.
Point ToShip(const SceneLayout& layout, Point p) {
    const float heading = static_cast<float>(layout.shipHeading * kPi / 180.0);
    const float scale = static_cast<float>(layout.shipSpan);
    const float dx = (p.x - static_cast<float>(layout.shipX)) * scale;
    const float dy = (p.y - static_cast<float>(layout.shipY)) * scale;
    // The model's x axis points along (cos, sin) on the picture, its nose along (sin, -cos).
    return {dx * std::cos(heading) + dy * std::sin(heading),
            dx * std::sin(heading) - dy * std::cos(heading)};
}

// The star as a flat disc: a hot core fading to a dark orange rim, in a soft glow.
Colour SmallStar(Colour c, const SceneLayout& layout, Point p) {
    const float r = std::hypot(p.x - layout.starX, p.y - layout.starY) / layout.starRadius;
    const float glow = Clamp01(1.6f - r);
    c = c + Colour{1.0f, 0.5f, 0.1f} * (0.6f * glow * glow);
    if (r >= 1.0f) return c;
    const Colour core{1.0f, 0.95f, 0.6f};
    const Colour flame{1.0f, 0.55f, 0.08f};
    const Colour rim{0.75f, 0.22f, 0.02f};
    return r < 0.6f ? Mix(core, flame, SmoothStep(0.1f, 0.6f, r))
                    : Mix(flame, rim, SmoothStep(0.6f, 1.0f, r));
}

// Coverage of a point by the beam: a cone from the ship's tail notch that opens to half
// the star's width, at least a pixel and a half wide.
float SmallBeam(const SceneLayout& layout, Point p, float pixel) {
    const float heading = static_cast<float>(layout.shipHeading * kPi / 180.0);
    const float back = kTailNotch / static_cast<float>(layout.shipSpan);
    const Point tail{static_cast<float>(layout.shipX) + back * std::sin(heading),
                     static_cast<float>(layout.shipY) - back * std::cos(heading)};
    const float ax = layout.starX - tail.x;
    const float ay = layout.starY - tail.y;
    const float length = std::hypot(ax, ay);
    const float along = Clamp01(((p.x - tail.x) * ax + (p.y - tail.y) * ay) / (length * length));
    const float across = std::hypot(p.x - tail.x - along * ax, p.y - tail.y - along * ay);
    const float width = 0.75f * pixel + along * 0.5f * layout.starRadius;
    return Clamp01(1.0f - across / width);
}

Colour SmallScene(int size, float u, float v) {
    const SceneLayout& layout = kSmallLayout;
    const Point p{u, v};
    const float pixel = 1.0f / static_cast<float>(size);
    // The nebula's blue and purple, flat and dark.
    Colour c = Mix(Colour{0.1f, 0.14f, 0.34f}, Colour{0.12f, 0.05f, 0.22f}, 0.5f * (u + v));
    c = Mix(c, Colour{0.45f, 0.95f, 1.0f}, 0.8f * SmallBeam(layout, p, pixel));
    c = SmallStar(c, layout, p);
    const Point m = ToShip(layout, p);
    const float outline = 0.9f * pixel * static_cast<float>(layout.shipSpan);
    const float left = PolygonDistance(kLeftHalf, m);
    const float right = PolygonDistance(kRightHalf, m);
    if (left < 0.0f) return Colour{0.95f, 0.96f, 1.0f};
    if (right < 0.0f) return Colour{0.58f, 0.63f, 0.74f};
    if (std::min(left, right) < outline) return Colour{0.02f, 0.02f, 0.06f};
    return c;
}

// The symbols on the badges, in the disc's radii from its centre, y down.
const std::vector<Point> kArrowDown{{-0.2f, -0.62f}, {0.2f, -0.62f}, {0.2f, -0.02f},
                                    {0.56f, -0.02f}, {0.0f, 0.62f},  {-0.56f, -0.02f},
                                    {-0.2f, -0.02f}};
const std::vector<Point> kMinus{{-0.6f, -0.2f}, {0.6f, -0.2f}, {0.6f, 0.2f}, {-0.6f, 0.2f}};

// The badge at one point of the icon, premultiplied by its coverage (0 outside the disc).
// Its disc keeps at least five pixels of radius, so the symbol stays legible at 16, and
// a whole number of pixels, so the symbol's strokes, two pixels wide at 16, fill whole
// pixels.
Colour BadgeAt(Badge badge, int size, Point p) {
    const float side = static_cast<float>(size);
    const float radius = std::max(std::round(0.25f * side), 5.0f) / side;
    const float centre = 1.0f - radius;
    const Point q{(p.x - centre) / radius, (p.y - centre) / radius};
    const float r = std::hypot(q.x, q.y);
    if (r >= 1.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    const bool install = badge == Badge::Install;
    const float rim = 1.0f - 0.9f / (radius * side);
    const Colour light = install ? Colour{0.45f, 0.85f, 0.35f} : Colour{0.95f, 0.35f, 0.25f};
    const Colour dark = install ? Colour{0.1f, 0.5f, 0.12f} : Colour{0.6f, 0.08f, 0.05f};
    if (r > rim) return {0.02f, 0.02f, 0.06f};
    if (PolygonDistance(install ? kArrowDown : kMinus, q) < 0.0f) return {1.0f, 1.0f, 1.0f};
    return Mix(light, dark, 0.5f + 0.5f * q.y);
}

// Premultiplied top over a plain (not premultiplied) bottom.
Colour OverPremultiplied(const Colour& top, const Colour& bottom) {
    const float alpha = top.a + bottom.a * (1.0f - top.a);
    if (alpha <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    Colour out = (top + Shade(bottom, bottom.a * (1.0f - top.a))) * (1.0f / alpha);
    out.a = alpha;
    return out;
}

}  // namespace

Canvas PaintIcon(const SceneArt& art, int size) {
    Canvas icon =
        size <= kLargestSmallIcon
            ? Paint(size, size, 8, [size](float u, float v) { return SmallScene(size, u, v); })
            : PaintScene(art, size, size, kIconLayout);
    CutTile(icon);
    return icon;
}

Canvas PaintBadgedIcon(const SceneArt& art, int size, Badge badge) {
    Canvas icon = PaintIcon(art, size);
    const Canvas overlay = Paint(size, size, 8, [size, badge](float u, float v) {
        return BadgeAt(badge, size, {u, v});
    });
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            icon.at(x, y) = OverPremultiplied(overlay.at(x, y), icon.at(x, y));
    }
    return icon;
}
