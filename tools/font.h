// The game's bitmap font: drawn here from our own glyph art and written as an 8-bit
// PCX in the grid layout Allegro's load_font reads.
#pragma once

#include <string>
#include <vector>

// Each art column becomes two pixels: the game shows text stretched to twice its
// height, so doubled columns make the strokes square on screen.
constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 14;

void WriteFont(const std::string& path);

// Loads the file back through Allegro and checks what the game relies on: one
// mono range 32..126, the glyph height, and the widest HUD line within 512 pixels.
// Returns one line per problem; empty means sound.
std::vector<std::string> CheckFont(const std::string& path);
