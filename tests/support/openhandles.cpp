#include "openhandles.h"

#include <algorithm>
#include <array>

namespace {
constexpr int Handles = 64;
}

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

std::intptr_t LastOfNextHandles() {
    std::array<HANDLE, Handles> events{};
    for (HANDLE& event : events) event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::for_each(events.begin(), events.end(), CloseHandle);
    return reinterpret_cast<std::intptr_t>(events.back());
}

#else

#include <fcntl.h>
#include <unistd.h>

std::intptr_t LastOfNextHandles() {
    std::array<int, Handles> fds{};
    for (int& fd : fds) fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    std::for_each(fds.begin(), fds.end(), close);
    return fds.back();
}

#endif
