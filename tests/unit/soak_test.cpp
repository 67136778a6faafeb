#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "leveldata.h"
#include "resources.h"

#include <allegro.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

// Long random play: every level in turn, with deaths, failures and restarts, checked for
// bounded memory. Under the sanitizer build this also proves the run free of memory errors
// and leaks.
class Soak : public ::testing::Test {
  protected:
    void SetUp() override { resourceManager.models.resize(ResourceManager::NumModelSlots); }
    void TearDown() override {
        resourceManager.models.clear();
        mouse_b = 0;
        mouse_x = 512;
        mouse_y = 384;
        glrec::Reset();
    }
};

struct SoakFigures {
    long ticks = 0;
    int attempts = 0;
    int shipDeaths = 0;
    int failures = 0;
    int wins = 0;
    size_t mostParticles = 0;
    size_t mostObjects = 0;
};

// A restless player: new pointer and buttons every few ticks, mostly thrusting and towing.
void RandomInput(std::mt19937& rng) {
    std::uniform_int_distribution<int> x(0, 1023), y(0, 767), buttons(0, 3);
    mouse_x = x(rng);
    mouse_y = y(rng);
    mouse_b = buttons(rng);
}

void PlayAttempt(std::mt19937& rng, long tickBudget, SoakFigures& figures) {
    GameManager manager;
    InitLevel(manager);
    glrec::Reset();  // the star field's painting is recorded; keep the log small
    ++figures.attempts;
    std::uniform_int_distribution<int> hold(1, 40);
    int ticksToNextInput = 0;
    while (!playerInfo.levelComplete && !playerInfo.levelFailed && tickBudget-- > 0) {
        if (ticksToNextInput-- == 0) {
            RandomInput(rng);
            ticksToNextInput = hold(rng);
        }
        manager.tick();
        CheckWinLose(manager);
        ++figures.ticks;
        figures.mostParticles = std::max(figures.mostParticles, manager.particles.size());
        figures.mostObjects =
            std::max(figures.mostObjects, manager.objects.size() + manager.newObjects.size() +
                                              manager.deadObjects.size());
    }
    figures.shipDeaths += playerInfo.shipDestroyed ? 1 : 0;
    figures.failures += playerInfo.levelFailed ? 1 : 0;
    figures.wins += playerInfo.levelComplete ? 1 : 0;
}

TEST_F(Soak, HundredThousandTicksOfRandomPlayStayBounded) {
    std::mt19937 rng(20261208);
    SoakFigures figures;
    const long total = 100000;
    playerInfo = PlayerInfo();
    while (figures.ticks < total) {
        // Long attempts fail by fuel or a crash; cap them so every level gets its turn.
        PlayAttempt(rng, std::min(total - figures.ticks, 6000L), figures);
        playerInfo.level = playerInfo.level % NumLevels + 1;
    }
    std::printf(
        "soak: %ld ticks, %d attempts, %d ship deaths, %d failed, %d won, "
        "at most %zu particles and %zu objects\n",
        figures.ticks, figures.attempts, figures.shipDeaths, figures.failures, figures.wins,
        figures.mostParticles, figures.mostObjects);
    EXPECT_EQ(figures.ticks, total);
    EXPECT_GT(figures.shipDeaths, 0);  // the run covered deaths and restarts
    EXPECT_GT(figures.attempts, NumLevels);
    // A star field, a ship and at most 20 stars; exhaust (30) plus a few explosions (11 each).
    EXPECT_LE(figures.mostObjects, 22u);
    EXPECT_LE(figures.mostParticles, 30u + 11u * 21u);
}

TEST_F(Soak, FiftySetUpsAndTearDownsInARow) {
    // Leaks show under the sanitizer build's leak checker; here the level must also come
    // out the same every time.
    for (int i = 0; i < 50; ++i) {
        playerInfo.level = i % NumLevels + 1;
        GameManager manager;
        InitLevel(manager);
        InitLevel(manager);  // a second set-up on a used manager replaces everything
        const LevelData& level = Levels[playerInfo.level - 1];
        ASSERT_EQ(manager.newObjects.size(), 2u + level.numStars);
        ASSERT_EQ(manager.goals.size(), static_cast<size_t>(level.numGoals));
        manager.tick();
        ASSERT_EQ(manager.objects.size(), 2u + level.numStars);
        glrec::Reset();
    }
}

}  // namespace
