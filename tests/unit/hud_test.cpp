#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "resources.h"
#include "utils.h"

#include <alleggl.h>
#include <allegro.h>

#include <cmath>
#include <string>
#include <vector>

// AllegroGL brings in X11's None and Bool macros, which GoogleTest uses as names.
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace {

// What a 512x16 text bitmap holds when `text` is printed at (x, y) in the game font:
// rows of '#' for ink and '.' for background, as the recorder reports a texture's bitmap.
std::vector<std::string> TextRows(const std::string& text, int x, int y, int width = 512) {
    BITMAP* bmp = create_bitmap(width, 16);
    clear_to_color(bmp, 0);
    textout_ex(bmp, resourceManager.getFont(), text.c_str(), x, y, makecol(255, 255, 255), 0);
    std::vector<std::string> rows;
    for (int row = 0; row < bmp->h; ++row) {
        std::string line;
        for (int col = 0; col < bmp->w; ++col) line += getpixel(bmp, col, row) != 0 ? '#' : '.';
        rows.push_back(line);
    }
    destroy_bitmap(bmp);
    return rows;
}

std::vector<std::string> NamesFrom(std::size_t first, std::size_t count) {
    std::vector<std::string> names;
    for (const glrec::Call& c : glrec::CallsFrom(first, count)) names.push_back(c.name);
    return names;
}

// The one text quad of both displays: the whole texture, 512 wide and 32 high from (0, y).
glrec::Trace TextQuad(double y) {
    return glrec::Block(
        GL_QUADS,
        glrec::Corners("glVertex2f",
                       {{0, 0, 0, y}, {1, 0, 512, y}, {1, 1, 512, y + 32}, {0, 1, 0, y + 32}}));
}

// A text bitmap turned into a texture that flips its top row to t = 1 and keeps only the
// luminance of its white ink.
glrec::Call TextTexture(double texture) {
    return {"allegro_gl_make_texture_ex", {AGL_TEXTURE_FLIP, 512, 16, GL_LUMINANCE8, texture}};
}

// RenderHud's calls once the line is printed: a fresh texture, drawn in white at the
// bottom left at twice its height, then deleted.
glrec::Trace HudCalls(double texture) {
    return glrec::Concat({{TextTexture(texture),
                           {"glBindTexture", {GL_TEXTURE_2D, texture}},
                           {"glColor3f", {1, 1, 1}}},
                          TextQuad(0),
                          {{"glDeleteTextures", {1, texture}}}});
}

// The name the last text texture was given.
double LastTextureName() { return glrec::Named("allegro_gl_make_texture_ex").back().args.at(4); }

// Keys are Allegro's polled globals: every test starts and ends with all keys up.
class HudTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        if (hudBmp == nullptr) hudBmp = create_bitmap(512, 16);
        savedFuel = playerInfo.fuel;
        glrec::Reset();
    }
    void TearDown() override {
        ReleaseAllKeys();
        playerInfo.fuel = savedFuel;
    }
    static void ReleaseAllKeys() {
        for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    }

    int savedFuel = 0;
    GameManager manager;
};

// --- Projection ---

TEST_F(HudTest, ProjectionLooksDownTheZAxisFrom20UnitsAboveTheCamera) {
    manager.camera = Vect3d(3, -2, 0.5);
    InitProjection(manager);
    EXPECT_EQ(NamesFrom(0, 7),
              (std::vector<std::string>{"glMatrixMode", "glLoadIdentity", "glMatrixMode",
                                        "glLoadIdentity", "gluPerspective", "glTranslatef",
                                        "glMatrixMode"}));
    const auto modes = glrec::Named("glMatrixMode");
    ASSERT_EQ(modes.size(), 3u);
    EXPECT_EQ(modes[0].args[0], GL_MODELVIEW);
    EXPECT_EQ(modes[1].args[0], GL_PROJECTION);
    EXPECT_EQ(modes[2].args[0], GL_MODELVIEW);

    // Twice atanf(0.25) in degrees, in single precision; the single-precision 4/3.
    const float halfAngle = static_cast<float>(std::atan(0.25f) * 57.29577951308232);
    const auto perspective = glrec::Named("gluPerspective").at(0).args;
    EXPECT_EQ(perspective[0], static_cast<double>(halfAngle * 2.0f));
    EXPECT_NEAR(perspective[0], 28.0725, 1e-4);
    EXPECT_EQ(perspective[1], 1.3333333730697632);
    EXPECT_EQ(perspective[2], 10.0);
    EXPECT_EQ(perspective[3], 60.0);
    EXPECT_EQ(glrec::Named("glTranslatef").at(0).args, (std::vector<double>{-3, 2, -20.5}));
}

