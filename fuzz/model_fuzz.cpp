// Feeds arbitrary bytes to the model reader through a real file, as the game reads it.
// A rejected file is the expected outcome for most inputs; a crash, a sanitizer report,
// any other exception, or an accepted model with an index outside its vertex table or a
// non-finite value that drawing would use is a finding.
#include "model.h"
#include "scratchfile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

const ScratchFile scratch("model-fuzz", ".model");

bool LoadScratch(Model& model) {
    try {
        model.load(scratch.path());
    } catch (const std::runtime_error&) {
        return false;
    }
    return true;
}

bool Finite(const Vect3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// What Model::draw relies on.
void CheckDrawable(const Model& model) {
    const int vertexCount = static_cast<int>(model.vertices.size());
    for (const Vect3d& v : model.vertices) {
        if (!Finite(v)) __builtin_trap();
    }
    for (const Polygon& polygon : model.polygons) {
        if (!Finite(polygon.normal)) __builtin_trap();
        for (int index : polygon.indices) {
            if (index < 0 || index >= vertexCount) __builtin_trap();
        }
    }
    if (!std::isfinite(model.centreX) || !std::isfinite(model.centreY) ||
        !std::isfinite(model.texScale)) {
        __builtin_trap();
    }
    // The texture coordinates draw(true) sends, narrowed to float as it does.
    for (const Vect3d& v : model.vertices) {
        if (!std::isfinite(static_cast<float>((v.x - model.centreX) * model.texScale + 0.5)) ||
            !std::isfinite(static_cast<float>((v.y - model.centreY) * model.texScale + 0.5))) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The short-polygon warnings would only slow the run down.
    static const bool quiet = (std::cerr.rdbuf(nullptr), true);
    (void)quiet;
    const ScratchFile::Input input(scratch, data, size);
    Model model;
    if (!input.written() || !LoadScratch(model)) {
        return 0;
    }
    CheckDrawable(model);
    return 0;
}
