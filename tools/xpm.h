// XPM, the image format of X window icons. Its text is also C source, so the game
// compiles the picture in.
#pragma once

#include "canvas.h"

#include <string>

// The image as XPM text, with its array declared static const (so that C++ can include
// it) and named arrayName. Pixels at least half opaque keep their colour; the rest are
// transparent (None). Throws std::runtime_error past 4096 colours.
std::string FormatXpm(const Canvas& image, const std::string& arrayName);
