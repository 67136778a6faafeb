#include "ship.h"

#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "resources.h"
#include "star.h"
#include "utils.h"
#include "worldtest.h"

#include <allegro.h>

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr double DegToRad = 0.017453292519943295;

// A ship at the origin, heading 0 (+y), at rest, with the pointer on its centre so it
// keeps its heading; the manager owns it and everything added with AddStar.
class ShipTest : public WorldTest {
  protected:
    Ship* ship = new Ship();

    void SetUp() override {
        WorldTest::SetUp();
        playerInfo.fuel = 100;
        ship->manager = &manager;
        ship->heading = 0;
        manager.objects.push_back(ship);
        manager.ship = ship;
        PointAt(0, 0);
    }

    void PointAt(float x, float y) {
        manager.pointerX = x;
        manager.pointerY = y;
    }
    // The pointer 2 units from the ship's centre, in the direction of `degrees` from +y.
    void PointToward(double degrees) {
        PointAt(static_cast<float>(2 * std::sin(degrees * DegToRad)),
                static_cast<float>(2 * std::cos(degrees * DegToRad)));
    }
    Star* AddStar(double x, double y) { return WorldTest::AddStar(x, y, manager.objects); }
};

TEST(ShipConstructor, StartsAtRestAtTheOriginWithTheNoseAt45Degrees) {
    const Ship ship;
    EXPECT_EQ(ship.heading, 45.0);
    EXPECT_EQ(ship.radius, 0.6f);
    EXPECT_TRUE(ship.collidable);
    EXPECT_FALSE(ship.dead);
    EXPECT_EQ(ship.pos.lengthSquared(), 0.0);
    EXPECT_EQ(ship.vel.lengthSquared(), 0.0);
    EXPECT_EQ(ship.beamTarget.lengthSquared(), 0.0);
    EXPECT_EQ(ship.beamScroll, 0.0f);
}

// --- Steering ---

TEST_F(ShipTest, PointerExactlyHalfAUnitAwayLeavesTheHeading) {
    ship->heading = 45;
    PointAt(0, -0.5f);
    ship->tick();
    EXPECT_EQ(ship->heading, 45.0);

    PointAt(0, -0.5001f);
    ship->tick();
    EXPECT_EQ(ship->heading, 48.0);  // toward 180, the short way round
}

TEST_F(ShipTest, TurnsAcross180TheShortWay) {
    ship->heading = 170;
    PointToward(-170);
    ship->tick();
    EXPECT_DOUBLE_EQ(ship->heading, 173.0);
}

TEST_F(ShipTest, HeadingPast180IsNormalised) {
    ship->heading = 179;
    PointToward(-170);
    ship->tick();
    EXPECT_DOUBLE_EQ(ship->heading, -178.0);
}

TEST_F(ShipTest, TurnsLeftByThreeDegrees) {
    ship->heading = 10;
    PointToward(-90);
    ship->tick();
    EXPECT_DOUBLE_EQ(ship->heading, 7.0);
}

TEST_F(ShipTest, DifferenceOfExactly29Snaps) {
    PointAt(0, 5);  // target heading exactly 0
    ship->heading = -2.9;
    ship->tick();
    EXPECT_EQ(ship->heading, 0.0);
}

TEST_F(ShipTest, SnapLimitIsTheSinglePrecision29) {
    // 2.9f widens to 2.9000000953674316: a double 2.9 limit would step here instead.
    PointAt(0, 5);
    ship->heading = -static_cast<double>(2.9f);
    ship->tick();
    EXPECT_EQ(ship->heading, 0.0);

    ship->heading = -2.9000002;
    ship->tick();
    EXPECT_DOUBLE_EQ(ship->heading, -2.9000002 + 3);
}

// --- Thrust and fuel ---

TEST_F(ShipTest, ThrustAlongTheNoseThenFriction) {
    mouse_b = LeftButton;
    ship->tick();
    EXPECT_TRUE(ship->thrustOn);
    EXPECT_EQ(ship->pos.x, 0.0);
    EXPECT_EQ(ship->pos.y, static_cast<double>(0.004f));  // moved before friction
    EXPECT_EQ(ship->vel.y, static_cast<double>(0.004f) * (1 - 0.015));
    EXPECT_EQ(playerInfo.fuel, 99);
}

