#include "rules.h"

#include "game.h"
#include "gamemanager.h"
#include "geometry.h"
#include "ship.h"
#include "star.h"

#include <allegro.h>

#include <gtest/gtest.h>

namespace {

using autopilot::Pointer;

// The autopilot foresees each tick with its own copy of the game's rules; these cases hold
// the copy to the game itself, so a change in the game shows up here first.
class RulesMatchTheGame : public ::testing::Test {
  protected:
    GameManager manager;
    Ship* ship = new Ship();

    void SetUp() override {
        playerInfo = PlayerInfo();
        ship->manager = &manager;
        manager.objects.push_back(ship);
        manager.ship = ship;
    }
    void TearDown() override {
        mouse_x = 512;
        mouse_y = 384;
        mouse_b = 0;
    }
    Star* AddStar(double x, double y) {
        auto* star = new Star();
        star->manager = &manager;
        star->pos = Vect3d(x, y, 0);
        manager.objects.push_back(star);
        return star;
    }
    std::vector<autopilot::StarView> Stars() const {
        std::vector<autopilot::StarView> views;
        for (const GameObject* o : manager.objects) {
            if (o != ship) views.push_back({o, o->pos, o->vel});
        }
        return views;
    }
};

TEST_F(RulesMatchTheGame, PointerMappingIsBitForBitTheGames) {
    for (const Vect3d camera : {Vect3d(), Vect3d(3.7, -12.25, 0), Vect3d(-16.1, 8.03, 0)}) {
        for (const auto& [x, y] : {std::pair{0, 0}, {1023, 767}, {512, 384}, {77, 701}, {900, 3}}) {
            manager.camera = camera;
            mouse_x = x;
            mouse_y = y;
            manager.tickPointer();
            const Pointer p = autopilot::PointerFor(x, y, camera);
            EXPECT_EQ(p.x, manager.pointerX) << x << "," << y;
            EXPECT_EQ(p.y, manager.pointerY) << x << "," << y;
        }
    }
}

TEST_F(RulesMatchTheGame, MousePixelForAWorldPointLandsWithinHalfAPixel) {
    const Vect3d camera(2.5, -1.25, 0);
    const Vect3d target(5.1, 1.9, 0);
    int x = 0, y = 0;
    autopilot::MouseFor(target, camera, x, y);
    const Pointer p = autopilot::PointerFor(x, y, camera);
    EXPECT_NEAR(p.x, target.x, 0.5 * autopilot::ViewWidth / autopilot::ScreenWidth);
    EXPECT_NEAR(p.y, target.y, 0.5 * autopilot::ViewHeight / autopilot::ScreenHeight);
}

TEST_F(RulesMatchTheGame, MousePixelStaysOnTheScreen) {
    int x = 0, y = 0;
    autopilot::MouseFor(Vect3d(-100, -100, 0), Vect3d(), x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 767);
    autopilot::MouseFor(Vect3d(100, 100, 0), Vect3d(), x, y);
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 0);
}

TEST_F(RulesMatchTheGame, SteeringIsTheShipsOwn) {
    // Small and large turns, both ways, across the +-180 seam, and the snap.
    for (const double start : {45.0, 170.0, -178.5, 0.0, -90.0}) {
        for (const auto& [x, y] :
             {std::pair{0.3f, 2.0f}, {-2.0f, -0.2f}, {-0.1f, -3.0f}, {2.9f, 2.9f}, {0.1f, 0.2f}}) {
            ship->heading = start;
            ship->pos = Vect3d(0.25, -0.5, 0);
            manager.pointerX = x;
            manager.pointerY = y;
            const double expected = autopilot::SteeredHeading(start, ship->pos, Pointer{x, y});
            mouse_b = 0;
            ship->tick();
            EXPECT_EQ(ship->heading, expected) << start << " toward " << x << "," << y;
        }
    }
}

TEST_F(RulesMatchTheGame, BeamHoldsTheStarNearestTheTailNotTheCentre) {
    // Heading 0: the tail probe is at (0, -0.6). The star ahead is nearer the centre, the
    // one behind nearer the tail.
    ship->heading = 0;
    Star* ahead = AddStar(0, 1.9);
    Star* behind = AddStar(0, -2.4);
    EXPECT_EQ(autopilot::BeamTarget(ship->pos, 0, Stars()), 1);
    manager.pointerX = 0;
    manager.pointerY = 0;  // within half a unit: the heading stays
    mouse_b = 2;
    ship->tick();
    EXPECT_TRUE(ship->tractorOn);
    EXPECT_EQ(ahead->vel.y, 0.0);
    EXPECT_EQ(behind->vel.y, autopilot::StarPull);  // pulled toward the ship: up
}

TEST_F(RulesMatchTheGame, BeamFailsWhenTheStarNearestTheTailIsOutOfReach) {
    ship->heading = 0;
    AddStar(0, -3.6);  // nearest the tail, beyond 3.5 from the centre
    AddStar(3.0, 0);   // within reach, but farther from the tail
    EXPECT_EQ(autopilot::BeamTarget(ship->pos, 0, Stars()), -1);
    manager.pointerX = 0;
    manager.pointerY = 0;
    mouse_b = 2;
    ship->tick();
    EXPECT_FALSE(ship->tractorOn);
}

TEST_F(RulesMatchTheGame, ACoastingStarStopsWhereForeseen) {
    Star* star = AddStar(1, 2);
    star->vel = Vect3d(0.031, -0.017, 0);
    const Vect3d rest = autopilot::StoppingPoint(star->pos, star->vel);
    for (int i = 0; i < 5000 && star->vel.lengthSquared() > 0; ++i) star->tick();
    EXPECT_EQ(star->vel.lengthSquared(), 0.0);
    EXPECT_NEAR(star->pos.x, rest.x, 1e-9);
    EXPECT_NEAR(star->pos.y, rest.y, 1e-9);
}

TEST(Rules, EachBeamTickMovesARestPointOneTwentiethOfAUnit) {
    const Vect3d pos(0, 0, 0);
    const Vect3d before = autopilot::StoppingPoint(pos, Vect3d(0.02, 0, 0));
    const Vect3d after = autopilot::StoppingPoint(pos, Vect3d(0.02 + autopilot::StarPull, 0, 0));
    EXPECT_NEAR(after.x - before.x, autopilot::RestShiftPerBeamTick, 1e-3);
    EXPECT_NEAR(autopilot::RestShiftPerBeamTick, 0.05, 1e-8);
}

}  // namespace
