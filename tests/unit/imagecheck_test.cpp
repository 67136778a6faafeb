#include "imagecheck.h"

#include "openhandles.h"
#include "resources.h"
#include "tempdir.h"
#include "tgafile.h"

#include <allegro.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void PutLe16(Bytes* bytes, std::size_t at, unsigned value) {
    (*bytes)[at] = value & 0xFF;
    (*bytes)[at + 1] = value >> 8;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// ---------------------------------------------------------------------------------------
// Hand-made TGA files: an 18-byte header followed by whatever body a test wants.

struct TgaHeader {
    unsigned imageType = 2, bitsPerPixel = 24, width = 2, height = 2, descriptor = 0;
    unsigned idBytes = 0, colourMapType = 0, colourMapOrigin = 0, colourMapLength = 0;
    unsigned colourMapBits = 0;

    Bytes bytes() const {
        Bytes h(18, 0);
        h[0] = idBytes;
        h[1] = colourMapType;
        h[2] = imageType;
        PutLe16(&h, 3, colourMapOrigin);
        PutLe16(&h, 5, colourMapLength);
        h[7] = colourMapBits;
        PutLe16(&h, 12, width);
        PutLe16(&h, 14, height);
        h[16] = bitsPerPixel;
        h[17] = descriptor;
        return h;
    }
};

// The pixel bytes (B, G, R[, A]) of the pixel stored n-th in the file, distinct for each n.
Bytes StoredPixel(unsigned n, unsigned pixelBytes) {
    Bytes p;
    for (unsigned c = 0; c < pixelBytes; ++c) p.push_back(10 * n + c + 1);
    return p;
}

// A valid image three pixels wide: each row holds one colour twice, then another. Run-length
// rows hold one run packet and one raw packet.
Bytes TgaPixels(const TgaHeader& header) {
    const unsigned pixelBytes = header.bitsPerPixel / 8;
    Bytes body;
    for (unsigned row = 0; row < header.height; ++row) {
        const Bytes first = StoredPixel(2 * row, pixelBytes),
                    last = StoredPixel(2 * row + 1, pixelBytes);
        if (header.imageType == 10) {
            body = Concat(Concat(Concat(body, {0x81}), first), Concat({0x00}, last));
        } else {
            body = Concat(Concat(Concat(body, first), first), last);
        }
    }
    return body;
}

TgaHeader ThreeByTwo(unsigned imageType, unsigned bitsPerPixel, unsigned descriptor) {
    TgaHeader h;
    h.imageType = imageType;
    h.bitsPerPixel = bitsPerPixel;
    h.width = 3;
    h.height = 2;
    h.descriptor = descriptor;
    return h;
}

// The colour Allegro gives a stored pixel: B, G, R and, at 32 bits, alpha on top.
int LoadedColour(unsigned bitsPerPixel, const Bytes& p) {
    const int rgb = makecol_depth(bitsPerPixel, p[2], p[1], p[0]);
    return bitsPerPixel == 32 ? rgb | p[3] << 24 : rgb;
}

Bytes ValidTga(const TgaHeader& header) { return Concat(header.bytes(), TgaPixels(header)); }

// ---------------------------------------------------------------------------------------
// Hand-made PCX fonts. Pixels are palette indices; 255 is the border of the glyph grid.

constexpr unsigned char Border = 255, Ink = 1;

struct FontImage {
    std::size_t width, height;
    std::vector<unsigned char> pixels;

    FontImage(std::size_t w, std::size_t h) : width(w), height(h), pixels(w * h, Border) {}
    // Cuts a glyph hole of w x h pixels whose top-left inside pixel is (x, y).
    FontImage& box(std::size_t x, std::size_t y, std::size_t w, std::size_t h) {
        for (std::size_t j = 0; j < h; ++j) {
            for (std::size_t i = 0; i < w; ++i)
                pixels[(y + j) * width + x + i] = (i + j) % 2 ? Ink : 0;
        }
        return *this;
    }
    unsigned char at(std::size_t x, std::size_t y) const { return pixels[y * width + x]; }
};

