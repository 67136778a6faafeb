#pragma once

#include "helm.h"
#include "worldview.h"

namespace autopilot {

// The last word before inputs reach the game. The proposed inputs stand when, after their
// tick, the ship still has a way out: one of a fan of escape manoeuvres (turn to a heading,
// thrust a while, coast) that keeps it clear of every star for the next seconds. Otherwise
// the best escape from where the ship is now is flown instead, beam off.
Inputs Guard(const WorldView& world, const Inputs& proposed);

}  // namespace autopilot
