#pragma once

#include "vector3d.h"
#include "worldview.h"

#include <vector>

namespace autopilot {

// Fetch star `star` (an index into WorldView::stars) into goal `goal`.
struct Task {
    int star;
    int goal;
};

// The geometry of one tow, as the pilot flies it.
struct TowLine {
    Vect3d station;  // where the ship parks to start: on the goal side of the star
    Vect3d release;  // where the ship is when the star's rest point reaches the goal
};
TowLine PlanTow(const Vect3d& star, const Vect3d& goal);

constexpr double TowDistance = 2.3;  // ship centre to star centre while towing

// The order in which to fill the goals that are still empty, and with which stars: every
// tow on a straight line that keeps clear of the other stars as they will stand by then,
// the whole way as short as can be found. Empty when no star can be brought to any goal.
std::vector<Task> PlanTasks(const WorldView& world);

// True while the tow can still be flown as planned: the goal empty, the star free and the
// lines clear of the other stars as they stand now.
bool TowStillClear(const WorldView& world, const Task& task);

}  // namespace autopilot
