// Errors, strings, state queries and reading pixels back.

#include "context.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

using webgl1::Context;
using webgl1::CurrentContext;

namespace {

// GL_VERSION names 1.1 so that AllegroGL assumes no extension of a later version, and the
// extensions list the pixel formats and texture sizes the layer converts and WebGL takes.
constexpr char Version[] = "1.1 StarTug WebGL 2";
constexpr char Extensions[] = "GL_ARB_texture_non_power_of_two GL_EXT_bgra GL_EXT_packed_pixels";

template <typename T, typename Source>
int Copy(const Source& source, T* out) {
    std::copy(std::begin(source), std::end(source), out);
    return static_cast<int>(std::size(source));
}

// The integer state the layer keeps; how many values it wrote, 0 if pname is not one of them.
int LocalIntegers(const Context& gl, GLenum pname, GLint* out) {
    const webgl1::DrawState& d = gl.draw;
    if (pname == GL_VIEWPORT) {
        return Copy(d.viewport, out);
    }
    if (pname == GL_SCISSOR_BOX) {
        return Copy(d.scissor, out);
    }
    const std::pair<GLenum, GLint> values[] = {
        {GL_TEXTURE_BINDING_2D, static_cast<GLint>(gl.boundTexture)},
        {GL_MATRIX_MODE, static_cast<GLint>(gl.matrixMode)},
        {GL_MODELVIEW_STACK_DEPTH, gl.modelview.depth()},
        {GL_PROJECTION_STACK_DEPTH, gl.projection.depth()},
        {GL_MAX_MODELVIEW_STACK_DEPTH, webgl1::MaxStackDepth},
        {GL_MAX_PROJECTION_STACK_DEPTH, webgl1::MaxStackDepth},
        {GL_MAX_LIGHTS, webgl1::NumLights},
        {GL_MAX_TEXTURE_UNITS, 1},
        {GL_MAX_TEXTURE_SIZE, gl.maxTextureSize},
        {GL_SHADE_MODEL, d.flat ? GL_FLAT : GL_SMOOTH},
        {GL_BLEND_SRC, static_cast<GLint>(d.blendSource)},
        {GL_BLEND_DST, static_cast<GLint>(d.blendDestination)},
        {GL_DEPTH_FUNC, static_cast<GLint>(d.depthFunc)},
        {GL_CULL_FACE_MODE, static_cast<GLint>(d.cullMode)},
        {GL_FRONT_FACE, static_cast<GLint>(d.frontFace)},
        {GL_UNPACK_ALIGNMENT, gl.unpack.alignment},
        {GL_UNPACK_ROW_LENGTH, gl.unpack.rowLength},
        {GL_UNPACK_SKIP_ROWS, gl.unpack.skipRows},
        {GL_UNPACK_SKIP_PIXELS, gl.unpack.skipPixels},
        {GL_PACK_ALIGNMENT, gl.pack.alignment},
        {GL_PACK_ROW_LENGTH, gl.pack.rowLength},
        {GL_PACK_SKIP_ROWS, gl.pack.skipRows},
        {GL_PACK_SKIP_PIXELS, gl.pack.skipPixels},
    };
    for (const auto& [name, value] : values) {
        if (name == pname) {
            *out = value;
            return 1;
        }
    }
    return 0;
}

// The same for the state GL reports as floating point.
int LocalFloats(const Context& gl, GLenum pname, GLfloat* out) {
    switch (pname) {
        case GL_CURRENT_COLOR:
            return Copy(gl.color, out);
        case GL_CURRENT_NORMAL:
            return Copy(gl.normal, out);
        case GL_CURRENT_TEXTURE_COORDS: {
            const GLfloat coords[4] = {gl.texCoord[0], gl.texCoord[1], 0, 1};
            return Copy(coords, out);
        }
        case GL_COLOR_CLEAR_VALUE:
            return Copy(gl.clearColor, out);
        case GL_DEPTH_CLEAR_VALUE:
            *out = gl.clearDepth;
            return 1;
        case GL_MODELVIEW_MATRIX:
            return Copy(gl.modelview.top().m, out);
        case GL_PROJECTION_MATRIX:
            return Copy(gl.projection.top().m, out);
        case GL_BLEND_COLOR:
            return Copy(gl.draw.blendColor, out);
        default:
            return 0;
    }
}

// Either kind of local state as floats; 0 if pname is not one of them.
int LocalAsFloats(const Context& gl, GLenum pname, GLfloat* out) {
    GLint integers[4];
    const int floats = LocalFloats(gl, pname, out);
    if (floats != 0) {
        return floats;
    }
    const int count = LocalIntegers(gl, pname, integers);
    std::copy(integers, integers + count, out);
    return count;
}

}  // namespace

