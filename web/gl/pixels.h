#pragma once

#include <GL/gl.h>

#include <cstdint>

namespace webgl1 {

// The base internal format a texture keeps; every texture is stored as RGBA8 texels that,
// modulated with a fragment's colour, give what GL_MODULATE gives for that base format.
enum class BaseFormat { Alpha, Luminance, LuminanceAlpha, Intensity, Rgb, Rgba };

// The glPixelStorei(GL_UNPACK_...) state.
struct PixelStore {
    int alignment = 4;
    int rowLength = 0;  // 0: rows are as long as the image
    int skipRows = 0;
    int skipPixels = 0;
};

// The base format of an internal format as glTexImage2D accepts it (1 to 4, or a GL 1.x
// unsized or sized enum); false if it names none.
bool BaseFormatOf(GLint internalFormat, BaseFormat* base);

// GL_NO_ERROR if glTexImage2D takes pixels of this format and type, else the error it raises:
// GL_INVALID_ENUM for an unknown format or type, GL_INVALID_OPERATION for a packed type the
// format cannot use (GL_UNSIGNED_SHORT_5_6_5 needs GL_RGB, the four-component ones RGBA/BGRA).
GLenum CheckFormatAndType(GLenum format, GLenum type);

// Converts width x height pixels (a checked format and type) at pixels, addressed as the
// unpack state says, to RGBA8 texels of the base format at out (width * height * 4 bytes, rows
// bottom to top as given). As in GL, a missing red, green or blue reads 0 and a missing alpha
// 1; luminance and intensity are taken from red.
void UnpackToRgba8(const void* pixels, int width, int height, GLenum format, GLenum type,
                   const PixelStore& store, BaseFormat base, std::uint8_t* out);

}  // namespace webgl1
