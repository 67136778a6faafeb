#pragma once

#include "window.h"

#include <allegro.h>

class GameManager;

// The player's progress; shared by the shell, the ship and the HUD.
struct PlayerInfo {
    int level = 1;  // 1-based; above NumLevels once every level is done
    bool shipDestroyed = false;
    bool levelFailed = false;
    int loseTimer = 0;           // ticks in this level with the ship gone or no fuel; never reset
    bool levelComplete = false;  // won, or skipped with F12
    int winTimer = 0;            // consecutive ticks with every goal filled
    int fuel = 1000;
};

extern PlayerInfo playerInfo;
extern int GoalTime;              // ticks a win or lose state must exceed to take effect
extern unsigned char fullscreen;  // 1 asks for a full-screen display
extern BITMAP* hudBmp;            // the HUD line is printed here, reused every frame

// True when the first argument starts with a lower-case f.
bool FullscreenRequested(int argc, char** argv);
// Called before every frame of a level with the level's manager; lets a driver other than
// the player's hands (the demo's autopilot) set the polled mouse state.
using FrameHook = void (*)(GameManager& manager);

// The whole program after the entry point: start-up, the game, the failure report.
// Returns the process exit status: 0 after a normal end, 1 after a reported failure.
int RunGame(int argc, char** argv, FrameHook beforeFrame = nullptr);

void InitAllegro();
void GameLoop(FrameHook beforeFrame = nullptr);
// Plays one level; true when the player asked to quit.
bool LevelLoop(GameManager& manager, FrameHook beforeFrame = nullptr);
// The pause state of one level's frame loop.
struct FrameKeys {
    bool paused = false;
    bool pauseKeyWasDown = false;
};
enum class FrameEnd { Continue, Quit, LevelEnded };
// One frame of LevelLoop: keys, tick, drawing, flip, pacing, end-of-frame keys.
FrameEnd LevelFrame(GameManager& manager, FrameKeys& keys);
void CheckWinLose(GameManager& manager);
// The whole picture of one frame, up to but not including the buffer flip.
void DrawFrame(GameManager& manager);
void InitLevel(GameManager& manager);
void InitProjection(GameManager& manager);
void RenderHud(GameManager& manager);
// The HUD line, formatted in place: the frame loop allocates nothing for it.
struct HudText {
    char text[64];
};
HudText HudLine(int goalsFilled, int numGoals, int fuel);
