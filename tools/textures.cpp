#include "textures.h"

#include "noise.h"

#include <algorithm>
#include <cmath>

namespace {

float Radius(float u, float v) { return 2.0f * std::hypot(u - 0.5f, v - 0.5f); }

float Fract(float x) { return x - std::floor(x); }

// Two overlapping gas clouds, one violet-rose and one blue-teal, threaded with dark
// dust and brighter filaments. The sample point is pushed around by noise that
// tiles too, which turns round blobs into wisps without breaking the tiling. The
// game dims the image to 40%, so the clouds are painted bright.
Colour NebulaColour(float u, float v) {
    const float wu = u + 0.12f * Fbm(u, v, 3, 3, 4, 11);
    const float wv = v + 0.12f * Fbm(u, v, 3, 3, 4, 12);
    const float filaments = std::pow(1.0f - std::abs(Fbm(wu, wv, 4, 4, 5, 24)), 4.0f);
    const float rose =
        SmoothStep(-0.1f, 0.7f, Fbm(wu, wv, 2, 2, 7, 21)) * (0.6f + 0.7f * filaments);
    const float teal =
        SmoothStep(-0.05f, 0.75f, Fbm(wu, wv, 3, 3, 6, 22)) * (0.7f + 0.5f * filaments);
    const float dust = SmoothStep(0.05f, 0.6f, Fbm(wu, wv, 4, 4, 5, 23));
    Colour sky{0.03f, 0.035f, 0.09f};
    sky = sky + Colour{0.80f, 0.20f, 0.85f} * std::pow(rose, 1.5f);
    sky = sky + Colour{0.10f, 0.48f, 0.85f} * std::pow(teal, 1.3f);
    sky = sky + Colour{0.90f, 0.70f, 0.85f} * std::pow(rose * teal, 1.5f);
    sky = Shade(sky, 1.0f - 0.7f * dust);
    sky.a = 1.0f;
    return sky;
}

// Gaussian dots added on top of the sky, wrapping across the edges.
void ScatterStars(Canvas& sky, int count, uint64_t seed) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float cx = rng.range(0.0f, static_cast<float>(sky.width()));
        const float cy = rng.range(0.0f, static_cast<float>(sky.height()));
        const float brightness = 0.25f + 0.75f * std::pow(rng.uniform(), 4.0f);
        const float spread = 0.45f + 0.7f * brightness;
        const Colour tint =
            Mix(Colour{0.75f, 0.85f, 1.0f}, Colour{1.0f, 0.9f, 0.75f}, rng.uniform());
        const int reach = static_cast<int>(std::ceil(3.0f * spread));
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const int x = static_cast<int>(cx) + dx;
                const int y = static_cast<int>(cy) + dy;
                const float ex = x + 0.5f - cx;
                const float ey = y + 0.5f - cy;
                const float weight = std::exp(-(ex * ex + ey * ey) / (2.0f * spread * spread));
                Colour& pixel = sky.wrapped(x, y);
                pixel = pixel + Shade(tint, brightness * weight);
                pixel.a = 1.0f;
            }
        }
    }
}

float BoxDistance(float x, float y, float halfWidth, float halfHeight) {
    const float dx = std::abs(x) - halfWidth;
    const float dy = std::abs(y) - halfHeight;
    return std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) + std::min(std::max(dx, dy), 0.0f);
}

// Signed distance to the reticle's marks (negative inside), in units where the
// image spans -1..1: a ring, four ticks across it and a centre dot.
float ReticleDistance(float x, float y) {
    const float r = std::hypot(x, y);
    const float ring = std::abs(r - 0.58f) - 0.065f;
    const float ticks = std::min(BoxDistance(std::abs(x) - 0.64f, y, 0.24f, 0.06f),
                                 BoxDistance(x, std::abs(y) - 0.64f, 0.06f, 0.24f));
    const float dot = r - 0.08f;
    return std::min({ring, ticks, dot});
}

Colour FireRamp(float heat) {
    struct Stop {
        float at;
        Colour colour;
    };
    static const Stop kStops[] = {{0.0f, {0.35f, 0.04f, 0.0f}},
                                  {0.35f, {0.80f, 0.20f, 0.02f}},
                                  {0.6f, {1.0f, 0.50f, 0.07f}},
                                  {0.8f, {1.0f, 0.78f, 0.25f}},
                                  {1.0f, {1.0f, 0.97f, 0.75f}}};
    heat = Clamp01(heat);
    for (size_t i = 1; i < std::size(kStops); ++i) {
        if (heat <= kStops[i].at) {
            const float t = (heat - kStops[i - 1].at) / (kStops[i].at - kStops[i - 1].at);
            return Mix(kStops[i - 1].colour, kStops[i].colour, t);
        }
    }
    return kStops[std::size(kStops) - 1].colour;
}

}  // namespace

