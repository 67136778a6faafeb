// Loading on a real Mesa context: the textures are made by AllegroGL in the game's own
// display, from data the test writes itself (or, in one case, the built game data).
#include "resources.h"

#include "../support/gamedata.h"
#include "../support/tgafile.h"
#include "game.h"
#include "opengl.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int SlotOf[] = {
    ResourceManager::BackgroundTexture, ResourceManager::StarTexture,
    ResourceManager::PointerTexture,    ResourceManager::FlameTexture,
    ResourceManager::GlowTexture,       ResourceManager::ShipTexture,
    ResourceManager::TractorTexture,
};

struct TextureSize {
    int width, height, alphaBits;
};

TextureSize SizeOf(int texture) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    TextureSize size{};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &size.alphaBits);
    return size;
}

// The game's display, and a private data directory as the working directory. The one
// process a test runs in can set up Allegro once only.
class RealDisplay : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_THROW(InitAllegro()); }
    void TearDown() override {
        if (manager_.gameFont != nullptr) destroy_font(manager_.gameFont);
    }

    std::string loadAll() { return gamedata::LoadAllMessage(manager_); }

    void writeImage(const char* name, int width, int height) {
        fs::remove(dir_.path() / name);
        gamedata::WriteImage(dir_.path() / name, width, height, 24);
    }

    const fs::path gameDir_ = fs::current_path();  // the built game directory
    gamedata::TempWorkingDir dir_;
    ResourceManager manager_;
};

class WrittenData : public RealDisplay {
  protected:
    void SetUp() override {
        RealDisplay::SetUp();
        gamedata::WriteGameData(dir_.path());
    }
};

TEST_F(WrittenData, FullSetMakesSevenTexturesOfTheirImageSizes) {
    ASSERT_EQ(loadAll(), "");
    EXPECT_EQ(manager_.textures[0], 0);
    EXPECT_EQ(manager_.textures[8], 0);
    for (int i = 0; i < 7; ++i) {
        const gamedata::TextureFile& file = gamedata::Textures[i];
        SCOPED_TRACE(file.name);
        const int texture = manager_.textures[SlotOf[i]];
        ASSERT_NE(texture, 0);
        EXPECT_TRUE(glIsTexture(static_cast<GLuint>(texture)));
        const TextureSize size = SizeOf(texture);
        EXPECT_EQ(size.width, file.width);
        EXPECT_EQ(size.height, file.height);
        EXPECT_EQ(size.alphaBits > 0, file.depth == 32);
    }
}

TEST_F(WrittenData, FullSetFillsTheModelSampleAndFontTables) {
    ASSERT_EQ(loadAll(), "");
    ASSERT_EQ(manager_.models.size(), 3u);
    for (int slot : {0, 1}) {
        EXPECT_EQ(manager_.models[slot].vertices.size(), 1u);
        EXPECT_TRUE(manager_.models[slot].polygons.empty());
    }
    EXPECT_EQ(manager_.models[ResourceManager::ShipModel].polygons.size(), 1u);
    EXPECT_EQ(manager_.samples, std::vector<SAMPLE*>(2, nullptr));
    ASSERT_NE(manager_.gameFont, nullptr);
    EXPECT_EQ(text_height(manager_.gameFont), gamedata::GlyphSize);
}

TEST_F(WrittenData, MissingPointerStopsAfterBackgroundAndStar) {
    fs::remove(dir_.path() / "gfx/pointer.tga");
    EXPECT_EQ(loadAll(), "Failed to load texture: gfx/pointer.tga");
    EXPECT_NE(manager_.textures[ResourceManager::BackgroundTexture], 0);
    EXPECT_NE(manager_.textures[ResourceManager::StarTexture], 0);
    for (int slot : {ResourceManager::PointerTexture, ResourceManager::FlameTexture,
                     ResourceManager::GlowTexture, ResourceManager::ShipTexture,
                     ResourceManager::TractorTexture}) {
        EXPECT_EQ(manager_.textures[slot], 0) << slot;
    }
    EXPECT_TRUE(manager_.models.empty());
    EXPECT_EQ(manager_.gameFont, nullptr);
}

TEST_F(WrittenData, MissingFontFailsAfterEveryTextureAndTheModel) {
    fs::remove(dir_.path() / gamedata::FontFile);
    EXPECT_EQ(loadAll(), "Font load failed");
    for (int slot : SlotOf) EXPECT_NE(manager_.textures[slot], 0) << slot;
    ASSERT_EQ(manager_.models.size(), 3u);
    EXPECT_EQ(manager_.models[ResourceManager::ShipModel].polygons.size(), 1u);
    EXPECT_EQ(manager_.gameFont, nullptr);
}

