#pragma once

// Writes a picture as a TGA file in any of the layouts the game accepts, so tests make
// their own replacement art rather than keep binaries. Header-only: shared by the unit
// tests and the real-display tests.

#include <algorithm>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tgafile {

using Bytes = std::vector<unsigned char>;

struct Colour {
    int r, g, b, a;
};

// Colours row by row, the top row first.
struct Picture {
    int width, height;
    std::vector<Colour> pixels;
    const Colour& at(int x, int y) const { return pixels[y * width + x]; }
};

struct Layout {
    unsigned imageType;     // 1 colour-mapped, 2 true colour, 3 greyscale; +8 run-length
    unsigned bitsPerPixel;  // 8 for mapped and grey; 15, 16, 24 or 32 for true colour
    unsigned mapBits;       // colour-mapped only: bits of a map entry
    bool topLeft;           // rows stored from the top rather than from the bottom
    unsigned idBytes;

    bool mapped() const { return (imageType & 7) == 1; }
    bool grey() const { return (imageType & 7) == 3; }
    bool runLength() const { return (imageType & 8) != 0; }
    std::string name() const {
        std::string n = mapped() ? "mapped" : grey() ? "grey" : "rgb";
        n += std::to_string(bitsPerPixel);
        if (mapped()) n += "_map" + std::to_string(mapBits);
        n += runLength() ? "_rle" : "_raw";
        n += topLeft ? "_top" : "_bottom";
        if (idBytes > 0) n += "_id";
        return n;
    }
};

// Names the layout in test listings.
inline void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name(); }

// One of each layout: every type and depth, each origin and run-length at least once.
inline const std::vector<Layout> AcceptedLayouts = {
    {1, 8, 24, false, 0},  {1, 8, 32, true, 0},   {1, 8, 16, false, 7},  {9, 8, 24, true, 0},
    {9, 8, 32, false, 0},  {3, 8, 0, false, 0},   {11, 8, 0, true, 3},   {2, 15, 0, true, 0},
    {2, 16, 0, false, 0},  {10, 16, 0, true, 0},  {10, 15, 0, false, 0}, {2, 24, 0, false, 0},
    {2, 24, 0, true, 255}, {10, 24, 0, false, 0}, {10, 24, 0, true, 0},  {2, 32, 0, true, 0},
    {2, 32, 0, false, 0},  {10, 32, 0, false, 1}, {10, 32, 0, true, 0},
};

// How far a loaded channel may be from the picture's: Allegro keeps 6 bits of a palette
// entry (5 of a 16-bit one) and 5 bits of a 15/16-bit pixel.
inline int Tolerance(const Layout& layout) {
    if (layout.mapped()) return layout.mapBits == 16 ? 8 : 4;
    if (layout.grey()) return 4;
    return layout.bitsPerPixel <= 16 ? 8 : 0;
}

// What the layout can hold of a colour: grey keeps red, and only 32 bits keep alpha.
inline Colour Stored(const Layout& layout, Colour c) {
    if (layout.grey()) c.g = c.b = c.r;
    if (layout.bitsPerPixel != 32) c.a = 255;
    return c;
}

// A 7 x 3 picture with a distinct colour at each pixel but for pairs of equal neighbours,
// so run-length rows hold both run and raw packets.
inline Picture TestPicture() {
    constexpr int Column[] = {0, 0, 1, 2, 3, 3, 4};
    Picture p{7, 3, {}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const int c = Column[x] + 5 * y;
            p.pixels.push_back({(40 * c + 13) % 256, 255 - 17 * c, (91 * c) % 256, 255 - 16 * c});
        }
    }
    return p;
}