Canvas PaintBackground(int size) {
    Canvas sky = Paint(size, size, 1, NebulaColour);
    ScatterStars(sky, size * size / 900, 0x5eed0001);
    return sky;
}

Canvas PaintStarSprite(int size) {
    return Paint(size, size, 4, [](float u, float v) {
        const float r = Radius(u, v);
        const float core = std::exp(-(r * r) / (0.11f * 0.11f));
        const float halo = 0.55f * std::exp(-(r * r) / (0.3f * 0.3f));
        const float fade = 1.0f - SmoothStep(0.45f, 0.8f, r);
        const Colour white{1.0f, 1.0f, 1.0f};
        const Colour blue{0.55f, 0.72f, 1.0f};
        Colour c = Shade(white, core * fade) + Shade(blue, halo * fade);
        c.a = 1.0f;
        return c;
    });
}

Canvas PaintPointer(int size) {
    const float pixel = 2.0f / size;
    return Paint(size, size, 1, [pixel](float u, float v) {
        const float d = ReticleDistance(2.0f * u - 1.0f, 2.0f * v - 1.0f);
        const float ink = Clamp01(0.5f - d / pixel);
        const float rim = 0.7f * Clamp01(0.5f - (d - 0.07f) / pixel);
        const Colour mint{0.75f, 1.0f, 0.85f};
        const Colour shadow{0.0f, 0.06f, 0.04f};
        const float alpha = ink + rim * (1.0f - ink);
        // Transparent texels take the rim colour so filtering never blends in a
        // bright fringe.
        const float inkShare = alpha > 0.0f ? ink / alpha : 0.0f;
        Colour c = Mix(shadow, mint, inkShare);
        c.a = alpha;
        return c;
    });
}

Canvas PaintFlame(int width, int height) {
    // The sphere wraps u once around its equator and v once pole to pole, so twice
    // as many noise cells along u keep the grain round on screen.
    return Paint(width, height, 1, [](float u, float v) {
        const float wu = u + 0.05f * Fbm(u, v, 4, 2, 3, 31);
        const float wv = v + 0.08f * Fbm(u, v, 4, 2, 3, 32);
        const float body = 0.5f + 0.5f * Fbm(wu, wv, 6, 3, 5, 33);
        const float veins = std::pow(1.0f - std::abs(Fbm(wu, wv, 8, 4, 4, 34)), 8.0f);
        return FireRamp(0.1f + 0.8f * body + 0.45f * veins);
    });
}

Canvas PaintGlow(int size) {
    return Paint(size, size, 4, [](float u, float v) {
        const float r = Radius(u, v);
        const float t = Clamp01(1.0f - r);
        Colour c =
            Mix(Colour{1.0f, 0.97f, 0.82f}, Colour{1.0f, 0.62f, 0.18f}, SmoothStep(0.0f, 0.8f, r));
        // Squared falloff: the alpha and its slope both reach 0 at the edge circle.
        c.a = 0.75f * t * t + 0.2f * std::pow(t, 6.0f);
        return c;
    });
}

Canvas PaintTractorBeam(int width, int height) {
    return Paint(width, height, 2, [](float u, float v) {
        const float t = 1.0f - v;  // texture coordinate along the beam
        const float across = std::abs(u - 0.5f) * 2.0f;
        const float body = std::pow(1.0f - across * across, 2.0f);
        const float core = std::exp(-(across * across) / (0.12f * 0.12f));
        // Chevrons whose tips point to low t, the ship's end, where the flow goes:
        // a sharp front edge and a fading tail make the motion readable.
        const float phase = Fract(4.0f * t - 1.2f * across);
        const float band = SmoothStep(0.0f, 0.08f, phase) * std::pow(1.0f - phase, 2.5f);
        const float streaks = 0.6f + 0.4f * Fbm(u, t, 8, 2, 3, 41);
        Colour c = Colour{0.05f, 0.2f, 0.7f} * (0.7f * body);
        c = c + Colour{0.25f, 0.9f, 1.0f} * (band * body * streaks);
        c = c + Colour{0.8f, 1.0f, 1.0f} * (0.6f * core);
        c.a = 1.0f;
        return c;
    });
}
