#include "noise.h"

#include <algorithm>
#include <cmath>

uint32_t Hash(uint32_t value) {
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    value ^= value >> 16;
    return value;
}

uint32_t HashCell(int x, int y, uint32_t seed) {
    return Hash(static_cast<uint32_t>(x) ^ Hash(static_cast<uint32_t>(y) ^ Hash(seed)));
}

namespace {

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int Wrap(int i, int period) { return ((i % period) + period) % period; }

// Sixteen evenly spread unit gradients: enough variety, and no trigonometry per call.
constexpr float kGradients[16][2] = {
    {1.0f, 0.0f},  {0.924f, 0.383f},   {0.707f, 0.707f},   {0.383f, 0.924f},
    {0.0f, 1.0f},  {-0.383f, 0.924f},  {-0.707f, 0.707f},  {-0.924f, 0.383f},
    {-1.0f, 0.0f}, {-0.924f, -0.383f}, {-0.707f, -0.707f}, {-0.383f, -0.924f},
    {0.0f, -1.0f}, {0.383f, -0.924f},  {0.707f, -0.707f},  {0.924f, -0.383f}};

// Dot product of the lattice point's pseudo-random gradient with the offset.
float Corner(int ix, int iy, float dx, float dy, uint32_t seed) {
    const float* gradient = kGradients[HashCell(ix, iy, seed) >> 28];
    return gradient[0] * dx + gradient[1] * dy;
}

}  // namespace

float PeriodicNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    const int ix0 = Wrap(x0, periodX);
    const int ix1 = Wrap(x0 + 1, periodX);
    const int iy0 = Wrap(y0, periodY);
    const int iy1 = Wrap(y0 + 1, periodY);
    const float top =
        Corner(ix0, iy0, dx, dy, seed) +
        Fade(dx) * (Corner(ix1, iy0, dx - 1.0f, dy, seed) - Corner(ix0, iy0, dx, dy, seed));
    const float bottom = Corner(ix0, iy1, dx, dy - 1.0f, seed) +
                         Fade(dx) * (Corner(ix1, iy1, dx - 1.0f, dy - 1.0f, seed) -
                                     Corner(ix0, iy1, dx, dy - 1.0f, seed));
    // Gradient noise peaks near +-0.7; scale it to fill -1..1 more evenly.
    return 1.4f * (top + Fade(dy) * (bottom - top));
}

float Fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const int px = periodX << octave;
        const int py = periodY << octave;
        sum += amplitude * PeriodicNoise(u * px, v * py, px, py, seed + 101U * octave);
        total += amplitude;
        amplitude *= 0.5f;
    }
    return sum / total;
}

uint32_t Rng::next() {
    state_ += 0x9e3779b97f4a7c15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

float Clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
