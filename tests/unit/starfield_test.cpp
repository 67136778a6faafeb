#include "starfield.h"

#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "resources.h"
#include "utils.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Half-size of near star i: 0.2 up to about 0.683, as the drawing rounds it.
float NearHalfSize(int i) { return static_cast<float>(0.2 + 0.5 * i * 0.033333335f); }

constexpr int StarSpriteName = 11;

// The blending both layers and the painting share, with the texture they draw.
glrec::Trace StarBlending(double texture) {
    return {{"glDisable", {GL_DEPTH_TEST}},
            {"glEnable", {GL_TEXTURE_2D}},
            {"glBindTexture", {GL_TEXTURE_2D, texture}},
            {"glEnable", {GL_BLEND}},
            {"glBlendFunc", {GL_ONE, GL_ONE_MINUS_SRC_COLOR}}};
}

// Corners of a square sprite, lower left first and anticlockwise, the whole texture `repeats`
// times across it.
glrec::Trace Square(double left, double bottom, double right, double top, double repeats) {
    return glrec::Corners("glVertex2f", {{0, 0, left, bottom},
                                         {repeats, 0, right, bottom},
                                         {repeats, repeats, right, top},
                                         {0, repeats, left, top}});
}

// The same at depth z.
glrec::Trace Square(double left, double bottom, double right, double top, double z,
                    double repeats) {
    return glrec::Corners("glVertex3f", {{0, 0, left, bottom, z},
                                         {repeats, 0, right, bottom, z},
                                         {repeats, repeats, right, top, z},
                                         {0, repeats, left, top, z}});
}

class StarFieldTest : public ::testing::Test {
  protected:
    GameManager manager;
    StarField field;
    std::vector<int> savedTextures = resourceManager.textures;

    void SetUp() override {
        field.manager = &manager;
        resourceManager.textures[ResourceManager::StarTexture] = StarSpriteName;
        glrec::Reset();
    }
    void TearDown() override { resourceManager.textures = savedTextures; }

    // The primitives of one background pass with the camera at (x, y).
    std::vector<glrec::Primitive> DrawnFrom(double x, double y) {
        manager.camera = Vect3d(x, y, 0);
        glrec::Reset();
        field.renderBackground();
        return glrec::Primitives();
    }
};

void ExpectShifted(const std::vector<glrec::Vertex>& a, const std::vector<glrec::Vertex>& b,
                   double dx, double dy) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].x - a[i].x, dx, 1e-4) << i;
        EXPECT_NEAR(b[i].y - a[i].y, dy, 1e-4) << i;
        EXPECT_EQ(b[i].z, a[i].z) << i;
        EXPECT_EQ(b[i].s, a[i].s) << i;
        EXPECT_EQ(b[i].t, a[i].t) << i;
    }
}

TEST_F(StarFieldTest, StartsEmptyNeverCollidesAndTickChangesNothing) {
    EXPECT_FALSE(field.collidable);
    EXPECT_FALSE(field.dead);
    EXPECT_EQ(field.fieldTexture, 0u);
    EXPECT_TRUE(field.nearStars.empty());
    field.tick();
    EXPECT_EQ(field.pos.lengthSquared(), 0.0);
    EXPECT_TRUE(glrec::Calls().empty());
}

// --- Far layer ---

