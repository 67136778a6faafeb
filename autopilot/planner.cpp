#include "planner.h"

#include "geometry.h"
#include "rules.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace autopilot {

namespace {

// How much room a tow needs, beyond contact: along the star's line, along the ship's way,
// and around the parking spot and the way out. Plans prefer the roomiest; tighter ones are
// for levels that leave no other choice, or for stars that came to rest a little off.
struct Margins {
    double starPath, shipPath, shipSpot;
};
constexpr Margins Roomier[] = {{0.6, 0.5, 0.5}, {0.4, 0.35, 0.35}, {0.25, 0.2, 0.25}};
// Each step down that list costs like this much more way, world units.
constexpr double TightnessCost = 3.0;
// A planned tow is kept while it has this much room: stars come to rest a little off.
constexpr Margins StillClear{0.15, 0.1, 0.15};
constexpr double SideStep = 2.4;   // how far the ship slips aside after a release
constexpr size_t PlansKept = 200;  // breadth of the search

// A plan under way, and the stars as they will stand when it has been flown.
struct Partial {
    std::vector<Task> tasks;
    std::vector<Vect3d> at;  // where each star will rest
    std::vector<bool> starFree, goalFree;
    Vect3d ship;
    double cost = 0;
};

// How far the star travels while it is towed until its rest point has moved `length`
// from where it started at rest; the rest of the way it coasts.
double TowTravel(double length) {
    const double beamTicks = length / RestShiftPerBeamTick;
    return length - (1 - std::pow(StarKeep, beamTicks)) * RestShiftPerBeamTick / (1 - StarKeep);
}

// True when the segment a..b keeps `room` from every star but `except`.
bool Clear(const Partial& p, int except, const Vect3d& a, const Vect3d& b, double room) {
    for (int j = 0; j < static_cast<int>(p.at.size()); ++j) {
        if (j != except && DistanceToSegment(p.at[j], a, b) < room) return false;
    }
    return true;
}

bool Feasible(const Partial& p, int star, const Vect3d& goalPos, const Margins& m) {
    const Vect3d start = p.at[star];
    const TowLine line = PlanTow(start, goalPos);
    const double spot = ShipStarContact + m.shipSpot;
    if (!Clear(p, star, line.station, line.station, spot)) return false;
    if (!Clear(p, star, start, goalPos, StarStarContact + m.starPath)) return false;
    if (!Clear(p, star, line.station, line.release, ShipStarContact + m.shipPath)) return false;
    const Vect3d side = Perp(Unit(goalPos - start)) * SideStep;
    return Clear(p, star, line.release + side, line.release + side, spot) ||
           Clear(p, star, line.release - side, line.release - side, spot);
}

// The stars as they will stand once those still drifting have come to rest: plans are
// about where stars end up; a drifting star crossing a tow line is the pilot's business.
Partial Start(const WorldView& world) {
    Partial p;
    for (const StarView& s : world.stars) p.at.push_back(StoppingPoint(s.pos, s.vel));
    auto near = [](const Vect3d& a, const Vect3d& b) { return Distance(a, b) < GoalCatch; };
    for (const Vect3d& rest : p.at) {
        p.starFree.push_back(std::none_of(world.goals.begin(), world.goals.end(),
                                          [&](const Vect3d& g) { return near(rest, g); }));
    }
    for (const Vect3d& g : world.goals) {
        p.goalFree.push_back(
            std::none_of(p.at.begin(), p.at.end(), [&](const Vect3d& r) { return near(r, g); }));
    }
    p.ship = world.ship.pos;
    return p;
}

// The index of the roomiest margins the tow meets, or -1 when it meets none.
int Roominess(const Partial& p, int star, const Vect3d& goalPos) {
    for (int level = 0; level < static_cast<int>(std::size(Roomier)); ++level) {
        if (Feasible(p, star, goalPos, Roomier[level])) return level;
    }
    return -1;
}

void Extend(const Partial& p, const WorldView& world, std::vector<Partial>& out) {
    for (int g = 0; g < static_cast<int>(world.goals.size()); ++g) {
        if (!p.goalFree[g]) continue;
        for (int i = 0; i < static_cast<int>(p.at.size()); ++i) {
            if (!p.starFree[i]) continue;
            const int tightness = Roominess(p, i, world.goals[g]);
            if (tightness < 0) continue;
            Partial next = p;
            const TowLine line = PlanTow(p.at[i], world.goals[g]);
            next.cost += Distance(p.ship, line.station) + 2 * Distance(p.at[i], world.goals[g]) +
                         TightnessCost * tightness;
            next.ship = line.release;
            next.at[i] = world.goals[g];
            next.starFree[i] = false;
            next.goalFree[g] = false;
            next.tasks.push_back({i, g});
            out.push_back(std::move(next));
        }
    }
}

}  // namespace

TowLine PlanTow(const Vect3d& star, const Vect3d& goal) {
    const Vect3d u = Unit(goal - star);
    const Vect3d station = star + u * TowDistance;
    return {station, station + u * TowTravel(Distance(star, goal))};
}

bool TowStillClear(const WorldView& world, const Task& task) {
    const Partial now = Start(world);
    return now.starFree[task.star] && now.goalFree[task.goal] &&
           Feasible(now, task.star, world.goals[task.goal], StillClear);
}

// A plan that has left some empty goal without any free star that could be towed there on
// a straight line: placing more stars will hardly open the way again.
bool DeadEnd(const Partial& p, const WorldView& world) {
    for (int g = 0; g < static_cast<int>(world.goals.size()); ++g) {
        if (!p.goalFree[g]) continue;
        bool reachable = false;
        for (int i = 0; i < static_cast<int>(p.at.size()) && !reachable; ++i) {
            reachable = p.starFree[i] && Feasible(p, i, world.goals[g], std::end(Roomier)[-1]);
        }
        if (!reachable) return true;
    }
    return false;
}

// Breadth-first over the number of tows, keeping the cheapest plans at each depth.
std::vector<Task> PlanTasks(const WorldView& world) {
    std::vector<Partial> plans{Start(world)};
    std::vector<Task> best;
    while (!plans.empty()) {
        best = plans.front().tasks;
        std::vector<Partial> next;
        for (const Partial& p : plans) Extend(p, world, next);
        std::sort(next.begin(), next.end(),
                  [](const Partial& a, const Partial& b) { return a.cost < b.cost; });
        plans.clear();
        std::vector<Partial> stuck;  // served only when every plan is stuck
        for (Partial& p : next) {
            if (plans.size() == PlansKept) break;
            // Plans that filled the same goals with the same stars and ended with the same
            // tow stand alike for the rest of the way: keep the cheapest.
            const bool seen = std::any_of(plans.begin(), plans.end(), [&](const Partial& q) {
                return q.starFree == p.starFree && q.goalFree == p.goalFree &&
                       q.tasks.back().star == p.tasks.back().star &&
                       q.tasks.back().goal == p.tasks.back().goal;
            });
            if (seen) continue;
            if (!DeadEnd(p, world)) {
                plans.push_back(std::move(p));
            } else if (stuck.empty()) {
                stuck.push_back(std::move(p));
            }
        }
        if (plans.empty()) plans = std::move(stuck);
    }
    return best;
}

}  // namespace autopilot