struct PcxHeader {
    unsigned manufacturer = 10, encoding = 1, bitsPerPlane = 8, planes = 1;
    unsigned xMin = 0, yMin = 0, xMax = 0, yMax = 0, bytesPerLine = 0;

    Bytes bytes() const {
        Bytes h(128, 0);
        h[0] = manufacturer;
        h[1] = 5;
        h[2] = encoding;
        h[3] = bitsPerPlane;
        PutLe16(&h, 4, xMin);
        PutLe16(&h, 6, yMin);
        PutLe16(&h, 8, xMax);
        PutLe16(&h, 10, yMax);
        h[65] = planes;
        PutLe16(&h, 66, bytesPerLine);
        return h;
    }
};

PcxHeader HeaderFor(const FontImage& image, unsigned planes) {
    PcxHeader h;
    h.planes = planes;
    h.xMax = image.width - 1;
    h.yMax = image.height - 1;
    h.bytesPerLine = image.width;
    return h;
}

// Run-length data as the simplest writer makes it: bytes below 0xC0 as themselves,
// the others as runs of one.
Bytes PcxRuns(const Bytes& raw) {
    Bytes out;
    for (unsigned char b : raw) {
        if (b >= 0xC0) out.push_back(0xC1);
        out.push_back(b);
    }
    return out;
}

Bytes Palette() {
    Bytes p(769, 0);
    p[0] = 0x0C;
    return p;
}

// An 8-bit, 1-plane font file with its palette.
Bytes MonoPcx(const FontImage& image) {
    Bytes raw(image.pixels);
    return Concat(Concat(HeaderFor(image, 1).bytes(), PcxRuns(raw)), Palette());
}

// A 24-bit, 3-plane font file; border pixels get the given colour, glyph pixels grey.
Bytes TrueColourPcx(const FontImage& image, const unsigned char (&borderRgb)[3]) {
    Bytes raw;
    for (std::size_t y = 0; y < image.height; ++y) {
        for (unsigned plane = 0; plane < 3; ++plane) {
            for (std::size_t x = 0; x < image.width; ++x) {
                const unsigned char v = image.at(x, y);
                raw.push_back(v == Border ? borderRgb[plane] : v * 200);
            }
        }
    }
    return Concat(HeaderFor(image, 3).bytes(), PcxRuns(raw));
}

constexpr unsigned char Yellow[3] = {255, 255, 0};
constexpr unsigned char White[3] = {255, 255, 255};

// Three glyphs in two grid rows: 3x4 and 4x4 on top, 2x3 below.
FontImage ThreeGlyphs() {
    return FontImage(10, 10).box(1, 1, 3, 4).box(5, 1, 4, 4).box(1, 6, 2, 3);
}

std::string Reason(bool (*check)(const unsigned char*, std::size_t, std::string*), const Bytes& b) {
    std::string why;
    return check(b.data(), b.size(), &why) ? "accepted" : why;
}

std::string TgaVerdict(const Bytes& b) {
    std::string why;
    return CheckTga(b.data(), b.size(), &why) ? "accepted" : why;
}
std::string FontVerdict(const Bytes& b) { return Reason(CheckFontPcx, b); }

// ---------------------------------------------------------------------------------------
// Hostile TGA files, one per class that crashes or stalls Allegro 4.4.3's reader.

TEST(TgaCheck, RejectsColourMapLongerThan256Entries) {
    // 18 bytes are enough: Allegro reads the map into a 256-entry stack array and smashes it.
    for (unsigned imageType : {1u, 2u}) {
        TgaHeader h;
        h.imageType = imageType;
        h.bitsPerPixel = imageType == 1 ? 8 : 24;
        h.colourMapType = 1;
        h.colourMapLength = 1000;
        h.colourMapBits = 24;
        EXPECT_EQ(TgaVerdict(h.bytes()), "colour map longer than 256 entries")
            << "image type " << imageType;
    }
    // The array's own size is the limit.
    TgaHeader h;
    h.imageType = 1;
    h.bitsPerPixel = 8;
    h.colourMapType = 1;
    h.colourMapBits = 24;
    for (unsigned length : {256u, 257u}) {
        h.colourMapLength = length;
        EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Bytes(length * 3 + 4, 255))),
                  length == 256 ? "accepted" : "colour map longer than 256 entries");
    }
}

