#include "frame_bench.h"

#include "alloc_counter.h"
#include "game.h"
#include "gamemanager.h"
#include "opengl.h"
#include "pilot.h"
#include "resources.h"
#include "ship.h"
#include "starfield.h"
#include "utils.h"

#include <alleggl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;

// One level as GameLoop plays it: a fresh manager, and a new attempt once the level is
// won or lost.
class LevelRun {
  public:
    LevelRun(int level, PilotKind pilot) : level_(level), pilotKind_(pilot) { restart(); }

    GameManager& manager() { return *manager_; }
    Pilot& pilot() { return *pilot_; }

    void restart() {
        playerInfo = PlayerInfo();
        playerInfo.level = level_;
        auto fresh = std::make_unique<GameManager>();
        InitLevel(*fresh);
        manager_ = std::move(fresh);  // the old star field's texture goes only now
        pilot_ = MakePilot(pilotKind_);
    }

  private:
    int level_;
    PilotKind pilotKind_;
    std::unique_ptr<Pilot> pilot_;
    std::unique_ptr<GameManager> manager_;
};

// The tick half of LevelFrame, with its cost in microseconds.
double TimedTick(GameManager& manager) {
    const auto start = Clock::now();
    manager.tick();
    CheckWinLose(manager);
    return Ms(start, Clock::now()) * 1000.0;
}

// Buffer swap, finished before the clock is read again.
void Flip() {
    allegro_gl_flip();
    glFinish();
}

void ReadFrame(std::vector<unsigned char>& pixels) {
    pixels.resize(static_cast<std::size_t>(ScreenWidth) * ScreenHeight * 4);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

struct PixelDifference {
    int pixels = 0;   // pixels whose colour differs at all
    int largest = 0;  // largest difference of one channel, in 1/255
};

PixelDifference Compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    PixelDifference d;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
        int largest = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            largest = std::max(largest, std::abs(int{a[i + c]} - int{b[i + c]}));
        }
        d.pixels += largest > 0 ? 1 : 0;
        d.largest = std::max(d.largest, largest);
    }
    return d;
}

// Records the frame's command stream without drawing it.
void RecordFrame(GLuint list, GameManager& manager) {
    glNewList(list, GL_COMPILE);
    DrawFrame(manager);
    glEndList();
}

// Textures that live longer than a frame: the loaded ones and the star field's.
bool OutlivesFrame(GLuint name, const GameManager& manager) {
    const std::vector<int>& loaded = resourceManager.textures;
    if (std::find(loaded.begin(), loaded.end(), static_cast<int>(name)) != loaded.end()) {
        return true;
    }
    return std::any_of(manager.objects.begin(), manager.objects.end(), [name](GameObject* o) {
        const auto* field = dynamic_cast<const StarField*>(o);
        return field != nullptr && field->fieldTexture == name;
    });
}

// The HUD makes a texture and deletes it inside the frame. Texture names are made and
// deleted at once, outside any list, so the recording keeps the binding of a deleted name
// and the upload into it; the replay therefore brings the texture back and uploads the HUD
// line again, as the frame did. The HUD is the frame's last binding: deleting what is
// bound after the replay, as the frame does, keeps the replays from piling up textures.
void ReplayFrame(GLuint list, const GameManager& manager) {
    glCallList(list);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    const auto name = static_cast<GLuint>(bound);
    if (name != 0 && !OutlivesFrame(name, manager)) {
        glDeleteTextures(1, &name);
    }
}

// Draws the frame, then replays its recording, and says how far the two pictures differ.
PixelDifference ReplayAgainstFrame(GLuint list, GameManager& manager) {
    static std::vector<unsigned char> drawn, replayed;
    DrawFrame(manager);
    ReadFrame(drawn);
    Flip();
    RecordFrame(list, manager);
    ReplayFrame(list, manager);
    ReadFrame(replayed);
    Flip();
    return Compare(drawn, replayed);
}

class LevelMeter {
  public:
    LevelMeter(int level, const FrameBenchOptions& options) : options_(options) {
        samples_.level = level;
        list_ = glGenLists(1);
    }
    ~LevelMeter() { glDeleteLists(list_, 1); }
    LevelMeter(const LevelMeter&) = delete;
    LevelMeter& operator=(const LevelMeter&) = delete;

