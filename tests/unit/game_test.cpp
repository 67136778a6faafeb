#include "game.h"

#include "gamemanager.h"
#include "glrecorder.h"
#include "leveldata.h"
#include "resources.h"

#include <allegro.h>

#include <gtest/gtest.h>

namespace {

// Keys and the mouse are Allegro's polled globals; with no driver installed the tests
// own them. Every test starts and ends with all keys up.
class Shell : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        closeRequested = false;
        playerInfo = PlayerInfo();
        if (hudBmp == nullptr) hudBmp = create_bitmap(512, 16);
        // The ship draws the model slot; loadAll would have filled the table.
        resourceManager.models.resize(ResourceManager::NumModelSlots);
        glrec::Reset();
    }
    void TearDown() override {
        ReleaseAllKeys();
        closeRequested = false;
    }
    static void ReleaseAllKeys() {
        for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    }
    static void Press(int k) { key[k] = -1; }  // a held key reads -1 under X11
    static void Release(int k) { key[k] = 0; }
    // The player closes the window while the FLIPth frame since the last reset is on screen,
    // then holds ESC from the next one, so that a close the loops miss fails a test rather
    // than hanging it.
    static void CloseWindowAtFlip(int flip) {
        glrec::OnFlip([flip](int flips) {
            if (flips == flip) closeRequested = true;
            if (flips == flip + 1) Press(KEY_ESC);
        });
    }

    // A manager whose single goal is filled or not, as the tick of a real level would leave it.
    static void SetGoals(GameManager& m, int total, int filled) {
        m.goals.assign(total, Goal());
        m.goalsFilled = filled;
    }
};

TEST(CommandLine, OnlyALowerCaseFAtTheStartOfTheFirstArgumentAsksForFullScreen) {
    auto asks = [](std::initializer_list<const char*> args) {
        std::vector<char*> argv{const_cast<char*>("startug")};
        for (const char* a : args) argv.push_back(const_cast<char*>(a));
        return FullscreenRequested(static_cast<int>(argv.size()), argv.data());
    };
    EXPECT_FALSE(asks({}));
    EXPECT_TRUE(asks({"f"}));
    EXPECT_TRUE(asks({"fs"}));
    EXPECT_TRUE(asks({"fullscreen"}));
    EXPECT_TRUE(asks({"fast", "window"}));
    EXPECT_FALSE(asks({"-f"}));
    EXPECT_FALSE(asks({"F"}));
    EXPECT_FALSE(asks({"window"}));
    EXPECT_FALSE(asks({""}));
    EXPECT_FALSE(asks({"window", "f"}));
}

TEST_F(Shell, WinNeeds301ConsecutiveFilledTicks) {
    GameManager m;
    SetGoals(m, 2, 2);
    for (int i = 0; i < 300; ++i) CheckWinLose(m);
    EXPECT_EQ(playerInfo.winTimer, 300);
    EXPECT_FALSE(playerInfo.levelComplete);
    CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelComplete);
    EXPECT_FALSE(playerInfo.levelFailed);
}

TEST_F(Shell, OneEmptyGoalRestartsTheWinCount) {
    GameManager m;
    SetGoals(m, 2, 2);
    for (int i = 0; i < 300; ++i) CheckWinLose(m);
    m.goalsFilled = 1;
    CheckWinLose(m);
    EXPECT_EQ(playerInfo.winTimer, 0);
    m.goalsFilled = 2;
    for (int i = 0; i < 300; ++i) CheckWinLose(m);
    EXPECT_FALSE(playerInfo.levelComplete);
    CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelComplete);
}

TEST_F(Shell, LevelWithoutGoalsIsWonAfter301Ticks) {
    GameManager m;
    for (int i = 0; i < 300; ++i) CheckWinLose(m);
    EXPECT_FALSE(playerInfo.levelComplete);
    CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelComplete);
}

