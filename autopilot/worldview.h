#pragma once

#include "vector3d.h"

#include <vector>

class GameManager;
class GameObject;

namespace autopilot {

// What a player could know from the screen, read from the game before a tick.
struct StarView {
    const GameObject* object;  // identity only; never written through
    Vect3d pos;                // world units
    Vect3d vel;                // world units per tick
};

struct ShipView {
    Vect3d pos;
    Vect3d vel;
    double heading = 0;  // degrees from +y toward +x
};

struct WorldView {
    bool shipAlive = false;
    ShipView ship;
    std::vector<StarView> stars;  // live stars, in the order the next tick will search them
    std::vector<Vect3d> goals;    // goal centres, in level order
    Vect3d camera;                // the view centre the next tick maps the mouse around
    int fuel = 0;
};

// A snapshot of the world as the next tick will find it. Objects handed over but not yet
// ticked (the level's first tick) are included: the tick adds them before anything moves.
WorldView Observe(const GameManager& manager);

}  // namespace autopilot
