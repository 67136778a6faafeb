// A floating-point RGBA image that every painter works on; Allegro only sees the
// result when it is written to disk.
#pragma once

#include <string>
#include <vector>

// Channels in 0..1. Painters may overshoot while adding light; values are clamped
// only when quantised for a file.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

Colour operator+(Colour x, Colour y);
Colour operator*(Colour c, float k);
Colour Mix(Colour x, Colour y, float t);
// A channel as a file stores it: clamped to 0..1, then 0..255.
int Quantise(float value);
// Multiplies the colour channels only, leaving alpha alone.
Colour Shade(Colour c, float k);

class Canvas {
  public:
    Canvas(int width, int height, Colour fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Colour& at(int x, int y) { return pixels_[index(x, y)]; }
    const Colour& at(int x, int y) const { return pixels_[index(x, y)]; }
    // Coordinates wrap around, so tiling textures can be painted across their edges.
    Colour& wrapped(int x, int y);
    // Bilinear lookup with u, v in 0..1 from the top-left corner, repeating.
    Colour sample(float u, float v) const;

  private:
    int index(int x, int y) const { return y * width_ + x; }

    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// Paints every pixel with paint(u, v), u and v in 0..1 from the top-left corner,
// averaging samples x samples points per pixel to smooth hard edges.
template <class Painter>
Canvas Paint(int width, int height, int samples, Painter paint) {
    Canvas canvas(width, height);
    const float weight = 1.0f / static_cast<float>(samples * samples);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour sum{0.0f, 0.0f, 0.0f, 0.0f};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float u = (static_cast<float>(x) + (sx + 0.5f) / samples) / width;
                    const float v = (static_cast<float>(y) + (sy + 0.5f) / samples) / height;
                    sum = sum + paint(u, v) * weight;
                }
            }
            canvas.at(x, y) = sum;
        }
    }
    return canvas;
}

// Writes an uncompressed TGA with Allegro's save_tga: 24-bit, or 32-bit with the
// alpha channel. Throws std::runtime_error on failure.
void SaveTga(const Canvas& canvas, const std::string& path, bool withAlpha);
// Writes a 24-bit BMP, the picture format of Windows installers, with Allegro's save_bmp.
// Throws std::runtime_error on failure.
void SaveBmp(const Canvas& canvas, const std::string& path);
// The canvas as an 8-bit RGBA PNG file's bytes, encoded with libpng. Throws
// std::runtime_error on failure.
std::string FormatPng(const Canvas& canvas);
// Reads any image Allegro can load, keeping its own depth; alpha is 1 unless the
// file is 32-bit. Throws std::runtime_error on failure.
Canvas LoadImage(const std::string& path);
