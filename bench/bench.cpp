// startug-bench: what a frame and a tick of the real game cost on this machine, beside
// the cost of replaying the same OpenGL commands with nothing else. Run it from the game
// directory (./bench does), where the data files are.

#include "frame_bench.h"
#include "game.h"
#include "leveldata.h"
#include "opengl.h"
#include "process.h"
#include "report.h"
#include "resources.h"

#include <allegro.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    bench::FrameBenchOptions frames;
    int level = 0;  // 0 measures every level
    bool json = false;
};

const char* const Usage =
    "usage: startug-bench [--level N] [--frames N] [--reps N] [--warmup N]\n"
    "                     [--pilot scripted|autopilot] [--json]\n"
    "  --level N   measure level N only (default: every level)\n"
    "  --frames N  measured frames per repetition (default 200)\n"
    "  --reps N    repetitions per level (default 3)\n"
    "  --warmup N  frames played before measuring in each repetition (default 50)\n"
    "  --pilot P   who flies: the fixed script (default) or the demo's autopilot\n"
    "  --json      one JSON object instead of the table\n";

int PositiveNumber(const std::string& option, const char* text, int least) {
    char* end = nullptr;
    const long value = text != nullptr ? std::strtol(text, &end, 10) : 0;
    if (text == nullptr || *end != '\0' || value < least || value > 1000000) {
        throw std::invalid_argument(option + " needs a whole number of at least " +
                                    std::to_string(least));
    }
    return static_cast<int>(value);
}

bench::PilotKind ParsePilot(const char* text) {
    const std::string name = text != nullptr ? text : "";
    if (name == "scripted") {
        return bench::PilotKind::Scripted;
    }
    if (name == "autopilot" && bench::MakePilot(bench::PilotKind::Autopilot) != nullptr) {
        return bench::PilotKind::Autopilot;
    }
    throw std::invalid_argument("--pilot takes scripted or autopilot (when built)");
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--level") {
            options.level = PositiveNumber(arg, value, 1);
            if (options.level > NumLevels) {
                throw std::invalid_argument("--level goes up to " + std::to_string(NumLevels));
            }
        } else if (arg == "--frames") {
            options.frames.frames = PositiveNumber(arg, value, 1);
        } else if (arg == "--reps") {
            options.frames.reps = PositiveNumber(arg, value, 1);
        } else if (arg == "--warmup") {
            options.frames.warmup = PositiveNumber(arg, value, 0);
        } else if (arg == "--pilot") {
            options.frames.pilot = ParsePilot(value);
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
        ++i;
    }
    options.frames.verify = std::min(options.frames.verify, options.frames.warmup);
    return options;
}

double SecondsSince(Clock::time_point& start) {
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - start).count();
    start = now;
    return seconds;
}

int Run(const Options& options, Clock::time_point mainStart) {
    bench::RunInfo run;
    Clock::time_point phaseStart = mainStart;
    InitAllegro();
    run.startup.display = SecondsSince(phaseStart);
    hudBmp = create_bitmap(512, 16);
    resourceManager.loadAll();
    run.startup.resources = SecondsSince(phaseStart);
    bench::DrawFirstFrame(run.startup);
    run.startupSeconds = bench::SecondsSinceProcessStart();

    run.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    run.cores = std::thread::hardware_concurrency();
    run.options = options.frames;

    std::vector<bench::LevelSamples> levels;
    for (int level = 1; level <= NumLevels; ++level) {
        if (options.level == 0 || options.level == level) {
            levels.push_back(bench::MeasureLevel(level, options.frames));
        }
    }
    run.peakRssKb = bench::PeakRssKb();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);  // closes the display the way the game does
    if (options.json) {
        bench::PrintJson(std::cout, run, levels);
    } else {
        bench::PrintTable(std::cout, run, levels);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto mainStart = Clock::now();
    Options options;
    try {
        options = ParseOptions(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::cerr << "startug-bench: " << e.what() << '\n' << Usage;
        return 2;
    }
    try {
        return Run(options, mainStart);
    } catch (const std::exception& e) {
        std::cerr << "startug-bench: " << e.what() << " (Allegro error: " << allegro_error << ")\n";
        return 1;
    }
}
END_OF_MAIN()
