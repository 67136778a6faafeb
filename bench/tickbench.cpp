// startug-tickbench: GameManager::tick at each level's full object count, headless: the
// recording OpenGL stand-in of the unit tests takes the driver's place, so setting a level
// up needs no display.
//
//   startug-tickbench [Google Benchmark options]   time the tick at each level
//   startug-tickbench --ticks N [--level L]        run N ticks per level and nothing else,
//                                                  for instruction counts under callgrind

#include "alloc_counter.h"
#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "leveldata.h"
#include "pilot.h"
#include "resources.h"
#include "utils.h"

#include <allegro.h>

#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

constexpr int CycleTicks = 400;   // 8 s of play with every object alive; then it starts again
constexpr int WarmupTicks = 100;  // particle lists reach their working size within these

// One level played from its start with the scripted input, again and again. The input is
// worked out once, so replaying it costs three stores a tick, and every cycle plays the
// very same ticks.
class TickCycle {
  public:
    explicit TickCycle(int level) : level_(level) {
        restart();
        for (int t = 0; t < CycleTicks; ++t) {
            inputs_.push_back(bench::ScriptedInput(*manager_, t));
            tick();
        }
        restart();
    }

    void restart() {
        ResetGameRand();
        playerInfo = PlayerInfo();
        playerInfo.level = level_;
        manager_ = std::make_unique<GameManager>();
        InitLevel(*manager_);
        glrec::Reset();  // the star field's painting; ticks draw nothing
        // The recording's many small blocks were just freed; merge them now, or the first
        // large allocation of a later tick would do it and be charged to the game.
        malloc_trim(0);
        next_ = 0;
    }

    bool atEnd() const { return next_ == inputs_.size(); }
    bool warm() const { return next_ >= WarmupTicks; }

    void tick() {
        bench::ApplyMouse(next_ < inputs_.size() ? inputs_[next_] : bench::MouseInput());
        ++next_;
        ++ticksRun_;
        manager_->tick();
    }

    // Every GameManager::tick this cycle has run, working out the input included.
    long ticksRun() const { return ticksRun_; }

    int objects() const { return static_cast<int>(manager_->objects.size()); }
    std::size_t particleRoom() const { return manager_->particles.capacity(); }

  private:
    int level_;
    std::unique_ptr<GameManager> manager_;
    std::vector<bench::MouseInput> inputs_;
    std::size_t next_ = 0;
    long ticksRun_ = 0;
};

void BM_Tick(benchmark::State& state) {
    TickCycle cycle(static_cast<int>(state.range(0)));
    cycle.tick();  // the level's objects join the live list in the first tick
    const int objects = cycle.objects();
    std::uint64_t allocations = 0;
    std::uint64_t otherAllocations = 0;  // in ticks that did not grow the particle list
    std::uint64_t steadyTicks = 0;
    for (auto _ : state) {
        if (cycle.atEnd()) {
            state.PauseTiming();
            cycle.restart();
            state.ResumeTiming();
        }
        const bool warm = cycle.warm();
        const std::size_t room = cycle.particleRoom();
        const std::uint64_t before = AllocationCount();
        cycle.tick();
        if (warm) {
            const std::uint64_t made = AllocationCount() - before;
            allocations += made;
            otherAllocations += cycle.particleRoom() == room ? made : 0;
            ++steadyTicks;
        }
    }
    const double ticks = steadyTicks == 0 ? 1.0 : static_cast<double>(steadyTicks);
    state.counters["objects"] = objects;
    state.counters["allocs/tick"] = static_cast<double>(allocations) / ticks;
    state.counters["other_allocs/tick"] = static_cast<double>(otherAllocations) / ticks;
}
BENCHMARK(BM_Tick)->DenseRange(1, NumLevels)->ArgName("level");

// Plain ticks, for callgrind: the instruction count inside GameManager::tick divided by the
// ticks printed here (all of this process's ticks) is the cost of a tick, free of machine
// noise.
int RunTicks(long ticks, int onlyLevel) {
    for (int level = 1; level <= NumLevels; ++level) {
        if (onlyLevel != 0 && level != onlyLevel) {
            continue;
        }
        TickCycle cycle(level);
        for (long i = 0; i < ticks; ++i) {
            if (cycle.atEnd()) {
                cycle.restart();
            }
            cycle.tick();
        }
        std::cout << "level " << level << ": " << cycle.ticksRun() << " ticks\n";
    }
    return 0;
}

// The value after `name` on the command line, or `otherwise`.
long OptionValue(int argc, char** argv, const char* name, long otherwise) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::strtol(argv[i + 1], nullptr, 10);
        }
    }
    return otherwise;
}

}  // namespace

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    resourceManager.models.resize(ResourceManager::NumModelSlots);
    const long ticks = OptionValue(argc, argv, "--ticks", 0);
    if (ticks > 0) {
        return RunTicks(ticks, static_cast<int>(OptionValue(argc, argv, "--level", 0)));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
