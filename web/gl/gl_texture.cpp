// Texture objects and images. Every image is converted to RGBA8 on upload (see BaseFormat),
// which gives WebGL the formats it lacks (BGRA, luminance, intensity, packed types).

#include "context.h"

#include <GL/gl.h>

#include <algorithm>
#include <utility>
#include <vector>

using webgl1::CurrentContext;

namespace {

// What glGetTexLevelParameteriv reports for GL_PROXY_TEXTURE_2D: the last proxy image.
struct ProxyImage {
    GLint width = 0;
    GLint height = 0;
    GLint internalFormat = 0;
};

ProxyImage proxy;

// The error glTexImage2D raises for these arguments, or GL_NO_ERROR.
GLenum CheckImage(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type) {
    webgl1::BaseFormat base;
    if (target != GL_TEXTURE_2D && target != GL_PROXY_TEXTURE_2D) {
        return GL_INVALID_ENUM;
    }
    const GLint max = CurrentContext().maxTextureSize;
    if (level < 0 || level > 31 || (max >> level) == 0 || width < 0 || height < 0 || border != 0 ||
        !webgl1::BaseFormatOf(internalFormat, &base)) {
        return GL_INVALID_VALUE;
    }
    return webgl1::CheckFormatAndType(format, type);
}

// The glPixelStorei state pname names; nullptr for one the layer does not keep.
GLint* PixelStoreField(webgl1::Context& gl, GLenum pname) {
    const std::pair<GLenum, GLint*> fields[] = {
        {GL_UNPACK_ALIGNMENT, &gl.unpack.alignment}, {GL_UNPACK_ROW_LENGTH, &gl.unpack.rowLength},
        {GL_UNPACK_SKIP_ROWS, &gl.unpack.skipRows},  {GL_UNPACK_SKIP_PIXELS, &gl.unpack.skipPixels},
        {GL_PACK_ALIGNMENT, &gl.pack.alignment},     {GL_PACK_ROW_LENGTH, &gl.pack.rowLength},
        {GL_PACK_SKIP_ROWS, &gl.pack.skipRows},      {GL_PACK_SKIP_PIXELS, &gl.pack.skipPixels},
    };
    for (const auto& [name, field] : fields) {
        if (name == pname) {
            return field;
        }
    }
    return nullptr;
}

bool IsTextureParameter(GLenum pname, GLint value) {
    switch (pname) {
        case GL_TEXTURE_MIN_FILTER:
            return value == GL_NEAREST || value == GL_LINEAR ||
                   (value >= GL_NEAREST_MIPMAP_NEAREST && value <= GL_LINEAR_MIPMAP_LINEAR);
        case GL_TEXTURE_MAG_FILTER:
            return value == GL_NEAREST || value == GL_LINEAR;
        case GL_TEXTURE_WRAP_S:
        case GL_TEXTURE_WRAP_T:
            return value == GL_REPEAT || value == GL_CLAMP || value == GL_CLAMP_TO_EDGE ||
                   value == GL_MIRRORED_REPEAT;
        default:
            return false;
    }
}

// The error glTexSubImage2D or glCopyTexSubImage2D raises for this rectangle of a level, or
// GL_NO_ERROR.
GLenum CheckSubImage(GLenum target, const webgl1::TextureObject& texture, GLint level, GLint x,
                     GLint y, GLsizei width, GLsizei height) {
    if (target != GL_TEXTURE_2D) {
        return GL_INVALID_ENUM;
    }
    if (level < 0 || level > 31 || (texture.levels >> level & 1) == 0) {
        return level < 0 || level > 31 ? GL_INVALID_VALUE : GL_INVALID_OPERATION;
    }
    const GLint levelWidth = std::max(texture.width >> level, 1);
    const GLint levelHeight = std::max(texture.height >> level, 1);
    const bool inside = x >= 0 && y >= 0 && width >= 0 && height >= 0 && x + width <= levelWidth &&
                        y + height <= levelHeight;
    return inside ? GL_NO_ERROR : GL_INVALID_VALUE;
}

// A proxy image that would not fit reads back as all zeros, as GL 1.x says.
void SetProxy(GLint level, GLint internalFormat, GLsizei width, GLsizei height) {
    const GLint max = CurrentContext().maxTextureSize >> level;
    const bool fits = width <= max && height <= max;
    proxy = fits ? ProxyImage{width, height, internalFormat} : ProxyImage{};
}

// The framebuffer's pixels as RGBA8 texels of the base format.
std::vector<std::uint8_t> ReadTexels(webgl1::Context& gl, GLint x, GLint y, GLsizei width,
                                     GLsizei height, webgl1::BaseFormat base) {
    const std::size_t size = static_cast<std::size_t>(width) * height * 4;
    std::vector<std::uint8_t> pixels(size);
    std::vector<std::uint8_t> texels(size);
    gl.renderer.readRgba8(x, y, width, height, pixels.data());
    webgl1::UnpackToRgba8(pixels.data(), width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                          webgl1::PixelStore{}, base, texels.data());
    return texels;
}

// Gives a level of the texture its RGBA8 texels.
void Define(webgl1::Context& gl, webgl1::TextureObject& texture, GLint level, GLint internalFormat,
            GLsizei width, GLsizei height, const std::uint8_t* texels) {
    gl.renderer.texImage(texture.webgl, level, width, height, texels);
    if (level == 0) {
        texture.width = width;
        texture.height = height;
        texture.internalFormat = internalFormat;
    }
    texture.levels |= 1u << level;
}

void Upload(webgl1::Context& gl, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
            GLenum format, GLenum type, const void* pixels) {
    webgl1::TextureObject& texture = gl.boundObject();
    webgl1::BaseFormatOf(internalFormat, &texture.base);
    gl.texels.resize(static_cast<std::size_t>(width) * height * 4);
    if (pixels != nullptr) {
        webgl1::UnpackToRgba8(pixels, width, height, format, type, gl.unpack, texture.base,
                              gl.texels.data());
    } else {
        std::fill(gl.texels.begin(), gl.texels.end(), 0);  // GL leaves them undefined
    }
    Define(gl, texture, level, internalFormat, width, height, gl.texels.data());
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* names) {
    static GLuint next = 1;
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    for (GLsizei i = 0; i < n; ++i) {
        while (gl.textures.count(next) != 0) {
            ++next;
        }
        names[i] = next;
        gl.textures[next];  // reserved until deleted, as GL's generated names are
    }
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    for (GLsizei i = 0; i < n; ++i) {
        const auto found = gl.textures.find(names[i]);
        if (names[i] == 0 || found == gl.textures.end()) {
            continue;
        }
        if (found->second.webgl != 0) {
            gl.renderer.deleteTexture(found->second.webgl);
        }
        gl.textures.erase(found);
        if (gl.boundTexture == names[i]) {
            gl.boundTexture = 0;
        }
    }
}

void glBindTexture(GLenum target, GLuint name) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (target != GL_TEXTURE_2D) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    gl.boundTexture = name;
    gl.textures[name];
}

