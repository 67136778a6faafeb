#include "leveldata.h"

// Placeholder until the level table lands.
const LevelData Levels[NumLevels] = {};
