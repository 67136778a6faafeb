#pragma once

#include "frame_bench.h"

#include <ostream>
#include <string>
#include <vector>

namespace bench {

// What a run says about the machine and the program as a whole.
struct RunInfo {
    std::string renderer;  // GL_RENDERER
    unsigned cores = 0;
    FrameBenchOptions options;
    double startupSeconds = -1;  // process start to the first drawn frame; -1 when unknown
    StartupPhases startup;
    long peakRssKb = 0;
};

void PrintTable(std::ostream& out, const RunInfo& run, const std::vector<LevelSamples>& levels);
void PrintJson(std::ostream& out, const RunInfo& run, const std::vector<LevelSamples>& levels);

}  // namespace bench
