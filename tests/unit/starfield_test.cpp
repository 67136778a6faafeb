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

class StarFieldTest : public ::testing::Test {
  protected:
    GameManager manager;
    StarField field;

    void SetUp() override {
        field.manager = &manager;
        glrec::Reset();
    }

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

// --- Near layer ---

TEST_F(StarFieldTest, NearStarsWrapIntoTheWindowAroundTheCamera) {
    field.nearStars.assign(30, Vect3d(10, 10, -5));
    field.nearStars[0] = Vect3d(0.5, 0.5, -3);  // at -19.5 first, below -10: wrapped to 0.5
    field.nearStars[1] = Vect3d(15, 15, -4);    // at -5, inside the window
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
    // The last star is the largest.
    EXPECT_EQ(v[116].x, static_cast<float>(-10 - NearHalfSize(29)));
    EXPECT_NEAR(NearHalfSize(29), 0.68333334, 1e-7);
}

TEST_F(StarFieldTest, NearStarsUseTheStarSprite) {
    std::vector<int> saved = resourceManager.textures;
    resourceManager.textures[ResourceManager::StarTexture] = 11;
    field.renderStars();
    resourceManager.textures = saved;
    EXPECT_EQ(glrec::Named("glBindTexture").at(0).args[1], 11);
    EXPECT_EQ(glrec::Count("glBegin"), 1);
}

TEST_F(StarFieldTest, NearPictureRepeatsWhenTheCameraMovesBy20) {
    ResetGameRand();
    field.initStars();
    const auto before = DrawnFrom(3.7, -1.2);
    ExpectShifted(before[1].vertices, DrawnFrom(23.7, -1.2)[1].vertices, 20, 0);
    ExpectShifted(before[1].vertices, DrawnFrom(3.7, 18.8)[1].vertices, 0, 20);
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

// Sprite i of a painting that starts from a fresh random sequence.
Sprite ExpectedSprite(int index) {
    ResetGameRand();
    Sprite sprite{};
    for (int i = 0; i <= index; ++i) {
        sprite.x = GameRand() % 512;
        sprite.y = GameRand() % 512;
        const int c = GameRand();
        const int q = GameRand() % 4;
        sprite.s = c % (q + 1) + 1;
    }
    if (index > 400) sprite.s *= 2;
    return sprite;
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
        const Sprite e = ExpectedSprite(sprite);
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

TEST_F(StarFieldPaintingTest, CopiesTheBackBufferIntoItsOwnTexture) {
    ASSERT_NE(field.fieldTexture, 0u);
    std::vector<std::string> tail;
    const auto& calls = glrec::Calls();
    for (size_t i = calls.size() - 7; i < calls.size(); ++i) tail.push_back(calls[i].name);
    EXPECT_EQ(tail, (std::vector<std::string>{"glGenTextures", "glBindTexture", "glTexParameteri",
                                              "glTexParameteri", "glReadBuffer", "glCopyTexImage2D",
                                              "glDisable"}));
    EXPECT_EQ(glrec::Named("glBindTexture").back().args[1], field.fieldTexture);
    const auto params = glrec::Named("glTexParameteri");
    EXPECT_EQ(params[0].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}));
    EXPECT_EQ(params[1].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}));
    EXPECT_EQ(glrec::Named("glReadBuffer").at(0).args[0], GL_BACK);
    EXPECT_EQ(glrec::Named("glCopyTexImage2D").at(0).args,
              (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 512, 512, 0}));
    EXPECT_EQ(calls.back().args[0], GL_BLEND);
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
