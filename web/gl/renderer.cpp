#include "renderer.h"

#include <cmath>
#include <cstddef>
#include <emscripten/html5.h>
#include <string>
#include <tuple>
#include <utility>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

namespace webgl1 {

namespace {

// Positions come already in clip coordinates and colours already lit: the vertex shader only
// hands them on. Each combination of texturing and flat shading has a program of its own, so
// that a fragment interpolates and samples only what it uses. Flat shading takes the
// provoking (last) vertex's colour, which is GL 1.x's choice once primitives are split as the
// layer splits them.
constexpr char VertexShader[] = R"(
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 color;
INTERPOLATION out vec4 vertexColor;
#ifdef TEXTURED
layout(location = 2) in vec2 texCoord;
out vec2 uv;
#endif
void main() {
    gl_Position = position;
    vertexColor = color;
#ifdef TEXTURED
    uv = texCoord;
#endif
}
)";

// GL_MODULATE: textures are stored so that the product is right for every base format.
constexpr char FragmentShader[] = R"(
precision highp float;
INTERPOLATION in vec4 vertexColor;
#ifdef TEXTURED
uniform sampler2D image;
in vec2 uv;
#endif
out vec4 fragment;
void main() {
    fragment = vertexColor;
#ifdef TEXTURED
    fragment *= texture(image, uv);
#endif
}
)";

// Bits of a program's index in programs_.
constexpr int Textured = 1;
constexpr int Flat = 2;

constexpr std::size_t InitialBatchCapacity = 1 << 16;  // vertices; a frame's worth

auto Tie(const DrawState& s) {
    return std::tie(s.lines, s.texture, s.flat, s.blend, s.blendSource, s.blendDestination,
                    s.blendEquation, s.blendColor, s.depthTest, s.depthFunc, s.depthMask,
                    s.cullFace, s.cullMode, s.frontFace, s.dither, s.scissorTest, s.scissor,
                    s.viewport, s.colorMask);
}

void SetCap(GLenum cap, bool wanted, bool current) {
    if (wanted != current) {
        (wanted ? emscripten_glEnable : emscripten_glDisable)(cap);
    }
}

GLuint CompileShader(GLenum type, const char* variant, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const char* parts[] = {"#version 300 es\n", variant, source};
    emscripten_glShaderSource(shader, 3, parts, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

// The program for one combination of texturing and flat shading.
GLuint LinkProgram(bool textured, bool flat) {
    const std::string variant = std::string(textured ? "#define TEXTURED\n" : "") +
                                "#define INTERPOLATION " + (flat ? "flat\n" : "smooth\n");
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, variant.c_str(), VertexShader);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, variant.c_str(), FragmentShader);
    if (vertex == 0 || fragment == 0) {
        return 0;
    }
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE ? program : 0;
}

void SetUpAttributes() {
    GLuint vertexArray = 0;
    emscripten_glGenVertexArrays(1, &vertexArray);
    emscripten_glBindVertexArray(vertexArray);
    const auto attribute = [](GLuint index, GLint size, std::size_t offset) {
        emscripten_glEnableVertexAttribArray(index);
        emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                         reinterpret_cast<const void*>(offset));
    };
    attribute(0, 4, offsetof(Vertex, position));
    attribute(1, 4, offsetof(Vertex, color));
    attribute(2, 2, offsetof(Vertex, texCoord));
}

}  // namespace

bool operator==(const DrawState& a, const DrawState& b) { return Tie(a) == Tie(b); }

const char* Renderer::init(DrawState* initial) {
    for (int i = 0; i < 4; ++i) {
        programs_[i] = LinkProgram(i & Textured, i & Flat);
        if (programs_[i] == 0) {
            return "the shaders did not compile or link";
        }
    }
    // The sampler reads texture unit 0, its default.
    emscripten_glUseProgram(programs_[0]);

    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    SetUpAttributes();
    batch_.reserve(InitialBatchCapacity);

    emscripten_glGetIntegerv(GL_VIEWPORT, applied_.viewport.data());
    emscripten_glGetIntegerv(GL_SCISSOR_BOX, applied_.scissor.data());
    *initial = applied_;
    batchState_ = applied_;
    return emscripten_glGetError() == GL_NO_ERROR ? nullptr : "WebGL refused the set-up";
}

std::vector<Vertex>& Renderer::batchFor(const DrawState& state) {
    if (state != batchState_) {
        flush();
        batchState_ = state;
    }
    if (!flushScheduled_) {
        // Animation-frame callbacks run only while the program has yielded to the browser,
        // never inside a frame being drawn, and before the browser presents the canvas.
        flushScheduled_ = true;
        emscripten_request_animation_frame(
            [](double, void* renderer) {
                static_cast<Renderer*>(renderer)->flushScheduled_ = false;
                static_cast<Renderer*>(renderer)->flush();
                return EM_FALSE;
            },
            this);
    }
    return batch_;
}