TEST_F(ShipTest, ThrustFollowsAHeadingOf90AlongX) {
    ship->heading = 90;
    PointAt(5, 0);
    mouse_b = LeftButton;
    ship->tick();
    EXPECT_DOUBLE_EQ(ship->pos.x, static_cast<double>(0.004f));
    EXPECT_NEAR(ship->pos.y, 0.0, 1e-15);
}

TEST_F(ShipTest, LastUnitOfFuelGivesOneMoreThrustTickThenNone) {
    playerInfo.fuel = 1;
    mouse_b = LeftButton;
    ship->tick();
    EXPECT_EQ(playerInfo.fuel, 0);
    EXPECT_EQ(manager.particles.size(), 2u);
    const Vect3d velocityAfterThrust = ship->vel;

    ship->tick();
    EXPECT_FALSE(ship->thrustOn);
    EXPECT_EQ(playerInfo.fuel, 0);
    EXPECT_EQ(manager.particles.size(), 2u);  // no exhaust without fuel
    EXPECT_EQ(ship->vel.y, velocityAfterThrust.y * (1 - 0.015));
}

TEST_F(ShipTest, BothButtonsThrustFirstThenTow) {
    Star* star = AddStar(0, 2);
    mouse_b = LeftButton | RightButton;
    ship->tick();
    EXPECT_TRUE(ship->thrustOn);
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_EQ(playerInfo.fuel, 99);
    EXPECT_EQ(star->vel.y, -static_cast<double>(0.00025f));
    // The exhaust took the velocity after thrust but before the beam's pull.
    ASSERT_EQ(manager.particles.size(), 2u);
    EXPECT_NEAR(manager.particles[0].vel.y, -0.038, 1e-8);
    EXPECT_EQ(ship->vel.y,
              (static_cast<double>(0.004f) + static_cast<double>(0.001f)) * (1 - 0.015));
}

// --- Friction and beam scroll ---

TEST(ApplyFriction, KeepsTheRestOfTheVelocity) {
    Vect3d v(0.3, -0.4, 0.1);
    ApplyFriction(v, 0.015);
    EXPECT_EQ(v.x, 0.3 * (1 - 0.015));
    EXPECT_EQ(v.y, -0.4 * (1 - 0.015));
    EXPECT_EQ(v.z, 0.1 * (1 - 0.015));
}

TEST(ApplyFriction, StopsDeadJustBelowASpeedOf00001) {
    Vect3d v(0.0000999, 0, 0);
    ApplyFriction(v, 0.005);
    EXPECT_EQ(v.x, 0.0);
}

TEST(ApplyFriction, StopThresholdIsTheSinglePrecision1em8) {
    // Regression: 1e-8f is 9.99999994e-9; a double literal would stop this velocity.
    Vect3d v(std::sqrt(9.99999997e-9), 0, 0);
    ASSERT_GT(v.lengthSquared(), static_cast<double>(1e-8f));
    ASSERT_LT(v.lengthSquared(), 1e-8);
    ApplyFriction(v, 0.015);
    EXPECT_GT(v.x, 0.0);
    // A speed of exactly 0.0001 squares to just above 1e-8 and keeps drifting.
    Vect3d w(0.0001, 0, 0);
    ApplyFriction(w, 0.015);
    EXPECT_EQ(w.x, 0.0001 * (1 - 0.015));
}

TEST_F(ShipTest, SlowDriftStopsAfterTheMove) {
    ship->vel = Vect3d(0, 0.0000999, 0);
    ship->tick();
    EXPECT_EQ(ship->pos.y, 0.0000999);
    EXPECT_EQ(ship->vel.lengthSquared(), 0.0);
}

TEST_F(ShipTest, BeamScrollWrapsOnlyAbove1) {
    ship->beamScroll = 0.99f;
    ship->tick();
    EXPECT_EQ(ship->beamScroll, 1.0f);
    ship->tick();
    EXPECT_NEAR(ship->beamScroll, 0.01f, 1e-6);
}

// --- Tractor beam ---

TEST_F(ShipTest, BeamHoldsAStarExactly35Away) {
    Star* star = AddStar(0, 3.5);
    mouse_b = RightButton;
    ship->tick();
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_EQ(star->vel.y, -static_cast<double>(0.00025f));
}

TEST_F(ShipTest, BeamMissesAStar351Away) {
    Star* star = AddStar(0, 3.51);
    mouse_b = RightButton;
    ship->tick();
    EXPECT_FALSE(ship->tractorOn);
    EXPECT_EQ(star->vel.lengthSquared(), 0.0);
    EXPECT_EQ(ship->vel.lengthSquared(), 0.0);
}

