#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "leveldata.h"
#include "ship.h"
#include "star.h"
#include "starfield.h"
#include "worldtest.h"

#include <gtest/gtest.h>

namespace {

void ExpectPoints(const LevelPoint* points, std::vector<LevelPoint> expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(points[i].x, expected[i].x) << i;
        EXPECT_EQ(points[i].y, expected[i].y) << i;
    }
}

void ExpectUnusedPairsZero(const LevelData& level) {
    for (int i = level.numStars; i < 20; ++i) {
        EXPECT_EQ(level.stars[i].x, 0.0f);
        EXPECT_EQ(level.stars[i].y, 0.0f);
    }
    for (int i = level.numGoals; i < 20; ++i) {
        EXPECT_EQ(level.goals[i].x, 0.0f);
        EXPECT_EQ(level.goals[i].y, 0.0f);
    }
}

TEST(LevelTable, HoldsThreeLevelsOfGrowingSize) {
    ASSERT_EQ(NumLevels, 3);
    EXPECT_EQ(Levels[0].fuel, 350);
    EXPECT_EQ(Levels[0].numStars, 2);
    EXPECT_EQ(Levels[0].numGoals, 1);
    EXPECT_EQ(Levels[1].fuel, 1500);
    EXPECT_EQ(Levels[1].numStars, 6);
    EXPECT_EQ(Levels[1].numGoals, 6);
    EXPECT_EQ(Levels[2].fuel, 4000);
    EXPECT_EQ(Levels[2].numStars, 12);
    EXPECT_EQ(Levels[2].numGoals, 12);
    for (const LevelData& level : Levels) ExpectUnusedPairsZero(level);
}

TEST(LevelTable, Level1) {
    ExpectPoints(Levels[0].stars, {{4, 4}, {-4, 4}});
    ExpectPoints(Levels[0].goals, {{0, -4}});
}

TEST(LevelTable, Level2CoordinatesAreSinglePrecision) {
    ExpectPoints(Levels[1].stars,
                 {{-6.5f, 6}, {-2, 6.8f}, {2, 6}, {-6, -6.5f}, {-2.5f, -5.1f}, {1.5f, -6}});
    ExpectPoints(Levels[1].goals, {{0, 0}, {3, 0}, {-3, 0}, {0, 3}, {0, -3}, {0, -6}});
    EXPECT_EQ(static_cast<double>(Levels[1].stars[1].y), static_cast<double>(6.8f));
    EXPECT_NE(static_cast<double>(Levels[1].stars[4].y), -5.1);
}

TEST(LevelTable, Level3RepeatsLevel2AndAddsSixStars) {
    ExpectPoints(Levels[2].stars, {{-6.5f, 6},
                                   {-2, 6.8f},
                                   {2, 6},
                                   {-6, -6.5f},
                                   {-2.5f, -5.1f},
                                   {1.5f, -6},
                                   {-16.5f, 6},
                                   {-12, 6.8f},
                                   {12, 6},
                                   {-16, -6.5f},
                                   {-12.5f, -5.1f},
                                   {11.5f, -6}});
    ExpectPoints(Levels[2].goals, {{0, 0},
                                   {0, 4},
                                   {0, 8},
                                   {0, 12},
                                   {-3, 9},
                                   {-6, 6},
                                   {3, 9},
                                   {6, 6},
                                   {-3, 5},
                                   {-6, 3},
                                   {3, 5},
                                   {6, 3}});
}

