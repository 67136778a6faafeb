#pragma once

#include "autopilot.h"
#include "game.h"
#include "gamemanager.h"

#include <memory>
#include <vector>

// A level set up the way the game's level loop sets it up, ticked the way the frame loop
// ticks it: inputs, then GameManager::tick, then CheckWinLose.
class LevelRun {
  public:
    explicit LevelRun(int level);
    ~LevelRun();

    // One frame's worth of play with the given inputs.
    void tick(const autopilot::Inputs& inputs);
    bool over() const { return playerInfo.levelComplete || playerInfo.levelFailed; }
    int starsAlive() const;

    GameManager manager;
    long ticks = 0;
    bool shipEverDestroyed = false;
};

// Flies a level with the autopilot until it ends or the budget runs out; keeps every
// tick's inputs.
struct Flight {
    long ticks = 0;
    int fuelLeft = 0;
    int starsLost = 0;
    bool shipEverDestroyed = false;
    bool won = false;
    bool failed = false;
    std::vector<autopilot::Inputs> inputs;
};
Flight FlyLevel(int level, long tickBudget);
