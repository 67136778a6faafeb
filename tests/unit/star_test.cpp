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
    // A whole sphere of the star's radius, poles on the y axis, in 12 slices of strips.
    const glrec::Trace sphere = glrec::Recorded([] {
        DrawSphere(Vect3d(), 0.7f, 12, 1, 0, 6.283185307179586, -1.5707963267948966,
                   1.5707963267948966);
    });
    EXPECT_EQ(
        glrec::Mismatch(glrec::Calls(), glrec::Concat({{{"glDisable", {GL_BLEND}},
                                                        {"glDisable", {GL_LIGHTING}},
                                                        {"glEnable", {GL_TEXTURE_2D}},
                                                        {"glColor3f", {1, 1, 1}},
                                                        {"glBindTexture", {GL_TEXTURE_2D, 41}},
                                                        {"glPushMatrix", {}},
                                                        {"glTranslatef", {2, 3, 0}},
                                                        {"glRotatef", {30, 0, 1, 0}}},
                                                       sphere,
                                                       {{"glPopMatrix", {}}}})),
        "");
}

// The glow of a star at (x, y) with this alpha: a white quad three radii across each way.
glrec::Trace GlowCalls(double x, double y, float alpha) {
    const double s = 2.1f;
    return glrec::Concat(
        {{{"glEnable", {GL_BLEND}},
          {"glDisable", {GL_LIGHTING}},
          {"glEnable", {GL_TEXTURE_2D}},
          {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
          {"glColor4f", {1, 1, 1, alpha}},
          {"glBindTexture", {GL_TEXTURE_2D, 51}},
          {"glPushMatrix", {}},
          {"glTranslatef", {x, y, 0}}},
         glrec::Block(GL_QUADS,
                      glrec::Corners("glVertex2f",
                                     {{0, 0, -s, -s}, {1, 0, s, -s}, {1, 1, s, s}, {0, 1, -s, s}})),
         {{"glPopMatrix", {}}}});
}

TEST_F(StarDrawingTest, GlowIsAWhiteQuadOfThreeRadiiAroundTheStar) {
    Star* star = AddStar(-1, 4);  // near the camera: no radar mark
    star->glowPhase = 0.25f;
    star->renderForeground();
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), GlowCalls(-1, 4, 0.6f)), "");
}

TEST_F(StarDrawingTest, GlowPulsesBetweenHalfAndSevenTenths) {
    EXPECT_EQ(GlowAlpha(0.0f), 0.5f);
    EXPECT_EQ(GlowAlpha(0.5f), 0.7f);
    EXPECT_EQ(GlowAlpha(1.0f), 0.5f);
    EXPECT_EQ(GlowAlpha(0.25f), 0.6f);
    EXPECT_EQ(GlowAlpha(0.75f), 0.6f);
    EXPECT_EQ(GlowAlpha(0.1f), static_cast<float>(0.5 + 0.4f * 0.1f));
    EXPECT_EQ(GlowAlpha(0.55f), static_cast<float>(0.5 + 0.4f * (1 - 0.55f)));  // falling again
}

TEST_F(StarDrawingTest, FarStarShowsAPaleYellowRadarMarkAfterItsGlow) {
    Star* star = AddStar(0, -8);
    const glrec::Trace mark =
        glrec::Recorded([this, star] { manager.showRadar(star->pos, 1.0f, 1.0f, 0.5f); });
    ASSERT_FALSE(mark.empty());
    star->renderForeground();
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), glrec::Concat({GlowCalls(0, -8, 0.5f), mark})), "");
}

TEST_F(StarDrawingTest, BackgroundPassDrawsNothing) {
    AddStar(0, 0)->renderBackground();
    EXPECT_TRUE(glrec::Calls().empty());
}

}  // namespace