TEST(TgaCheck, RejectsRunLengthPacketCrossingItsRow) {
    // 23 bytes: one run of four 32-bit pixels over a 2x2 image makes Allegro write past the
    // bitmap and abort in the allocator. The 8- and 16-bit readers share the fault.
    TgaHeader h;
    h.imageType = 10;
    h.bitsPerPixel = 32;
    const Bytes file = Concat(h.bytes(), {0x83, 1, 2, 3, 4});
    ASSERT_EQ(file.size(), 23u);
    EXPECT_EQ(TgaVerdict(file), "run-length packet crosses the end of its row");
    h.imageType = 11;
    h.bitsPerPixel = 8;
    EXPECT_EQ(TgaVerdict(Concat(h.bytes(), {0x83, 1})),
              "run-length packet crosses the end of its row");
    h.imageType = 10;
    h.bitsPerPixel = 16;
    EXPECT_EQ(TgaVerdict(Concat(h.bytes(), {0x02, 1, 2, 3, 4, 5, 6})),
              "run-length packet crosses the end of its row");
}

TEST(TgaCheck, RejectsRawPacketCrossingItsRow) {
    TgaHeader h;
    h.imageType = 10;
    EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Concat({0x02}, Bytes(9, 7)))),
              "run-length packet crosses the end of its row");
}

TEST(TgaCheck, RejectsPixelCountsWhoseByteCountWrapsAnInt) {
    // 32768 x 32768 x 4 bytes is 2^32: zero in Allegro's int, so it allocates nothing.
    // 32768 x 16384 is the first power-of-two size past the limit, at any depth.
    // 65535 x 8192 is just inside the limit: only its missing pixels are refused.
    const char* const tooMany = "too many pixels for Allegro";
    for (const auto& [width, height, bits, verdict] :
         {std::tuple{32768u, 32768u, 32u, tooMany}, std::tuple{32768u, 16384u, 8u, tooMany},
          std::tuple{65535u, 65535u, 24u, tooMany}, std::tuple{65535u, 8193u, 8u, tooMany},
          std::tuple{65535u, 8192u, 8u, "pixel data truncated"}}) {
        TgaHeader h;
        h.width = width;
        h.height = height;
        h.bitsPerPixel = bits;
        h.imageType = bits == 8 ? 3 : 2;
        EXPECT_EQ(TgaVerdict(h.bytes()), verdict) << width << "x" << height;
    }
}

TEST(TgaCheck, RejectsHeaderDemandingGigabytes) {
    // 1 GiB of pixels and about fifteen seconds of Allegro filling them from nothing.
    TgaHeader h;
    h.width = h.height = 16384;
    h.bitsPerPixel = 32;
    EXPECT_EQ(TgaVerdict(h.bytes()), "pixel data truncated");
}

TEST(TgaCheck, RejectsTruncatedUncompressedPixels) {
    Bytes file = ValidTga(ThreeByTwo(2, 24, 0));
    file.pop_back();
    EXPECT_EQ(TgaVerdict(file), "pixel data truncated");
}

TEST(TgaCheck, RejectsTruncatedRunLengthData) {
    const Bytes file = ValidTga(ThreeByTwo(10, 32, 0));
    for (std::size_t cut : {1, 4, 5}) {
        EXPECT_EQ(TgaVerdict(Bytes(file.begin(), file.end() - cut)), "run-length data truncated")
            << cut << " bytes cut";
    }
}

// ---------------------------------------------------------------------------------------
// TGA limits and layouts.

TEST(TgaCheck, SidesRunFrom1ToWhatAllegroCanCount) {
    // The driver's limit is the resource manager's to apply; the check knows only Allegro's.
    for (unsigned side : {0u, 1u, 4097u, 65535u}) {
        TgaHeader h;
        h.width = side;
        h.height = 1;
        const char* verdict = side == 0 ? "a side of zero pixels" : "accepted";
        EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Bytes(side * 3, 9))), verdict) << "width " << side;
        std::swap(h.width, h.height);
        EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Bytes(side * 3, 9))), verdict) << "height " << side;
    }
}

