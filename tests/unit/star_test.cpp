#include "star.h"

#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "resources.h"
#include "ship.h"
#include "utils.h"
#include "worldtest.h"

#include <allegro.h>

#include <gtest/gtest.h>

namespace {

// Stars owned by a manager whose ship is far away (or absent), ticked one by one.
class StarTest : public WorldTest {
  protected:
    Star* AddStar(double x, double y) { return WorldTest::AddStar(x, y, manager.newObjects); }
};

TEST(StarConstructor, DrawsOneRandomNumberForItsSpin) {
    ResetGameRand();
    const float first = FloatRand();
    const float second = FloatRand();
    ResetGameRand();
    const Star star;
    EXPECT_EQ(star.spin, first * 360);
    EXPECT_EQ(FloatRand(), second);
    EXPECT_EQ(star.radius, 0.7f);
    EXPECT_TRUE(star.collidable);
    EXPECT_FALSE(star.dead);
    EXPECT_EQ(star.glowPhase, 0.0f);
    EXPECT_EQ(star.pos.lengthSquared(), 0.0);
    EXPECT_EQ(star.vel.lengthSquared(), 0.0);
}

TEST_F(StarTest, SpinPast180IsNormalised) {
    Star* star = AddStar(0, 0);
    star->spin = 180;
    star->tick();
    EXPECT_EQ(star->spin, -179.5);
}

TEST_F(StarTest, ConstructorAngleComesIntoRangeOnTheFirstTick) {
    Star* star = AddStar(0, 0);
    star->spin = 359;
    star->tick();
    EXPECT_EQ(star->spin, -0.5);
}

TEST_F(StarTest, GlowPhaseWrapsOnTheTenthTick) {
    Star* star = AddStar(0, 0);
    star->tick();
    EXPECT_EQ(star->glowPhase, 0.1f);
    for (int i = 2; i <= 9; ++i) star->tick();
    EXPECT_EQ(star->glowPhase, 0.90000010f);  // the single-precision sum of nine steps
    star->tick();
    // Ten float steps of 0.1 overshoot 1.0 by one unit in the last place.
    EXPECT_EQ(star->glowPhase, 1.1920929e-07f);
}

TEST_F(StarTest, DriftsAndSlowsByHalfAPercent) {
    Star* star = AddStar(1, 2);
    star->vel = Vect3d(0.01, -0.02, 0);
    star->tick();
    EXPECT_EQ(star->pos.x, 1 + 0.01);
    EXPECT_EQ(star->pos.y, 2 - 0.02);
    EXPECT_EQ(star->vel.x, 0.01 * (1 - 0.005));
    EXPECT_EQ(star->vel.y, -0.02 * (1 - 0.005));
}

TEST_F(StarTest, StopsDeadJustBelowASpeedOf00001) {
    Star* star = AddStar(0, 0);
    star->vel = Vect3d(0, 0.0000999, 0);
    star->tick();
    EXPECT_EQ(star->pos.y, 0.0000999);
    EXPECT_EQ(star->vel.lengthSquared(), 0.0);

    star->vel = Vect3d(0, 0.00011, 0);
    star->tick();
    EXPECT_EQ(star->vel.y, 0.00011 * (1 - 0.005));
}

TEST_F(StarTest, FillsAGoalAfterItsMove) {
    Goal goal;
    goal.pos = Vect3d(0, -4, 0);
    manager.goals.push_back(goal);
    Star* star = AddStar(0, -3.45);
    star->vel = Vect3d(0, -0.06, 0);  // 0.55 from the centre before the move, 0.49 after
    star->tick();
    EXPECT_TRUE(manager.goals[0].filled);
    EXPECT_EQ(manager.goalsFilled, 1);
}

TEST_F(StarTest, StarTouchingTheShipDestroysBoth) {
    auto* ship = new Ship();
    ship->manager = &manager;
    manager.newObjects.push_back(ship);
    manager.ship = ship;
    AddStar(1.29, 0);
    manager.tick();
    EXPECT_TRUE(playerInfo.shipDestroyed);
    EXPECT_EQ(manager.ship, nullptr);
    EXPECT_TRUE(manager.objects.empty());
    EXPECT_EQ(manager.deadObjects.size(), 2u);
}

TEST_F(StarTest, TwoStarsTouchingBothExplode) {
    AddStar(0, 0);
    AddStar(1.39, 0);
    manager.tick();
    EXPECT_TRUE(manager.objects.empty());
    ASSERT_EQ(manager.deadObjects.size(), 2u);
    EXPECT_TRUE(manager.deadObjects[0]->dead);
    EXPECT_TRUE(manager.deadObjects[1]->dead);
    EXPECT_EQ(manager.particles.size(), 22u);
    EXPECT_FALSE(playerInfo.shipDestroyed);
}

TEST_F(StarTest, TwoStarsJustApartSurvive) {
    AddStar(0, 0);
    AddStar(1.41, 0);
    manager.tick();
    EXPECT_EQ(manager.objects.size(), 2u);
    EXPECT_TRUE(manager.particles.empty());
}

TEST_F(StarTest, CollisionExplodesAtTheStar) {
    Star* star = AddStar(3, -1);
    star->collided(nullptr);
    EXPECT_TRUE(star->dead);
    ASSERT_EQ(manager.particles.size(), 11u);
    EXPECT_EQ(manager.particles[0].pos.x, 3.0);
    EXPECT_EQ(manager.particles[0].size, 2 * static_cast<double>(0.7f));
}

// --- Drawing ---

class StarDrawingTest : public StarTest {
  protected:
    std::vector<int> savedTextures = resourceManager.textures;

