#include "canvas.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <png.h>
#include <stdexcept>

Colour operator+(Colour x, Colour y) { return {x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a}; }

Colour operator*(Colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a * k}; }

Colour Mix(Colour x, Colour y, float t) { return x * (1.0f - t) + y * t; }

Colour Shade(Colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Colour& Canvas::wrapped(int x, int y) {
    const int wx = ((x % width_) + width_) % width_;
    const int wy = ((y % height_) + height_) % height_;
    return at(wx, wy);
}

Colour Canvas::sample(float u, float v) const {
    const float fx = u * width_ - 0.5f;
    const float fy = v * height_ - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0;
    const float ty = fy - y0;
    auto texel = [this](int x, int y) {
        return at(((x % width_) + width_) % width_, ((y % height_) + height_) % height_);
    };
    const Colour top = Mix(texel(x0, y0), texel(x0 + 1, y0), tx);
    const Colour bottom = Mix(texel(x0, y0 + 1), texel(x0 + 1, y0 + 1), tx);
    return Mix(top, bottom, ty);
}

int Quantise(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

namespace {

float Unquantise(int value) { return static_cast<float>(value) / 255.0f; }

// The canvas as an Allegro bitmap of 24 or 32 bits; the caller destroys it.
BITMAP* ToBitmap(const Canvas& canvas, int depth, const std::string& path) {
    BITMAP* bitmap = create_bitmap_ex(depth, canvas.width(), canvas.height());
    if (!bitmap) throw std::runtime_error("cannot create a bitmap for " + path);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Colour& c = canvas.at(x, y);
            // makecol32 would leave alpha at 0, which reads as fully transparent.
            const int packed =
                depth == 32 ? makeacol32(Quantise(c.r), Quantise(c.g), Quantise(c.b), Quantise(c.a))
                            : makecol24(Quantise(c.r), Quantise(c.g), Quantise(c.b));
            putpixel(bitmap, x, y, packed);
        }
    }
    return bitmap;
}

template <class Saver>
void SaveBitmap(const Canvas& canvas, const std::string& path, int depth, Saver save) {
    BITMAP* bitmap = ToBitmap(canvas, depth, path);
    const int result = save(path.c_str(), bitmap, nullptr);
    destroy_bitmap(bitmap);
    if (result != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void SaveTga(const Canvas& canvas, const std::string& path, bool withAlpha) {
    SaveBitmap(canvas, path, withAlpha ? 32 : 24, save_tga);
}

void SaveBmp(const Canvas& canvas, const std::string& path) {
    SaveBitmap(canvas, path, 24, save_bmp);
}

std::string FormatPng(const Canvas& canvas) {
    std::vector<png_byte> pixels;
    pixels.reserve(static_cast<size_t>(canvas.width()) * canvas.height() * 4);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Colour& c = canvas.at(x, y);
            for (const float channel : {c.r, c.g, c.b, c.a})
                pixels.push_back(static_cast<png_byte>(Quantise(channel)));
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width());
    image.height = static_cast<png_uint_32>(canvas.height());
    image.format = PNG_FORMAT_RGBA;
    // The first call measures, the second writes.
    png_alloc_size_t size = 0;
    std::string png;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
        png.resize(size);
        if (png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr))
            return png;
    }
    throw std::runtime_error(std::string("cannot encode a PNG: ") + image.message);
}

Canvas LoadImage(const std::string& path) {
    set_color_conversion(COLORCONV_NONE);
    PALETTE palette;
    BITMAP* bitmap = load_bitmap(path.c_str(), palette);
    if (!bitmap) throw std::runtime_error("cannot read " + path);
    select_palette(palette);
    const int depth = bitmap_color_depth(bitmap);
    Canvas canvas(bitmap->w, bitmap->h);
    for (int y = 0; y < bitmap->h; ++y) {
        for (int x = 0; x < bitmap->w; ++x) {
            const int pixel = getpixel(bitmap, x, y);
            canvas.at(x, y) = {Unquantise(getr_depth(depth, pixel)),
                               Unquantise(getg_depth(depth, pixel)),
                               Unquantise(getb_depth(depth, pixel)),
                               depth == 32 ? Unquantise(geta32(pixel)) : 1.0f};
        }
    }
    unselect_palette();
    destroy_bitmap(bitmap);
    return canvas;
}
