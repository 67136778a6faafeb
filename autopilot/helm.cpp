#include "helm.h"

#include "geometry.h"
#include "rules.h"

#include <cmath>

namespace autopilot {

namespace {

// Velocity changes smaller than this are left to friction and the next ticks: just above
// half a thrust, so whenever the nose points along a change that big, thrusting shrinks it.
constexpr double DeadBand = 0.0025;
// The pointer sits this far from the ship: well inside the view, and far enough that a
// pixel turns the aim by only a fifth of a degree.
constexpr double PointerReach = 4.0;
// Thrust only with the nose this close to the wanted change, degrees.
constexpr double ThrustCone = 30.0;

int StarIndex(const WorldView& world, const GameObject* star) {
    for (int i = 0; i < static_cast<int>(world.stars.size()); ++i) {
        if (world.stars[i].object == star) return i;
    }
    return -1;
}

// The beam's pull on the ship if it holds star i this tick.
Vect3d PullOnShip(const WorldView& world, int i) {
    if (i < 0) return {};
    return Unit(world.stars[i].pos - world.ship.pos) * ShipPull;
}

}  // namespace

Inputs Steer(const WorldView& world, const HelmOrder& order) {
    Inputs in;
    const ShipView& ship = world.ship;
    const int wanted = StarIndex(world, order.beamTarget);
    // The change still needed before friction, assuming the beam holds what was asked.
    const Vect3d needed = order.velocity * (1 / ShipKeep) - ship.vel;
    Vect3d change = needed - PullOnShip(world, wanted);
    const double aim = Length(change) > DeadBand ? HeadingOf(change) : order.restHeading;
    MouseFor(ship.pos + HeadingVector(aim) * PointerReach, world.camera, in.mouseX, in.mouseY);

    const double heading =
        SteeredHeading(ship.heading, ship.pos, PointerFor(in.mouseX, in.mouseY, world.camera));
    const bool beam = wanted >= 0 && BeamTarget(ship.pos, heading, world.stars) == wanted;
    if (beam) in.buttons |= BeamButton;
    change = needed - PullOnShip(world, beam ? wanted : -1);
    const Vect3d nose = HeadingVector(heading);
    const bool helps = Dot(change, nose) > Thrust / 2;
    const bool aligned = std::fabs(AngleDifference(HeadingOf(change), heading)) < ThrustCone;
    if (world.fuel > 0 && helps && aligned) in.buttons |= ThrustButton;
    return in;
}

}  // namespace autopilot
