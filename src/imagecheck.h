#pragma once

#include <cstddef>
#include <string>

// Allegro 4.4's TGA and PCX readers trust their headers: a long colour map, a run-length
// packet past its row, a size product that overflows an int or a PCX extent that wraps
// crash them or keep them busy for seconds. These checks run before Allegro sees a file.
// Each returns true when the bytes are safe to hand to the loader the game uses, and
// otherwise false with a short reason in *why (why may be null).

// A TGA for load_bitmap: uncompressed (type 2) or run-length (type 10) true colour, 24 or
// 32 bits per pixel, either origin, no colour map, sides 1..4096, every pixel present and
// every run-length packet inside its row.
bool CheckTga(const unsigned char* data, std::size_t size, std::string* why);
bool CheckTgaFile(const std::string& fileName, std::string* why);

// A PCX for load_font's bitmap-font reader: 8 bits per plane in 1 or 3 planes, sides
// 1..4096, every row's run-length data present and inside its row, the 256-colour palette
// after the data of a 1-plane image, and at least one glyph box in the border grid.
bool CheckFontPcx(const unsigned char* data, std::size_t size, std::string* why);
bool CheckFontFile(const std::string& fileName, std::string* why);
