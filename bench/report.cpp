#include "report.h"

#include "stats.h"

#include <cstdio>
#include <functional>

namespace bench {
namespace {

// The targets the figures are read against; measured, never asserted.
constexpr double FrameOverFloorTarget = 1.05;
constexpr double TickTargetUs = 10.0;
constexpr double StartupTargetSeconds = 0.5;
constexpr double RestMs = 20.0;  // the frame loop's fixed sleep

// Frames per second with the loop's sleep, for a tick and a frame of the given cost.
double Fps(double tickUs, double frameMs) { return 1000.0 / (tickUs / 1000.0 + frameMs + RestMs); }

struct Figures {
    Summary tickUs, frameMs, floorMs, clearMs, ratio;
    double fpsMedian = 0, fpsSlow = 0;  // at the median and at the 95th-percentile costs
    double allocsPerTick = 0, allocsPerFrame = 0;
    int ticksAllocatingOtherwise = 0;
    explicit Figures(const LevelSamples& s)
        : tickUs(Summarise(s.tickUs)),
          frameMs(Summarise(s.frameMs)),
          floorMs(Summarise(s.floorMs)),
          clearMs(Summarise(s.clearMs)),
          ratio(Summarise(s.ratio)),
          fpsMedian(Fps(tickUs.median, frameMs.median)),
          fpsSlow(Fps(tickUs.p95, frameMs.p95)) {
        const double n = s.tickUs.empty() ? 1.0 : static_cast<double>(s.tickUs.size());
        allocsPerTick = static_cast<double>(s.tickAllocations) / n;
        ticksAllocatingOtherwise = s.ticksAllocatingOtherwise;
        allocsPerFrame = static_cast<double>(s.drawAllocations) / n;
    }
};

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void Row(std::ostream& out, const char* label, const std::vector<Figures>& figures,
         const std::function<Summary(const Figures&)>& pick, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, "%-30s", label);
    out << text;
    for (const Figures& f : figures) {
        const Summary s = pick(f);
        std::snprintf(text, sizeof text, "%9s%8s", Format(format, s.median).c_str(),
                      Format(format, s.p95).c_str());
        out << text;
    }
    out << '\n';
}

void TextRow(std::ostream& out, const char* label, const std::vector<std::string>& cells) {
    char text[64];
    std::snprintf(text, sizeof text, "%-30s", label);
    out << text;
    for (const std::string& c : cells) {
        std::snprintf(text, sizeof text, "%17s", c.c_str());
        out << text;
    }
    out << '\n';
}

template <typename F>
std::vector<std::string> Cells(const std::vector<LevelSamples>& levels, F cell) {
    std::vector<std::string> cells;
    for (const LevelSamples& s : levels) cells.push_back(cell(s));
    return cells;
}

double Percent(int part, std::size_t whole) {
    return whole == 0 ? 0.0 : 100.0 * part / static_cast<double>(whole);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void PrintTargets(std::ostream& out, const RunInfo& run, const std::vector<LevelSamples>& levels,
                  const std::vector<Figures>& figures) {
    bool ratioMet = true, allocsMet = true;
    for (const Figures& f : figures) {
        ratioMet = ratioMet && f.ratio.median <= FrameOverFloorTarget;
        allocsMet = allocsMet && f.ticksAllocatingOtherwise == 0;
    }
    out << "targets: frame <= " << FrameOverFloorTarget
        << " x floor (median): " << Verdict(ratioMet)
        << "; zero allocations per tick but the particle list's growth: " << Verdict(allocsMet);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].level == 3) {
            out << "; tick <= " << TickTargetUs
                << " us median at level 3: " << Verdict(figures[i].tickUs.median <= TickTargetUs);
        }
    }
    if (run.startupSeconds >= 0) {
        out << "; start-up <= " << StartupTargetSeconds
            << " s: " << Verdict(run.startupSeconds <= StartupTargetSeconds);
    }
    out << '\n';
}

void JsonSummary(std::ostream& out, const char* name, const Summary& s) {
    out << "\"" << name << "\": {\"median\": " << s.median << ", \"p95\": " << s.p95 << "}";
}

