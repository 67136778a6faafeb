#pragma once

#include <cstdint>

// Calls of the global operator new (all its forms) since the process started. The count
// comes from replacement operators linked into the benchmark binaries only; the game
// itself keeps the standard ones.
std::uint64_t AllocationCount();
