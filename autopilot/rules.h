#pragma once

#include "vector3d.h"
#include "worldview.h"

#include <vector>

// The game's rules as the autopilot needs to foresee them. The one-tick rules (pointer
// mapping, steering, beam target) are exact copies, so the autopilot knows before a tick
// what its inputs will do; the longer-range ones are the closed forms of friction.
namespace autopilot {

// Single-precision tuning values of the game, widened as the game widens them.
constexpr double Thrust = static_cast<double>(0.004f);      // per thrusting tick, along the nose
constexpr double ShipPull = static_cast<double>(0.001f);    // beam: ship toward the star
constexpr double StarPull = static_cast<double>(0.00025f);  // beam: star toward the ship
constexpr double ShipKeep = 1 - 0.015;                      // velocity kept per tick
constexpr double StarKeep = 1 - 0.005;
constexpr double ShipRadius = static_cast<double>(0.6f);
constexpr double StarRadius = static_cast<double>(0.7f);
constexpr double ShipStarContact = ShipRadius + StarRadius;  // closer than this destroys both
constexpr double StarStarContact = 2 * StarRadius;
constexpr double BeamReach = 3.5;               // from the ship's centre
constexpr double GoalCatch = 1.2 - StarRadius;  // a star centre this close fills a goal
constexpr double TurnRate = 3;                  // degrees per tick
// A turn this small or smaller snaps onto the pointer at once (a float in the game).
constexpr double SnapAngle = static_cast<double>(2.9f);
// Friction stops a body outright once its squared speed is this or less (a float too).
constexpr double StopSquared = static_cast<double>(1e-8f);
// Each beam tick moves the point where the star will come to rest this far toward the ship.
constexpr double RestShiftPerBeamTick = StarPull / (1 - StarKeep);

constexpr int ScreenWidth = 1024, ScreenHeight = 768;     // pixels
constexpr double ViewWidth = 13.333334, ViewHeight = 10;  // world units across the screen

// The pointer on the plane where the tick will put it for this mouse position.
struct Pointer {
    float x, y;
};
Pointer PointerFor(int mouseX, int mouseY, const Vect3d& camera);
// The mouse pixel nearest to a world point, kept on the screen.
void MouseFor(const Vect3d& world, const Vect3d& camera, int& mouseX, int& mouseY);

// The ship's heading after this tick's steering toward the pointer.
double SteeredHeading(double heading, const Vect3d& shipPos, Pointer pointer);

// The star the beam would hold this tick, as an index into `stars`, or -1.
int BeamTarget(const Vect3d& shipPos, double heading, const std::vector<StarView>& stars);

// Where a coasting star comes to rest.
Vect3d StoppingPoint(const Vect3d& pos, const Vect3d& vel);
// Where a body coasting with the given velocity kept per tick is after `ticks` ticks
// (the stop at tiny speeds ignored).
Vect3d CoastPosition(const Vect3d& pos, const Vect3d& vel, double keep, int ticks);

}  // namespace autopilot