namespace detail {

inline void PutLe16(Bytes* out, unsigned v) {
    out->push_back(v & 0xFF);
    out->push_back(v >> 8);
}

inline unsigned Pack15(const Colour& c) {
    return (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3 | (c.a >= 128 ? 0x8000 : 0);
}

// A true-colour value in the file's byte order: B, G, R, then A.
inline void PutColour(Bytes* out, const Colour& c, unsigned bits) {
    if (bits <= 16) return PutLe16(out, Pack15(c));
    out->insert(out->end(), {static_cast<unsigned char>(c.b), static_cast<unsigned char>(c.g),
                             static_cast<unsigned char>(c.r)});
    if (bits == 32) out->push_back(static_cast<unsigned char>(c.a));
}

// Palette indices in order of first use.
struct ColourMap {
    std::vector<Colour> entries;
    std::map<std::vector<int>, int> index;

    int of(const Colour& c) {
        const auto [it, added] = index.emplace(std::vector<int>{c.r, c.g, c.b, c.a}, 0);
        if (added) {
            it->second = static_cast<int>(entries.size());
            entries.push_back(c);
        }
        return it->second;
    }
};

inline void RunLength(Bytes* out, const std::vector<Bytes>& row) {
    for (std::size_t x = 0; x < row.size();) {
        std::size_t n = 1;
        if (x + 1 < row.size() && row[x + 1] == row[x]) {
            while (x + n < row.size() && n < 128 && row[x + n] == row[x]) ++n;
            out->push_back(0x80 | (n - 1));
            out->insert(out->end(), row[x].begin(), row[x].end());
        } else {
            while (x + n < row.size() && n < 128 && row[x + n] != row[x + n - 1]) ++n;
            if (x + n < row.size()) --n;  // the last one starts the next run
            out->push_back(static_cast<unsigned char>(n - 1));
            for (std::size_t i = x; i < x + n; ++i)
                out->insert(out->end(), row[i].begin(), row[i].end());
        }
        x += n;
    }
}

}  // namespace detail

inline Bytes Encode(const Picture& picture, const Layout& layout) {
    detail::ColourMap map;
    std::vector<std::vector<Bytes>> rows;
    for (int y = 0; y < picture.height; ++y) {
        std::vector<Bytes> row;
        for (int x = 0; x < picture.width; ++x) {
            const Colour& c = picture.at(x, y);
            Bytes pixel;
            if (layout.mapped()) {
                pixel.push_back(static_cast<unsigned char>(map.of(c)));
            } else if (layout.grey()) {
                pixel.push_back(static_cast<unsigned char>(c.r));
            } else {
                detail::PutColour(&pixel, c, layout.bitsPerPixel);
            }
            row.push_back(pixel);
        }
        rows.push_back(row);
    }
    if (!layout.topLeft) std::reverse(rows.begin(), rows.end());

    Bytes out = {static_cast<unsigned char>(layout.idBytes),
                 static_cast<unsigned char>(layout.mapped() ? 1 : 0),
                 static_cast<unsigned char>(layout.imageType)};
    detail::PutLe16(&out, 0);
    detail::PutLe16(&out, static_cast<unsigned>(map.entries.size()));
    out.push_back(static_cast<unsigned char>(layout.mapBits));
    for (unsigned v : {0, 0, picture.width, picture.height}) detail::PutLe16(&out, v);
    const unsigned alphaBits = layout.bitsPerPixel == 32 ? 8 : layout.bitsPerPixel == 16 ? 1 : 0;
    out.push_back(static_cast<unsigned char>(layout.bitsPerPixel));
    out.push_back(static_cast<unsigned char>((layout.topLeft ? 0x20 : 0) | alphaBits));
    for (unsigned i = 0; i < layout.idBytes; ++i) out.push_back('A' + i % 26);
    for (const Colour& c : map.entries) detail::PutColour(&out, c, layout.mapBits);
    for (const std::vector<Bytes>& row : rows) {
        if (layout.runLength()) {
            detail::RunLength(&out, row);
        } else {
            for (const Bytes& pixel : row) out.insert(out.end(), pixel.begin(), pixel.end());
        }
    }
    return out;
}

// Whether every channel of a loaded colour is within the layout's precision of the colour
// the picture holds.
inline bool Matches(const Layout& layout, const Colour& picture, const Colour& loaded) {
    const Colour want = Stored(layout, picture);
    const int tolerance = Tolerance(layout);
    return std::abs(want.r - loaded.r) <= tolerance && std::abs(want.g - loaded.g) <= tolerance &&
           std::abs(want.b - loaded.b) <= tolerance && want.a == loaded.a;
}

}  // namespace tgafile
