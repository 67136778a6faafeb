#pragma once

#include <cstddef>
#include <string>

// A whole regular file, mapped read-only rather than read: a check walks all of a large
// image's data without holding a copy of it. An empty file opens with no data; a missing
// file, a directory or one that cannot be mapped does not open.
class MappedFile {
  public:
    explicit MappedFile(const std::string& fileName);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return opened_; }
    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool opened_ = false;
};