// Layouts Allegro refuses, or reads into other colours than the file's.
TEST(TgaCheck, RejectsLayoutsAllegroMisreads) {
    struct Case {
        unsigned imageType, bitsPerPixel, mapType, mapOrigin, mapLength, mapBits;
        const char* reason;
    };
    for (const Case& c : {
             Case{0, 24, 0, 0, 0, 0, "not a colour-mapped, true-colour or greyscale image"},
             Case{32, 8, 1, 0, 2, 24, "not a colour-mapped, true-colour or greyscale image"},
             Case{1, 8, 2, 0, 2, 24, "unknown colour map type"},
             Case{1, 8, 0, 0, 0, 0, "colour-mapped image without a colour map"},
             Case{9, 16, 1, 0, 2, 24, "colour-mapped image not 8 bits per pixel"},
             Case{1, 8, 1, 0, 0, 24, "colour map empty"},
             Case{1, 8, 1, 1, 2, 24, "colour map not starting at entry 0"},
             Case{1, 8, 1, 0, 2, 15, "colour map entries not 16, 24 or 32 bits"},
             Case{1, 8, 1, 0, 2, 8, "colour map entries not 16, 24 or 32 bits"},
             Case{2, 24, 1, 0, 2, 24, "colour map beside true-colour pixels"},
             Case{3, 8, 1, 0, 2, 24, "colour map beside greyscale pixels"},
             Case{2, 8, 0, 0, 0, 0, "true colour not 15, 16, 24 or 32 bits per pixel"},
             Case{10, 12, 0, 0, 0, 0, "true colour not 15, 16, 24 or 32 bits per pixel"},
             Case{3, 16, 0, 0, 0, 0, "greyscale not 8 bits per pixel"},
             Case{11, 24, 0, 0, 0, 0, "greyscale not 8 bits per pixel"},
         }) {
        TgaHeader h;
        h.imageType = c.imageType;
        h.bitsPerPixel = c.bitsPerPixel;
        h.colourMapType = c.mapType;
        h.colourMapOrigin = c.mapOrigin;
        h.colourMapLength = c.mapLength;
        h.colourMapBits = c.mapBits;
        EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Bytes(64, 0))), c.reason)
            << "type " << c.imageType << ", " << c.bitsPerPixel << " bits, map " << c.mapType
            << " of " << c.mapLength << " from " << c.mapOrigin << " at " << c.mapBits << " bits";
    }
}

TEST(TgaCheck, RejectsTruncatedColourMap) {
    const Bytes file = tgafile::Encode(tgafile::TestPicture(), {1, 8, 24, false, 0});
    EXPECT_EQ(TgaVerdict(Bytes(file.begin(), file.begin() + 18 + 3 * 15 - 1)),
              "colour map truncated");
}

TEST(TgaCheck, RejectsShortHeaderAndTruncatedIdField) {
    const Bytes file = ValidTga(ThreeByTwo(2, 24, 0));
    EXPECT_EQ(TgaVerdict(Bytes(file.begin(), file.begin() + 17)), "shorter than a TGA header");
    TgaHeader h;
    h.idBytes = 200;
    EXPECT_EQ(TgaVerdict(Concat(h.bytes(), Bytes(199, 0))), "id field truncated");
}

TEST(TgaCheck, RejectsMissingFile) {
    std::string why;
    EXPECT_FALSE(CheckTgaFile("no/such/file.tga", &why));
    EXPECT_EQ(why, "cannot open the file");
}

// ---------------------------------------------------------------------------------------
// Files on disk, for the checks' file variants and for Allegro's own loaders. Images load
// in the depth stored in the file, as in the game.

class ImageFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = tempdir::Make("startug-imagecheck-").string();
        savedConversion_ = get_color_conversion();
        set_color_conversion(COLORCONV_NONE);
    }
    void TearDown() override {
        set_color_conversion(savedConversion_);
        std::filesystem::remove_all(dir_);
    }

    std::string write(const std::string& name, const Bytes& bytes) const {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // A bitmap with a distinct colour at every pixel, alpha included.
    static BITMAP* Gradient(int depth, int w, int h) {
        BITMAP* b = create_bitmap_ex(depth, w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                putpixel(b, x, y, makeacol_depth(depth, 20 * x, 30 * y, 7, 40 + x));
        }
        return b;
    }

  private:
    std::string dir_;
    int savedConversion_ = 0;
};

// Every layout a paint program may save replacement art in: accepted, and read into a
// 24- or 32-bit bitmap of the picture's own colours, top row first.
class AcceptedLayout : public ImageFiles, public ::testing::WithParamInterface<tgafile::Layout> {};

TEST_P(AcceptedLayout, LoadsAsTrueColourWithTheFilesColours) {
    const tgafile::Layout layout = GetParam();
    const tgafile::Picture picture = tgafile::TestPicture();
    const std::string fileName = write("art.tga", tgafile::Encode(picture, layout));
    std::string why;
    ImageSize size;
    ASSERT_TRUE(CheckTgaFile(fileName, &why, &size)) << why;
    EXPECT_EQ(size.width, 7u);
    EXPECT_EQ(size.height, 3u);

    BITMAP* b = LoadTrueColourBitmap(fileName);
    ASSERT_NE(b, nullptr);
    const int depth = bitmap_color_depth(b);
    EXPECT_EQ(depth, layout.bitsPerPixel == 32 ? 32 : 24);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int c = getpixel(b, x, y);
            const tgafile::Colour loaded{getr_depth(depth, c), getg_depth(depth, c),
                                         getb_depth(depth, c), depth == 32 ? geta32(c) : 255};
            EXPECT_TRUE(tgafile::Matches(layout, picture.at(x, y), loaded))
                << "pixel " << x << "," << y << ": " << loaded.r << " " << loaded.g << " "
                << loaded.b << " " << loaded.a;
        }
    }
    destroy_bitmap(b);
}

INSTANTIATE_TEST_SUITE_P(ReplacementArt, AcceptedLayout,
                         ::testing::ValuesIn(tgafile::AcceptedLayouts),
                         [](const auto& info) { return info.param.name(); });

TEST_F(ImageFiles, TgaIdFieldAndUnusedColourMapFieldsAreSkipped) {
    // With no colour map, Allegro ignores the map's length and entry size.
    TgaHeader h = ThreeByTwo(2, 24, 0);
    h.idBytes = 5;
    h.colourMapLength = 60000;
    h.colourMapBits = 32;
    const Bytes file = Concat(Concat(h.bytes(), {'S', 'T', 'A', 'R', 'S'}), TgaPixels(h));
    const std::string fileName = write("id.tga", file);
    std::string why;
    EXPECT_TRUE(CheckTgaFile(fileName, &why)) << why;
    BITMAP* b = load_bitmap(fileName.c_str(), nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(getpixel(b, 0, 1), LoadedColour(24, StoredPixel(0, 3)));
    destroy_bitmap(b);
}

TEST_F(ImageFiles, TgaSavedByAllegroIsAcceptedAndLoads) {
    for (int depth : {24, 32}) {
        BITMAP* saved = Gradient(depth, 5, 3);
        const std::string fileName = path("saved" + std::to_string(depth) + ".tga");
        ASSERT_EQ(save_tga(fileName.c_str(), saved, nullptr), 0);
        std::string why;
        EXPECT_TRUE(CheckTgaFile(fileName, &why)) << depth << " bits: " << why;
        BITMAP* loaded = load_bitmap(fileName.c_str(), nullptr);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->w, 5);
        EXPECT_EQ(loaded->h, 3);
        EXPECT_EQ(bitmap_color_depth(loaded), depth);
        EXPECT_EQ(getpixel(loaded, 4, 2), getpixel(saved, 4, 2));
        destroy_bitmap(loaded);
        destroy_bitmap(saved);
    }
}

