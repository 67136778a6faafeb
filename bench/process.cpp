#include "process.h"

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

namespace {

// FILETIME counts 100-nanosecond intervals.
double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7;
}

}  // namespace

// The process's creation time against the system clock. Resolution: the system clock's
// (about 16 ms).
double bench::SecondsSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    GetSystemTimeAsFileTime(&now);
    return Seconds(now) - Seconds(created);
}

long bench::PeakRssKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

#else

#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

// Field 22 of /proc/self/stat, in clock ticks since boot. Resolution: one clock tick
// (10 ms).
double bench::SecondsSinceProcessStart() {
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = stat.rfind(')');  // the command name may hold spaces
    timespec now{};
    if (nameEnd == std::string::npos || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1;
    }
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string field;
    for (int i = 3; i < 22 && fields >> field; ++i) {
    }
    unsigned long long startTicks = 0;
    if (!(fields >> startTicks)) {
        return -1;
    }
    const double bootSeconds = static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
    return bootSeconds -
           static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long bench::PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

#endif