void Renderer::flush() {
    if (batch_.empty()) {
        return;
    }
    apply(batchState_);
    // A new store for every batch: WebGL never waits for, nor copies, one still being drawn.
    emscripten_glBufferData(GL_ARRAY_BUFFER, batch_.size() * sizeof(Vertex), batch_.data(),
                            GL_STREAM_DRAW);
    emscripten_glDrawArrays(batchState_.lines ? GL_LINES : GL_TRIANGLES, 0,
                            static_cast<GLsizei>(batch_.size()));
    batch_.clear();
}

void Renderer::clear(unsigned mask, const DrawState& state, const std::array<float, 4>& color,
                     float depth) {
    flush();
    apply(state);
    // Rounded to the framebuffer's 8 bits as Mesa rounds (to nearest, ties to even), so that
    // WebGL has no rounding of its own left to do: 0.1 clears to 26 in both.
    const auto level = [](float c) { return std::nearbyint(c * 255.0f) / 255.0f; };
    emscripten_glClearColor(level(color[0]), level(color[1]), level(color[2]), level(color[3]));
    emscripten_glClearDepthf(depth);
    emscripten_glClear(mask);
}

void Renderer::apply(const DrawState& state) {
    applyCaps(state);
    applyFunctions(state);
    applyRectangles(state);
    applyShading(state);
    applied_ = state;
}

void Renderer::applyCaps(const DrawState& s) {
    SetCap(GL_BLEND, s.blend, applied_.blend);
    SetCap(GL_DEPTH_TEST, s.depthTest, applied_.depthTest);
    SetCap(GL_CULL_FACE, s.cullFace, applied_.cullFace);
    SetCap(GL_DITHER, s.dither, applied_.dither);
    SetCap(GL_SCISSOR_TEST, s.scissorTest, applied_.scissorTest);
}

void Renderer::applyFunctions(const DrawState& s) {
    const DrawState& a = applied_;
    if (s.blendSource != a.blendSource || s.blendDestination != a.blendDestination) {
        emscripten_glBlendFunc(s.blendSource, s.blendDestination);
    }
    if (s.blendEquation != a.blendEquation) {
        emscripten_glBlendEquation(s.blendEquation);
    }
    if (s.blendColor != a.blendColor) {
        emscripten_glBlendColor(s.blendColor[0], s.blendColor[1], s.blendColor[2], s.blendColor[3]);
    }
    if (s.depthFunc != a.depthFunc) {
        emscripten_glDepthFunc(s.depthFunc);
    }
    if (s.depthMask != a.depthMask) {
        emscripten_glDepthMask(s.depthMask);
    }
    if (s.cullMode != a.cullMode) {
        emscripten_glCullFace(s.cullMode);
    }
    if (s.frontFace != a.frontFace) {
        emscripten_glFrontFace(s.frontFace);
    }
    if (s.colorMask != a.colorMask) {
        emscripten_glColorMask(s.colorMask[0], s.colorMask[1], s.colorMask[2], s.colorMask[3]);
    }
}

void Renderer::applyRectangles(const DrawState& s) {
    if (s.viewport != applied_.viewport) {
        emscripten_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    }
    if (s.scissor != applied_.scissor) {
        emscripten_glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    }
}

void Renderer::applyShading(const DrawState& s) {
    const auto program = [](const DrawState& state) {
        return (state.texture != 0 ? Textured : 0) | (state.flat ? Flat : 0);
    };
    if (program(s) != program(applied_)) {
        emscripten_glUseProgram(programs_[program(s)]);
    }
    if (s.texture != 0) {
        bindTexture(s.texture);
    }
}

void Renderer::bindTexture(unsigned texture) {
    if (texture != boundTexture_) {
        emscripten_glBindTexture(GL_TEXTURE_2D, texture);
        boundTexture_ = texture;
    }
}

unsigned Renderer::createTexture() {
    GLuint texture = 0;
    emscripten_glGenTextures(1, &texture);
    return texture;
}

void Renderer::deleteTexture(unsigned texture) {
    flush();
    if (texture == boundTexture_) {
        boundTexture_ = 0;
    }
    emscripten_glDeleteTextures(1, &texture);
}

void Renderer::texImage(unsigned texture, int level, int width, int height, const void* texels) {
    flush();
    bindTexture(texture);
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, texels);
}

void Renderer::texSubImage(unsigned texture, int level, int x, int y, int width, int height,
                           const void* texels) {
    flush();
    bindTexture(texture);
    emscripten_glTexSubImage2D(GL_TEXTURE_2D, level, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                               texels);
}

void Renderer::texParameter(unsigned texture, unsigned pname, int value) {
    flush();
    bindTexture(texture);
    emscripten_glTexParameteri(GL_TEXTURE_2D, pname, value);
}

void Renderer::readRgba8(int x, int y, int width, int height, void* out) {
    flush();
    emscripten_glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out);
}

void Renderer::getIntegers(unsigned pname, int* values) {
    unchecked_ = true;
    emscripten_glGetIntegerv(pname, values);
}

void Renderer::getFloats(unsigned pname, float* values) {
    unchecked_ = true;
    emscripten_glGetFloatv(pname, values);
}

unsigned Renderer::error() {
    if (!std::exchange(unchecked_, false)) {
        return GL_NO_ERROR;
    }
    return emscripten_glGetError();
}

}  // namespace webgl1
