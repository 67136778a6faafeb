#pragma once

struct LevelPoint {
    float x, y;
};

// One entry of the compiled-in level table; pairs beyond the counts are never read.
struct LevelData {
    int fuel;
    int numStars;
    int numGoals;
    LevelPoint stars[20];
    LevelPoint goals[20];
};

constexpr int NumLevels = 3;
extern const LevelData Levels[NumLevels];