// The game checks every image and the font before loading them: each check closes what it
// opened, whether the file passes, fails, is empty, is a directory or is missing.
TEST_F(ImageFiles, ChecksLeaveNoFileOpen) {
    const std::string tga = write("ok.tga", ValidTga(ThreeByTwo(2, 24, 0)));
    const std::string bad = write("bad.tga", Bytes(40, 0xFF));
    const std::string empty = write("empty.pcx", Bytes());
    const std::intptr_t before = LastOfNextHandles();
    ASSERT_GT(before, 0);
    std::string why;
    EXPECT_TRUE(CheckTgaFile(tga, &why)) << why;
    EXPECT_FALSE(CheckFontFile(tga, &why));
    for (const std::string& name : {bad, empty, path(""), path("missing")}) {
        EXPECT_FALSE(CheckTgaFile(name, &why)) << name;
        EXPECT_FALSE(CheckFontFile(name, &why)) << name;
    }
    EXPECT_EQ(LastOfNextHandles(), before);
}

// A file of many pages is seen whole, to its last byte: a 256 x 256 run-length image of
// about 200 KB passes, and without its last byte it is refused.
TEST_F(ImageFiles, ChecksSeeALargeFileToItsLastByte) {
    tgafile::Picture picture{256, 256, {}};
    for (int i = 0; i < 256 * 256; ++i) picture.pixels.push_back({i % 251, i % 241, i % 239, 255});
    Bytes file = tgafile::Encode(picture, {10, 24, 0, false, 0});
    std::string why;
    EXPECT_TRUE(CheckTgaFile(write("whole.tga", file), &why)) << why;
    file.pop_back();
    EXPECT_FALSE(CheckTgaFile(write("cut.tga", file), &why));
}

// ---------------------------------------------------------------------------------------
// Hostile and malformed font files.

TEST(FontCheck, RejectsImageWithNoGlyphGrid) {
    // Allegro still makes a font from it, with no glyphs and a height read from nowhere.
    EXPECT_EQ(FontVerdict(MonoPcx(FontImage(8, 8))), "no glyph box in the border grid");
    EXPECT_EQ(FontVerdict(MonoPcx(FontImage(8, 8).box(0, 0, 8, 8))),
              "no glyph box in the border grid");
}

TEST(FontCheck, RejectsGlyphWithoutBorderAboveOrLeft) {
    // A hole at the image's corner has no border corner, so Allegro finds no box there.
    EXPECT_EQ(FontVerdict(MonoPcx(FontImage(8, 8).box(0, 0, 3, 3))),
              "no glyph box in the border grid");
    EXPECT_EQ(FontVerdict(MonoPcx(FontImage(8, 8).box(1, 0, 3, 3))),
              "no glyph box in the border grid");
}

TEST(FontCheck, RejectsTrueColourFontWithoutYellowGrid) {
    EXPECT_EQ(FontVerdict(TrueColourPcx(ThreeGlyphs(), White)), "no glyph box in the border grid");
}

TEST(FontCheck, RejectsExtentWrappingToZero) {
    // 0..65535 is 65536 pixels: zero in Allegro's 16-bit arithmetic, a zero-byte bitmap.
    PcxHeader h;
    h.xMax = h.yMax = 65535;
    h.bytesPerLine = 65535;
    EXPECT_EQ(FontVerdict(Concat(h.bytes(), Bytes(64, 1))), "too many pixels for Allegro");
}

TEST(FontCheck, RejectsNegativeExtent) {
    PcxHeader h;
    h.xMin = 5;
    h.xMax = 3;
    h.bytesPerLine = 2;
    EXPECT_EQ(FontVerdict(Concat(h.bytes(), Bytes(64, 1))), "negative extent");
}

TEST(FontCheck, RejectsRowsNarrowerThanTheImage) {
    // Allegro would leave the right-hand pixels of every row as the allocator left them.
    PcxHeader h = HeaderFor(ThreeGlyphs(), 1);
    h.bytesPerLine = 9;
    EXPECT_EQ(FontVerdict(Concat(h.bytes(), Bytes(64, 1))), "bytes per line less than the width");
}

