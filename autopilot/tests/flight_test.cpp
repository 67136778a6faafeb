#include "flight.h"

#include "game.h"
#include "gamemanager.h"
#include "ship.h"
#include "star.h"
#include "utils.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

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

std::uint64_t Bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

// Compares the bit patterns, so that even 0.0 against -0.0 counts as a difference.
void ExpectSameBits(const Vect3d& a, const Vect3d& b, const char* what, size_t object) {
    EXPECT_EQ(Bits(a.x), Bits(b.x)) << what << ".x of object " << object;
    EXPECT_EQ(Bits(a.y), Bits(b.y)) << what << ".y of object " << object;
    EXPECT_EQ(Bits(a.z), Bits(b.z)) << what << ".z of object " << object;
}

// A rougher world than the level table: every star moved up to half a unit from its place
// before the start, the pointer off by up to ten pixels and one button press in five lost.
// The autopilot must still win: it flies by what it sees, not by a memorised run.
class RoughFlight : public ::testing::TestWithParam<int> {};

TEST_P(RoughFlight, IsWonWithStarsDisplacedAndAShakyHand) {
    const int level = GetParam();
    std::mt19937 rng(20261208u + static_cast<unsigned>(level));
    auto offset = [&rng](int range) { return static_cast<int>(rng() % (2 * range + 1)) - range; };
    LevelRun run(level);
    for (GameObject* o : run.manager.newObjects) {
        if (dynamic_cast<Star*>(o) == nullptr) continue;
        o->pos.x += offset(50) / 100.0;
        o->pos.y += offset(50) / 100.0;
    }
    const int stars = run.starsAlive();
    autopilot::Autopilot pilot;
    while (!run.over() && run.ticks < TickBudget) {
        autopilot::Inputs in = pilot.decide(run.manager);
        in.mouseX += offset(10);
        in.mouseY += offset(10);
        if (rng() % 5 == 0) in.buttons = 0;
        run.tick(in);
    }
    std::printf("level %d, rough: won at tick %ld, fuel left %d\n", level, run.ticks,
                playerInfo.fuel);
    EXPECT_TRUE(playerInfo.levelComplete);
    EXPECT_EQ(run.starsAlive(), stars);
    EXPECT_FALSE(run.shipEverDestroyed);
}

INSTANTIATE_TEST_SUITE_P(Levels, RoughFlight, ::testing::Values(2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

// The whole state a run can leave behind, compared exactly: a replay that differs in any
// bit means the autopilot changed the game some other way than through its inputs.
void ExpectSameWorld(const LevelRun& a, const LevelRun& b) {
    ASSERT_EQ(a.manager.objects.size(), b.manager.objects.size());
    for (size_t i = 0; i < a.manager.objects.size(); ++i) {
        ExpectSameBits(a.manager.objects[i]->pos, b.manager.objects[i]->pos, "pos", i);
        ExpectSameBits(a.manager.objects[i]->vel, b.manager.objects[i]->vel, "vel", i);
    }
    const auto* shipA = dynamic_cast<const Ship*>(a.manager.ship);
    const auto* shipB = dynamic_cast<const Ship*>(b.manager.ship);
    ASSERT_NE(shipA, nullptr);
    ASSERT_NE(shipB, nullptr);
    EXPECT_EQ(Bits(shipA->heading), Bits(shipB->heading));
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