const char* PilotName(PilotKind kind) {
    return kind == PilotKind::Scripted ? "scripted" : "autopilot";
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

void PrintTable(std::ostream& out, const RunInfo& run, const std::vector<LevelSamples>& levels) {
    std::vector<Figures> figures(levels.begin(), levels.end());
    out << "StarTug frame benchmark\n"
        << "renderer: " << run.renderer << "; " << run.cores << " cores; " << run.options.reps
        << " repetitions x " << run.options.frames << " frames per level after "
        << run.options.warmup << " warm-up frames; input: " << PilotName(run.options.pilot)
        << "\n\n";
    TextRow(out, "", Cells(levels, [](const LevelSamples& s) {
                return "level " + std::to_string(s.level);
            }));
    TextRow(out, "", Cells(levels, [](const LevelSamples&) { return "median     p95"; }));
    Row(
        out, "tick (us)", figures, [](const Figures& f) { return f.tickUs; }, "%.2f");
    Row(
        out, "frame: draw + flip (ms)", figures, [](const Figures& f) { return f.frameMs; },
        "%.2f");
    Row(
        out, "floor: replay + flip (ms)", figures, [](const Figures& f) { return f.floorMs; },
        "%.2f");
    Row(
        out, "ratio frame / floor", figures, [](const Figures& f) { return f.ratio; }, "%.3f");
    Row(
        out, "bare glClear + flip (ms)", figures, [](const Figures& f) { return f.clearMs; },
        "%.2f");
    Row(
        out, "fps with the 20 ms rest", figures,
        [](const Figures& f) {
            return Summary{f.fpsMedian, f.fpsSlow};
        },
        "%.1f");
    TextRow(out, "allocations per tick", Cells(levels, [](const LevelSamples& s) {
                return Format("%.3f", Figures(s).allocsPerTick) + " (" +
                       std::to_string(s.ticksAllocating) + " ticks)";
            }));
    TextRow(out, "  ticks allocating otherwise", Cells(levels, [](const LevelSamples& s) {
                return std::to_string(s.ticksAllocatingOtherwise);
            }));
    TextRow(out, "allocations per drawn frame", Cells(levels, [](const LevelSamples& s) {
                return Format("%.2f", Figures(s).allocsPerFrame);
            }));
    TextRow(out, "live objects",
            Cells(levels, [](const LevelSamples& s) { return std::to_string(s.objects); }));
    const std::string matching =
        "replay = frame (within " + std::to_string(ReplayTolerance) + "/255)";
    TextRow(out, matching.c_str(), Cells(levels, [](const LevelSamples& s) {
                return std::to_string(s.matchingFrames) + "/" + std::to_string(s.comparedFrames);
            }));
    TextRow(out, "replay: worst pixels off / by", Cells(levels, [](const LevelSamples& s) {
                return std::to_string(s.worstPixelsOff) + " / " +
                       std::to_string(s.largestDifference);
            }));
    TextRow(out, "ticks thrusting / towing (%)", Cells(levels, [](const LevelSamples& s) {
                return Format("%.0f", Percent(s.thrustTicks, s.tickUs.size())) + " / " +
                       Format("%.0f", Percent(s.beamTicks, s.tickUs.size()));
            }));
    TextRow(out, "ship losses / restarts", Cells(levels, [](const LevelSamples& s) {
                return std::to_string(s.shipLosses) + " / " + std::to_string(s.restarts);
            }));
    TextRow(out, "most goals filled at once", Cells(levels, [](const LevelSamples& s) {
                return std::to_string(s.mostGoalsFilled) + " of " + std::to_string(s.numGoals);
            }));
    out << '\n';
    if (run.startupSeconds >= 0) {
        out << "start-up to first drawn frame: " << Format("%.3f", run.startupSeconds)
            << " s from process start; from main: display " << Format("%.3f", run.startup.display)
            << " s, resources " << Format("%.3f", run.startup.resources) << " s, level set-up "
            << Format("%.3f", run.startup.levelSetUp) << " s, first frame "
            << Format("%.3f", run.startup.firstFrame) << " s\n";
    }
    out << "peak resident memory: " << Format("%.1f", run.peakRssKb / 1024.0) << " MB\n";
    PrintTargets(out, run, levels, figures);
}

void PrintJson(std::ostream& out, const RunInfo& run, const std::vector<LevelSamples>& levels) {
    out << "{\"renderer\": " << JsonString(run.renderer) << ", \"cores\": " << run.cores
        << ", \"reps\": " << run.options.reps << ", \"frames\": " << run.options.frames
        << ", \"warmup\": " << run.options.warmup << ", \"pilot\": \""
        << PilotName(run.options.pilot) << "\""
        << ", \"startup_s\": " << run.startupSeconds
        << ", \"startup_display_s\": " << run.startup.display
        << ", \"startup_resources_s\": " << run.startup.resources
        << ", \"startup_level_setup_s\": " << run.startup.levelSetUp
        << ", \"startup_first_frame_s\": " << run.startup.firstFrame
        << ", \"peak_rss_kb\": " << run.peakRssKb << ", \"levels\": [";
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const LevelSamples& s = levels[i];
        const Figures f(s);
        out << (i > 0 ? ", " : "") << "{\"level\": " << s.level << ", ";
        JsonSummary(out, "tick_us", f.tickUs);
        out << ", ";
        JsonSummary(out, "frame_ms", f.frameMs);
        out << ", ";
        JsonSummary(out, "floor_ms", f.floorMs);
        out << ", ";
        JsonSummary(out, "ratio", f.ratio);
        out << ", ";
        JsonSummary(out, "clear_ms", f.clearMs);
        out << ", ";
        JsonSummary(out, "fps", Summary{f.fpsMedian, f.fpsSlow});
        out << ", \"allocations_per_tick\": " << f.allocsPerTick
            << ", \"ticks_allocating\": " << s.ticksAllocating
            << ", \"ticks_allocating_otherwise\": " << s.ticksAllocatingOtherwise
            << ", \"allocations_per_frame\": " << f.allocsPerFrame << ", \"objects\": " << s.objects
            << ", \"replays_compared\": " << s.comparedFrames
            << ", \"replays_matching\": " << s.matchingFrames
            << ", \"replay_worst_pixels_off\": " << s.worstPixelsOff
            << ", \"replay_largest_difference\": " << s.largestDifference
            << ", \"thrust_ticks\": " << s.thrustTicks << ", \"beam_ticks\": " << s.beamTicks
            << ", \"ship_losses\": " << s.shipLosses << ", \"restarts\": " << s.restarts
            << ", \"most_goals_filled\": " << s.mostGoalsFilled << ", \"goals\": " << s.numGoals
            << "}";
    }
    out << "]}\n";
}

}  // namespace bench