TEST(FontCheck, RejectsRowsLongerThanTheDataHolds) {
    // Allegro decodes bytes-per-line bytes a row from whatever is there: 65534 of them from
    // a 128-byte file cost it seconds. Rows must be in the file.
    for (unsigned bytesPerLine : {4097u, 65534u}) {
        PcxHeader h = HeaderFor(ThreeGlyphs(), 1);
        h.bytesPerLine = bytesPerLine;
        EXPECT_EQ(FontVerdict(Concat(h.bytes(), Bytes(64, 1))), "image data truncated")
            << bytesPerLine;
    }
}

TEST(FontCheck, AcceptsPaddedRows) {
    const FontImage image = ThreeGlyphs();
    PcxHeader h = HeaderFor(image, 1);
    h.bytesPerLine = 12;
    Bytes raw;
    for (std::size_t y = 0; y < image.height; ++y) {
        raw.insert(raw.end(), image.pixels.begin() + y * 10, image.pixels.begin() + y * 10 + 10);
        raw.insert(raw.end(), {0, 0});
    }
    EXPECT_EQ(FontVerdict(Concat(Concat(h.bytes(), PcxRuns(raw)), Palette())), "accepted");
}

TEST(FontCheck, RejectsTruncatedData) {
    const FontImage image = ThreeGlyphs();
    const Bytes file = Concat(HeaderFor(image, 1).bytes(), PcxRuns(image.pixels));
    EXPECT_EQ(FontVerdict(Bytes(file.begin(), file.end() - 1)), "image data truncated");
    // Cut inside a run: its marker is there, its value is not.
    const Bytes runCut = Concat(HeaderFor(image, 1).bytes(), {0xC5});
    EXPECT_EQ(FontVerdict(runCut), "image data truncated");
}

TEST(FontCheck, RejectsOtherPcxFormats) {
    const FontImage image = ThreeGlyphs();
    const Bytes body = Concat(PcxRuns(image.pixels), Palette());
    struct Case {
        unsigned PcxHeader::*field;
        unsigned value;
        const char* reason;
    };
    for (const Case& c : {Case{&PcxHeader::manufacturer, 11, "not a run-length PCX"},
                          Case{&PcxHeader::encoding, 0, "not a run-length PCX"},
                          Case{&PcxHeader::bitsPerPlane, 1, "not 8 bits per plane"},
                          Case{&PcxHeader::bitsPerPlane, 4, "not 8 bits per plane"},
                          Case{&PcxHeader::planes, 2, "not 1 or 3 planes"},
                          Case{&PcxHeader::planes, 4, "not 1 or 3 planes"}}) {
        PcxHeader h = HeaderFor(image, 1);
        h.*c.field = c.value;
        EXPECT_EQ(FontVerdict(Concat(h.bytes(), body)), c.reason) << c.value;
    }
    EXPECT_EQ(FontVerdict(Bytes(127, 10)), "shorter than a PCX header");
}

TEST(FontCheck, AcceptsOneGlyphAtTheImageEdge) {
    // The box's inside may reach the right and bottom edges; Allegro reads one glyph.
    EXPECT_EQ(FontVerdict(MonoPcx(FontImage(8, 8).box(1, 1, 7, 7))), "accepted");
}

TEST(FontCheck, AcceptsAnExtentAwayFromTheOrigin) {
    const FontImage image = ThreeGlyphs();
    PcxHeader h = HeaderFor(image, 1);
    h.xMin += 100;
    h.xMax += 100;
    h.yMin += 4000;
    h.yMax += 4000;
    EXPECT_EQ(FontVerdict(Concat(Concat(h.bytes(), PcxRuns(image.pixels)), Palette())), "accepted");
}

// ---------------------------------------------------------------------------------------
// Fonts that pass load as Allegro bitmap fonts: one range from character 32, one glyph a box.

void ExpectFont(const std::string& fileName, int glyphs, int height) {
    std::string why;
    EXPECT_TRUE(CheckFontFile(fileName, &why)) << why;
    FONT* f = load_font(fileName.c_str(), nullptr, nullptr);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(get_font_ranges(f), 1);
    EXPECT_EQ(get_font_range_begin(f, 0), 32);
    EXPECT_EQ(get_font_range_end(f, 0), 32 + glyphs - 1);
    EXPECT_EQ(text_height(f), height);
    destroy_font(f);
}

