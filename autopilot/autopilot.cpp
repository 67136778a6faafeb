#include "autopilot.h"

#include "geometry.h"
#include "planner.h"
#include "rules.h"
#include "safety.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace autopilot {

namespace {

constexpr double CruiseSpeed = 0.10;  // world units per tick
// Flying at distance / BrakeTicks lets friction alone bring the ship to rest on the spot
// (a coasting ship covers speed / 0.015 = 67 × speed).
constexpr double BrakeTicks = 70;
// Braking with a quarter of the thrust on average leaves room for steering on the way.
constexpr double Braking = Thrust / 4;
// Within this distance of the destination only friction brakes: no turning around on the spot.
constexpr double GentleZone = 1.0;
// Ways keep the ship's centre this far from star paths; near the destination as little as
// LeastClearance will do.
constexpr double ShipClearance = 1.8;
constexpr double LeastClearance = 1.5;
// A towed star's coasting line keeps this far from the other stars' paths, beyond contact.
constexpr double StarLineMargin = 0.15;
// Rest point to goal centre: release at once within the tolerance, and within CloseEnough
// as soon as another beam tick would not bring it closer. Both well inside the 0.5 a
// star needs to fill the goal.
constexpr double ReleaseTolerance = 0.06;
constexpr double CloseEnough = 0.25;
constexpr double ClearSpeed = 0.03;    // sideways, relative to the released star
constexpr double ClearDistance = 2.4;  // from the released star's path
// A star this slow has under a fifth of a unit left to drift.
constexpr double SettledSpeed = 0.001;
// The beam goes on only with the ship this close to its towing spot, the star this far from
// the ship's centre, the ship this close to the line the star should take (degrees) and the
// nose this close to pointing along it (degrees), so that thrust can hold the ship off.
constexpr double StationTolerance = 0.5;
constexpr double NearestTow = 1.7, FarthestTow = 3.2;
constexpr double TowLineCone = 20;
constexpr double TowNoseCone = 45;
// Closing speed on a star is held to friction's stopping power short of this distance.
constexpr double StopShortOf = 1.6;
constexpr double WatchRadius = 6;  // stars farther than this cannot be reached in time

const StarView* Find(const WorldView& world, const GameObject* object) {
    for (const StarView& s : world.stars) {
        if (s.object == object) return &s;
    }
    return nullptr;
}

// Every star's path to rest, widened by the ship's clearance; the towed star is only a disc,
// since the ship itself stands on the path it is pulled along. A star near the destination
// gives way down to the least clearance, so that a towing spot squeezed between stars stays
// reachable.
std::vector<Obstacle> StarObstacles(const WorldView& world, const GameObject* towed,
                                    const Vect3d& destination) {
    std::vector<Obstacle> obstacles;
    for (const StarView& s : world.stars) {
        const Vect3d end = s.object == towed ? s.pos : StoppingPoint(s.pos, s.vel);
        const double room = DistanceToSegment(destination, s.pos, end) - 0.05;
        obstacles.push_back({s.pos, end, std::clamp(room, LeastClearance, ShipClearance)});
    }
    return obstacles;
}

// Never close on a star faster than friction can stop the ship short of it.
Vect3d LimitClosing(const WorldView& world, Vect3d v) {
    for (const StarView& s : world.stars) {
        const Vect3d r = world.ship.pos - s.pos;
        const double d = Length(r);
        if (d > WatchRadius) continue;
        const Vect3d away = Unit(r);
        const double closing = -Dot(v - s.vel, away);
        const double limit = (1 - ShipKeep) * (d - StopShortOf);
        if (closing > limit) v += away * (closing - limit);
    }
    return v;
}

// The way out of a released star's path: to the side the ship is already on, unless the
// other side has clearly more room from the other stars.
Vect3d WayOut(const WorldView& world, const StarView& released, const Vect3d& along) {
    Vect3d side = Perp(along);
    if (Dot(world.ship.pos - released.pos, side) < 0) side = side * -1;
    double room[2] = {std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::infinity()};
    for (const StarView& s : world.stars) {
        if (s.object == released.object) continue;
        const Vect3d rest = StoppingPoint(s.pos, s.vel);
        for (int k = 0; k < 2; ++k) {
            const Vect3d spot = world.ship.pos + side * ((k == 0 ? 1 : -1) * ClearDistance);
            room[k] = std::min(room[k], DistanceToSegment(spot, s.pos, rest));
        }
    }
    return room[0] >= ShipClearance || room[0] >= room[1] ? side : side * -1;
}

// True when a star coasting from where it is to `rest` passes clear of every other star's path.
bool LineClearOfStars(const WorldView& world, const StarView& star, const Vect3d& rest) {
    return std::all_of(world.stars.begin(), world.stars.end(), [&](const StarView& s) {
        return s.object == star.object ||
               SegmentDistance(star.pos, rest, s.pos, StoppingPoint(s.pos, s.vel)) >=
                   StarStarContact + StarLineMargin;
    });
}

// Velocity along a way: full speed, then slowing so that friction stops the ship at the end.
Vect3d Cruise(const Vect3d& from, const Leg& leg) {
    if (!leg.reachable) return {};
    const double braking =
        std::max(leg.remaining / BrakeTicks,
                 std::sqrt(2 * Braking * std::max(0.0, leg.remaining - GentleZone)));
    return Unit(leg.waypoint - from) * std::min(CruiseSpeed, braking);
}

}  // namespace

