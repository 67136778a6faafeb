#include "ico.h"

#include <cstdint>
#include <stdexcept>

namespace {

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string FormatIco(const std::vector<IcoImage>& images) {
    constexpr std::uint32_t HeaderBytes = 6, EntryBytes = 16;
    std::string out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<std::uint32_t>(HeaderBytes + EntryBytes * images.size());
    for (const IcoImage& image : images) {
        if (image.size < 1 || image.size > 256) {
            throw std::invalid_argument("an icon's side must be 1..256 pixels");
        }
        const auto side = static_cast<char>(image.size == 256 ? 0 : image.size);  // 0 is 256
        out += side;
        out += side;
        out += '\0';     // no palette
        out += '\0';     // reserved
        Put16(out, 1);   // colour planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<std::uint32_t>(image.png.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(image.png.size());
    }
    for (const IcoImage& image : images) out += image.png;
    return out;
}
