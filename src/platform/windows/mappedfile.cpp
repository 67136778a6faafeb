#include "mappedfile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// Names are UTF-8, as Allegro's loaders take them on Windows.
std::wstring Widened(const std::string& name) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, wide.data(), length);
    return wide;
}

}  // namespace

MappedFile::MappedFile(const std::string& fileName) {
    // A directory does not open without FILE_FLAG_BACKUP_SEMANTICS.
    const HANDLE file = CreateFileW(Widened(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size)) {
        size_ = static_cast<std::size_t>(size.QuadPart);
        opened_ = size_ == 0;
        const HANDLE mapping =
            size_ == 0 ? nullptr : CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping != nullptr) {
            data_ =
                static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
            opened_ = data_ != nullptr;
            CloseHandle(mapping);  // the view keeps the mapping alive
        }
    }
    CloseHandle(file);
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) UnmapViewOfFile(data_);
}
