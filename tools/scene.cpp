#include "scene.h"

#include "gamepreview.h"
#include "noise.h"
#include "shiprender.h"
#include "shiptexture.h"
#include "textures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979;
// In model units: from the ship's centre back to where the beam starts, and the beam's
// half width there.
constexpr double kBeamStart = 6.9;
constexpr double kBeamRoot = 0.92;
// The star's glow reaches this far beyond its edge, in star radii.
constexpr float kGlowReach = 0.14f / 0.17f;

struct Point {
    float x;
    float y;
};

// Coverage of a point by the beam: a cone from the ship's tail that opens to the star's
// width, brightest along its axis.
float Beam(const SceneLayout& layout, float x, float y) {
    const double heading = layout.shipHeading * kPi / 180.0;
    const double start = kBeamStart / layout.shipSpan;
    const Point from{static_cast<float>(layout.shipX - start * std::sin(heading)),
                     static_cast<float>(layout.shipY + start * std::cos(heading))};
    const float ax = layout.starX - from.x;
    const float ay = layout.starY - from.y;
    const float length = std::hypot(ax, ay);
    const float along = ((x - from.x) * ax + (y - from.y) * ay) / (length * length);
    if (along < 0.0f || along > 1.0f) return 0.0f;
    const float across = std::abs((x - from.x) * ay - (y - from.y) * ax) / length;
    const float root = static_cast<float>(kBeamRoot / layout.shipSpan);
    const float width = root + along * 0.75f * layout.starRadius;
    const float t = across / width;
    return t < 1.0f ? (1.0f - t * t) * (0.35f + 0.65f * along) : 0.0f;
}

// Everything but the ship, at one point of the picture.
Colour Backdrop(const SceneArt& art, const SceneLayout& layout, float x, float y) {
    // A colourful stretch of the game's nebula, dimmed a little less than in play.
    Colour c = Shade(art.sky.sample(0.2f + 0.45f * x, 0.3f + 0.45f * y), 0.55f);
    const float r = std::hypot(x - layout.starX, y - layout.starY);
    const float glow = Clamp01(1.0f - (r - layout.starRadius) / (kGlowReach * layout.starRadius));
    c = c + Colour{1.0f, 0.55f, 0.15f} * (0.7f * glow * glow);
    c = Mix(c, Colour{0.45f, 0.95f, 1.0f}, 0.75f * Beam(layout, x, y));
    if (r < layout.starRadius) {
        const double sx = (x - layout.starX) / layout.starRadius;
        const double sy = (layout.starY - y) / layout.starRadius;
        const float facing = static_cast<float>(std::sqrt(1.0 - sx * sx - sy * sy));
        c = Shade(StarSurface(art.flame, sx, sy), 0.75f + 0.35f * facing);
    }
    c.a = 1.0f;
    return c;
}

// The ship, rendered square at the picture's width and moved from the square's centre to
// its place.
void PlaceShip(Canvas& picture, const SceneArt& art, const SceneLayout& layout) {
    const int size = picture.width();
    const Canvas ship = RenderShip(art.ship, art.hull, HeadingCamera(layout.shipHeading), size,
                                   layout.shipSpan, Colour{0.0f, 0.0f, 0.0f, 0.0f});
    const int dx = static_cast<int>(std::lround((layout.shipX - 0.5) * size));
    const int dy = static_cast<int>(std::lround((layout.shipY - 0.5) * size));
    for (int y = std::max(0, dy); y < std::min(picture.height(), size + dy); ++y) {
        for (int x = std::max(0, dx); x < std::min(size, size + dx); ++x) {
            const Colour& texel = ship.at(x - dx, y - dy);
            Colour& out = picture.at(x, y);
            out = Mix(out, texel, texel.a);
            out.a = 1.0f;
        }
    }
}

}  // namespace

SceneArt PaintSceneArt() {
    const Ship ship = BuildShip();
    return {ship.mesh, PaintShipTexture(ship, 128), PaintFlame(256, 128), PaintBackground(512)};
}

Canvas PaintScene(const SceneArt& art, int width, int height, const SceneLayout& layout) {
    const float aspect = static_cast<float>(height) / static_cast<float>(width);
    Canvas picture = Paint(width, height, 4,
                           [&](float u, float v) { return Backdrop(art, layout, u, v * aspect); });
    PlaceShip(picture, art, layout);
    return picture;
}
