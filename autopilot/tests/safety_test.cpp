#include "safety.h"

#include "autopilot.h"
#include "game.h"
#include "gamemanager.h"
#include "geometry.h"
#include "rules.h"
#include "ship.h"
#include "star.h"

#include <allegro.h>

#include <gtest/gtest.h>

namespace {

using namespace autopilot;

// A ship rushing at a star six units ahead, and a pilot who only ever asks for more thrust
// straight at it.
class RecklessPilot : public ::testing::Test {
  protected:
    GameManager manager;
    Ship* ship = new Ship();
    Star* star = new Star();

    void SetUp() override {
        playerInfo = PlayerInfo();
        playerInfo.fuel = 1000;
        for (GameObject* o : {static_cast<GameObject*>(ship), static_cast<GameObject*>(star)}) {
            o->manager = &manager;
            manager.objects.push_back(o);
        }
        manager.ship = ship;
        ship->heading = 90;
        ship->vel = Vect3d(0.08, 0, 0);
        star->pos = Vect3d(6, 0, 0);
    }
    void TearDown() override { ApplyInputs(Inputs()); }

    Inputs FullAhead() const {
        Inputs in;
        MouseFor(ship->pos + Vect3d(4, 0, 0), manager.camera, in.mouseX, in.mouseY);
        in.buttons = ThrustButton;
        return in;
    }
    // Plays ticks; true if the ship survived them.
    bool Fly(int ticks, bool guarded) {
        for (int i = 0; i < ticks && manager.ship != nullptr; ++i) {
            const Inputs wanted = FullAhead();
            ApplyInputs(guarded ? Guard(Observe(manager), wanted) : wanted);
            manager.tick();
        }
        return !playerInfo.shipDestroyed;
    }
};

TEST_F(RecklessPilot, WithoutTheGuardTheShipIsLost) { EXPECT_FALSE(Fly(400, false)); }

TEST_F(RecklessPilot, TheGuardTakesOverInTimeAndKeepsTheShipAndTheStar) {
    EXPECT_TRUE(Fly(400, true));
    EXPECT_FALSE(star->dead);
    EXPECT_GE(Distance(ship->pos, star->pos), ShipStarContact);
}

TEST_F(RecklessPilot, InputsWithRoomToSpareGoThroughUntouched) {
    star->pos = Vect3d(60, 0, 0);
    const Inputs wanted = FullAhead();
    const Inputs passed = Guard(Observe(manager), wanted);
    EXPECT_EQ(passed.mouseX, wanted.mouseX);
    EXPECT_EQ(passed.mouseY, wanted.mouseY);
    EXPECT_EQ(passed.buttons, wanted.buttons);
}

}  // namespace
