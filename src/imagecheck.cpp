#include "imagecheck.h"

#include "mappedfile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// Allegro sizes a bitmap as (width * height + 1) * bytes per pixel in an int; AllegroGL and
// our own conversion work on copies of up to 4 bytes a pixel. Past this count that product
// overflows.
constexpr std::size_t MaxPixels = INT_MAX / 4 - 1;

// Two 16-bit sides multiplied in 64 bits: with a 32-bit size_t (WebAssembly) 65536 x 65536
// would wrap to zero.
bool TooManyPixels(std::size_t width, std::size_t height) {
    return std::uint64_t{width} * height > MaxPixels;
}

constexpr std::size_t TgaHeaderBytes = 18;
constexpr unsigned TgaColourMapped = 1, TgaTrueColour = 2, TgaGreyscale = 3;
constexpr unsigned TgaRunLengthBit = 8;
constexpr unsigned TgaRunFlag = 0x80;
// Allegro reads the colour map into a 256-entry stack array, whatever the header says.
constexpr std::size_t TgaMaxColourMap = 256;

constexpr std::size_t PcxHeaderBytes = 128;
constexpr unsigned PcxRunMarker = 0xC0;  // top two bits set: a run, its length in the other six

bool Fail(std::string* why, const char* reason) {
    if (why != nullptr) *why = reason;
    return false;
}

std::size_t Le16(const unsigned char* p) { return p[0] | std::size_t{p[1]} << 8; }

// Walks the run-length packets of every row without decoding them. A packet that runs past
// the end of its row makes Allegro write past the end of the bitmap.
bool CheckTgaPackets(const unsigned char* data, std::size_t size, std::size_t width,
                     std::size_t height, std::size_t pixelBytes, std::string* why) {
    std::size_t at = 0;
    for (std::size_t row = 0; row < height; ++row) {
        for (std::size_t left = width; left > 0;) {
            if (at >= size) return Fail(why, "run-length data truncated");
            const unsigned packet = data[at++];
            const std::size_t count = (packet & ~TgaRunFlag) + 1;
            if (count > left) return Fail(why, "run-length packet crosses the end of its row");
            const std::size_t dataBytes = (packet & TgaRunFlag) ? pixelBytes : count * pixelBytes;
            if (size - at < dataBytes) return Fail(why, "run-length data truncated");
            at += dataBytes;
            left -= count;
        }
    }
    return true;
}

// The fields of a TGA header that decide how Allegro reads the rest.
struct TgaHeader {
    explicit TgaHeader(const unsigned char* data)
        : idBytes(data[0]),
          mapType(data[1]),
          imageType(data[2] & ~TgaRunLengthBit),
          runLength((data[2] & TgaRunLengthBit) != 0),
          mapOrigin(Le16(data + 3)),
          mapLength(Le16(data + 5)),
          mapBits(data[7]),
          width(Le16(data + 12)),
          height(Le16(data + 14)),
          bitsPerPixel(data[16]) {}

    std::size_t mapBytes() const { return mapType == 1 ? mapLength * ((mapBits + 7) / 8) : 0; }
    std::size_t pixelBytes() const { return (bitsPerPixel + 7) / 8; }

    unsigned idBytes, mapType, imageType;
    bool runLength;
    std::size_t mapOrigin, mapLength;
    unsigned mapBits;
    std::size_t width, height;
    unsigned bitsPerPixel;
};

// Allegro reads map entries of 16, 24 and 32 bits, each into the palette entry of its own
// position: other sizes, or a map that starts past entry 0, come out in the wrong colours.
bool CheckTgaColourMap(const TgaHeader& h, std::string* why) {
    if (h.mapType != 1) return Fail(why, "colour-mapped image without a colour map");
    if (h.bitsPerPixel != 8) return Fail(why, "colour-mapped image not 8 bits per pixel");
    if (h.mapLength == 0) return Fail(why, "colour map empty");
    if (h.mapOrigin != 0) return Fail(why, "colour map not starting at entry 0");
    if (h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32) {
        return Fail(why, "colour map entries not 16, 24 or 32 bits");
    }
    return true;
}

