// Capabilities, fixed-function state, lights, clearing and the end of a frame.

#include "context.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>

using webgl1::CurrentContext;

namespace {

// The flag glEnable/glDisable sets for cap; nullptr for a capability the layer lacks.
bool* Capability(webgl1::Context& gl, GLenum cap) {
    switch (cap) {
        case GL_TEXTURE_2D:
            return &gl.texture2D;
        case GL_BLEND:
            return &gl.draw.blend;
        case GL_DEPTH_TEST:
            return &gl.draw.depthTest;
        case GL_CULL_FACE:
            return &gl.draw.cullFace;
        case GL_DITHER:
            return &gl.draw.dither;
        case GL_SCISSOR_TEST:
            return &gl.draw.scissorTest;
        case GL_LIGHTING:
            return &gl.lightingEnabled;
        case GL_COLOR_MATERIAL:
            return &gl.colorMaterial;
        case GL_NORMALIZE:
            return &gl.normalize;
        default:
            if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + webgl1::NumLights) {
                return &gl.lighting.lights[cap - GL_LIGHT0].enabled;
            }
            return nullptr;
    }
}

void SetCapability(GLenum cap, bool enabled) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    bool* flag = Capability(gl, cap);
    if (flag == nullptr) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    *flag = enabled;
    if (cap == GL_COLOR_MATERIAL && enabled) {
        gl.setColor(gl.color);  // the material takes the current colour at once
    }
}

bool IsComparison(GLenum func) { return func >= GL_NEVER && func <= GL_ALWAYS; }

// The blend factors of GL 1.x and its imaging subset; GL_SRC_ALPHA_SATURATE only as a source.
bool IsBlendFactor(GLenum factor, bool source) {
    return factor == GL_ZERO || factor == GL_ONE ||
           (factor >= GL_SRC_COLOR &&
            factor <= (source ? GL_SRC_ALPHA_SATURATE : GL_ONE_MINUS_DST_COLOR)) ||
           (factor >= GL_CONSTANT_COLOR && factor <= GL_ONE_MINUS_CONSTANT_ALPHA);
}

bool IsFace(GLenum face) {
    return face == GL_FRONT || face == GL_BACK || face == GL_FRONT_AND_BACK;
}

// The state calls share this: check the enum, then set.
template <typename Set>
void SetIf(bool valid, Set set) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (!valid) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    set(gl);
}

void SetRectangle(std::array<int, 4>& rectangle, GLint x, GLint y, GLsizei width, GLsizei height) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (width < 0 || height < 0) {
        gl.recordError(GL_INVALID_VALUE);
        return;
    }
    rectangle = {x, y, width, height};
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) { SetCapability(cap, true); }

void glDisable(GLenum cap) { SetCapability(cap, false); }

void glShadeModel(GLenum mode) {
    SetIf(mode == GL_FLAT || mode == GL_SMOOTH,
          [&](webgl1::Context& gl) { gl.draw.flat = mode == GL_FLAT; });
}

void glBlendFunc(GLenum source, GLenum destination) {
    SetIf(IsBlendFactor(source, true) && IsBlendFactor(destination, false),
          [&](webgl1::Context& gl) {
              gl.draw.blendSource = source;
              gl.draw.blendDestination = destination;
          });
}

void glBlendEquation(GLenum mode) {
    SetIf(mode == GL_FUNC_ADD || mode == GL_FUNC_SUBTRACT || mode == GL_FUNC_REVERSE_SUBTRACT ||
              mode == GL_MIN || mode == GL_MAX,
          [&](webgl1::Context& gl) { gl.draw.blendEquation = mode; });
}

void glBlendColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    SetIf(true, [&](webgl1::Context& gl) { gl.draw.blendColor = {r, g, b, a}; });
}

void glDepthFunc(GLenum func) {
    SetIf(IsComparison(func), [&](webgl1::Context& gl) { gl.draw.depthFunc = func; });
}

void glDepthMask(GLboolean flag) {
    SetIf(true, [&](webgl1::Context& gl) { gl.draw.depthMask = flag != GL_FALSE; });
}

void glCullFace(GLenum mode) {
    SetIf(IsFace(mode), [&](webgl1::Context& gl) { gl.draw.cullMode = mode; });
}

void glFrontFace(GLenum mode) {
    SetIf(mode == GL_CW || mode == GL_CCW, [&](webgl1::Context& gl) { gl.draw.frontFace = mode; });
}

// Only filled polygons are drawn, which is GL's default.
void glPolygonMode(GLenum face, GLenum mode) {
    SetIf(IsFace(face) && mode == GL_FILL, [](webgl1::Context&) {});
}

void glHint(GLenum, GLenum) {}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    SetIf(true, [&](webgl1::Context& gl) { gl.clearColor = webgl1::Clamped({r, g, b, a}); });
}

void glClearDepth(GLclampd depth) {
    SetIf(true, [&](webgl1::Context& gl) {
        gl.clearDepth = std::clamp(static_cast<float>(depth), 0.0f, 1.0f);
    });
}

void glClear(GLbitfield mask) {
    constexpr GLbitfield Buffers =
        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if ((mask & ~Buffers) != 0) {
        gl.recordError(GL_INVALID_VALUE);
        return;
    }
    gl.renderer.clear(mask, gl.draw, gl.clearColor, gl.clearDepth);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    SetRectangle(CurrentContext().draw.viewport, x, y, width, height);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    SetRectangle(CurrentContext().draw.scissor, x, y, width, height);
}

void glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    SetIf(true, [&](webgl1::Context& gl) { gl.draw.colorMask = {r != 0, g != 0, b != 0, a != 0}; });
}

// GL_AMBIENT, GL_DIFFUSE and GL_POSITION (taken through the current modelview matrix);
// GL_SPECULAR is accepted and has no effect, as no material can reflect it.
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    const bool valid = light >= GL_LIGHT0 && light < GL_LIGHT0 + webgl1::NumLights &&
                       (pname == GL_AMBIENT || pname == GL_DIFFUSE || pname == GL_SPECULAR ||
                        pname == GL_POSITION);
    SetIf(valid, [&](webgl1::Context& gl) {
        webgl1::Light& l = gl.lighting.lights[light - GL_LIGHT0];
        const webgl1::Color value = {params[0], params[1], params[2], params[3]};
        if (pname == GL_AMBIENT) {
            l.ambient = value;
        } else if (pname == GL_DIFFUSE) {
            l.diffuse = value;
        } else if (pname == GL_POSITION) {
            l.position =
                webgl1::Transform(gl.modelview.top(), {value[0], value[1], value[2], value[3]});
        }
    });
}

// Drawing is always to the back buffer.
void glReadBuffer(GLenum) {}

void glFlush(void) { CurrentContext().renderer.flush(); }

void glFinish(void) { glFlush(); }

}  // extern "C"
