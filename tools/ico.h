// ICO, the icon format of Windows programs: the program's icon resource holds one.
#pragma once

#include <string>
#include <vector>

struct IcoImage {
    int size;         // width and height in pixels, 1..256
    std::string png;  // the picture as a PNG file's bytes
};

// An icon file holding each picture as a PNG entry, as Windows takes them since Vista.
// Throws std::invalid_argument for a size outside 1..256.
std::string FormatIco(const std::vector<IcoImage>& images);
