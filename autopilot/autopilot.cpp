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
constexpr double ShipClearance = 1.8;      // ways keep the ship's centre this far from star paths
constexpr double ReleaseTolerance = 0.03;  // rest point to goal centre
constexpr double ClearSpeed = 0.03;        // sideways, relative to the released star
constexpr double ClearDistance = 2.4;      // from the released star's path

const StarView* Find(const WorldView& world, const GameObject* object) {
    for (const StarView& s : world.stars) {
        if (s.object == object) return &s;
    }
    return nullptr;
}

std::vector<Vect3d> RestPoints(const WorldView& world) {
    std::vector<Vect3d> rest;
    for (const StarView& s : world.stars) rest.push_back(StoppingPoint(s.pos, s.vel));
    return rest;
}

// Every star's path to rest, widened by the ship's clearance; the towed star is only a disc,
// since the ship itself stands on the path it is pulled along.
std::vector<Obstacle> StarObstacles(const WorldView& world, const GameObject* towed) {
    std::vector<Obstacle> obstacles;
    for (const StarView& s : world.stars) {
        const Vect3d end = s.object == towed ? s.pos : StoppingPoint(s.pos, s.vel);
        obstacles.push_back({s.pos, end, ShipClearance});
    }
    return obstacles;
}

// Never close on a star faster than friction can stop the ship short of it.
Vect3d LimitClosing(const WorldView& world, Vect3d v) {
    for (const StarView& s : world.stars) {
        const Vect3d r = world.ship.pos - s.pos;
        const double d = std::hypot(r.x, r.y);
        if (d > 6) continue;
        const Vect3d away = Unit(r);
        const double closing = -Dot(v - s.vel, away);
        const double limit = (1 - ShipKeep) * (d - 1.6);
        if (closing > limit) v += away * (closing - limit);
    }
    return v;
}

// Velocity along a way: full speed, then slowing so that friction stops the ship at the end.
Vect3d Cruise(const Vect3d& from, const Leg& leg) {
    if (!leg.reachable) return {};
    return Unit(leg.waypoint - from) * std::min(CruiseSpeed, leg.remaining / BrakeTicks);
}

}  // namespace

Inputs Autopilot::decide(const GameManager& manager) {
    const WorldView world = Observe(manager);
    if (!world.shipAlive) return {};
    const StarView* star = Find(world, star_);
    if (star == nullptr) phase_ = Phase::Idle;
    if (phase_ == Phase::Clear &&
        DistanceToSegment(world.ship.pos, star->pos, StoppingPoint(star->pos, star->vel)) >=
            ClearDistance) {
        phase_ = Phase::Idle;
    }
    if (phase_ == Phase::Idle && chooseTask(world)) {
        phase_ = Phase::Tow;
        star = Find(world, star_);
    }
    HelmOrder order = phase_ == Phase::Tow     ? tow(world, *star)
                      : phase_ == Phase::Clear ? clear(world, *star)
                                               : hold(world);
    order.velocity = LimitClosing(world, order.velocity);
    return Guard(world, Steer(world, order));
}

namespace {

int IndexOf(const WorldView& world, const GameObject* star) {
    for (int i = 0; i < static_cast<int>(world.stars.size()); ++i) {
        if (world.stars[i].object == star) return i;
    }
    return -1;
}

}  // namespace

// Follows the plan while its next tow can still be flown; plans afresh when it cannot.
bool Autopilot::chooseTask(const WorldView& world) {
    if (!plan_.empty()) {
        const int star = IndexOf(world, plan_.front().star);
        if (star < 0 || !TowStillClear(world, {star, plan_.front().goal})) plan_.clear();
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
    const Vect3d u = Unit(goal - rest);
    const Vect3d offset = world.ship.pos - star.pos;
    const Vect3d pull = Unit(offset);
    const bool improves = Distance(rest + pull * RestShiftPerBeamTick, goal) < miss;
    if (miss < ReleaseTolerance || (miss < 2 * RestShiftPerBeamTick && !improves)) {
        phase_ = Phase::Clear;
        // Out to the side with more room.
        const std::vector<Vect3d> rests = RestPoints(world);
        double best = -1;
        for (const Vect3d& side : {Perp(u), Perp(u) * -1}) {
            const Vect3d spot = world.ship.pos + side * ClearDistance;
            double room = std::numeric_limits<double>::infinity();
            for (size_t j = 0; j < world.stars.size(); ++j) {
                if (world.stars[j].object != star.object) {
                    room = std::min(room, DistanceToSegment(spot, world.stars[j].pos, rests[j]));
                }
            }
            if (room > best) {
                best = room;
                side_ = side;
            }
        }
        return clear(world, star);
    }
    const Vect3d station = star.pos + u * TowDistance;
    HelmOrder order;
    order.restHeading = HeadingOf(u);
    const Leg leg = navigator_.route(world.ship.pos, station, StarObstacles(world, star.object));
    order.velocity = star.vel + Cruise(world.ship.pos, leg);
    const double d = std::hypot(offset.x, offset.y);
    const bool inPlace = Distance(world.ship.pos, station) < 0.5 && d > 1.7 && d < 3.2 &&
                         Dot(pull, u) > std::cos(20 * DegToRad) &&
                         std::fabs(AngleDifference(world.ship.heading, order.restHeading)) < 45;
    if (inPlace && improves) order.beamTarget = star.object;
    return order;
}

HelmOrder Autopilot::clear(const WorldView& world, const StarView& star) {
    (void)world;
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