// Filters and wrap modes only; GL_CLAMP becomes GL_CLAMP_TO_EDGE, as WebGL has no texture
// borders.
void glTexParameteri(GLenum target, GLenum pname, GLint value) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (target != GL_TEXTURE_2D || !IsTextureParameter(pname, value)) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    webgl1::TextureObject& texture = gl.boundObject();
    if (pname == GL_TEXTURE_MIN_FILTER) {
        texture.minFilter = value;
    }
    gl.renderer.texParameter(texture.webgl, pname, value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value);
}

void glPixelStorei(GLenum pname, GLint value) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    const bool alignment = pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT;
    if (alignment ? value != 1 && value != 2 && value != 4 && value != 8 : value < 0) {
        gl.recordError(GL_INVALID_VALUE);
        return;
    }
    GLint* field = PixelStoreField(gl, pname);
    if (field == nullptr) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    *field = value;
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    const GLenum error =
        CheckImage(target, level, internalFormat, width, height, border, format, type);
    if (error != GL_NO_ERROR) {
        gl.recordError(error);
    } else if (target == GL_PROXY_TEXTURE_2D) {
        SetProxy(level, internalFormat, width, height);
    } else if (width > gl.maxTextureSize || height > gl.maxTextureSize) {
        gl.recordError(GL_INVALID_VALUE);
    } else {
        Upload(gl, level, internalFormat, width, height, format, type, pixels);
    }
}

