// Deterministic randomness for the painters: integer hashing, a small generator and
// gradient noise that repeats with a whole number of lattice cells, so textures
// built from it tile without seams.
#pragma once

#include <cstdint>

uint32_t Hash(uint32_t value);
uint32_t HashCell(int x, int y, uint32_t seed);

// Gradient noise in roughly -1..1 with a lattice that repeats every periodX cells
// along x and periodY cells along y.
float PeriodicNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Sum of octaves of PeriodicNoise over texture coordinates u, v in 0..1. The first
// octave has periodX x periodY cells; each further one doubles both and halves the
// amplitude. The result repeats exactly when u or v grows by 1.
float Fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed);

// splitmix64: tiny, fast and the same on every platform, unlike rand().
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint32_t next();
    // Uniform in [0, 1).
    float uniform();
    float range(float low, float high) { return low + (high - low) * uniform(); }

  private:
    uint64_t state_;
};

float Clamp01(float x);
float SmoothStep(float edge0, float edge1, float x);
