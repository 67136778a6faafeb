#pragma once

// The game's readers take file names, so each fuzz input goes through a real file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// A file for this process's inputs, with the extension the reader picks its format by.
// Kept in memory where the system has a RAM-backed directory: on disk, writing it would
// cost more than the run.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name, const std::string& extension) {
        const char* dir = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        path_ = std::string(dir) + "/startug-" + name + "-" + std::to_string(getpid()) + extension;
    }
    const std::string& path() const { return path_; }

    // Holds the input until the scope ends, and then removes the file: a timed-out libFuzzer
    // run ends without exit handlers, so nothing may be left for them.
    class Input {
      public:
        Input(const ScratchFile& file, const uint8_t* data, size_t size) : path_(file.path()) {
            std::FILE* out = std::fopen(path_.c_str(), "wb");
            if (out != nullptr) {
                written_ = std::fwrite(data, 1, size, out) == size;
                written_ = std::fclose(out) == 0 && written_;
            }
        }
        ~Input() { std::remove(path_.c_str()); }
        Input(const Input&) = delete;
        Input& operator=(const Input&) = delete;
        bool written() const { return written_; }

      private:
        const std::string& path_;
        bool written_ = false;
    };

  private:
    std::string path_;
};