class LevelSetupTest : public WorldTest {
  protected:
    void ExpectFreshLevel1() {
        EXPECT_EQ(playerInfo.fuel, 350);
        EXPECT_FALSE(playerInfo.levelFailed);
        EXPECT_FALSE(playerInfo.levelComplete);
        EXPECT_FALSE(playerInfo.shipDestroyed);
        EXPECT_EQ(playerInfo.winTimer, 0);
        EXPECT_EQ(playerInfo.loseTimer, 0);
        EXPECT_EQ(playerInfo.level, 1);

        EXPECT_TRUE(manager.objects.empty());
        EXPECT_TRUE(manager.deadObjects.empty());
        EXPECT_TRUE(manager.particles.empty());
        ASSERT_EQ(manager.newObjects.size(), 4u);
        for (GameObject* o : manager.newObjects) EXPECT_EQ(o->manager, &manager);

        auto* field = dynamic_cast<StarField*>(manager.newObjects[0]);
        ASSERT_NE(field, nullptr);
        EXPECT_NE(field->fieldTexture, 0u);
        EXPECT_EQ(field->nearStars.size(), 30u);

        auto* ship = dynamic_cast<Ship*>(manager.newObjects[1]);
        ASSERT_NE(ship, nullptr);
        EXPECT_EQ(manager.ship, ship);
        EXPECT_EQ(ship->heading, 45.0);
        EXPECT_EQ(ship->pos.lengthSquared(), 0.0);
        EXPECT_EQ(ship->vel.lengthSquared(), 0.0);

        const Vect3d starsAt[2] = {{4, 4, 0}, {-4, 4, 0}};
        for (int i = 0; i < 2; ++i) {
            auto* star = dynamic_cast<Star*>(manager.newObjects[2 + i]);
            ASSERT_NE(star, nullptr);
            EXPECT_EQ(star->pos.x, starsAt[i].x);
            EXPECT_EQ(star->pos.y, starsAt[i].y);
            EXPECT_EQ(star->pos.z, 0.0);
            EXPECT_EQ(star->vel.lengthSquared(), 0.0);
            EXPECT_FALSE(star->dead);
        }

        ASSERT_EQ(manager.goals.size(), 1u);
        EXPECT_EQ(manager.goals[0].pos.x, 0.0);
        EXPECT_EQ(manager.goals[0].pos.y, -4.0);
        EXPECT_EQ(manager.goals[0].pos.z, 0.0);
        EXPECT_EQ(manager.goals[0].radius, 1.2);
        EXPECT_FALSE(manager.goals[0].filled);
    }
};

TEST_F(LevelSetupTest, Level1StartsWithFieldShipTwoStarsAndOneGoal) {
    InitLevel(manager);
    ExpectFreshLevel1();
}

TEST_F(LevelSetupTest, ReplayedLevelRestoresFuelStarsAndEmptyGoals) {
    InitLevel(manager);
    manager.tick();
    // A failed attempt: stars moved and one lost, fuel burnt, a goal filled, debris flying.
    auto* star = dynamic_cast<Star*>(manager.objects.at(2));
    ASSERT_NE(star, nullptr);
    star->pos = Vect3d(0, -4, 0);
    manager.objects.at(3)->dead = true;
    manager.tick();
    manager.createExplosion(manager.ship);
    manager.ship->dead = true;
    manager.tick();
    playerInfo.fuel = 3;
    playerInfo.shipDestroyed = true;
    playerInfo.levelFailed = true;
    playerInfo.loseTimer = 301;
    playerInfo.winTimer = 12;
    manager.goals[0].filled = true;
    ASSERT_FALSE(manager.particles.empty());
    ASSERT_FALSE(manager.deadObjects.empty());

    InitLevel(manager);
    ExpectFreshLevel1();
}

TEST_F(LevelSetupTest, Level3HasTwelveStarsInTableOrder) {
    playerInfo.level = 3;
    InitLevel(manager);
    EXPECT_EQ(playerInfo.fuel, 4000);
    ASSERT_EQ(manager.newObjects.size(), 14u);
    EXPECT_EQ(manager.goals.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(manager.newObjects[2 + i]->pos.x, Levels[2].stars[i].x) << i;
        EXPECT_EQ(manager.newObjects[2 + i]->pos.y, Levels[2].stars[i].y) << i;
    }
    EXPECT_EQ(manager.goals[11].pos.x, 6.0);
    EXPECT_EQ(manager.goals[11].pos.y, 3.0);
}

}  // namespace
