#include "context.h"

#include "primitives.h"

#include <algorithm>
#include <cmath>

namespace webgl1 {

bool TextureObject::complete() const {
    if ((levels & 1) == 0 || width == 0 || height == 0) {
        return false;
    }
    if (minFilter == GL_NEAREST || minFilter == GL_LINEAR) {
        return true;
    }
    int size = std::max(width, height);
    std::uint32_t needed = 1;
    while (size > 1) {
        size /= 2;
        needed = needed << 1 | 1;
    }
    return (levels & needed) == needed;
}

void Context::recordError(GLenum code) {
    if (error == GL_NO_ERROR) {
        error = code;
    }
}

bool Context::outsideBeginEnd() {
    if (insideBeginEnd) {
        recordError(GL_INVALID_OPERATION);
        return false;
    }
    return true;
}

Mat4& Context::currentMatrix() {
    return matrixMode == GL_MODELVIEW ? modelview.top() : projection.top();
}

void Context::matrixChanged() { matricesChanged = true; }

void Context::setColor(const Color& c) {
    color = c;
    if (colorMaterial) {  // GL_AMBIENT_AND_DIFFUSE tracking, GL's default
        lighting.material.ambient = c;
        lighting.material.diffuse = c;
    }
}

void Context::addVertex(float x, float y, float z) {
    if (matricesChanged) {
        modelviewProjection = Multiply(projection.top(), modelview.top());
        normalMatrix = NormalMatrix(modelview.top());
        matricesChanged = false;
    }
    const Vec4 object = {x, y, z, 1};
    const Vec4 clip = Transform(modelviewProjection, object);
    Vertex v = {{clip.x, clip.y, clip.z, clip.w}, Clamped(color), texCoord};
    if (lightingEnabled) {
        const auto& m = normalMatrix;
        std::array<float, 3> n = {m[0] * normal[0] + m[1] * normal[1] + m[2] * normal[2],
                                  m[3] * normal[0] + m[4] * normal[1] + m[5] * normal[2],
                                  m[6] * normal[0] + m[7] * normal[1] + m[8] * normal[2]};
        if (normalize) {
            const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (length > 0.0f) {
                n = {n[0] / length, n[1] / length, n[2] / length};
            }
        }
        v.color = LightVertex(lighting, Transform(modelview.top(), object), n);
    }
    primitive.push_back(v);
}

void Context::endPrimitive() {
    DrawState state = draw;
    state.lines = ClassOf(primitiveMode) == PrimitiveClass::Lines;
    state.texture = 0;
    if (texture2D) {
        const auto found = textures.find(boundTexture);
        if (found != textures.end() && found->second.complete()) {
            state.texture = found->second.webgl;
        }
    }
    std::vector<Vertex>& batch = renderer.batchFor(state);
    const Vertex* v = primitive.data();
    Decompose(
        primitiveMode, static_cast<int>(primitive.size()),
        [&](int a, int b, int c) {
            batch.push_back(v[a]);
            batch.push_back(v[b]);
            batch.push_back(v[c]);
        },
        [&](int a, int b) {
            batch.push_back(v[a]);
            batch.push_back(v[b]);
        });
    primitive.clear();
}

TextureObject& Context::boundObject() {
    TextureObject& object = textures[boundTexture];
    if (object.webgl == 0) {
        object.webgl = renderer.createTexture();
    }
    return object;
}

}  // namespace webgl1