GLint LargestTextureSide() {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(WrittenData, ImageAsWideAsTheDriverTakesLoads) {
    const int side = LargestTextureSide();
    writeImage("gfx/star.tga", side, 1);
    ASSERT_EQ(loadAll(), "");
    EXPECT_EQ(SizeOf(manager_.textures[ResourceManager::StarTexture]).width, side);
}

// Refused from the header alone: a 1 GiB image (a sparse file here) is never read, and
// nothing near its size is allocated.
TEST_F(WrittenData, ImageLargerThanTheDriverTakesIsRefusedUnread) {
    const int side = LargestTextureSide() + 1;
    tgafile::Picture picture{1, 1, {{1, 2, 3, 4}}};
    const auto header = tgafile::Encode(picture, {2, 32, 0, false, 0});
    const fs::path star = dir_.path() / "gfx/star.tga";
    {
        std::ofstream out(star, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(header.data()), 12);
        const unsigned char sides[] = {
            static_cast<unsigned char>(side & 0xFF), static_cast<unsigned char>(side >> 8),
            static_cast<unsigned char>(side & 0xFF), static_cast<unsigned char>(side >> 8)};
        out.write(reinterpret_cast<const char*>(sides), 4);
        out.write(reinterpret_cast<const char*>(header.data()) + 16, 2);
    }
    fs::resize_file(star, 18 + std::uintmax_t(side) * side * 4);
    const long before = PeakResidentKiB();
    EXPECT_EQ(loadAll(), "Failed to convert texture: gfx/star.tga");
    EXPECT_LT(PeakResidentKiB() - before, 64 * 1024);
    EXPECT_NE(manager_.textures[ResourceManager::BackgroundTexture], 0);
    EXPECT_EQ(manager_.textures[ResourceManager::StarTexture], 0);
}

// Replacement art in every accepted layout becomes a texture of the picture's own colours,
// with alpha from 32-bit images only, and leaves no OpenGL error behind.
class AcceptedLayout : public RealDisplay, public ::testing::WithParamInterface<tgafile::Layout> {};

TEST_P(AcceptedLayout, BecomesATextureOfTheFilesColours) {
    const tgafile::Layout layout = GetParam();
    const tgafile::Picture picture = tgafile::TestPicture();
    const auto bytes = tgafile::Encode(picture, layout);
    std::ofstream("art.tga", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    set_color_conversion(COLORCONV_NONE);  // as loadAll loads
    while (glGetError() != GL_NO_ERROR) {
    }

    const int texture = loadFromFile("art.tga", true);
    const TextureSize size = SizeOf(texture);
    ASSERT_EQ(size.width, picture.width);
    ASSERT_EQ(size.height, picture.height);
    std::vector<unsigned char> rgba(4 * picture.width * picture.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
    // Flipped on upload: the texture's first row is the picture's bottom one.
    for (int row = 0; row < picture.height; ++row) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = &rgba[4 * (row * picture.width + x)];
            const tgafile::Colour loaded{p[0], p[1], p[2], p[3]};
            const int y = picture.height - 1 - row;
            EXPECT_TRUE(tgafile::Matches(layout, picture.at(x, y), loaded))
                << "pixel " << x << "," << y << ": " << loaded.r << " " << loaded.g << " "
                << loaded.b << " " << loaded.a;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ReplacementArt, AcceptedLayout,
                         ::testing::ValuesIn(tgafile::AcceptedLayouts),
                         [](const auto& info) { return info.param.name(); });

bool DriverHasNonPowerOfTwoTextures() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return std::strstr(extensions, "GL_ARB_texture_non_power_of_two") != nullptr;
}

// AllegroGL refuses sides that are not powers of two only where the driver lacks
// ARB_texture_non_power_of_two; Mesa has it, so there the image converts at its own size.
TEST_F(WrittenData, ImageWithASideThatIsNotAPowerOfTwoConvertsWhereTheDriverAllows) {
    if (!DriverHasNonPowerOfTwoTextures()) GTEST_SKIP() << "the driver lacks NPOT textures";
    writeImage("gfx/shiptex.tga", 24, 16);
    ASSERT_EQ(loadAll(), "");
    EXPECT_EQ(SizeOf(manager_.textures[ResourceManager::ShipTexture]).width, 24);
}

// Mesa hides the extension when told to, and an old version number keeps it from being
// implied: the driver then looks like one AllegroGL must refuse such an image on.
class DriverWithoutNonPowerOfTwo : public WrittenData {
  protected:
    void SetUp() override {
        setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_texture_non_power_of_two", 1);
        setenv("MESA_GL_VERSION_OVERRIDE", "1.5", 1);
        WrittenData::SetUp();
    }
};

TEST_F(DriverWithoutNonPowerOfTwo, ImageWithASideThatIsNotAPowerOfTwoFailsToConvert) {
    if (DriverHasNonPowerOfTwoTextures()) GTEST_SKIP() << "the driver would not hide NPOT";
    writeImage("gfx/shiptex.tga", 24, 16);
    EXPECT_EQ(loadAll(), "Failed to convert texture: gfx/shiptex.tga");
    EXPECT_NE(manager_.textures[ResourceManager::GlowTexture], 0);
    EXPECT_EQ(manager_.textures[ResourceManager::ShipTexture], 0);
    EXPECT_EQ(manager_.textures[ResourceManager::TractorTexture], 0);
}

// The art the build paints, in the working directory the test was started in.
class BuiltData : public RealDisplay {
  protected:
    void SetUp() override {
        RealDisplay::SetUp();
        for (const char* part : {"gfx", "models", gamedata::FontFile}) {
            fs::copy(gameDir_ / part, dir_.path() / part, fs::copy_options::recursive);
        }
    }
};

TEST_F(BuiltData, LoadsWithAlphaInThePointerAndGlowOnly) {
    ASSERT_EQ(loadAll(), "");
    for (int slot : SlotOf) {
        ASSERT_NE(manager_.textures[slot], 0) << slot;
        const bool alpha =
            slot == ResourceManager::PointerTexture || slot == ResourceManager::GlowTexture;
        EXPECT_EQ(SizeOf(manager_.textures[slot]).alphaBits > 0, alpha) << slot;
    }
    EXPECT_GT(manager_.models[ResourceManager::ShipModel].polygons.size(), 0u);
    EXPECT_NE(manager_.gameFont, nullptr);
}

}  // namespace
