#pragma once

#include "helm.h"
#include "navigator.h"
#include "planner.h"
#include "worldview.h"

#include <string>
#include <vector>

class GameManager;
class GameObject;

namespace autopilot {

// Plays a level through the player's controls alone: once per tick it reads the world and
// decides the pointer position and the two buttons. It never writes game state.
//
// The plan (planner.h) is the order of tows: which star into which goal, one after the
// other, each star on a straight line clear of the others as they will stand by then.
// A tow: park on the goal side of the star with the tail toward it and beam; every beam
// tick moves the point where the star will coast to rest 0.05 units toward the ship, and
// once that point is on the goal centre the beam lets go, the ship slips out of the star's
// path and fetches the next one while this one drifts in. On the way the helm (helm.h)
// turns wanted velocities into pointer and thrust, the navigator (navigator.h) routes
// around stars, and the guard (safety.h) makes sure every tick leaves a way out.
class Autopilot {
  public:
    Inputs decide(const GameManager& manager);
    // What the pilot is about, for people watching: "tow to goal 3", "clear", "hold".
    std::string intent() const;

  private:
    enum class Phase { Idle, Tow, Clear };
    Phase phase_ = Phase::Idle;
    const GameObject* star_ = nullptr;  // the star being fetched or just released
    int goal_ = -1;
    Vect3d side_;  // the way out of the released star's path, unit vector
    Navigator navigator_;
    struct PlannedTow {
        const GameObject* star;
        int goal;
    };
    std::vector<PlannedTow> plan_;  // the tows still to come, in order

    bool chooseTask(const WorldView& world);
    HelmOrder tow(const WorldView& world, const StarView& star);
    bool cleared(const WorldView& world, const StarView& star) const;
    HelmOrder clear(const StarView& star);
    HelmOrder hold(const WorldView& world);
};

// Hands the inputs to the game the way the mouse driver does: the polled globals.
void ApplyInputs(const Inputs& inputs);

}  // namespace autopilot