extern "C" {

GLenum glGetError(void) {
    Context& gl = CurrentContext();
    const GLenum own = std::exchange(gl.error, static_cast<GLenum>(GL_NO_ERROR));
    return own != GL_NO_ERROR ? own : gl.renderer.error();
}

const GLubyte* glGetString(GLenum name) {
    const char* text = nullptr;
    switch (name) {
        case GL_VENDOR:
            text = "StarTug";
            break;
        case GL_RENDERER:
            text = "OpenGL 1.x on WebGL 2";
            break;
        case GL_VERSION:
            text = Version;
            break;
        case GL_EXTENSIONS:
            text = Extensions;
            break;
        default:
            CurrentContext().recordError(GL_INVALID_ENUM);
            break;
    }
    return reinterpret_cast<const GLubyte*>(text);
}

const GLubyte* gluGetString(GLenum name) {
    return reinterpret_cast<const GLubyte*>(name == GLU_VERSION      ? "1.3"
                                            : name == GLU_EXTENSIONS ? ""
                                                                     : nullptr);
}

void glGetIntegerv(GLenum pname, GLint* values) {
    Context& gl = CurrentContext();
    GLfloat floats[16];
    if (!gl.outsideBeginEnd() || LocalIntegers(gl, pname, values) != 0) {
        return;
    }
    const int count = LocalFloats(gl, pname, floats);
    if (count == 0) {
        gl.renderer.getIntegers(pname, values);
    }
    for (int i = 0; i < count; ++i) {
        values[i] = static_cast<GLint>(std::lround(floats[i]));
    }
}

void glGetFloatv(GLenum pname, GLfloat* values) {
    Context& gl = CurrentContext();
    if (gl.outsideBeginEnd() && LocalAsFloats(gl, pname, values) == 0) {
        gl.renderer.getFloats(pname, values);
    }
}

// Only the state the layer keeps itself (matrices among it).
void glGetDoublev(GLenum pname, GLdouble* values) {
    Context& gl = CurrentContext();
    GLfloat floats[16];
    if (!gl.outsideBeginEnd()) {
        return;
    }
    const int count = LocalAsFloats(gl, pname, floats);
    if (count == 0) {
        gl.recordError(GL_INVALID_ENUM);
    }
    std::copy(floats, floats + count, values);
}

// GL_RGBA and GL_UNSIGNED_BYTE only, which is what WebGL reads.
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (format != GL_RGBA || type != GL_UNSIGNED_BYTE) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    if (width < 0 || height < 0) {
        gl.recordError(GL_INVALID_VALUE);
        return;
    }
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> read(row * height);
    gl.renderer.readRgba8(x, y, width, height, read.data());
    const std::size_t length = (gl.pack.rowLength > 0 ? gl.pack.rowLength : width) * 4;
    const std::size_t stride =
        (length + gl.pack.alignment - 1) / gl.pack.alignment * gl.pack.alignment;
    auto* out =
        static_cast<std::uint8_t*>(pixels) + gl.pack.skipRows * stride + gl.pack.skipPixels * 4;
    for (GLsizei j = 0; j < height; ++j) {
        std::memcpy(out + j * stride, read.data() + j * row, row);
    }
}

}  // extern "C"
