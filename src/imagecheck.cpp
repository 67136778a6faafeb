#include "imagecheck.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

// Largest side we hand to Allegro, in pixels. It keeps every size product Allegro
// computes in an int far from overflow, and a whole image at most 64 MiB.
constexpr std::size_t MaxSide = 4096;
static_assert(MaxSide * MaxSide * 4 <= std::size_t{64} << 20, "a 32-bit image fits in 64 MiB");

constexpr std::size_t TgaHeaderBytes = 18;
constexpr unsigned TgaUncompressed = 2;
constexpr unsigned TgaRunLength = 10;
constexpr unsigned TgaRunFlag = 0x80;
// The longest TGA the check ever needs: header, 255 id bytes and run-length data where
// every 4-byte pixel is a packet of its own.
constexpr std::size_t MaxTgaBytes = TgaHeaderBytes + 255 + MaxSide * MaxSide * 5;

constexpr std::size_t PcxHeaderBytes = 128;
constexpr unsigned PcxRunMarker = 0xC0;  // top two bits set: a run, its length in the other six
constexpr unsigned char PcxPaletteMarker = 0x0C;
constexpr std::size_t PcxPaletteBytes = 1 + 256 * 3;
// The longest PCX the check ever needs: every byte of 3 full planes written as a run of
// one, then the palette.
constexpr std::size_t MaxPcxBytes = PcxHeaderBytes + MaxSide * MaxSide * 3 * 2 + PcxPaletteBytes;

bool Fail(std::string* why, const char* reason) {
    if (why != nullptr) *why = reason;
    return false;
}

std::size_t Le16(const unsigned char* p) { return p[0] | std::size_t{p[1]} << 8; }

// Reads no more than maxBytes from the start of the file: the checks never look further,
// so a huge file costs no more than a valid one.
bool ReadPrefix(const std::string& fileName, std::size_t maxBytes,
                std::vector<unsigned char>* bytes) {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    const std::streamoff length = in.tellg();
    if (!in || length < 0) return false;
    in.seekg(0);
    bytes->resize(std::min(static_cast<std::size_t>(length), maxBytes));
    in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    bytes->resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

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

// One PCX decoded into a mask of its border pixels, the grid lines of a bitmap font.
class PcxFont {
  public:
    bool readHeader(const unsigned char* data, std::size_t size, std::string* why);
    // Decodes every row from the end of the header; sets the offset just past the data.
    bool decode(const unsigned char* data, std::size_t size, std::size_t* end, std::string* why);
    bool needsPalette() const { return planes_ == 1; }
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
    if (width_ > MaxSide || height_ > MaxSide) return Fail(why, "side over 4096 pixels");
    bytesPerLine_ = Le16(data + 66);
    if (bytesPerLine_ < width_ || bytesPerLine_ > MaxSide) {
        return Fail(why, "bytes per line outside width..4096");
    }
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
        // Allegro drops the rest of a run at the end of a row; the two readings must agree.
        if (count == 0 || count > rowBytes - row->size()) {
            return Fail(why, "run empty or crossing the end of its row");
        }
        row->insert(row->end(), count, value);
    }
    return true;
}

bool PcxFont::decode(const unsigned char* data, std::size_t size, std::size_t* end,
                     std::string* why) {
    std::size_t at = PcxHeaderBytes;
    std::vector<unsigned char> row;
    border_.clear();
    for (std::size_t y = 0; y < height_; ++y) {
        if (!decodeRow(data, size, &at, &row, why)) return false;
        for (std::size_t x = 0; x < width_; ++x) border_.push_back(isBorder(row, x));
    }
    *end = at;
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

bool CheckTga(const unsigned char* data, std::size_t size, std::string* why) {
    if (size < TgaHeaderBytes) return Fail(why, "shorter than a TGA header");
    const unsigned idBytes = data[0], colourMapType = data[1], imageType = data[2];
    // Allegro reads a colour map into a 256-entry array whatever its length, and will
    // not load one beside true-colour pixels anyway.
    if (colourMapType != 0) return Fail(why, "has a colour map");
    if (imageType != TgaUncompressed && imageType != TgaRunLength) {
        return Fail(why, "not uncompressed or run-length true colour");
    }
    const unsigned bitsPerPixel = data[16];
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return Fail(why, "not 24 or 32 bits per pixel");
    const std::size_t width = Le16(data + 12), height = Le16(data + 14);
    if (width < 1 || width > MaxSide || height < 1 || height > MaxSide) {
        return Fail(why, "side outside 1..4096 pixels");
    }
    if (size - TgaHeaderBytes < idBytes) return Fail(why, "id field truncated");
    const unsigned char* pixels = data + TgaHeaderBytes + idBytes;
    const std::size_t pixelsSize = size - TgaHeaderBytes - idBytes, pixelBytes = bitsPerPixel / 8;
    if (imageType == TgaRunLength) {
        return CheckTgaPackets(pixels, pixelsSize, width, height, pixelBytes, why);
    }
    if (pixelsSize < width * height * pixelBytes) return Fail(why, "pixel data truncated");
    return true;
}

bool CheckTgaFile(const std::string& fileName, std::string* why) {
    std::vector<unsigned char> bytes;
    if (!ReadPrefix(fileName, MaxTgaBytes, &bytes)) return Fail(why, "cannot open the file");
    return CheckTga(bytes.data(), bytes.size(), why);
}

bool CheckFontPcx(const unsigned char* data, std::size_t size, std::string* why) {
    PcxFont image;
    std::size_t end = 0;
    if (!image.readHeader(data, size, why) || !image.decode(data, size, &end, why)) return false;
    // Allegro takes the palette from the first 0x0C byte after the image data.
    if (image.needsPalette() && (size - end < PcxPaletteBytes || data[end] != PcxPaletteMarker)) {
        return Fail(why, "palette missing after the image data");
    }
    if (!image.hasGlyphBox()) return Fail(why, "no glyph box in the border grid");
    return true;
}

bool CheckFontFile(const std::string& fileName, std::string* why) {
    std::vector<unsigned char> bytes;
    if (!ReadPrefix(fileName, MaxPcxBytes, &bytes)) return Fail(why, "cannot open the file");
    return CheckFontPcx(bytes.data(), bytes.size(), why);
}
