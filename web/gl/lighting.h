#pragma once

#include "matrix.h"

#include <array>

namespace webgl1 {

using Color = std::array<float, 4>;

// One of GL's eight lights; position is in eye coordinates, as glLightfv stores it.
struct Light {
    bool enabled = false;
    Color ambient = {0, 0, 0, 1};
    Color diffuse = {0, 0, 0, 1};
    Vec4 position = {0, 0, 1, 0};  // w = 0: a directional light shining along -position
};

// The front material with GL's defaults; no emission or specular can be set.
struct Material {
    Color ambient = {0.2f, 0.2f, 0.2f, 1};
    Color diffuse = {0.8f, 0.8f, 0.8f, 1};
};

constexpr int NumLights = 8;

struct LightingState {
    std::array<Light, NumLights> lights = MakeDefaultLights();
    Material material;
    Color sceneAmbient = {0.2f, 0.2f, 0.2f, 1};  // GL_LIGHT_MODEL_AMBIENT

    static std::array<Light, NumLights> MakeDefaultLights();
};

// GL 1.x per-vertex lighting of one vertex (eye-space position and normal, the normal already
// normalized if GL_NORMALIZE asks), one-sided, clamped to [0, 1]; alpha is the material's
// diffuse alpha.
Color LightVertex(const LightingState& state, const Vec4& eyePosition,
                  const std::array<float, 3>& eyeNormal);

Color Clamped(const Color& color);

}  // namespace webgl1
