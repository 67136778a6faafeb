#pragma once

#include <memory>

class GameManager;

namespace bench {

// Allegro's polled mouse state for one tick.
struct MouseInput {
    int x = 512;      // screen pixels from the left
    int y = 384;      // screen pixels from the top
    int buttons = 0;  // bit 0 thrusts, bit 1 works the tractor beam
};

// Who moves the mouse: one pilot per level attempt, asked once before every tick.
class Pilot {
  public:
    virtual ~Pilot() = default;
    virtual MouseInput decide(const GameManager& manager) = 0;
};

enum class PilotKind {
    Scripted,   // ScriptedInput below: fixed here, so figures stay comparable across changes
    Autopilot,  // the demo's autopilot, when it is built
};

// Null for the autopilot when this build has none.
std::unique_ptr<Pilot> MakePilot(PilotKind kind);

// A scripted player: picks the nearest star in no goal whose tow point is clear, flies
// there thrusting in bursts, turns its tail to the star, holds the beam and drags the star
// across the nearest empty goal; it keeps clear of other stars, and with nothing left to
// tow it turns circles. A function of the world and the tick number only, so a run
// replayed from the same start plays the same frames.
MouseInput ScriptedInput(const GameManager& manager, int tick);

// Writes the state into Allegro's polled globals, where the ship reads it.
void ApplyMouse(const MouseInput& input);

}  // namespace bench