TEST_F(ShipTest, BeamHoldsAStarOneShipRadiusAwayButNoNearer) {
    Star* star = AddStar(0, ship->radius);  // 0.6f, the square the beam compares with
    mouse_b = RightButton;
    ship->tick();
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_LT(star->vel.y, 0.0);

    star->pos = Vect3d(0, 0.59, 0);
    star->vel = Vect3d();
    ship->tick();
    EXPECT_FALSE(ship->tractorOn);
    EXPECT_EQ(star->vel.lengthSquared(), 0.0);
}

TEST_F(ShipTest, StarNearerTheTailButOutOfReachBlocksTheBeam) {
    // 3.4 from the tail but 4 from the centre; the other is 3 from the centre, 3.6 from the tail.
    Star* behind = AddStar(0, -4);
    Star* ahead = AddStar(0, 3);
    mouse_b = RightButton;
    ship->tick();
    EXPECT_FALSE(ship->tractorOn);
    EXPECT_EQ(behind->vel.lengthSquared(), 0.0);
    EXPECT_EQ(ahead->vel.lengthSquared(), 0.0);
}

TEST_F(ShipTest, BeamOnAStarStraightAheadPullsBothBeforeFriction) {
    Star* star = AddStar(0, 2);
    ship->tractorOn = true;
    ship->applyTractorBeam();
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_EQ(ship->vel.x, 0.0);
    EXPECT_EQ(ship->vel.y, static_cast<double>(0.001f));
    EXPECT_EQ(ship->vel.z, 0.0);
    EXPECT_EQ(star->vel.x, 0.0);
    EXPECT_EQ(star->vel.y, -static_cast<double>(0.00025f));
    EXPECT_EQ(star->vel.z, 0.0);
    EXPECT_EQ(ship->beamTarget.y, 2.0);
}

TEST_F(ShipTest, BeamTargetIsTakenBeforeTheStarMoves) {
    Star* star = AddStar(1, 2);
    star->vel = Vect3d(0.1, 0, 0);
    mouse_b = RightButton;
    ship->tick();
    star->tick();
    EXPECT_EQ(ship->beamTarget.x, 1.0);
    EXPECT_EQ(ship->beamTarget.y, 2.0);
    EXPECT_GT(star->pos.x, 1.0);
}

TEST_F(ShipTest, TowsStarWithNoFuel) {
    playerInfo.fuel = 0;
    Star* star = AddStar(-2, 0);
    mouse_b = RightButton;
    ship->tick();
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_EQ(star->vel.x, static_cast<double>(0.00025f));
    EXPECT_EQ(playerInfo.fuel, 0);
}

TEST_F(ShipTest, BeamWithNothingToHoldIsOffAndNotDrawn) {
    mouse_b = RightButton;
    ship->tick();
    EXPECT_FALSE(ship->tractorOn);
    EXPECT_EQ(ship->vel.lengthSquared(), 0.0);
    glrec::Reset();
    ship->renderBackground();
    EXPECT_TRUE(glrec::Calls().empty());
}

TEST_F(ShipTest, BeamIsATriangleFromTheShipToTheTarget) {
    std::vector<int> savedTextures = resourceManager.textures;
    resourceManager.textures[ResourceManager::TractorTexture] = 71;
    ship->pos = Vect3d(1, 1, 0);
    ship->beamTarget = Vect3d(1, 3, 0);
    ship->tractorOn = true;
    ship->beamScroll = 0.25f;
    ship->renderBackground();
    resourceManager.textures = savedTextures;
    // Half-transparent, fanning from the ship to the target end, 0.6 (a float) to either
    // side of it; the texture runs once along the beam from the scroll offset.
    EXPECT_EQ(glrec::Mismatch(
                  glrec::Calls(),
                  glrec::Concat(
                      {{{"glDisable", {GL_LIGHTING}},
                        {"glEnable", {GL_BLEND}},
                        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
                        {"glEnable", {GL_TEXTURE_2D}},
                        {"glBindTexture", {GL_TEXTURE_2D, 71}},
                        {"glColor4f", {1, 1, 1, 0.5f}}},
                       glrec::Block(GL_TRIANGLES,
                                    glrec::Corners("glVertex3f", {{0.5f, 0.25f, 1, 1, 0},
                                                                  {1, 1.25f, 1 + 0.6f, 3, 0},
                                                                  {0, 1.25f, 1 - 0.6f, 3, 0}}))})),
              "");
}

