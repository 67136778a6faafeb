#pragma once

#include "pilot.h"

#include <cstdint>
#include <vector>

namespace bench {

struct FrameBenchOptions {
    int frames = 200;  // measured frames per repetition
    int warmup = 50;   // frames played first, so particle lists and caches reach working size
    int reps = 3;      // repetitions, each replaying the level from the same start
    int verify = 20;   // warm-up frames whose replay is compared pixel for pixel with the frame
    PilotKind pilot = PilotKind::Scripted;
};

// What one level's frames cost, sample by sample, pooled over the repetitions.
struct LevelSamples {
    int level = 0;
    int objects = 0;                    // live objects once the level is under way
    std::vector<double> tickUs;         // GameManager::tick + CheckWinLose, microseconds
    std::vector<double> frameMs;        // DrawFrame, glFinish, flip, glFinish
    std::vector<double> floorMs;        // the same frame's commands replayed from a list, then flip
    std::vector<double> clearMs;        // glClear of colour and depth, then flip
    std::vector<double> ratio;          // frameMs / floorMs, frame by frame
    std::uint64_t tickAllocations = 0;  // operator new calls inside measured ticks
    int ticksAllocating = 0;
    // Of those, ticks that allocated without growing the particle list: the list grows to its
    // working size once per attempt, when the play first makes that many particles.
    int ticksAllocatingOtherwise = 0;
    std::uint64_t drawAllocations = 0;  // operator new calls inside measured frames' drawing
    int comparedFrames = 0;
    int matchingFrames = 0;     // replays within ReplayTolerance of the frame everywhere
    int worstPixelsOff = 0;     // most pixels of one replay that differ from its frame at all
    int largestDifference = 0;  // of one colour channel, in 1/255
    // How the scripted input played, so a reader can tell the frames were real play.
    int thrustTicks = 0;
    int beamTicks = 0;
    int shipLosses = 0;
    int restarts = 0;  // the level was won or lost and began again
    int mostGoalsFilled = 0;
    int numGoals = 0;
};

// A replay rasterises the same primitives from stored vertices; Mesa may round a colour
// channel differently by a level or two, which is the same picture.
constexpr int ReplayTolerance = 2;

// Plays `level` from its start options.reps times and measures every frame after the warm-up.
// Needs the display, the resources and hudBmp.
LevelSamples MeasureLevel(int level, const FrameBenchOptions& options);

// Where the start-up goes, in seconds.
struct StartupPhases {
    double display = 0;     // main's start to an open OpenGL display (InitAllegro)
    double resources = 0;   // the HUD bitmap and resourceManager.loadAll()
    double levelSetUp = 0;  // a manager and InitLevel for level 1
    double firstFrame = 0;  // its first tick, drawing and flip
};

// Sets up level 1 and draws its first frame, as the game does right after loading; fills
// in the last two phases.
void DrawFirstFrame(StartupPhases& phases);

}  // namespace bench
