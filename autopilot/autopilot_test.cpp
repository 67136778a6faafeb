#include "autopilot.h"

#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "resources.h"
#include "ship.h"
#include "star.h"
#include "utils.h"

#include <allegro.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Flight {
    long ticks = 0;
    int fuelLeft = 0;
    int starsLost = 0;
    bool shipLost = false;
    std::vector<autopilot::Inputs> inputs;
};

int CountStars(const GameManager& m) {
    int n = 0;
    for (const auto* list : {&m.objects, &m.newObjects}) {
        for (const GameObject* o : *list) n += dynamic_cast<const Star*>(o) != nullptr ? 1 : 0;
    }
    return n;
}

class AutopilotFlight : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        resourceManager.models.resize(ResourceManager::NumModelSlots);
        playerInfo = PlayerInfo();
    }
    void TearDown() override {
        autopilot::ApplyInputs(autopilot::Inputs());
        glrec::Reset();
    }

    static Flight Fly(int level, long budget) {
        playerInfo.level = level;
        GameManager manager;
        InitLevel(manager);
        glrec::Reset();
        const int stars = CountStars(manager);
        autopilot::Autopilot pilot;
        Flight f;
        while (!playerInfo.levelComplete && !playerInfo.levelFailed && f.ticks < budget) {
            const autopilot::Inputs in = pilot.decide(manager);
            autopilot::ApplyInputs(in);
            f.inputs.push_back(in);
            manager.tick();
            CheckWinLose(manager);
            ++f.ticks;
            f.shipLost = f.shipLost || playerInfo.shipDestroyed;
        }
        f.fuelLeft = playerInfo.fuel;
        f.starsLost = stars - CountStars(manager);
        return f;
    }
};

TEST_P(AutopilotFlight, WinsWithEveryStarAndTheShip) {
    const int level = GetParam();
    const Flight f = Fly(level, 20000);
    std::printf("level %d: won at tick %ld, fuel left %d, stars lost %d\n", level, f.ticks,
                f.fuelLeft, f.starsLost);
    EXPECT_TRUE(playerInfo.levelComplete);
    EXPECT_FALSE(playerInfo.levelFailed);
    EXPECT_EQ(f.starsLost, 0);
    EXPECT_FALSE(f.shipLost);
}

INSTANTIATE_TEST_SUITE_P(Level, AutopilotFlight, ::testing::Values(1, 2, 3));

}  // namespace