    void SetUp() override {
        StarTest::SetUp();
        resourceManager.textures[ResourceManager::FlameTexture] = 41;
        resourceManager.textures[ResourceManager::GlowTexture] = 51;
    }
    void TearDown() override {
        resourceManager.textures = savedTextures;
        StarTest::TearDown();
    }
    // The glow's alpha for a phase, as recorded.
    double GlowAlpha(float phase) {
        Star* star = AddStar(0, 0);
        star->glowPhase = phase;
        glrec::Reset();
        star->renderForeground();
        return glrec::Named("glColor4f").at(0).args[3];
    }
};

TEST_F(StarDrawingTest, SphereIsUnlitFlameTexturedAndSpunAboutY) {
    Star* star = AddStar(2, 3);
    star->spin = 30;
    star->render();
    const auto calls = glrec::Calls();
    const auto prims = glrec::Primitives();

    glrec::Reset();
    DrawSphere(Vect3d(), 0.7f, 12, 1, 0, 6.283185307179586, -1.5707963267948966,
               1.5707963267948966);
    const auto sphere = glrec::Primitives();

    ASSERT_GE(calls.size(), 8u);
    EXPECT_EQ(calls[0].name, "glDisable");
    EXPECT_EQ(calls[0].args[0], GL_BLEND);
    EXPECT_EQ(calls[1].name, "glDisable");
    EXPECT_EQ(calls[1].args[0], GL_LIGHTING);
    EXPECT_EQ(calls[2].name, "glEnable");
    EXPECT_EQ(calls[2].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[4].name, "glBindTexture");
    EXPECT_EQ(calls[4].args[1], 41);
    EXPECT_EQ(calls[5].name, "glPushMatrix");
    EXPECT_EQ(calls[6].args, (std::vector<double>{2, 3, 0}));
    EXPECT_EQ(calls[7].args, (std::vector<double>{30, 0, 1, 0}));
    EXPECT_EQ(calls.back().name, "glPopMatrix");

    ASSERT_EQ(prims.size(), sphere.size());
    ASSERT_EQ(prims.size(), 6u);
    for (size_t i = 0; i < prims.size(); ++i) {
        EXPECT_EQ(prims[i].mode, unsigned(GL_TRIANGLE_STRIP));
        ASSERT_EQ(prims[i].vertices.size(), sphere[i].vertices.size());
        for (size_t j = 0; j < sphere[i].vertices.size(); ++j) {
            EXPECT_EQ(prims[i].vertices[j].x, sphere[i].vertices[j].x);
            EXPECT_EQ(prims[i].vertices[j].y, sphere[i].vertices[j].y);
            EXPECT_EQ(prims[i].vertices[j].t, sphere[i].vertices[j].t);
        }
    }
}

TEST_F(StarDrawingTest, GlowIsAQuadOfThreeRadiiAroundTheStar) {
    Star* star = AddStar(-1, 4);
    star->renderForeground();
    EXPECT_EQ(glrec::Named("glTranslatef").at(0).args, (std::vector<double>{-1, 4, 0}));
    EXPECT_EQ(glrec::Named("glBindTexture").at(0).args[1], 51);
    EXPECT_EQ(glrec::Named("glBlendFunc").at(0).args,
              (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    const auto prims = glrec::Primitives();
    ASSERT_EQ(prims.size(), 1u);  // near the camera: no radar mark
    EXPECT_EQ(prims[0].mode, unsigned(GL_QUADS));
    const auto& v = prims[0].vertices;
    ASSERT_EQ(v.size(), 4u);
    const double s = 2.1f;
    const double expected[4][4] = {{-s, -s, 0, 0}, {s, -s, 1, 0}, {s, s, 1, 1}, {-s, s, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_EQ(v[i].s, expected[i][2]) << i;
        EXPECT_EQ(v[i].t, expected[i][3]) << i;
    }
}

TEST_F(StarDrawingTest, GlowPulsesBetweenHalfAndSevenTenths) {
    EXPECT_EQ(GlowAlpha(0.0f), 0.5f);
    EXPECT_EQ(GlowAlpha(0.5f), 0.7f);
    EXPECT_EQ(GlowAlpha(1.0f), 0.5f);
    EXPECT_EQ(GlowAlpha(0.25f), 0.6f);
    EXPECT_EQ(GlowAlpha(0.75f), 0.6f);
    EXPECT_EQ(GlowAlpha(0.1f), static_cast<float>(0.5 + 0.4f * 0.1f));
}

TEST_F(StarDrawingTest, FarStarShowsAPaleYellowRadarMark) {
    Star* star = AddStar(10, 0);
    star->renderForeground();
    const auto prims = glrec::Primitives();
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_EQ(prims[1].mode, unsigned(GL_LINES));
    const auto& mark = prims[1].vertices.at(0);
    EXPECT_EQ(mark.r, 1.0);
    EXPECT_EQ(mark.g, 1.0);
    EXPECT_EQ(mark.b, 0.5);
}

TEST_F(StarDrawingTest, BackgroundPassDrawsNothing) {
    AddStar(0, 0)->renderBackground();
    EXPECT_TRUE(glrec::Calls().empty());
}

}  // namespace