TEST_F(HudTest, ProjectionSetsTheFixedDirectionalLightWithoutSwitchingLightingOn) {
    InitProjection(manager);
    const auto lights = glrec::Named("glLightfv");
    ASSERT_EQ(lights.size(), 3u);
    const auto f = [](float v) { return static_cast<double>(v); };
    EXPECT_EQ(lights[0].args,
              (std::vector<double>{GL_LIGHT1, GL_AMBIENT, f(0.4f), f(0.4f), f(0.4f), 1}));
    EXPECT_EQ(lights[1].args,
              (std::vector<double>{GL_LIGHT1, GL_DIFFUSE, f(0.6f), f(0.6f), f(0.6f), 1}));
    EXPECT_EQ(lights[2].args, (std::vector<double>{GL_LIGHT1, GL_POSITION, 1, 1.5, 1, 0}));

    std::vector<double> enabled;
    for (const glrec::Call& c : glrec::Named("glEnable")) enabled.push_back(c.args[0]);
    EXPECT_EQ(enabled, (std::vector<double>{GL_LIGHT1, GL_COLOR_MATERIAL, GL_NORMALIZE}));
    EXPECT_EQ(glrec::Named("glShadeModel").at(0).args[0], GL_SMOOTH);
    EXPECT_EQ(glrec::Named("glDepthFunc").at(0).args[0], GL_LESS);
    EXPECT_EQ(glrec::Named("glClearDepth").at(0).args[0], 1.0);
    EXPECT_EQ(glrec::Count("glDisable"), 0);
}

// --- HUD line ---

TEST_F(HudTest, HudPrintsTheStatusLineAtTheTopLeftOfAFreshlyClearedBitmap) {
    clear_to_color(hudBmp, makecol(255, 255, 255));  // last frame's leftovers
    manager.goals.assign(1, Goal());
    manager.goalsFilled = 0;
    playerInfo.fuel = 350;
    RenderHud(manager);
    EXPECT_EQ(glrec::LastTextureBitmap(), TextRows("COMPLETE: 0 / 1  FUEL:0350", 0, 0));
    // White ink on black: nothing else is left in the bitmap.
    const int white = makecol(255, 255, 255);
    for (int y = 0; y < hudBmp->h; ++y) {
        for (int x = 0; x < hudBmp->w; ++x) {
            const int c = getpixel(hudBmp, x, y);
            ASSERT_TRUE(c == 0 || c == white) << x << "," << y;
        }
    }
}

TEST_F(HudTest, HudShowsTheLatestGoalCountAndFuel) {
    manager.goals.assign(3, Goal());
    manager.goalsFilled = 2;
    playerInfo.fuel = 12345;
    RenderHud(manager);
    EXPECT_EQ(glrec::LastTextureBitmap(), TextRows("COMPLETE: 2 / 3  FUEL:12345", 0, 0));
}

TEST_F(HudTest, HudDrawsAFreshLuminanceTextureAsADoubleHeightQuadThenDeletesIt) {
    RenderHud(manager);
    const double first = LastTextureName();
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), HudCalls(first)), "");

    const std::size_t next = glrec::Calls().size();
    RenderHud(manager);  // the next frame builds another
    const double second = LastTextureName();
    EXPECT_NE(second, first);
    EXPECT_EQ(glrec::Mismatch(glrec::CallsFrom(next), HudCalls(second)), "");
}

// --- The frame ---

constexpr int BackgroundTextureName = 21, PointerTextureName = 22;

class FrameTest : public HudTest {
  protected:
    std::vector<int> savedTextures = resourceManager.textures;

    void SetUp() override {
        HudTest::SetUp();
        resourceManager.textures[ResourceManager::BackgroundTexture] = BackgroundTextureName;
        resourceManager.textures[ResourceManager::PointerTexture] = PointerTextureName;
    }
    void TearDown() override {
        resourceManager.textures = savedTextures;
        HudTest::TearDown();
    }
};

TEST_F(FrameTest, FrameIsTheDimmedBackgroundThenTheWorldThenTheHud) {
    manager.camera = Vect3d(10, -30, 0);
    const glrec::Trace ortho = glrec::Recorded(SetOrthoProjection);
    const glrec::Trace projection = glrec::Recorded([this] { InitProjection(manager); });
    const glrec::Trace world = glrec::Recorded([this] { manager.render(); });
    DrawFrame(manager);
    // The texture scrolls by a twentieth of a repeat per unit of camera movement, and
    // repeats once up and the single-precision 4/3 times across the screen.
    const double u = 0.5, v = -1.5;
    const double across = u + 4.0f / 3.0f;
    const glrec::Trace background = glrec::Block(
        GL_QUADS,
        glrec::Corners(
            "glVertex2f",
            {{u, v, 0, 0}, {across, v, 1024, 0}, {across, v + 1, 1024, 768}, {u, v + 1, 0, 768}}));
    EXPECT_EQ(
        glrec::Mismatch(glrec::Calls(),
                        glrec::Concat({{{"glClear", {GL_DEPTH_BUFFER_BIT}}},
                                       ortho,
                                       {{"glDisable", {GL_DEPTH_TEST}},
                                        {"glDisable", {GL_BLEND}},
                                        {"glDisable", {GL_LIGHTING}},
                                        {"glBindTexture", {GL_TEXTURE_2D, BackgroundTextureName}},
                                        {"glEnable", {GL_TEXTURE_2D}},
                                        {"glColor3f", {0.4f, 0.4f, 0.4f}}},
                                       background,
                                       projection,
                                       {{"glDisable", {GL_BLEND}}, {"glEnable", {GL_DEPTH_TEST}}},
                                       world,
                                       ortho,
                                       {{"glDisable", {GL_LIGHTING}},
                                        {"glEnable", {GL_TEXTURE_2D}},
                                        {"glEnable", {GL_BLEND}},
                                        {"glBlendFunc", {GL_ONE, GL_ONE_MINUS_SRC_COLOR}}},
                                       HudCalls(LastTextureName())})),
        "");
}

