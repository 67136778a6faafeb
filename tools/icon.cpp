#include "icon.h"

#include "gamepreview.h"
#include "noise.h"
#include "shiprender.h"

#include <algorithm>
#include <cmath>

namespace {

// Layout in fractions of the icon's side, x to the right and y down. The ship flies
// toward the top-right corner with its tail, where the beam starts, toward the star.
constexpr float kMargin = 0.03f;
constexpr float kCorner = 0.2f;
constexpr float kStarX = 0.29f;
constexpr float kStarY = 0.71f;
constexpr float kStarRadius = 0.17f;
constexpr float kGlowReach = 0.14f;  // beyond the star's edge
constexpr double kShipX = 0.65;
constexpr double kShipY = 0.35;
constexpr double kShipHeading = 45.0;  // degrees clockwise from the top
constexpr double kShipSpan = 46.0;     // model units across the whole icon
constexpr double kBeamStart = 0.15;    // from the ship's centre to its tail

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

// Coverage of a point by the beam: a cone from the ship's tail that opens to the
// star's width, brightest along its axis.
float Beam(float x, float y) {
    const double heading = kShipHeading * 3.14159265358979 / 180.0;
    const Point from{static_cast<float>(kShipX - kBeamStart * std::sin(heading)),
                     static_cast<float>(kShipY + kBeamStart * std::cos(heading))};
    const float ax = kStarX - from.x;
    const float ay = kStarY - from.y;
    const float length = std::hypot(ax, ay);
    const float along = ((x - from.x) * ax + (y - from.y) * ay) / (length * length);
    if (along < 0.0f || along > 1.0f) return 0.0f;
    const float across = std::abs((x - from.x) * ay - (y - from.y) * ax) / length;
    const float width = 0.02f + along * 0.75f * kStarRadius;
    const float t = across / width;
    return t < 1.0f ? (1.0f - t * t) * (0.35f + 0.65f * along) : 0.0f;
}

// Everything but the ship, at one point of the icon.
Colour Scene(const IconArt& art, float x, float y) {
    // A colourful stretch of the game's nebula, dimmed a little less than in play.
    Colour c = Shade(art.sky.sample(0.2f + 0.45f * x, 0.3f + 0.45f * y), 0.55f);
    const float r = std::hypot(x - kStarX, y - kStarY);
    const float glow = Clamp01(1.0f - (r - kStarRadius) / kGlowReach);
    c = c + Colour{1.0f, 0.55f, 0.15f} * (0.7f * glow * glow);
    c = Mix(c, Colour{0.45f, 0.95f, 1.0f}, 0.75f * Beam(x, y));
    if (r < kStarRadius) {
        const double sx = (x - kStarX) / kStarRadius;
        const double sy = (kStarY - y) / kStarRadius;
        const float facing = static_cast<float>(std::sqrt(1.0 - sx * sx - sy * sy));
        c = Shade(StarSurface(art.flame, sx, sy), 0.75f + 0.35f * facing);
    }
    c.a = 1.0f;
    return c;
}

// The ship, rendered at the icon's size and moved from the centre to its place.
void PlaceShip(Canvas& icon, const IconArt& art) {
    const int size = icon.width();
    const Canvas ship = RenderShip(art.ship, art.hull, HeadingCamera(kShipHeading), size, kShipSpan,
                                   Colour{0.0f, 0.0f, 0.0f, 0.0f});
    const int dx = static_cast<int>(std::lround((kShipX - 0.5) * size));
    const int dy = static_cast<int>(std::lround((kShipY - 0.5) * size));
    for (int y = std::max(0, dy); y < std::min(size, size + dy); ++y) {
        for (int x = std::max(0, dx); x < std::min(size, size + dx); ++x) {
            const Colour& texel = ship.at(x - dx, y - dy);
            Colour& out = icon.at(x, y);
            out = Mix(out, texel, texel.a);
            out.a = 1.0f;
        }
    }
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

}  // namespace

Canvas PaintIcon(const IconArt& art, int size) {
    Canvas icon = Paint(size, size, 4, [&art](float u, float v) { return Scene(art, u, v); });
    PlaceShip(icon, art);
    CutTile(icon);
    return icon;
}
