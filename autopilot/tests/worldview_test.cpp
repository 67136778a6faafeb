#include "worldview.h"

#include "flight.h"
#include "game.h"
#include "gamemanager.h"

#include <gtest/gtest.h>

namespace {

TEST(Observe, BeforeTheFirstTickSeesTheStarsStillWaitingToJoin) {
    LevelRun run(2);
    ASSERT_TRUE(run.manager.objects.empty());
    const autopilot::WorldView w = autopilot::Observe(run.manager);
    EXPECT_TRUE(w.shipAlive);
    ASSERT_EQ(w.stars.size(), 6u);
    EXPECT_EQ(w.stars[0].pos.x, -6.5);
    EXPECT_EQ(w.stars[0].pos.y, 6.0);
    EXPECT_EQ(w.goals.size(), 6u);
    EXPECT_EQ(w.fuel, 1500);
}

TEST(Observe, LeavesOutDeadStarsAndALostShip) {
    LevelRun run(1);
    run.tick(autopilot::Inputs());
    run.manager.objects[2]->dead = true;  // the first star
    run.manager.objects[1]->dead = true;  // the ship
    const autopilot::WorldView w = autopilot::Observe(run.manager);
    EXPECT_FALSE(w.shipAlive);
    ASSERT_EQ(w.stars.size(), 1u);
    EXPECT_EQ(w.stars[0].pos.x, -4.0);
}

}  // namespace
