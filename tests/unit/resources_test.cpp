#include "resources.h"

#include "gamedata.h"
#include "glrecorder.h"
#include "opengl.h"

#include <allegro/internal/aintern.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

// Texture uploads go to the recording stand-in for allegro_gl_make_texture_ex, which
// keeps the flags, the image size and the internal format of each call.

namespace {

// AGL_TEXTURE_FLIP; alleggl.h would bring X11's None macro, which breaks GoogleTest.
constexpr int TextureFlip = 4;

constexpr int SlotOf[] = {
    ResourceManager::BackgroundTexture, ResourceManager::StarTexture,
    ResourceManager::PointerTexture,    ResourceManager::FlameTexture,
    ResourceManager::GlowTexture,       ResourceManager::ShipTexture,
    ResourceManager::TractorTexture,
};

// The global is built the same way during static initialisation (other tests fill it).
TEST(ResourceManager, StartsWithNineEmptyTextureSlotsAndNoModelsOrSamples) {
    const ResourceManager manager;
    EXPECT_EQ(manager.textures, std::vector<int>(9, 0));
    EXPECT_TRUE(manager.models.empty());
    EXPECT_TRUE(manager.samples.empty());
    EXPECT_EQ(manager.gameFont, nullptr);
    EXPECT_EQ(manager.getFont(), font);
}

TEST(ResourceManager, GetFontPrefersTheLoadedFont) {
    ResourceManager manager;
    FONT* loaded = extract_font_range(font, ' ', 'z');
    manager.gameFont = loaded;
    EXPECT_EQ(manager.getFont(), loaded);
    destroy_font(loaded);
}

// It runs after Allegro has shut down (allegro_exit is an atexit handler), when handing
// anything back to Allegro or the dead OpenGL context would crash the exit.
TEST(ResourceManager, DestructorDeletesNoTextureAndDestroysNoFont) {
    static int fontsDestroyed = 0;
    FONT_VTABLE counting = *font->vtable;  // the built-in font, but counting its destruction
    counting.destroy = [](FONT*) { ++fontsDestroyed; };
    FONT loaded = *font;
    loaded.vtable = &counting;
    {
        ResourceManager manager;
        for (int slot : SlotOf) manager.textures[slot] = 100 + slot;
        manager.gameFont = &loaded;
        glrec::Reset();
    }
    EXPECT_EQ(glrec::Count("glDeleteTextures"), 0);
    EXPECT_EQ(fontsDestroyed, 0);
}

// A complete data directory as the working directory, and the colour conversion put back.
class GameData : public ::testing::Test {
  protected:
    void SetUp() override {
        gamedata::WriteGameData(dir_.path());
        glrec::Reset();
    }
    void TearDown() override {
        if (manager_.gameFont != nullptr) destroy_font(manager_.gameFont);
        set_color_conversion(conversion_);
    }

    void remove(const char* name) { std::filesystem::remove(dir_.path() / name); }

    std::string loadAll() { return gamedata::LoadAllMessage(manager_); }