bool CheckTgaLayout(const TgaHeader& h, std::string* why) {
    if (h.mapType > 1) return Fail(why, "unknown colour map type");
    if (h.mapType == 1 && h.mapLength > TgaMaxColourMap) {
        return Fail(why, "colour map longer than 256 entries");
    }
    switch (h.imageType) {
        case TgaColourMapped:
            return CheckTgaColourMap(h, why);
        case TgaTrueColour:
            if (h.mapType != 0) return Fail(why, "colour map beside true-colour pixels");
            if (h.bitsPerPixel != 15 && h.bitsPerPixel != 16 && h.bitsPerPixel != 24 &&
                h.bitsPerPixel != 32) {
                return Fail(why, "true colour not 15, 16, 24 or 32 bits per pixel");
            }
            return true;
        case TgaGreyscale:
            if (h.mapType != 0) return Fail(why, "colour map beside greyscale pixels");
            if (h.bitsPerPixel != 8) return Fail(why, "greyscale not 8 bits per pixel");
            return true;
        default:
            return Fail(why, "not a colour-mapped, true-colour or greyscale image");
    }
}

// One PCX decoded into a mask of its border pixels, the grid lines of a bitmap font. The
// decoding follows Allegro's: a run of length zero adds nothing, and what a run holds past
// the end of its row is dropped.
class PcxFont {
  public:
    bool readHeader(const unsigned char* data, std::size_t size, std::string* why);
    bool decode(const unsigned char* data, std::size_t size, std::string* why);
    // Allegro's font reader takes (x, y) as a glyph box's top-left corner when (x, y),
    // (x + 1, y) and (x, y + 1) are border and (x + 1, y + 1) is not.
    bool hasGlyphBox() const;

  private:
    bool decodeRow(const unsigned char* data, std::size_t size, std::size_t* at,
                   std::vector<unsigned char>* row, std::string* why) const;
    // Border is palette index 255 in an 8-bit image, yellow (255, 255, 0) in a 24-bit one.
    bool isBorder(const std::vector<unsigned char>& row, std::size_t x) const;
    bool border(std::size_t x, std::size_t y) const { return border_[y * width_ + x] != 0; }

    std::size_t width_ = 0, height_ = 0, planes_ = 0, bytesPerLine_ = 0;
    std::vector<unsigned char> border_;  // width_ x height_, row by row from the top
};

bool PcxFont::readHeader(const unsigned char* data, std::size_t size, std::string* why) {
    if (size < PcxHeaderBytes) return Fail(why, "shorter than a PCX header");
    if (data[0] != 10 || data[2] != 1) return Fail(why, "not a run-length PCX");
    if (data[3] != 8) return Fail(why, "not 8 bits per plane");
    planes_ = data[65];
    if (planes_ != 1 && planes_ != 3) return Fail(why, "not 1 or 3 planes");
    const std::size_t xMin = Le16(data + 4), yMin = Le16(data + 6);
    const std::size_t xMax = Le16(data + 8), yMax = Le16(data + 10);
    if (xMin > xMax || yMin > yMax) return Fail(why, "negative extent");
    width_ = xMax - xMin + 1;
    height_ = yMax - yMin + 1;
    if (TooManyPixels(width_, height_)) return Fail(why, "too many pixels for Allegro");
    // Narrower rows would leave the bitmap's right-hand pixels unwritten.
    bytesPerLine_ = Le16(data + 66);
    if (bytesPerLine_ < width_) return Fail(why, "bytes per line less than the width");
    return true;
}