// --- Exhaust ---

TEST_F(ShipTest, ExhaustLeavesBothNozzlesAgainstTheThrust) {
    ResetGameRand();
    const float firstRand = FloatRand();
    const float secondRand = FloatRand();
    ResetGameRand();
    mouse_b = LeftButton;
    ship->tick();

    ASSERT_EQ(manager.particles.size(), 2u);
    const Particle& right = manager.particles[0];
    const Particle& left = manager.particles[1];
    EXPECT_NEAR(right.pos.x, 0.12, 1e-7);
    EXPECT_NEAR(left.pos.x, -0.12, 1e-7);
    for (const Particle& p : manager.particles) {
        EXPECT_NEAR(p.pos.y, -0.42, 1e-7);
        EXPECT_EQ(p.pos.z, 0.0);
        EXPECT_EQ(p.vel.x, 0.0);
        EXPECT_NEAR(p.vel.y, -0.038, 1e-8);
        EXPECT_EQ(p.vel.z, 0.0);
        EXPECT_EQ(p.life, 15);
        EXPECT_EQ(p.maxLife, 15);
        EXPECT_EQ(p.r, 0.5f);
        EXPECT_EQ(p.g, 0.5f);
        EXPECT_EQ(p.b, 0.5f);
    }
    EXPECT_EQ(right.size, 0.1 + 0.1 * firstRand);
    EXPECT_EQ(left.size, 0.1 + 0.1 * secondRand);
}

// --- Drawing and collision ---

class ShipDrawingTest : public ShipTest {
  protected:
    std::vector<int> savedTextures = resourceManager.textures;
    std::vector<Model> savedModels = resourceManager.models;

    void SetUp() override {
        ShipTest::SetUp();
        resourceManager.textures[ResourceManager::ShipTexture] = 61;
        resourceManager.models.resize(ResourceManager::NumModelSlots);
    }
    void TearDown() override {
        resourceManager.textures = savedTextures;
        resourceManager.models = savedModels;
        ShipTest::TearDown();
    }
};

TEST_F(ShipDrawingTest, ModelIsLitTexturedTurnedAndScaled) {
    Model& model = resourceManager.models[ResourceManager::ShipModel];
    model.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    model.polygons.assign(1, Polygon{{0, 1, 2}, {0, 0, 1}});
    model.texScale = 1;
    const glrec::Trace textured = glrec::Recorded([&model] { model.draw(true); });
    ship->pos = Vect3d(2, -3, 0);
    ship->heading = 30;
    ship->render();
    // Clockwise seen from above by the heading, at a fifteenth (as a float) of model size.
    const double scale = 0.06666667f;
    EXPECT_EQ(
        glrec::Mismatch(glrec::Calls(), glrec::Concat({{{"glDisable", {GL_BLEND}},
                                                        {"glEnable", {GL_LIGHTING}},
                                                        {"glEnable", {GL_TEXTURE_2D}},
                                                        {"glColor3f", {1, 1, 1}},
                                                        {"glBindTexture", {GL_TEXTURE_2D, 61}},
                                                        {"glPushMatrix", {}},
                                                        {"glTranslatef", {2, -3, 0}},
                                                        {"glRotatef", {30, 0, 0, -1}},
                                                        {"glScalef", {scale, scale, scale}}},
                                                       textured,
                                                       {{"glPopMatrix", {}}}})),
        "");
}

TEST_F(ShipTest, TouchingAStarDestroysShipAndStar) {
    playerInfo.shipDestroyed = false;
    AddStar(1.29, 0);
    manager.tick();
    EXPECT_TRUE(playerInfo.shipDestroyed);
    EXPECT_EQ(manager.ship, nullptr);
    EXPECT_TRUE(manager.objects.empty());
    ASSERT_EQ(manager.deadObjects.size(), 2u);
    EXPECT_TRUE(manager.deadObjects[0]->dead);
    EXPECT_TRUE(manager.deadObjects[1]->dead);
    EXPECT_EQ(manager.particles.size(), 22u);  // one explosion each
}

TEST_F(ShipTest, StarJustOutOfContactLeavesTheShip) {
    AddStar(1.31, 0);
    manager.tick();
    EXPECT_FALSE(playerInfo.shipDestroyed);
    EXPECT_EQ(manager.ship, ship);
    EXPECT_EQ(manager.objects.size(), 2u);
}

}  // namespace
