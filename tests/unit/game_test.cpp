#include "game.h"

#include "gamemanager.h"
#include "glrecorder.h"
#include "leveldata.h"
#include "resources.h"
#include "utils.h"

#include <allegro.h>

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

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

// --- Level flow through GameLoop, and what paused frames show ---

// What each attempt at a level started with, seen by the frame hook before its first tick.
struct Attempt {
    int level;
    int fuel;
    std::vector<Vect3d> stars;             // start positions, in table order
    std::vector<std::string> shownBefore;  // the intermission's text bitmap
};

// The hook is a plain function, so what it sees and does lives here: before the first
// frame of attempt n (from 1) it records the attempt, then calls act(manager, n).
std::vector<Attempt> attempts;
void (*act)(GameManager& manager, int attempt) = nullptr;

void RecordAttempt(GameManager& manager) {
    if (!manager.objects.empty()) return;  // not the attempt's first frame
    Attempt a{playerInfo.level, playerInfo.fuel, {}, glrec::LastTextureBitmap()};
    for (std::size_t i = 2; i < manager.newObjects.size(); ++i) {
        a.stars.push_back(manager.newObjects[i]->pos);
    }
    attempts.push_back(a);
    act(manager, static_cast<int>(attempts.size()));
}

// With GoalTime 0 a win or a loss takes effect at the tick it begins.
class Flow : public Shell {
  protected:
    void SetUp() override {
        Shell::SetUp();
        GoalTime = 0;
        attempts.clear();
    }
    void TearDown() override {
        GoalTime = savedGoalTime;
        Shell::TearDown();
    }

    // The text bitmap of the intermission that shows `text`.
    static std::vector<std::string> Intermission(const std::string& text) {
        const int esc = key[KEY_ESC];
        Press(KEY_ESC);
        ShowIntermission(text);
        key[KEY_ESC] = esc;
        return glrec::LastTextureBitmap();
    }

    const int savedGoalTime = GoalTime;
};

TEST_F(Flow, FailedAttemptShowsItsIntermissionAgainAndReplaysTheLevelFromItsTableEntry) {
    act = [](GameManager& manager, int attempt) {
        if (attempt == 1) {  // stars pushed away, fuel burnt, the ship lost
            for (std::size_t i = 2; i < manager.newObjects.size(); ++i) {
                manager.newObjects[i]->pos = Vect3d(9, 9, 0);
            }
            playerInfo.fuel = 3;
            playerInfo.shipDestroyed = true;
        } else {
            Press(KEY_ESC);
        }
    };
    GameLoop(RecordAttempt);
    ASSERT_EQ(attempts.size(), 2u);
    const auto entering1 = Intermission("ENTERING LEVEL 1");
    for (const Attempt& a : attempts) {
        EXPECT_EQ(a.level, 1);
        EXPECT_EQ(a.shownBefore, entering1);
        EXPECT_EQ(a.fuel, Levels[0].fuel);
        ASSERT_EQ(a.stars.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(a.stars[i].x, Levels[0].stars[i].x);
            EXPECT_EQ(a.stars[i].y, Levels[0].stars[i].y);
        }
    }
}

TEST_F(Flow, WinAndLossAtTheSameTickCountAsWonAndTheNextLevelFollows) {
    act = [](GameManager& manager, int attempt) {
        if (attempt == 1) {  // the one goal filled at the tick the ship is lost
            manager.newObjects[2]->pos = manager.goals[0].pos;
            playerInfo.shipDestroyed = true;
        } else {
            Press(KEY_ESC);
        }
    };
    GameLoop(RecordAttempt);
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_EQ(attempts[1].level, 2);
    EXPECT_EQ(attempts[1].shownBefore, Intermission("ENTERING LEVEL 2"));
    EXPECT_EQ(attempts[1].fuel, Levels[1].fuel);
}

// Level 1 through the real frame function, with the pointer texture named so that its
// quad can be told from the others.
class PausedFrames : public Shell {
  protected:
    static constexpr int PointerName = 77;
    void SetUp() override {
        Shell::SetUp();
        mouse_b = 0;
        resourceManager.textures[ResourceManager::PointerTexture] = PointerName;
        InitLevel(manager);
    }
    void TearDown() override {
        resourceManager.textures[ResourceManager::PointerTexture] = savedPointer;
        mouse_x = 512;
        mouse_y = 384;
        Shell::TearDown();
    }

    // The corners of the pointer quad drawn since the last reset.
    static std::vector<std::pair<double, double>> DrawnPointer() {
        std::size_t begins = 0, pointer = SIZE_MAX;  // at() fails when none was drawn
        for (const glrec::Call& c : glrec::Calls()) {
            if (c.name == "glBindTexture" && c.args[1] == PointerName) pointer = begins;
            if (c.name == "glBegin") ++begins;
        }
        std::vector<std::pair<double, double>> corners;
        const auto drawn = glrec::Primitives();
        for (const glrec::Vertex& v : drawn.at(pointer).vertices) {
            corners.emplace_back(v.x, v.y);
        }
        return corners;
    }

    // The HUD bitmap for `filled` of the level's goals and the fuel now.
    std::vector<std::string> HudShowing(int filled) {
        GameManager shown;
        shown.goals = manager.goals;
        shown.goalsFilled = filled;
        RenderHud(shown);
        return glrec::LastTextureBitmap();
    }

    // One frame from an empty log: what it drew is all the log holds.
    void frame() {
        glrec::Reset();
        LevelFrame(manager, keys);
    }

    const int savedPointer = resourceManager.textures[ResourceManager::PointerTexture];
    GameManager manager;
    FrameKeys keys;
};

TEST_F(PausedFrames, ShowThePointerAndGoalCountOfTheLastTickUntilTheNext) {
    manager.newObjects[2]->pos = manager.goals[0].pos;  // a star resting in the goal
    mouse_x = 700;
    mouse_y = 300;
    frame();
    const auto pointer = DrawnPointer();
    const auto hud = glrec::LastTextureBitmap();
    ASSERT_EQ(hud, HudShowing(1));

    // Paused, the mouse moves on and the star is taken out of the goal.
    Press(KEY_PAUSE);
    mouse_x = 100;
    mouse_y = 600;
    manager.objects.at(2)->pos = Vect3d(5, 5, 0);
    for (int i = 0; i < 2; ++i) {
        frame();
        ASSERT_TRUE(keys.paused);
        EXPECT_EQ(DrawnPointer(), pointer) << i;
        EXPECT_EQ(glrec::LastTextureBitmap(), hud) << i;
    }

    // The first tick after the pause shows both.
    Release(KEY_PAUSE);
    frame();
    Press(KEY_PAUSE);
    frame();
    ASSERT_FALSE(keys.paused);
    EXPECT_NE(DrawnPointer(), pointer);
    EXPECT_EQ(glrec::LastTextureBitmap(), HudShowing(0));
}

}  // namespace
