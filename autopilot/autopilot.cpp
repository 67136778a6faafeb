#include "autopilot.h"

#include "geometry.h"
#include "rules.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace autopilot {

namespace {

constexpr double TowDistance = 2.3;   // ship centre to star centre while towing
constexpr double CruiseSpeed = 0.10;  // world units per tick
// Flying at distance / BrakeTicks lets friction alone bring the ship to rest on the spot
// (a coasting ship covers speed / 0.015 = 67 × speed).
constexpr double BrakeTicks = 70;
constexpr double ShipClearance = 1.8;  // ways keep the ship's centre this far from star paths
// Each beam tick moves the point where the star comes to rest this far toward the ship.
constexpr double RestShiftPerBeamTick = StarPull / (1 - StarKeep);
constexpr double ReleaseTolerance = 0.03;  // rest point to goal centre
constexpr double ClearSpeed = 0.03;        // sideways, relative to the released star
constexpr double ClearDistance = 2.4;      // from the released star's path
constexpr double StarPathMargin = 0.6;     // beyond star-star contact, for tow lines
constexpr double ShipPathMargin = 0.5;     // beyond ship-star contact

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

bool NearAny(const Vect3d& p, const std::vector<Vect3d>& points) {
    return std::any_of(points.begin(), points.end(),
                       [&](const Vect3d& q) { return Distance(p, q) < GoalCatch; });
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

// How far the star travels while it is towed until its rest point has moved `length`
// from where it started at rest: the rest of the way it coasts.
double TowTravel(double length) {
    const double beamTicks = length / RestShiftPerBeamTick;
    return length - (1 - std::pow(StarKeep, beamTicks)) * RestShiftPerBeamTick / (1 - StarKeep);
}

double CapsuleClearance(const Vect3d& a, const Vect3d& b, const WorldView& world,
                        const std::vector<Vect3d>& rest, size_t except) {
    double clear = std::numeric_limits<double>::infinity();
    for (size_t j = 0; j < world.stars.size(); ++j) {
        if (j != except)
            clear = std::min(clear, SegmentDistance(a, b, world.stars[j].pos, rest[j]));
    }
    return clear;
}

// The order the goals are filled in: from the middle of the level outward, so that no
// placed star stands in the way of a later one.
std::vector<int> GoalOrder(const WorldView& world) {
    Vect3d middle;
    for (const Vect3d& g : world.goals) middle += g * (1.0 / world.goals.size());
    std::vector<int> order(world.goals.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return Distance(world.goals[a], middle) < Distance(world.goals[b], middle);
    });
    return order;
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
    return Steer(world, order);
}

bool Autopilot::chooseTask(const WorldView& world) {
    const std::vector<Vect3d> rest = RestPoints(world);
    const Vect3d& ship = world.ship.pos;
    for (int g : GoalOrder(world)) {
        const Vect3d goal = world.goals[g];
        if (NearAny(goal, rest)) continue;  // taken
        double bestCost = std::numeric_limits<double>::infinity();
        for (size_t i = 0; i < world.stars.size(); ++i) {
            if (NearAny(rest[i], world.goals)) continue;  // placed
            const Vect3d start = world.stars[i].pos;
            const double length = Distance(rest[i], goal);
            const Vect3d u = Unit(goal - rest[i]);
            const Vect3d station = start + u * TowDistance;
            const Vect3d release = station + u * TowTravel(length);
            const bool clear =
                CapsuleClearance(start, goal, world, rest, i) >= StarStarContact + StarPathMargin &&
                CapsuleClearance(station, release, world, rest, i) >=
                    ShipStarContact + ShipPathMargin &&
                CapsuleClearance(station, station, world, rest, i) >= ShipClearance;
            const double cost = Distance(ship, station) + 2 * length;
            if (clear && cost < bestCost) {
                bestCost = cost;
                star_ = world.stars[i].object;
                goal_ = g;
            }
        }
        if (bestCost < std::numeric_limits<double>::infinity()) return true;
    }
    return false;
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

void ApplyInputs(const Inputs& inputs) {
    mouse_x = inputs.mouseX;
    mouse_y = inputs.mouseY;
    mouse_b = inputs.buttons;
}

}  // namespace autopilot