// --- Intermission ---

TEST_F(HudTest, IntermissionWithoutKeysShows200Frames) {
    ShowIntermission("ENTERING LEVEL 1");
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 200);
    EXPECT_EQ(glrec::Count("rest"), 200);
    EXPECT_EQ(glrec::Count("glClear"), 200);
}

TEST_F(HudTest, SpaceHeldFromTheStartEndsTheIntermissionAfterExactly41Frames) {
    key[KEY_SPACE] = -1;
    ShowIntermission("ENTERING LEVEL 1");
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 41);
}

TEST_F(HudTest, EscHeldFromTheStartEndsTheIntermissionAfterOneFrame) {
    key[KEY_ESC] = -1;
    ShowIntermission("YOU WIN!");
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 1);
}

TEST_F(HudTest, IntermissionPrintsItsTextOnePixelInIntoOneTextureUsedForEveryFrame) {
    ShowIntermission("YOU WIN!");
    EXPECT_EQ(glrec::LastTextureBitmap(), TextRows("YOU WIN!", 1, 1));
    const auto made = glrec::Named("allegro_gl_make_texture_ex");
    ASSERT_EQ(made.size(), 1u);
    const double texture = made[0].args[4];
    EXPECT_EQ(made[0], TextTexture(texture));
    // Bound once before the first of the 200 frames, deleted after the last.
    EXPECT_EQ(glrec::Count("glBindTexture"), 1);
    EXPECT_LT(glrec::IndexOf("glBindTexture"), glrec::IndexOf("glClearColor"));
    EXPECT_EQ(glrec::Named("glBindTexture").at(0).args,
              (std::vector<double>{GL_TEXTURE_2D, texture}));
    EXPECT_EQ(glrec::Calls().back().name, "glDeleteTextures");
    EXPECT_EQ(glrec::Calls().back().args, (std::vector<double>{1, texture}));
}

TEST_F(HudTest, IntermissionFrameIsTheTextOnDarkBlueThenAFlipAndA20msRest) {
    key[KEY_ESC] = -1;
    ShowIntermission("ENTERING LEVEL 2");
    const double texture = LastTextureName();
    EXPECT_EQ(
        glrec::Mismatch(
            glrec::Calls(),
            glrec::Concat(
                {{TextTexture(texture),
                  {"glBindTexture", {GL_TEXTURE_2D, texture}},
                  {"glClearColor", {0, 0, 0.4f, 0}},
                  {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}}},
                 glrec::Recorded(SetOrthoProjection),
                 {{"glEnable", {GL_BLEND}},
                  {"glDisable", {GL_LIGHTING}},
                  {"glBlendFunc", {GL_ONE, GL_ONE_MINUS_SRC_COLOR}},
                  {"glEnable", {GL_TEXTURE_2D}},
                  {"glColor3f", {1, 1, 1}}},
                 TextQuad(350),
                 {{"allegro_gl_flip", {}}, {"rest", {20}}, {"glDeleteTextures", {1, texture}}}})),
        "");
}

// --- Text wider than the bitmap ---

TEST_F(HudTest, TextWiderThanTheBitmapIsCutAtItsRightEdge) {
    const std::string text = std::string(70, 'M') + " END";  // 74 glyphs of 8 pixels
    ASSERT_GT(text_length(resourceManager.getFont(), text.c_str()), 512);
    // What a bitmap wide enough for all of it shows, up to the 512th column.
    std::vector<std::string> cut = TextRows(text, 1, 1, 1024);
    for (std::string& row : cut) row.resize(512);

    key[KEY_ESC] = -1;
    ShowIntermission(text);
    EXPECT_EQ(glrec::LastTextureBitmap(), cut);
    // Still the whole texture on the usual 512 pixels.
    const glrec::Trace quad = TextQuad(350);
    EXPECT_EQ(glrec::Mismatch(glrec::CallsFrom(glrec::IndexOf("glBegin"), quad.size()), quad), "");
}

}  // namespace