TEST_F(Shell, DestroyedShipFailsAtThe301stCountedTick) {
    GameManager m;
    SetGoals(m, 1, 0);
    playerInfo.fuel = 100;
    CheckWinLose(m);  // intact ship: nothing counts
    EXPECT_EQ(playerInfo.loseTimer, 0);
    playerInfo.shipDestroyed = true;
    for (int i = 0; i < 300; ++i) CheckWinLose(m);
    EXPECT_FALSE(playerInfo.levelFailed);
    CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelFailed);
    EXPECT_FALSE(playerInfo.levelComplete);
}

TEST_F(Shell, WinAndLossAtTheSameTickSetBothFlags) {
    GameManager m;
    SetGoals(m, 1, 1);
    playerInfo.shipDestroyed = true;
    for (int i = 0; i < 301; ++i) CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelFailed);
    EXPECT_TRUE(playerInfo.levelComplete);
}

TEST_F(Shell, NoFuelCountsTowardLosingWhileAnIntactShipCanStillWinFirst) {
    GameManager m;
    SetGoals(m, 1, 0);
    playerInfo.fuel = 0;
    for (int i = 0; i < 100; ++i) CheckWinLose(m);
    EXPECT_EQ(playerInfo.loseTimer, 100);
    m.goalsFilled = 1;  // the last star drifts in with the tanks empty
    for (int i = 0; i < 200; ++i) CheckWinLose(m);
    EXPECT_FALSE(playerInfo.levelComplete);
    EXPECT_FALSE(playerInfo.levelFailed);
    CheckWinLose(m);  // loseTimer 301 > 300 fails first: the win needed 301 filled ticks
    EXPECT_TRUE(playerInfo.levelFailed);

    playerInfo = PlayerInfo();
    playerInfo.fuel = -1;
    m.goalsFilled = 1;
    for (int i = 0; i < 301; ++i) CheckWinLose(m);
    EXPECT_TRUE(playerInfo.levelComplete);  // a full-goal count started with the lose count wins
}

TEST_F(Shell, HoldingPauseFlipsOnceAndStopsTheWorld) {
    GameManager m;  // no goals: every tick that runs counts toward winning
    FrameKeys keys;
    Press(KEY_PAUSE);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(LevelFrame(m, keys), FrameEnd::Continue);
    EXPECT_TRUE(keys.paused);
    EXPECT_EQ(playerInfo.winTimer, 0);              // no tick, no win/lose check while paused
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 5);  // but every frame is still drawn
    Release(KEY_PAUSE);
    LevelFrame(m, keys);
    EXPECT_TRUE(keys.paused);
    Press(KEY_PAUSE);
    LevelFrame(m, keys);
    EXPECT_FALSE(keys.paused);
    EXPECT_EQ(playerInfo.winTimer, 1);
}

TEST_F(Shell, CameraKeysWorkWhilePaused) {
    GameManager m;
    FrameKeys keys;
    keys.paused = true;
    Press(KEY_LEFT);
    Press(KEY_UP);
    LevelFrame(m, keys);
    LevelFrame(m, keys);
    EXPECT_NEAR(m.camera.x, -0.2, 1e-12);
    EXPECT_NEAR(m.camera.y, 0.2, 1e-12);
    Release(KEY_LEFT);
    Release(KEY_UP);
    Press(KEY_RIGHT);
    Press(KEY_DOWN);
    LevelFrame(m, keys);
    EXPECT_NEAR(m.camera.x, -0.1, 1e-12);
    EXPECT_NEAR(m.camera.y, 0.1, 1e-12);
}

TEST_F(Shell, EscWhilePausedQuitsAfterTheFrameIsDrawn) {
    GameManager m;
    FrameKeys keys;
    keys.paused = true;
    Press(KEY_ESC);
    EXPECT_EQ(LevelFrame(m, keys), FrameEnd::Quit);
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 1);
    EXPECT_EQ(glrec::Named("rest").at(0).args[0], 20);
}

