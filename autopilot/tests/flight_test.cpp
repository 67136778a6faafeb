#include "flight.h"

#include "game.h"
#include "gamemanager.h"
#include "ship.h"
#include "utils.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

// Far beyond any winning flight: a stalled pilot fails instead of running forever.
constexpr long TickBudget = 20000;

// The proof that every level of the table can be won through the player's controls.
class LevelFlight : public ::testing::TestWithParam<int> {};

TEST_P(LevelFlight, IsWonWithEveryStarKeptAndTheShipWhole) {
    const int level = GetParam();
    const Flight f = FlyLevel(level, TickBudget);
    std::printf("level %d: won at tick %ld, fuel left %d, stars lost %d\n", level, f.ticks,
                f.fuelLeft, f.starsLost);
    EXPECT_TRUE(f.won);
    EXPECT_FALSE(f.failed);
    EXPECT_EQ(f.starsLost, 0);
    EXPECT_FALSE(f.shipEverDestroyed);
    EXPECT_GT(f.fuelLeft, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelFlight, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

// The whole state a run can leave behind, compared exactly: a replay that differs in any
// bit means the autopilot changed the game some other way than through its inputs.
void ExpectSameWorld(const LevelRun& a, const LevelRun& b) {
    ASSERT_EQ(a.manager.objects.size(), b.manager.objects.size());
    for (size_t i = 0; i < a.manager.objects.size(); ++i) {
        const GameObject* x = a.manager.objects[i];
        const GameObject* y = b.manager.objects[i];
        EXPECT_EQ(x->pos.x, y->pos.x) << "object " << i;
        EXPECT_EQ(x->pos.y, y->pos.y) << "object " << i;
        EXPECT_EQ(x->pos.z, y->pos.z) << "object " << i;
        EXPECT_EQ(x->vel.x, y->vel.x) << "object " << i;
        EXPECT_EQ(x->vel.y, y->vel.y) << "object " << i;
        EXPECT_EQ(x->vel.z, y->vel.z) << "object " << i;
    }
    const auto* shipA = dynamic_cast<const Ship*>(a.manager.ship);
    const auto* shipB = dynamic_cast<const Ship*>(b.manager.ship);
    ASSERT_NE(shipA, nullptr);
    ASSERT_NE(shipB, nullptr);
    EXPECT_EQ(shipA->heading, shipB->heading);
    EXPECT_EQ(a.manager.goalsFilled, b.manager.goalsFilled);
    EXPECT_EQ(a.ticks, b.ticks);
}

TEST(AutopilotReplay, RecordedInputsAloneReachTheSameFinalState) {
    constexpr int Level = 2;
    ResetGameRand();
    LevelRun flown(Level);
    autopilot::Autopilot pilot;
    std::vector<autopilot::Inputs> inputs;
    while (!flown.over() && flown.ticks < TickBudget) {
        inputs.push_back(pilot.decide(flown.manager));
        flown.tick(inputs.back());
    }
    ASSERT_TRUE(playerInfo.levelComplete);
    const int fuelFlown = playerInfo.fuel;

    // The flown run's manager is still alive, so the replay's objects are new allocations:
    // nothing can be shared by accident.
    ResetGameRand();
    LevelRun replayed(Level);
    for (const autopilot::Inputs& in : inputs) {
        ASSERT_FALSE(replayed.over()) << "ended early, at tick " << replayed.ticks;
        replayed.tick(in);
    }
    EXPECT_TRUE(playerInfo.levelComplete);
    EXPECT_EQ(playerInfo.fuel, fuelFlown);
    ExpectSameWorld(flown, replayed);
}

}  // namespace