// The ink of every glyph the file's font draws, row by row.
std::string GlyphPixels(const std::string& fileName) {
    FONT* f = load_font(fileName.c_str(), nullptr, nullptr);
    if (f == nullptr) return "no font";
    const char* text = " !\"";
    BITMAP* b = create_bitmap_ex(8, text_length(f, text), text_height(f));
    clear_to_color(b, 0);
    textout_ex(b, f, text, 0, 0, 1, -1);
    std::string ink;
    for (int y = 0; y < b->h; ++y) {
        for (int x = 0; x < b->w; ++x) ink += getpixel(b, x, y) != 0 ? '#' : '.';
        ink += '\n';
    }
    destroy_bitmap(b);
    destroy_font(f);
    return ink;
}

TEST_F(ImageFiles, HandMadeFontsLoad) {
    ExpectFont(write("mono.pcx", MonoPcx(ThreeGlyphs())), 3, 4);
    ExpectFont(write("colour.pcx", TrueColourPcx(ThreeGlyphs(), Yellow)), 3, 4);
    ExpectFont(write("edge.pcx", MonoPcx(FontImage(8, 8).box(1, 1, 7, 7))), 1, 7);
}

// Allegro makes the same glyphs whether the palette is there or not and wherever it is,
// skips runs of length zero, and drops what a run holds past the end of its row.
TEST_F(ImageFiles, FontsWithOddRunsOrNoPaletteGiveTheSameGlyphs) {
    const FontImage image = ThreeGlyphs();
    const Bytes header = HeaderFor(image, 1).bytes(), data = PcxRuns(image.pixels);
    Bytes zeroRuns;
    for (unsigned char p : image.pixels)
        zeroRuns = Concat(zeroRuns, Concat({0xC0, 0x33}, PcxRuns({p})));
    // The top row is all border: one run of 13 where 10 belong to the row.
    Bytes crossing = {0xC0 | 13, Border};
    crossing = Concat(crossing, PcxRuns(Bytes(image.pixels.begin() + 10, image.pixels.end())));
    const Bytes palette = Palette();
    const std::string expected = GlyphPixels(write("plain.pcx", MonoPcx(image)));
    for (const auto& [name, body] : {
             std::pair{"no-palette", data},
             std::pair{"palette-after-junk", Concat(Concat(data, {0, 7}), palette)},
             std::pair{"palette-cut-short",
                       Concat(data, Bytes(palette.begin(), palette.begin() + 9))},
             std::pair{"zero-length-runs", Concat(zeroRuns, palette)},
             std::pair{"run-past-its-row", Concat(crossing, palette)},
         }) {
        const std::string fileName = write(std::string(name) + ".pcx", Concat(header, body));
        SCOPED_TRACE(name);
        ExpectFont(fileName, 3, 4);
        EXPECT_EQ(GlyphPixels(fileName), expected);
    }
}

TEST_F(ImageFiles, FontsSavedByAllegroAreAcceptedAndLoad) {
    // Five 6x9 glyphs side by side, drawn the way a font tool would.
    for (int depth : {8, 24}) {
        BITMAP* b = create_bitmap_ex(depth, 5 * 7 + 1, 11);
        const int border = depth == 8 ? 255 : makecol24(255, 255, 0);
        clear_to_color(b, border);
        for (int g = 0; g < 5; ++g)
            rectfill(b, 1 + 7 * g, 1, 6 + 7 * g, 9, depth == 8 ? g : makecol24(g, g, g));
        PALETTE palette = {};
        const std::string fileName = path("saved" + std::to_string(depth) + ".pcx");
        ASSERT_EQ(save_pcx(fileName.c_str(), b, palette), 0);
        destroy_bitmap(b);
        SCOPED_TRACE(depth);
        ExpectFont(fileName, 5, 9);
    }
}

}  // namespace
