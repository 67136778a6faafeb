#pragma once

#include <cstdint>

// A measure of what the process holds open, for checks for leaks where counting handles
// does not work (Wine counts none): the number the system gives the last of 64 handles
// opened together, all closed again before it returns. Both systems give out the lowest
// free numbers first, so it rises with every handle left open in between, even where
// handles closed earlier left gaps below.
std::intptr_t LastOfNextHandles();
