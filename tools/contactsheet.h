// One picture of every generated asset, for people to look at: reads the files
// back from a data directory (so it shows what the game will load) and writes a
// 24-bit TGA.
#pragma once

#include <string>

void WriteContactSheet(const std::string& dataDir, const std::string& sheetPath);