TEST_F(Shell, F12WhilePausedCountsTheLevelAsWon) {
    GameManager m;
    FrameKeys keys;
    keys.paused = true;
    Press(KEY_F12);
    EXPECT_EQ(LevelFrame(m, keys), FrameEnd::LevelEnded);
    EXPECT_TRUE(playerInfo.levelComplete);
    EXPECT_FALSE(LevelLoop(m));  // the flag is set: the loop shows no further frame
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 1);
}

TEST_F(Shell, EscBeatsF12AtTheEndOfAFrame) {
    GameManager m;
    FrameKeys keys;
    Press(KEY_F12);
    Press(KEY_ESC);
    EXPECT_TRUE(LevelLoop(m));
    EXPECT_FALSE(playerInfo.levelComplete);
}

TEST_F(Shell, F12ThroughEveryLevelReachesTheWinScreen) {
    // SPACE ends each intermission at its 41st frame; F12 ends each level after one frame.
    Press(KEY_SPACE);
    Press(KEY_F12);
    GameLoop();
    EXPECT_EQ(playerInfo.level, NumLevels + 1);
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), (NumLevels + 1) * 41 + NumLevels);
    // The last text texture made is the win screen's.
    EXPECT_EQ(glrec::Named("allegro_gl_make_texture_ex").size(), 2u * NumLevels + 1);
}

TEST_F(Shell, EscInALevelEndsTheGameWithoutTheWinScreen) {
    Press(KEY_ESC);
    GameLoop();
    EXPECT_EQ(playerInfo.level, 1);
    // One intermission frame (ESC skips it), one level frame, nothing after.
    EXPECT_EQ(glrec::Count("allegro_gl_flip"), 2);
}

TEST_F(Shell, ClosingTheWindowEndsTheLevelAsAQuitAfterTheFrameRunningOrPaused) {
    for (const bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "running");
        glrec::Reset();
        ReleaseAllKeys();
        playerInfo = PlayerInfo();
        closeRequested = false;
        GameManager m;  // no goals: every tick that runs counts toward winning
        if (paused) Press(KEY_PAUSE);
        CloseWindowAtFlip(5);
        EXPECT_TRUE(LevelLoop(m));
        EXPECT_EQ(glrec::Count("allegro_gl_flip"), 5);
        EXPECT_EQ(playerInfo.winTimer, paused ? 0 : 5);
        EXPECT_FALSE(playerInfo.levelComplete);
    }
}

TEST_F(Shell, ClosingTheWindowEndsTheGameAfterTheFrameOnScreenWhereverThePlayerIs) {
    // SPACE ends each intermission at its 41st frame, F12 each level after its one frame: flips
    // 1-41 show level 1's intermission, 42 the level, ... 126 level 3, 127-167 "YOU WIN!".
    struct Case {
        const char* place;
        int closedAtFlip;
        int levelLeft;
    };
    const Case cases[] = {
        {"level 1's intermission, before the level", 1, 1},
        {"level 2's intermission", 50, 2},
        {"level 3, where the close beats F12", 126, 3},
        {"the win screen", 130, NumLevels + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        glrec::Reset();
        ReleaseAllKeys();
        closeRequested = false;
        Press(KEY_SPACE);
        Press(KEY_F12);
        CloseWindowAtFlip(c.closedAtFlip);
        GameLoop();
        EXPECT_EQ(glrec::Count("allegro_gl_flip"), c.closedAtFlip);  // nothing drawn after it
        EXPECT_EQ(playerInfo.level, c.levelLeft);
    }
}

TEST_F(Shell, HudLineShowsGoalsAndFourDigitFuel) {
    EXPECT_STREQ(HudLine(0, 1, 350).text, "COMPLETE: 0 / 1  FUEL:0350");
    EXPECT_STREQ(HudLine(12, 12, 4000).text, "COMPLETE: 12 / 12  FUEL:4000");
    EXPECT_STREQ(HudLine(3, 6, 12345).text, "COMPLETE: 3 / 6  FUEL:12345");
    EXPECT_STREQ(HudLine(0, 6, 0).text, "COMPLETE: 0 / 6  FUEL:0000");
}

}  // namespace
