#include "xpm.h"

#include <cstdio>
#include <map>
#include <stdexcept>

namespace {

// Two characters per pixel from these 64 give 4096 colours, more than a 64x64 icon has.
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.#";
constexpr int kBase = sizeof kDigits - 1;
constexpr int kTransparent = -1;

// 0xRRGGBB, or kTransparent.
int Key(const Colour& c) {
    if (c.a < 0.5f) return kTransparent;
    return Quantise(c.r) << 16 | Quantise(c.g) << 8 | Quantise(c.b);
}

std::string ColourName(int key) {
    if (key == kTransparent) return "None";
    char name[8];
    std::snprintf(name, sizeof name, "#%06X", key);
    return name;
}

}  // namespace

std::string FormatXpm(const Canvas& image, const std::string& arrayName) {
    std::map<int, std::string> codes;  // ordered, so the same image gives the same text
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) codes[Key(image.at(x, y))];
    }
    if (codes.size() > static_cast<size_t>(kBase * kBase))
        throw std::runtime_error("too many colours for XPM: " + std::to_string(codes.size()));
    int next = 0;
    for (auto& [key, code] : codes) {
        code = {kDigits[next / kBase], kDigits[next % kBase]};
        ++next;
    }
    std::string text = "/* XPM */\nstatic const char* const " + arrayName + "[] = {\n";
    text += "\"" + std::to_string(image.width()) + " " + std::to_string(image.height()) + " " +
            std::to_string(codes.size()) + " 2\",\n";
    for (const auto& [key, code] : codes) text += "\"" + code + " c " + ColourName(key) + "\",\n";
    for (int y = 0; y < image.height(); ++y) {
        text += "\"";
        for (int x = 0; x < image.width(); ++x) text += codes.at(Key(image.at(x, y)));
        text += y + 1 < image.height() ? "\",\n" : "\"\n";
    }
    return text + "};\n";
}
