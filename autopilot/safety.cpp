#include "safety.h"

#include "geometry.h"
#include "rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace autopilot {

namespace {

constexpr int Horizon = 100;        // ticks looked ahead
constexpr int EscapeHeadings = 24;  // headings tried, evenly spread
constexpr int EscapeThrustTicks = 25;
constexpr double EscapeCone = 30;      // thrust with the nose this close to the escape heading
constexpr double SafeDistance = 1.45;  // ship-star, a little beyond contact
constexpr double PointerReach = 4.0;

struct ShipState {
    Vect3d pos, vel;
    double heading;
};

// The stars' coasting positions over the look-ahead, for those the ship could reach at all.
struct Traffic {
    std::vector<std::vector<Vect3d>> paths;  // [star][tick], tick 0 is after the next tick
};

double TurnToward(double heading, double aim) {
    const double diff = AngleDifference(aim, heading);
    if (std::fabs(diff) <= SnapAngle) return aim;
    return heading + (diff > 0 ? TurnRate : -TurnRate);
}

void Move(ShipState& s) {
    s.pos += s.vel;
    s.vel = s.vel.lengthSquared() > StopSquared ? s.vel * ShipKeep : Vect3d();
}

Traffic Predict(const WorldView& world, const ShipState& ship, int towed, const Vect3d& tug) {
    Traffic t;
    // The farthest any escape can carry the ship: all its speed and all the escape's thrust,
    // spent without friction's end.
    const double reach = (Length(ship.vel) + EscapeThrustTicks * Thrust) / (1 - ShipKeep);
    for (int i = 0; i < static_cast<int>(world.stars.size()); ++i) {
        const StarView& s = world.stars[i];
        Vect3d vel = s.vel + (i == towed ? tug : Vect3d());
        const Vect3d rest = StoppingPoint(s.pos, vel);
        if (DistanceToSegment(ship.pos, s.pos, rest) > reach + SafeDistance) continue;
        std::vector<Vect3d> path;
        Vect3d pos = s.pos;
        for (int k = 0; k <= Horizon; ++k) {
            pos += vel;
            vel = vel * StarKeep;
            path.push_back(pos);
        }
        t.paths.push_back(std::move(path));
    }
    return t;
}

// Closest approach to any star while flying the escape toward `aim` from tick `first` on.
double EscapeClearance(ShipState s, double aim, const Traffic& traffic, int first) {
    double closest = std::numeric_limits<double>::infinity();
    int thrustLeft = EscapeThrustTicks;
    for (int k = first; k <= Horizon; ++k) {
        s.heading = TurnToward(s.heading, aim);
        if (thrustLeft > 0 && std::fabs(AngleDifference(aim, s.heading)) < EscapeCone) {
            s.vel += HeadingVector(s.heading) * Thrust;
            --thrustLeft;
        }
        Move(s);
        for (const auto& path : traffic.paths)
            closest = std::min(closest, Distance(s.pos, path[k]));
    }
    return closest;
}

double BestEscape(const ShipState& s, const Traffic& traffic, int first, double& aim) {
    double best = -1;
    for (int i = 0; i < EscapeHeadings; ++i) {
        const double a = -180 + 360.0 * i / EscapeHeadings;
        const double c = EscapeClearance(s, a, traffic, first);
        if (c > best) {
            best = c;
            aim = a;
        }
    }
    return best;
}

int IndexOfBeamTarget(const WorldView& world, const Inputs& in, double heading) {
    return (in.buttons & BeamButton) ? BeamTarget(world.ship.pos, heading, world.stars) : -1;
}

ShipState Now(const WorldView& world) {
    return {world.ship.pos, world.ship.vel, world.ship.heading};
}

}  // namespace

Inputs Guard(const WorldView& world, const Inputs& proposed) {
    // The proposed tick, as the game will play it.
    ShipState next = Now(world);
    next.heading = SteeredHeading(next.heading, next.pos,
                                  PointerFor(proposed.mouseX, proposed.mouseY, world.camera));
    if ((proposed.buttons & ThrustButton) && world.fuel > 0) {
        next.vel += HeadingVector(next.heading) * Thrust;
    }
    const int towed = IndexOfBeamTarget(world, proposed, next.heading);
    Vect3d tug;
    if (towed >= 0) {
        const Vect3d n = Unit(world.stars[towed].pos - next.pos);
        next.vel += n * ShipPull;
        tug = n * -StarPull;
    }
    Move(next);
    const Traffic traffic = Predict(world, Now(world), towed, tug);
    if (traffic.paths.empty()) return proposed;
    double aim = 0;
    if (BestEscape(next, traffic, 1, aim) >= SafeDistance) return proposed;

    const Traffic coasting = Predict(world, Now(world), -1, {});
    BestEscape(Now(world), coasting, 0, aim);
    Inputs escape;
    MouseFor(world.ship.pos + HeadingVector(aim) * PointerReach, world.camera, escape.mouseX,
             escape.mouseY);
    const double heading = SteeredHeading(world.ship.heading, world.ship.pos,
                                          PointerFor(escape.mouseX, escape.mouseY, world.camera));
    if (world.fuel > 0 && std::fabs(AngleDifference(aim, heading)) < EscapeCone) {
        escape.buttons = ThrustButton;
    }
    return escape;
}

}  // namespace autopilot