void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const GLvoid* pixels) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    webgl1::TextureObject& texture = gl.boundObject();
    GLenum error = CheckSubImage(target, texture, level, x, y, width, height);
    if (error == GL_NO_ERROR) {
        error = webgl1::CheckFormatAndType(format, type);
    }
    if (error != GL_NO_ERROR) {
        gl.recordError(error);
        return;
    }
    gl.texels.resize(static_cast<std::size_t>(width) * height * 4);
    webgl1::UnpackToRgba8(pixels, width, height, format, type, gl.unpack, texture.base,
                          gl.texels.data());
    gl.renderer.texSubImage(texture.webgl, level, x, y, width, height, gl.texels.data());
}

// Read back and converted like any image: WebGL copies only to formats the RGB framebuffer
// has all components of, which GL_RGBA or GL_ALPHA are not.
void glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y,
                      GLsizei width, GLsizei height, GLint border) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    const GLenum error = target == GL_PROXY_TEXTURE_2D
                             ? GL_INVALID_ENUM
                             : CheckImage(target, level, internalFormat, width, height, border,
                                          GL_RGBA, GL_UNSIGNED_BYTE);
    if (error != GL_NO_ERROR) {
        gl.recordError(error);
        return;
    }
    webgl1::TextureObject& texture = gl.boundObject();
    webgl1::BaseFormatOf(static_cast<GLint>(internalFormat), &texture.base);
    const std::vector<std::uint8_t> texels = ReadTexels(gl, x, y, width, height, texture.base);
    Define(gl, texture, level, internalFormat, width, height, texels.data());
}

void glCopyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y,
                         GLsizei width, GLsizei height) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    webgl1::TextureObject& texture = gl.boundObject();
    const GLenum error = CheckSubImage(target, texture, level, xOffset, yOffset, width, height);
    if (error != GL_NO_ERROR) {
        gl.recordError(error);
        return;
    }
    const std::vector<std::uint8_t> texels = ReadTexels(gl, x, y, width, height, texture.base);
    gl.renderer.texSubImage(texture.webgl, level, xOffset, yOffset, width, height, texels.data());
}

void glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* value) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (level < 0 || level > 31) {
        gl.recordError(GL_INVALID_VALUE);
        return;
    }
    ProxyImage image = proxy;
    if (target == GL_TEXTURE_2D) {
        const webgl1::TextureObject& texture = gl.boundObject();
        const bool defined = (texture.levels >> level & 1) != 0;
        image = defined ? ProxyImage{std::max(texture.width >> level, 1),
                                     std::max(texture.height >> level, 1), texture.internalFormat}
                        : ProxyImage{};
    } else if (target != GL_PROXY_TEXTURE_2D) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    switch (pname) {
        case GL_TEXTURE_WIDTH:
            *value = image.width;
            break;
        case GL_TEXTURE_HEIGHT:
            *value = image.height;
            break;
        case GL_TEXTURE_COMPONENTS:
            *value = image.internalFormat;
            break;
        default:
            gl.recordError(GL_INVALID_ENUM);
            break;
    }
}

// Only GL_MODULATE, GL's default, is drawn.
void glTexEnvi(GLenum target, GLenum pname, GLint value) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE || value != GL_MODULATE) {
        gl.recordError(GL_INVALID_ENUM);
    }
}

}  // extern "C"
