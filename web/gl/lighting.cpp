#include "lighting.h"

#include <algorithm>
#include <cmath>

namespace webgl1 {

namespace {

// The unit vector from the vertex toward the light.
std::array<float, 3> DirectionToLight(const Light& light, const Vec4& eye) {
    std::array<float, 3> d = {light.position.x, light.position.y, light.position.z};
    if (light.position.w != 0.0f) {
        d = {d[0] / light.position.w - eye.x / eye.w, d[1] / light.position.w - eye.y / eye.w,
             d[2] / light.position.w - eye.z / eye.w};
    }
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length > 0.0f) {
        for (float& c : d) {
            c /= length;
        }
    }
    return d;
}

}  // namespace

std::array<Light, NumLights> LightingState::MakeDefaultLights() {
    std::array<Light, NumLights> lights;
    lights[0].diffuse = {1, 1, 1, 1};  // only light 0 is white by default
    return lights;
}

Color LightVertex(const LightingState& state, const Vec4& eyePosition,
                  const std::array<float, 3>& n) {
    const Material& m = state.material;
    Color sum = {0, 0, 0, m.diffuse[3]};
    for (int c = 0; c < 3; ++c) {
        sum[c] = state.sceneAmbient[c] * m.ambient[c];
    }
    for (const Light& light : state.lights) {
        if (!light.enabled) {
            continue;
        }
        const std::array<float, 3> l = DirectionToLight(light, eyePosition);
        const float diffuse = std::max(n[0] * l[0] + n[1] * l[1] + n[2] * l[2], 0.0f);
        for (int c = 0; c < 3; ++c) {
            sum[c] += light.ambient[c] * m.ambient[c] + diffuse * (light.diffuse[c] * m.diffuse[c]);
        }
    }
    return Clamped(sum);
}

Color Clamped(const Color& color) {
    Color result;
    for (int c = 0; c < 4; ++c) {
        result[c] = std::clamp(color[c], 0.0f, 1.0f);
    }
    return result;
}

}  // namespace webgl1