    const int conversion_ = get_color_conversion();
    gamedata::TempWorkingDir dir_;
    ResourceManager manager_;
};

TEST_F(GameData, LoadFromFileUploadsFlippedWithTheAskedFormat) {
    for (bool alpha : {false, true}) {
        glrec::Reset();
        const int texture = loadFromFile("gfx/shiptex.tga", alpha);
        const auto uploads = glrec::Named("allegro_gl_make_texture_ex");
        ASSERT_EQ(uploads.size(), 1u);
        EXPECT_EQ(uploads[0].args[0], TextureFlip);
        EXPECT_EQ(uploads[0].args[1], 8);
        EXPECT_EQ(uploads[0].args[3], alpha ? GL_RGBA : GL_RGB);
        EXPECT_EQ(uploads[0].args[4], texture);
        EXPECT_NE(texture, 0);
    }
}

TEST_F(GameData, LoadFromFileNamesAMissingImage) {
    try {
        loadFromFile("gfx/none.tga", false);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to load texture: gfx/none.tga");
    }
    EXPECT_EQ(glrec::Count("allegro_gl_make_texture_ex"), 0);
}

TEST_F(GameData, LoadAllFillsEverySlotInItsOrder) {
    ASSERT_EQ(loadAll(), "");
    EXPECT_EQ(get_color_conversion(), COLORCONV_NONE);
    const auto uploads = glrec::Named("allegro_gl_make_texture_ex");
    ASSERT_EQ(uploads.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        const gamedata::TextureFile& file = gamedata::Textures[i];
        SCOPED_TRACE(file.name);
        EXPECT_EQ(uploads[i].args[0], TextureFlip);
        EXPECT_EQ(uploads[i].args[1], file.width);
        EXPECT_EQ(uploads[i].args[2], file.height);
        EXPECT_EQ(uploads[i].args[3], file.depth == 32 ? GL_RGBA : GL_RGB);
        EXPECT_EQ(manager_.textures[SlotOf[i]], uploads[i].args[4]);
    }
    EXPECT_EQ(manager_.textures[0], 0);
    EXPECT_EQ(manager_.textures[8], 0);
}

TEST_F(GameData, LoadAllFillsTheModelSampleAndFontTables) {
    ASSERT_EQ(loadAll(), "");
    ASSERT_EQ(manager_.models.size(), 3u);
    for (int slot : {0, 1}) {
        EXPECT_EQ(manager_.models[slot].vertices.size(), 1u);
        EXPECT_TRUE(manager_.models[slot].polygons.empty());
    }
    const Model& ship = manager_.models[ResourceManager::ShipModel];
    EXPECT_EQ(ship.vertices.size(), 3u);
    EXPECT_EQ(ship.polygons.size(), 1u);
    EXPECT_EQ(manager_.samples, std::vector<SAMPLE*>(2, nullptr));
    ASSERT_NE(manager_.gameFont, nullptr);
    EXPECT_EQ(manager_.getFont(), manager_.gameFont);
    EXPECT_EQ(get_font_range_begin(manager_.gameFont, -1), gamedata::FirstGlyph);
    EXPECT_EQ(get_font_range_end(manager_.gameFont, -1), gamedata::LastGlyph);
}

// Each missing texture stops loading at its own step: the slots loaded before it are
// filled, nothing after it is touched.
class MissingTexture : public GameData, public ::testing::WithParamInterface<int> {};

TEST_P(MissingTexture, StopsLoadingAtThatTexture) {
    const int missing = GetParam();
    const char* name = gamedata::Textures[missing].name;
    remove(name);
    EXPECT_EQ(loadAll(), std::string("Failed to load texture: ") + name);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(manager_.textures[SlotOf[i]] != 0, i < missing) << gamedata::Textures[i].name;
    }
    EXPECT_TRUE(manager_.models.empty());
    EXPECT_TRUE(manager_.samples.empty());
    EXPECT_EQ(manager_.gameFont, nullptr);
}

INSTANTIATE_TEST_SUITE_P(ResourceManager, MissingTexture, ::testing::Range(0, 7),
                         [](const auto& info) {
                             const std::string file = gamedata::Textures[info.param].name;
                             return file.substr(4, file.size() - 8);  // gfx/NAME.tga
                         });

TEST_F(GameData, MissingModelStopsLoadingAfterTheModelSlotsExist) {
    remove(gamedata::ModelFile);
    EXPECT_EQ(loadAll(), "Unable to load file models/ship.model");
    EXPECT_EQ(glrec::Count("allegro_gl_make_texture_ex"), 7);
    ASSERT_EQ(manager_.models.size(), 3u);
    EXPECT_EQ(manager_.models[ResourceManager::ShipModel].vertices.size(), 1u);
    EXPECT_TRUE(manager_.samples.empty());
    EXPECT_EQ(manager_.gameFont, nullptr);
}

TEST_F(GameData, MissingFontFailsLastWithEverythingElseLoaded) {
    remove(gamedata::FontFile);
    EXPECT_EQ(loadAll(), "Font load failed");
    for (int slot : SlotOf) EXPECT_NE(manager_.textures[slot], 0);
    ASSERT_EQ(manager_.models.size(), 3u);
    EXPECT_EQ(manager_.models[ResourceManager::ShipModel].vertices.size(), 3u);
    EXPECT_EQ(manager_.samples.size(), 2u);
    EXPECT_EQ(manager_.getFont(), font);
}

TEST_F(GameData, ImageThatIsNotATextureIsAnUnreadableImage) {
    std::filesystem::remove(dir_.path() / "gfx/glow.tga");
    std::ofstream(dir_.path() / "gfx/glow.tga") << "not an image";
    EXPECT_EQ(loadAll(), "Failed to load texture: gfx/glow.tga");
}

}  // namespace
