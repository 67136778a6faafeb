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
// The plan: take the goals from the inside of the level outward; for each, pick a free star
// with clear lines, park on the goal side of it with the tail toward it and beam until the
// point where the star will coast to rest lies on the goal centre, then slip out of its way
// and fetch the next one while it drifts in.
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
    HelmOrder clear(const WorldView& world, const StarView& star);
    HelmOrder hold(const WorldView& world);
};

// Hands the inputs to the game the way the mouse driver does: the polled globals.
void ApplyInputs(const Inputs& inputs);

}  // namespace autopilot
