#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace tempdir {

// A new, empty directory under the system's temporary directory, named PREFIX and a
// random suffix (mkdtemp's job, which Windows lacks).
inline std::filesystem::path Make(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(dir)) return dir;
    }
    throw std::filesystem::filesystem_error("no fresh temporary directory",
                                            std::make_error_code(std::errc::file_exists));
}

}  // namespace tempdir