Inputs Autopilot::decide(const GameManager& manager) {
    const WorldView world = Observe(manager);
    if (!world.shipAlive) return {};
    const StarView* star = Find(world, star_);
    if (star == nullptr) phase_ = Phase::Idle;
    if (phase_ == Phase::Clear && cleared(world, *star)) phase_ = Phase::Idle;
    if (phase_ == Phase::Idle && chooseTask(world)) {
        phase_ = Phase::Tow;
        star = Find(world, star_);
    }
    HelmOrder order = phase_ == Phase::Tow     ? tow(world, *star)
                      : phase_ == Phase::Clear ? clear(*star)
                                               : hold(world);
    order.velocity = LimitClosing(world, order.velocity);
    return Guard(world, Steer(world, order));
}

// Follows the plan while its next tow can still be flown; plans afresh when it cannot.
bool Autopilot::chooseTask(const WorldView& world) {
    if (!plan_.empty()) {
        const StarView* star = Find(world, plan_.front().star);
        if (star == nullptr || !TowStillClear(world, {static_cast<int>(star - world.stars.data()),
                                                      plan_.front().goal})) {
            plan_.clear();
        }
    }
    if (plan_.empty()) {
        for (const Task& t : PlanTasks(world))
            plan_.push_back({world.stars[t.star].object, t.goal});
    }
    if (plan_.empty()) return false;
    star_ = plan_.front().star;
    goal_ = plan_.front().goal;
    plan_.erase(plan_.begin());
    return true;
}

HelmOrder Autopilot::tow(const WorldView& world, const StarView& star) {
    const Vect3d goal = world.goals[goal_];
    const Vect3d rest = StoppingPoint(star.pos, star.vel);
    const double miss = Distance(rest, goal);
    const Vect3d pull = Unit(world.ship.pos - star.pos);
    const double missAfterPull = Distance(rest + pull * RestShiftPerBeamTick, goal);
    if (miss < ReleaseTolerance || (miss < CloseEnough && missAfterPull >= miss)) {
        phase_ = Phase::Clear;
        side_ = WayOut(world, star, Unit(goal - rest));
        return clear(star);
    }
    // Near the end the rest point is too close to the goal to give a steady direction;
    // the line from the star to the goal serves then.
    const Vect3d u = Unit(goal - (miss > 2 * CloseEnough ? rest : star.pos));
    const Vect3d station = star.pos + u * TowDistance;
    HelmOrder order;
    order.restHeading = HeadingOf(u);
    const Leg leg =
        navigator_.route(world.ship.pos, station, StarObstacles(world, star.object, station));
    order.velocity = star.vel + Cruise(world.ship.pos, leg);
    const double d = Distance(world.ship.pos, star.pos);
    const bool inPlace =
        Distance(world.ship.pos, station) < StationTolerance && d > NearestTow && d < FarthestTow &&
        Dot(pull, u) > std::cos(TowLineCone * DegToRad) &&
        std::fabs(AngleDifference(world.ship.heading, order.restHeading)) < TowNoseCone;
    if (inPlace && missAfterPull < miss &&
        LineClearOfStars(world, star, rest + pull * RestShiftPerBeamTick)) {
        order.beamTarget = star.object;
    }
    return order;
}

// Out of the released star's way, or the star has all but stopped (a ship boxed in
// beside its resting place then finds its way out as it flies on).
bool Autopilot::cleared(const WorldView& world, const StarView& star) const {
    return DistanceToSegment(world.ship.pos, star.pos, StoppingPoint(star.pos, star.vel)) >=
               ClearDistance ||
           Length(star.vel) < SettledSpeed;
}

HelmOrder Autopilot::clear(const StarView& star) {
    HelmOrder order;
    order.velocity = star.vel + side_ * ClearSpeed;
    order.restHeading = HeadingOf(side_);
    return order;
}

HelmOrder Autopilot::hold(const WorldView& world) {
    HelmOrder order;
    order.restHeading = world.ship.heading;
    return order;
}

std::string Autopilot::intent() const {
    switch (phase_) {
        case Phase::Tow:
            return "tow to goal " + std::to_string(goal_ + 1);
        case Phase::Clear:
            return "clear";
        case Phase::Idle:
            break;
    }
    return "hold";
}

void ApplyInputs(const Inputs& inputs) {
    mouse_x = inputs.mouseX;
    mouse_y = inputs.mouseY;
    mouse_b = inputs.buttons;
}

}  // namespace autopilot