    LevelSamples measure() {
        for (int rep = 0; rep < options_.reps; ++rep) {
            ResetGameRand();  // every repetition plays the very same frames
            LevelRun run(samples_.level, options_.pilot);
            for (int frame = 0; frame < options_.warmup + options_.frames; ++frame) {
                const bool measured = frame >= options_.warmup;
                const bool verified =
                    rep == 0 && !measured && frame >= options_.warmup - options_.verify;
                playFrame(run, measured, verified);
            }
        }
        return samples_;
    }

  private:
    void playFrame(LevelRun& run, bool measured, bool verified) {
        GameManager& manager = run.manager();
        const MouseInput input = run.pilot().decide(manager);
        ApplyMouse(input);
        const bool hadShip = manager.ship != nullptr;
        const std::size_t particleRoom = manager.particles.capacity();
        const std::uint64_t beforeTick = AllocationCount();
        const double tickUs = TimedTick(manager);
        const std::uint64_t tickAllocations = AllocationCount() - beforeTick;
        const bool particlesGrew = manager.particles.capacity() != particleRoom;
        if (verified) {
            const PixelDifference d = ReplayAgainstFrame(list_, manager);
            ++samples_.comparedFrames;
            samples_.matchingFrames += d.largest <= ReplayTolerance ? 1 : 0;
            samples_.worstPixelsOff = std::max(samples_.worstPixelsOff, d.pixels);
            samples_.largestDifference = std::max(samples_.largestDifference, d.largest);
        } else {
            const std::uint64_t beforeDraw = AllocationCount();
            const double frameMs = timedFrame(manager);
            const std::uint64_t drawAllocations = AllocationCount() - beforeDraw;
            RecordFrame(list_, manager);
            const double floorMs = timedReplay(manager);
            const double clearMs = timedClear();
            if (measured) {
                samples_.tickUs.push_back(tickUs);
                samples_.frameMs.push_back(frameMs);
                samples_.floorMs.push_back(floorMs);
                samples_.clearMs.push_back(clearMs);
                samples_.ratio.push_back(frameMs / floorMs);
                samples_.tickAllocations += tickAllocations;
                samples_.ticksAllocating += tickAllocations > 0 ? 1 : 0;
                samples_.ticksAllocatingOtherwise += tickAllocations > 0 && !particlesGrew ? 1 : 0;
                samples_.drawAllocations += drawAllocations;
                notePlay(manager, input, hadShip);
            }
        }
        if (playerInfo.levelComplete || playerInfo.levelFailed) {
            run.restart();
            ++samples_.restarts;
        }
    }

    static double timedFrame(GameManager& manager) {
        const auto start = Clock::now();
        DrawFrame(manager);
        glFinish();  // rasterisation is counted in the frame that caused it
        Flip();
        return Ms(start, Clock::now());
    }

    double timedReplay(const GameManager& manager) const {
        const auto start = Clock::now();
        ReplayFrame(list_, manager);
        glFinish();
        Flip();
        return Ms(start, Clock::now());
    }

    static double timedClear() {
        const auto start = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        Flip();
        return Ms(start, Clock::now());
    }

    void notePlay(const GameManager& manager, const MouseInput& input, bool hadShip) {
        samples_.objects = std::max(samples_.objects, static_cast<int>(manager.objects.size()));
        samples_.numGoals = static_cast<int>(manager.goals.size());
        samples_.mostGoalsFilled = std::max(samples_.mostGoalsFilled, manager.goalsFilled);
        if (!hadShip) {
            return;
        }
        const auto* ship = static_cast<const Ship*>(manager.ship);
        if (ship == nullptr) {
            ++samples_.shipLosses;
            return;
        }
        samples_.thrustTicks += (input.buttons & 1) != 0 && playerInfo.fuel > 0 ? 1 : 0;
        samples_.beamTicks += ship->tractorOn ? 1 : 0;
    }

    const FrameBenchOptions& options_;
    LevelSamples samples_;
    GLuint list_ = 0;
};

}  // namespace

LevelSamples MeasureLevel(int level, const FrameBenchOptions& options) {
    LevelMeter meter(level, options);
    return meter.measure();
}

void DrawFirstFrame(StartupPhases& phases) {
    const auto start = Clock::now();
    ResetGameRand();
    LevelRun run(1, PilotKind::Scripted);
    glFinish();
    const auto setUp = Clock::now();
    run.manager().tick();
    CheckWinLose(run.manager());
    DrawFrame(run.manager());
    Flip();
    phases.levelSetUp = Ms(start, setUp) / 1000;
    phases.firstFrame = Ms(setUp, Clock::now()) / 1000;
}

}  // namespace bench
