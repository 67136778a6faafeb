#pragma once

#include <cstddef>
#include <string>

// Allegro 4.4's TGA and PCX readers trust their headers: a long colour map, a run-length
// packet past its row, a size product that overflows an int or a PCX extent that wraps
// crash them or keep them busy for seconds. These checks run before Allegro sees a file.
// Each returns true when the bytes are safe to hand to the loader the game uses, and
// otherwise false with a short reason in *why (why may be null).

struct ImageSize {
    std::size_t width = 0, height = 0;
};

// A TGA that load_bitmap reads as the picture it holds, in any layout Allegro decodes
// faithfully: colour-mapped (8 bits an index, a map of 1..256 entries of 16, 24 or 32 bits
// from entry 0), greyscale (8 bits) or true colour (15, 16, 24 or 32 bits), each
// uncompressed or run-length, either vertical origin. Every pixel must be present, every
// run-length packet inside its row, and the pixel count small enough for Allegro's int
// arithmetic. Sets *size (may be null) to the image's sides when it accepts the file.
bool CheckTga(const unsigned char* data, std::size_t size, std::string* why,
              ImageSize* imageSize = nullptr);
bool CheckTgaFile(const std::string& fileName, std::string* why, ImageSize* imageSize = nullptr);

// A PCX for load_font's bitmap-font reader: 8 bits per plane in 1 or 3 planes, rows at
// least as wide as the image, every row's run-length data present, a pixel count small
// enough for Allegro's int arithmetic, and at least one glyph box in the border grid.
bool CheckFontPcx(const unsigned char* data, std::size_t size, std::string* why);
bool CheckFontFile(const std::string& fileName, std::string* why);