TEST_F(StarFieldTest, FarQuadAtCameraOriginSpansMinus20To20) {
    field.fieldTexture = 77;
    const auto prims = DrawnFrom(0, 0);
    field.fieldTexture = 0;
    ASSERT_EQ(prims.size(), 2u);  // the far quad, then the (empty) near block
    EXPECT_EQ(prims[0].mode, unsigned(GL_QUADS));
    const auto& v = prims[0].vertices;
    ASSERT_EQ(v.size(), 4u);
    const double expected[4][5] = {
        {-20, -20, 0, 0}, {20, -20, 4, 0}, {20, 20, 4, 4}, {-20, 20, 0, 4}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_EQ(v[i].z, -10.0) << i;
        EXPECT_EQ(v[i].s, expected[i][2]) << i;
        EXPECT_EQ(v[i].t, expected[i][3]) << i;
        EXPECT_EQ(v[i].r, 0.7f) << i;
    }
    EXPECT_EQ(glrec::Named("glBindTexture").at(0).args[1], 77);
    EXPECT_EQ(glrec::Named("glBlendFunc").at(0).args,
              (std::vector<double>{GL_ONE, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(glrec::Named("glDisable").at(0).args[0], GL_DEPTH_TEST);
}

TEST_F(StarFieldTest, FarPictureRepeatsWhenTheCameraMovesBy10) {
    const auto before = DrawnFrom(3.7, -1.2);
    ExpectShifted(before[0].vertices, DrawnFrom(13.7, -1.2)[0].vertices, 10, 0);
    ExpectShifted(before[0].vertices, DrawnFrom(3.7, 8.8)[0].vertices, 0, 10);
}

TEST_F(StarFieldTest, FarQuadStaysPutWithinOneRepeat) {
    const auto before = DrawnFrom(0, 0);
    ExpectShifted(before[0].vertices, DrawnFrom(3.0, 4.9)[0].vertices, 0, 0);
}

// Near star i at (x, y), at depth z, once its tile is placed: a grey sprite growing with i.
glrec::Trace NearStar(int i, double x, double y, double z) {
    const double h = NearHalfSize(i);
    const auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    return glrec::Concat({{{"glColor3f", {0.9f, 0.9f, 0.9f}}},
                          Square(f(x - h), f(y - h), f(x + h), f(y + h), z, 1)});
}

TEST_F(StarFieldTest, BackgroundIsTheFarQuadThenOneBlockOfNearStars) {
    field.fieldTexture = 77;
    field.nearStars = {{0.5, 0.5, -3}, {15, 15, -4}, {4, 19, -7.5}};
    const auto drawn = glrec::Recorded([this] {
        manager.camera = Vect3d(25, 17, 0);
        field.renderBackground();
    });
    field.fieldTexture = 0;
    // The far quad snaps to the multiples of 10 below the view's left and bottom edges
    // (18.3 and 12), less 10. The near tile starts at (0, 0) below the window's corner
    // (15, 7); a star left of or below the window moves up one tile, one on its edge stays.
    const glrec::Trace expected = glrec::Concat(
        {StarBlending(77),
         {{"glColor3f", {0.7f, 0.7f, 0.7f}}},
         glrec::Block(GL_QUADS, Square(0, 0, 40, 40, -10, 4)),
         StarBlending(StarSpriteName),
         glrec::Block(GL_QUADS, glrec::Concat({NearStar(0, 20.5, 20.5, -3), NearStar(1, 15, 15, -4),
                                               NearStar(2, 24, 19, -7.5)}))});
    EXPECT_EQ(glrec::Mismatch(drawn, expected), "");
}

// --- Near layer ---

TEST_F(StarFieldTest, NearStarsWrapIntoTheWindowAroundTheCamera) {
    field.nearStars.assign(30, Vect3d(10, 10, -5));
    field.nearStars[0] = Vect3d(0.5, 0.5, -3);  // at -19.5 first, below -10: wrapped to 0.5
    field.nearStars[1] = Vect3d(15, 15, -4);    // at -5, inside the window
    field.nearStars[2] = Vect3d(9.5, 9.5, -6);  // at -10.5, just below -10: wrapped to 9.5
    const auto prims = DrawnFrom(0, 0);
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_EQ(prims[1].mode, unsigned(GL_QUADS));
    const auto& v = prims[1].vertices;
    ASSERT_EQ(v.size(), 120u);  // all 30 in one block

    EXPECT_EQ(v[0].x, static_cast<float>(0.5 - NearHalfSize(0)));
    EXPECT_EQ(v[0].y, static_cast<float>(0.5 - NearHalfSize(0)));
    EXPECT_EQ(v[2].x, static_cast<float>(0.5 + NearHalfSize(0)));
    EXPECT_EQ(v[0].z, -3.0);
    EXPECT_EQ(v[0].r, 0.9f);
    EXPECT_EQ(v[4].x, static_cast<float>(-5 - NearHalfSize(1)));
    EXPECT_EQ(v[6].y, static_cast<float>(-5 + NearHalfSize(1)));
    EXPECT_EQ(v[4].z, -4.0);
    EXPECT_EQ(v[8].x, static_cast<float>(9.5 - NearHalfSize(2)));
    EXPECT_EQ(v[8].y, static_cast<float>(9.5 - NearHalfSize(2)));
    // The last star is the largest.
    EXPECT_EQ(v[116].x, static_cast<float>(-10 - NearHalfSize(29)));
    EXPECT_NEAR(NearHalfSize(29), 0.68333334, 1e-7);

    // From (10.75, 10.75) the window starts at 0.75, within a unit of a tile's start: the
    // first star, at 0.5, wraps to 20.5.
    const auto moved = DrawnFrom(10.75, 10.75)[1].vertices;
    EXPECT_EQ(moved[0].x, static_cast<float>(20.5 - NearHalfSize(0)));
    EXPECT_EQ(moved[0].y, static_cast<float>(20.5 - NearHalfSize(0)));
}

TEST_F(StarFieldTest, NearStarsUseTheStarSprite) {
    field.renderStars();
    EXPECT_EQ(glrec::Named("glBindTexture").at(0).args[1], StarSpriteName);
    EXPECT_EQ(glrec::Count("glBegin"), 1);
}

TEST_F(StarFieldTest, NearPictureRepeatsWhenTheCameraMovesBy20) {
    ResetGameRand();
    field.initStars();
    const auto before = DrawnFrom(3.7, -1.2);
    ExpectShifted(before[1].vertices, DrawnFrom(23.7, -1.2)[1].vertices, 20, 0);
    ExpectShifted(before[1].vertices, DrawnFrom(3.7, 18.8)[1].vertices, 0, 20);
    // Far from the origin too: five tiles along both axes.
    ExpectShifted(before[1].vertices, DrawnFrom(103.7, 98.8)[1].vertices, 100, 100);
}

TEST_F(StarFieldTest, InitStarsKeepsExactly30AndRedrawsThemAll) {
    field.nearStars.assign(40, Vect3d(99, 99, 99));
    ResetGameRand();
    const float x = FloatRand(), y = FloatRand(), z = FloatRand();
    ResetGameRand();
    field.initStars();
    ASSERT_EQ(field.nearStars.size(), 30u);
    EXPECT_EQ(field.nearStars[0].x, x * 20);
    EXPECT_EQ(field.nearStars[0].y, y * 20);
    EXPECT_EQ(field.nearStars[0].z, z * -6 + -2);
    for (const Vect3d& star : field.nearStars) {
        EXPECT_GE(star.x, 0.0);
        EXPECT_LE(star.x, 20.0);
        EXPECT_GE(star.y, 0.0);
        EXPECT_LE(star.y, 20.0);
        EXPECT_GE(star.z, -8.0);
        EXPECT_LE(star.z, -2.0);
    }
}

// --- Painting the far layer ---

struct Sprite {
    int x, y, s;
};

// The 500 sprites of a painting that starts from a fresh random sequence.
std::vector<Sprite> ExpectedSprites() {
    ResetGameRand();
    std::vector<Sprite> sprites;
    for (int i = 0; i < 500; ++i) {
        Sprite sprite{};
        sprite.x = GameRand() % 512;
        sprite.y = GameRand() % 512;
        const int c = GameRand();
        const int q = GameRand() % 4;
        sprite.s = (c % (q + 1) + 1) * (i > 400 ? 2 : 1);
        sprites.push_back(sprite);
    }
    return sprites;
}

class StarFieldPaintingTest : public StarFieldTest {
  protected:
    std::vector<glrec::Primitive> painted;

    void SetUp() override {
        StarFieldTest::SetUp();
        ResetGameRand();
        field.initTextures();
        painted = glrec::Primitives();
    }
    // The lower-left corner and size of copy (j, k) of sprite i, as drawn.
    void ExpectCopy(int sprite, int j, int k) {
        const Sprite e = ExpectedSprites().at(sprite);
        const auto& v = painted.at(sprite * 9 + (j + 1) * 3 + (k + 1)).vertices;
        ASSERT_EQ(v.size(), 4u);
        EXPECT_EQ(v[0].x, e.x - e.s + 512 * j);
        EXPECT_EQ(v[0].y, e.y - e.s + 512 * k);
        EXPECT_EQ(v[2].x, e.x + e.s + 512 * j);
        EXPECT_EQ(v[2].y, e.y + e.s + 512 * k);
        EXPECT_EQ(v[2].s, 1.0);
        EXPECT_EQ(v[2].t, 1.0);
    }
};

TEST_F(StarFieldPaintingTest, Draws500SpritesInNineCopiesEach) {
    EXPECT_EQ(painted.size(), 4500u);
    for (const auto& p : painted) {
        EXPECT_EQ(p.mode, unsigned(GL_QUADS));
        EXPECT_EQ(p.vertices.size(), 4u);
    }
    EXPECT_EQ(glrec::Named("glBlendFunc").at(0).args,
              (std::vector<double>{GL_ONE, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(glrec::Named("glOrtho").size(), 1u);
}

TEST_F(StarFieldPaintingTest, SpritesFollowTheRandomDrawOrder) {
    ExpectCopy(0, -1, -1);
    ExpectCopy(0, -1, 0);  // k is the inner loop
    ExpectCopy(0, 0, -1);
    ExpectCopy(0, 1, 1);
    ExpectCopy(400, 0, 0);  // the last of the normal sizes
    ExpectCopy(401, 0, 0);  // doubled from here on
    ExpectCopy(499, 0, 0);
}

// Sprite e as painted: nine white copies, 512 apart both ways, k the inner loop.
glrec::Trace SpriteCalls(const Sprite& e) {
    glrec::Trace calls;
    for (int j = -1; j <= 1; ++j) {
        for (int k = -1; k <= 1; ++k) {
            const double x = e.x + 512 * j, y = e.y + 512 * k;
            const glrec::Trace copy = glrec::Concat(
                {{{"glColor3f", {1, 1, 1}}},
                 glrec::Block(GL_QUADS, Square(x - e.s, y - e.s, x + e.s, y + e.s, 1))});
            calls.insert(calls.end(), copy.begin(), copy.end());
        }
    }
    return calls;
}

TEST_F(StarFieldPaintingTest, PaintsOnAClearedScreenThenCopiesTheBackBufferIntoItsOwnTexture) {
    ASSERT_NE(field.fieldTexture, 0u);
    const double texture = field.fieldTexture;
    glrec::Trace expected = glrec::Concat(
        {{{"glClearColor", {0, 0, 0, 0}}, {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}}},
         glrec::Recorded(SetOrthoProjection),
         StarBlending(StarSpriteName)});
    for (const Sprite& sprite : ExpectedSprites()) {
        const glrec::Trace calls = SpriteCalls(sprite);
        expected.insert(expected.end(), calls.begin(), calls.end());
    }
    const glrec::Trace copy = {
        {"glGenTextures", {1, texture}},
        {"glBindTexture", {GL_TEXTURE_2D, texture}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glReadBuffer", {GL_BACK}},
        {"glCopyTexImage2D", {GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 512, 512, 0}},
        {"glDisable", {GL_BLEND}}};
    expected.insert(expected.end(), copy.begin(), copy.end());
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), expected), "");
}

TEST(StarFieldLifetime, DeletesOnlyATextureItPainted) {
    glrec::Reset();
    delete new StarField();
    EXPECT_EQ(glrec::Count("glDeleteTextures"), 0);

    auto* painted = new StarField();
    painted->initTextures();
    const unsigned name = painted->fieldTexture;
    glrec::Reset();
    delete painted;
    EXPECT_EQ(glrec::Named("glDeleteTextures").at(0).args, (std::vector<double>{1, double(name)}));
}

TEST(StarFieldLifetime, ReportsAFailedCopy) {
    StarField field;
    glrec::Reset();
    glrec::SetPendingError(GL_INVALID_OPERATION);
    EXPECT_THROW(field.initTextures(), std::runtime_error);
}

}  // namespace
