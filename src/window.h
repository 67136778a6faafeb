#pragma once

#include <atomic>

// The player closed the window (its close button, or Alt+F4 on Windows). Set from Allegro's
// input thread or window procedure; the frame loops of the levels and the intermissions end the
// game when they see it. Never cleared by the game.
extern std::atomic<bool> closeRequested;

// Before the display opens, so that the window carries them: the title, and whatever else the
// platform ties to the window. Each platform has its own, in src/platform/.
void NameWindow();
