#include "gamepreview.h"

#include "shiprender.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPixelsPerUnit = 76.8;
constexpr double kPi = 3.14159265358979;

struct Point {
    double x;
    double y;
};

// Screen pixel of a world position, with the world origin at the panel centre.
class Screen {
  public:
    Screen(int width, int height) : width_(width), height_(height) {}
    Point operator()(double x, double y) const {
        return {width_ * 0.5 + x * kPixelsPerUnit, height_ * 0.5 - y * kPixelsPerUnit};
    }

  private:
    int width_;
    int height_;
};

void Over(Colour& destination, Colour source, float alpha) {
    destination = Mix(destination, source, alpha);
    destination.a = 1.0f;
}

// A textured square of the given half-size in world units, texture upright.
void DrawQuad(Canvas& panel, const Screen& screen, const Canvas& texture, double x, double y,
              double halfSize, float alpha) {
    const Point centre = screen(x, y);
    const double half = halfSize * kPixelsPerUnit;
    for (int py = static_cast<int>(centre.y - half); py <= centre.y + half; ++py) {
        for (int px = static_cast<int>(centre.x - half); px <= centre.x + half; ++px) {
            if (px < 0 || py < 0 || px >= panel.width() || py >= panel.height()) continue;
            const float u = static_cast<float>((px + 0.5 - centre.x + half) / (2.0 * half));
            const float v = static_cast<float>((py + 0.5 - centre.y + half) / (2.0 * half));
            if (u < 0.0f || v < 0.0f || u > 1.0f || v > 1.0f) continue;
            const Colour texel = texture.sample(u, v);
            Over(panel.at(px, py), texel, texel.a * alpha);
        }
    }
}

// The flame texture on a sphere whose poles lie on the screen's vertical axis.
void DrawStarSphere(Canvas& panel, const Screen& screen, const Canvas& flame, double x, double y,
                    double radius) {
    const Point centre = screen(x, y);
    const double r = radius * kPixelsPerUnit;
    for (int py = static_cast<int>(centre.y - r); py <= centre.y + r; ++py) {
        for (int px = static_cast<int>(centre.x - r); px <= centre.x + r; ++px) {
            const double dx = (px + 0.5 - centre.x) / r;
            const double dy = (centre.y - py - 0.5) / r;
            if (dx * dx + dy * dy >= 1.0 || px < 0 || py < 0 || px >= panel.width() ||
                py >= panel.height())
                continue;
            panel.at(px, py) = StarSurface(flame, dx, dy);
        }
    }
}

// The beam triangle from the ship to the star, texture scrolled to 0.3.
void DrawBeam(Canvas& panel, const Screen& screen, const Canvas& beam, Point ship, Point star) {
    const double length = std::hypot(star.x - ship.x, star.y - ship.y);
    const Point across{0.6 * (star.y - ship.y) / length, -0.6 * (star.x - ship.x) / length};
    const Point a = screen(ship.x, ship.y);
    const Point b = screen(star.x + across.x, star.y + across.y);
    const Point c = screen(star.x - across.x, star.y - across.y);
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    for (int py = 0; py < panel.height(); ++py) {
        for (int px = 0; px < panel.width(); ++px) {
            const double wb =
                ((px + 0.5 - a.x) * (c.y - a.y) - (py + 0.5 - a.y) * (c.x - a.x)) / area;
            const double wc =
                ((b.x - a.x) * (py + 0.5 - a.y) - (b.y - a.y) * (px + 0.5 - a.x)) / area;
            if (wb < 0.0 || wc < 0.0 || wb + wc > 1.0) continue;
            // The corners' s are 0.5 (ship), 1 and 0; t runs from 0.3 to 1.3.
            const double s = 0.5 * (1.0 - wb - wc) + wb;
            const double t = 0.3 + (wb + wc);
            Over(panel.at(px, py), beam.sample(static_cast<float>(s), static_cast<float>(1.0 - t)),
                 0.5f);
        }
    }
}

// The ship model at 1/15 scale, turned clockwise by its heading.
void DrawShip(Canvas& panel, const Screen& screen, const LoadedAssets& assets, Point at,
              double heading) {
    constexpr int kSize = 128;
    const Canvas ship = RenderShip(assets.ship, assets.hull, HeadingCamera(heading), kSize,
                                   kSize / (kPixelsPerUnit / 15.0), Colour{0.0f, 0.0f, 0.0f, 0.0f});
    const Point centre = screen(at.x, at.y);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int px = static_cast<int>(centre.x) - kSize / 2 + x;
            const int py = static_cast<int>(centre.y) - kSize / 2 + y;
            const Colour texel = ship.at(x, y);
            if (px >= 0 && py >= 0 && px < panel.width() && py < panel.height())
                Over(panel.at(px, py), texel, texel.a);
        }
    }
}

}  // namespace

Colour StarSurface(const Canvas& flame, double x, double y) {
    const double longitude = std::atan2(x, std::sqrt(1.0 - x * x - y * y)) + 1.0;
    const double latitude = std::asin(y);
    const float u = static_cast<float>(longitude / (2.0 * kPi) + 0.5);
    const float v = static_cast<float>(0.5 - latitude / kPi);
    return flame.sample(u, v);
}

Canvas RenderGamePreview(const LoadedAssets& assets, int width, int height) {
    Canvas panel(width, height);
    // The background repeats every 768 screen pixels, dimmed to 40%.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            panel.at(x, y) = Shade(assets.background.sample(x / 768.0f, y / 768.0f), 0.4f);
        }
    }
    const Screen screen(width, height);
    const Point ship{-1.4, -0.5};
    const Point star{1.0, 0.45};
    DrawBeam(panel, screen, assets.beam, ship, star);
    DrawShip(panel, screen, assets, ship, 68.0);
    DrawStarSphere(panel, screen, assets.flame, star.x, star.y, 0.7);
    DrawQuad(panel, screen, assets.glow, star.x, star.y, 2.1, 0.6f);
    DrawQuad(panel, screen, assets.pointer, 2.3, -1.1, 0.2, 1.0f);
    return panel;
}
