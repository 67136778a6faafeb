#pragma once

#include "lighting.h"
#include "matrix.h"
#include "pixels.h"
#include "renderer.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace webgl1 {

// Entries in each matrix stack, Mesa's number.
constexpr int MaxStackDepth = 32;

// A GL texture object: its WebGL texture and what completeness needs to know.
struct TextureObject {
    GLuint webgl = 0;
    BaseFormat base = BaseFormat::Rgba;
    int width = 0;  // of level 0
    int height = 0;
    std::uint32_t levels = 0;  // bit i set once level i has an image
    GLint internalFormat = 0;  // as given to glTexImage2D, for GL_TEXTURE_COMPONENTS
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;

    // GL 1.x draws as if texturing were off when the bound texture is not complete.
    bool complete() const;
};

// GL 1.x's state: what WebGL has no part in (current vertex attributes, matrices, lighting,
// texture objects, the error flag) beside what batches are drawn with, and the renderer that
// draws them.
struct Context {
    // Current vertex attributes.
    Color color = {1, 1, 1, 1};
    std::array<float, 3> normal = {0, 0, 1};
    std::array<float, 2> texCoord = {0, 0};

    GLenum matrixMode = GL_MODELVIEW;
    MatrixStack modelview{MaxStackDepth};
    MatrixStack projection{MaxStackDepth};
    // Derived from the stacks' tops, recomputed when a matrix changed.
    Mat4 modelviewProjection = Mat4::Identity();
    std::array<float, 9> normalMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    bool matricesChanged = false;

    LightingState lighting;
    bool lightingEnabled = false;
    bool colorMaterial = false;
    bool normalize = false;

    bool insideBeginEnd = false;
    GLenum primitiveMode = GL_TRIANGLES;
    std::vector<Vertex> primitive;  // the vertices since glBegin

    // As set; the primitive class and the texture are resolved at each glEnd.
    DrawState draw;
    bool texture2D = false;
    GLuint boundTexture = 0;
    std::unordered_map<GLuint, TextureObject> textures;
    PixelStore unpack;
    PixelStore pack;
    std::vector<std::uint8_t> texels;  // converted images, kept to save an allocation per upload
    std::array<float, 4> clearColor = {0, 0, 0, 0};
    float clearDepth = 1;

    GLint maxTextureSize = 0;  // WebGL's, read once
    GLenum error = GL_NO_ERROR;
    Renderer renderer;

    // Keeps the first error until glGetError reads it, as GL does.
    void recordError(GLenum code);
    // False, with GL_INVALID_OPERATION, between glBegin and glEnd, where GL 1.x allows only
    // vertex attributes.
    bool outsideBeginEnd();

    Mat4& currentMatrix();
    void matrixChanged();
    void setColor(const Color& c);
    void addVertex(float x, float y, float z);
    void endPrimitive();

    // The bound texture object, created on first use as glBindTexture does.
    TextureObject& boundObject();
};

// The one context, made by webgl1_init.
Context& CurrentContext();

}  // namespace webgl1
