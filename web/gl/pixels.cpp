#include "pixels.h"

#include <array>
#include <cstring>

namespace webgl1 {

namespace {

// How one pixel of a given type is laid out: its size in bytes and, for packed types, the
// width in bits of each component, the first component in the most significant bits unless
// reversed.
struct TypeLayout {
    GLenum type;
    int bytes;
    std::array<int, 4> bits;  // 0 past the last component; all 0 for GL_UNSIGNED_BYTE
    bool reversed;
};

constexpr TypeLayout TypeLayouts[] = {
    {GL_UNSIGNED_BYTE, 1, {0, 0, 0, 0}, false},
    {GL_UNSIGNED_BYTE_3_3_2, 1, {3, 3, 2, 0}, false},
    {GL_UNSIGNED_BYTE_2_3_3_REV, 1, {3, 3, 2, 0}, true},
    {GL_UNSIGNED_SHORT_5_6_5, 2, {5, 6, 5, 0}, false},
    {GL_UNSIGNED_SHORT_5_6_5_REV, 2, {5, 6, 5, 0}, true},
    {GL_UNSIGNED_SHORT_4_4_4_4, 2, {4, 4, 4, 4}, false},
    {GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, {4, 4, 4, 4}, true},
    {GL_UNSIGNED_SHORT_5_5_5_1, 2, {5, 5, 5, 1}, false},
    {GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, {5, 5, 5, 1}, true},
    {GL_UNSIGNED_INT_8_8_8_8, 4, {8, 8, 8, 8}, false},
    {GL_UNSIGNED_INT_8_8_8_8_REV, 4, {8, 8, 8, 8}, true},
};

const TypeLayout* LayoutOf(GLenum type) {
    for (const TypeLayout& layout : TypeLayouts) {
        if (layout.type == type) {
            return &layout;
        }
    }
    return nullptr;
}

bool IsPacked(const TypeLayout& layout) { return layout.bits[0] != 0; }

int PackedComponents(const TypeLayout& layout) { return layout.bits[3] != 0 ? 4 : 3; }

// Which RGBA channel each component of a format fills, in the order the format lists them.
struct FormatLayout {
    GLenum format;
    int count;
    std::array<int, 4> channel;  // 0 red, 1 green, 2 blue, 3 alpha, 4 luminance (r, g and b)
};

constexpr int Luminance = 4;

constexpr FormatLayout FormatLayouts[] = {
    {GL_RED, 1, {0}},
    {GL_ALPHA, 1, {3}},
    {GL_LUMINANCE, 1, {Luminance}},
    {GL_LUMINANCE_ALPHA, 2, {Luminance, 3}},
    {GL_RGB, 3, {0, 1, 2}},
    {GL_BGR, 3, {2, 1, 0}},
    {GL_RGBA, 4, {0, 1, 2, 3}},
    {GL_BGRA, 4, {2, 1, 0, 3}},
};

const FormatLayout* FormatOf(GLenum format) {
    for (const FormatLayout& layout : FormatLayouts) {
        if (layout.format == format) {
            return &layout;
        }
    }
    return nullptr;
}

// An n-bit unsigned normalized value widened to 8 bits by repeating its bits, as Mesa does
// (5-bit 3 becomes 24, where rounding 3 * 255 / 31 would give 25).
std::uint8_t Widen(std::uint32_t value, int bits) {
    std::uint32_t result = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) {
        result |= result >> bits;
    }
    return static_cast<std::uint8_t>(result);
}

std::uint32_t ReadElement(const std::uint8_t* p, int bytes) {
    switch (bytes) {
        case 1:
            return p[0];
        case 2: {
            std::uint16_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        default: {
            std::uint32_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
    }
}

// The components of the packed pixel at p, in the format's order, as 8-bit values.
std::array<std::uint8_t, 4> ReadPacked(const std::uint8_t* p, const TypeLayout& type, int count) {
    std::array<std::uint8_t, 4> components = {};
    const std::uint32_t element = ReadElement(p, type.bytes);
    int shift = type.reversed ? 0 : type.bytes * 8;
    for (int i = 0; i < count; ++i) {
        const int bits = type.bits[i];
        if (!type.reversed) {
            shift -= bits;
        }
        components[i] = Widen((element >> shift) & ((1u << bits) - 1), bits);
        if (type.reversed) {
            shift += bits;
        }
    }
    return components;
}

// Where each channel of a stored texel comes from: a component of the source pixel, in the
// format's order, or one of these constants.
constexpr int Zero = -1;
constexpr int One = -2;

std::array<int, 4> TexelSources(const FormatLayout& f, BaseFormat base) {
    // The source's red, green, blue and alpha; missing colours read 0 and missing alpha 1.
    std::array<int, 4> rgba = {Zero, Zero, Zero, One};
    for (int i = 0; i < f.count; ++i) {
        if (f.channel[i] == Luminance) {
            rgba[0] = rgba[1] = rgba[2] = i;
        } else {
            rgba[f.channel[i]] = i;
        }
    }
    const int r = rgba[0];
    const int a = rgba[3];
    switch (base) {
        case BaseFormat::Alpha:
            return {One, One, One, a};
        case BaseFormat::Luminance:
            return {r, r, r, One};
        case BaseFormat::LuminanceAlpha:
            return {r, r, r, a};
        case BaseFormat::Intensity:
            return {r, r, r, r};
        case BaseFormat::Rgb:
            return {r, rgba[1], rgba[2], One};
        case BaseFormat::Rgba:
            break;
    }
    return rgba;
}

// Bytes from one row's start to the next, as GL's unpack rules give them.
std::size_t RowStride(int width, const PixelStore& store, int pixelBytes, int elementBytes) {
    const std::size_t length = store.rowLength > 0 ? store.rowLength : width;
    const std::size_t bytes = length * pixelBytes;
    if (elementBytes >= store.alignment) {
        return bytes;
    }
    return (bytes + store.alignment - 1) / store.alignment * store.alignment;
}

}  // namespace

bool BaseFormatOf(GLint internalFormat, BaseFormat* base) {
    switch (internalFormat) {
        case GL_ALPHA:
        case GL_ALPHA4:
        case GL_ALPHA8:
        case GL_ALPHA12:
        case GL_ALPHA16:
            *base = BaseFormat::Alpha;
            return true;
        case 1:
        case GL_LUMINANCE:
        case GL_LUMINANCE4:
        case GL_LUMINANCE8:
        case GL_LUMINANCE12:
        case GL_LUMINANCE16:
            *base = BaseFormat::Luminance;
            return true;
        case 2:
        case GL_LUMINANCE_ALPHA:
        case GL_LUMINANCE4_ALPHA4:
        case GL_LUMINANCE6_ALPHA2:
        case GL_LUMINANCE8_ALPHA8:
        case GL_LUMINANCE12_ALPHA4:
        case GL_LUMINANCE12_ALPHA12:
        case GL_LUMINANCE16_ALPHA16:
            *base = BaseFormat::LuminanceAlpha;
            return true;
        case GL_INTENSITY:
        case GL_INTENSITY4:
        case GL_INTENSITY8:
        case GL_INTENSITY12:
        case GL_INTENSITY16:
            *base = BaseFormat::Intensity;
            return true;
        case 3:
        case GL_RGB:
        case GL_R3_G3_B2:
        case GL_RGB4:
        case GL_RGB5:
        case GL_RGB8:
        case GL_RGB10:
        case GL_RGB12:
        case GL_RGB16:
            *base = BaseFormat::Rgb;
            return true;
        case 4:
        case GL_RGBA:
        case GL_RGBA2:
        case GL_RGBA4:
        case GL_RGB5_A1:
        case GL_RGBA8:
        case GL_RGB10_A2:
        case GL_RGBA12:
        case GL_RGBA16:
            *base = BaseFormat::Rgba;
            return true;
        default:
            return false;
    }
}

GLenum CheckFormatAndType(GLenum format, GLenum type) {
    const FormatLayout* f = FormatOf(format);
    const TypeLayout* t = LayoutOf(type);
    if (f == nullptr || t == nullptr) {
        return GL_INVALID_ENUM;
    }
    if (IsPacked(*t) && PackedComponents(*t) != f->count) {
        return GL_INVALID_OPERATION;
    }
    return GL_NO_ERROR;
}

void UnpackToRgba8(const void* pixels, int width, int height, GLenum format, GLenum type,
                   const PixelStore& store, BaseFormat base, std::uint8_t* out) {
    const FormatLayout& f = *FormatOf(format);
    const TypeLayout& t = *LayoutOf(type);
    const int pixelBytes = IsPacked(t) ? t.bytes : f.count;
    const std::size_t stride = RowStride(width, store, pixelBytes, t.bytes);
    const auto* source = static_cast<const std::uint8_t*>(pixels) + store.skipRows * stride +
                         static_cast<std::size_t>(store.skipPixels) * pixelBytes;
    const std::array<int, 4> from = TexelSources(f, base);
    for (int y = 0; y < height; ++y, source += stride) {
        const std::uint8_t* p = source;
        for (int x = 0; x < width; ++x, p += pixelBytes, out += 4) {
            std::array<std::uint8_t, 4> packed;
            if (IsPacked(t)) {
                packed = ReadPacked(p, t, f.count);
            }
            const std::uint8_t* components = IsPacked(t) ? packed.data() : p;
            for (int c = 0; c < 4; ++c) {
                out[c] = from[c] >= 0 ? components[from[c]] : from[c] == Zero ? 0 : 255;
            }
        }
    }
}

}  // namespace webgl1