bool PcxFont::decodeRow(const unsigned char* data, std::size_t size, std::size_t* at,
                        std::vector<unsigned char>* row, std::string* why) const {
    const std::size_t rowBytes = bytesPerLine_ * planes_;
    row->clear();
    while (row->size() < rowBytes) {
        if (*at >= size) return Fail(why, "image data truncated");
        unsigned char value = data[(*at)++];
        std::size_t count = 1;
        if ((value & PcxRunMarker) == PcxRunMarker) {
            count = value & ~PcxRunMarker;
            if (*at >= size) return Fail(why, "image data truncated");
            value = data[(*at)++];
        }
        row->insert(row->end(), std::min(count, rowBytes - row->size()), value);
    }
    return true;
}

bool PcxFont::decode(const unsigned char* data, std::size_t size, std::string* why) {
    std::size_t at = PcxHeaderBytes;
    std::vector<unsigned char> row;
    border_.clear();
    border_.reserve(width_ * height_);
    for (std::size_t y = 0; y < height_; ++y) {
        if (!decodeRow(data, size, &at, &row, why)) return false;
        for (std::size_t x = 0; x < width_; ++x) border_.push_back(isBorder(row, x));
    }
    return true;
}

bool PcxFont::isBorder(const std::vector<unsigned char>& row, std::size_t x) const {
    if (planes_ == 1) return row[x] == 255;
    return row[x] == 255 && row[bytesPerLine_ + x] == 255 && row[2 * bytesPerLine_ + x] == 0;
}

bool PcxFont::hasGlyphBox() const {
    for (std::size_t y = 0; y + 1 < height_; ++y) {
        for (std::size_t x = 0; x + 1 < width_; ++x) {
            if (border(x, y) && border(x + 1, y) && border(x, y + 1) && !border(x + 1, y + 1)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool CheckTga(const unsigned char* data, std::size_t size, std::string* why, ImageSize* imageSize) {
    if (size < TgaHeaderBytes) return Fail(why, "shorter than a TGA header");
    const TgaHeader h(data);
    if (!CheckTgaLayout(h, why)) return false;
    if (h.width == 0 || h.height == 0) return Fail(why, "a side of zero pixels");
    if (TooManyPixels(h.width, h.height)) return Fail(why, "too many pixels for Allegro");
    if (size - TgaHeaderBytes < h.idBytes) return Fail(why, "id field truncated");
    if (size - TgaHeaderBytes - h.idBytes < h.mapBytes()) return Fail(why, "colour map truncated");
    const std::size_t offset = TgaHeaderBytes + h.idBytes + h.mapBytes();
    const unsigned char* pixels = data + offset;
    const std::size_t pixelsSize = size - offset;
    if (h.runLength) {
        if (!CheckTgaPackets(pixels, pixelsSize, h.width, h.height, h.pixelBytes(), why)) {
            return false;
        }
    } else if (pixelsSize < h.width * h.height * h.pixelBytes()) {
        return Fail(why, "pixel data truncated");
    }
    if (imageSize != nullptr) *imageSize = ImageSize{h.width, h.height};
    return true;
}

bool CheckTgaFile(const std::string& fileName, std::string* why, ImageSize* imageSize) {
    const MappedFile file(fileName);
    if (!file.opened()) return Fail(why, "cannot open the file");
    return CheckTga(file.data(), file.size(), why, imageSize);
}

// Allegro reads the palette of a 1-plane image from the first 0x0C byte after the image
// data, if there is one; a font's glyphs do not depend on it, so it may be missing.
bool CheckFontPcx(const unsigned char* data, std::size_t size, std::string* why) {
    PcxFont image;
    if (!image.readHeader(data, size, why) || !image.decode(data, size, why)) return false;
    if (!image.hasGlyphBox()) return Fail(why, "no glyph box in the border grid");
    return true;
}

bool CheckFontFile(const std::string& fileName, std::string* why) {
    const MappedFile file(fileName);
    if (!file.opened()) return Fail(why, "cannot open the file");
    return CheckFontPcx(file.data(), file.size(), why);
}
