#include "pilot.h"

#include "gamemanager.h"
#include "ship.h"

#ifdef STARTUG_BENCH_AUTOPILOT
#include "autopilot.h"
#endif

#include <allegro.h>

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

// The beam pulls from the ship's tail, so a tow is flown with the star behind: the ship
// first takes up the tow point, TowDistance short of the star on the goal's side, then
// heads for the goal and drags the star after it.
constexpr double TowDistance =
    2.6;                           // world units; the beam reaches 3.5, ship and star touch at 1.3
constexpr double TooClose = 2.0;   // the beam lets go nearer than this, or they would meet
constexpr double Escape = 2.4;     // a star in tow closing in this far: the ship gets away
constexpr double KeepClear = 2.2;  // other stars are kept at least this far from the ship
constexpr double TowPointReached = 0.8;
constexpr double BehindCosine = -0.5;    // the star counts as behind within 60 degrees of the tail
constexpr double FacingCosine = 0.9;     // thrust only within 25 degrees of the aim
constexpr double CruiseSpeed = 0.06;     // world units per tick; no thrust above it
constexpr double ApproachSpeed = 0.012;  // within ApproachDistance: coasts under 1 unit
constexpr double ApproachDistance = 2.5;
constexpr double TowSpeed = 0.02;
constexpr double Overshoot = 1.0;     // world units past the goal the ship aims for
constexpr int BurstPeriod = 48;       // ticks
constexpr int BurstLength = 16;       // ticks of thrust at the start of each period
constexpr double CircleStep = 0.035;  // radians per tick the pointer moves round the ship
constexpr double DegToRad = 0.017453292519943295;
constexpr double PixelsPerUnit = 76.8;
constexpr double HalfViewX = 6.5;  // world units, inside the 6.667 the screen shows
constexpr double HalfViewY = 4.8;  // inside the 5

double Dot(const Vect3d& a, const Vect3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vect3d Unit(const Vect3d& v) {
    const double len = v.length();
    return len > 0 ? v * (1 / len) : Vect3d(0, 1, 0);
}

bool InAnyGoal(const GameManager& manager, const GameObject& star) {
    return std::any_of(manager.goals.begin(), manager.goals.end(), [&star](const Goal& g) {
        return (g.pos - star.pos).length() < g.radius - static_cast<double>(star.radius);
    });
}

bool IsStar(const GameManager& manager, const GameObject* o) {
    return o != manager.ship && o->collidable && !o->dead;
}

const Goal* NearestEmptyGoal(const GameManager& manager, const Vect3d& from) {
    const Goal* best = nullptr;
    double bestDist = 0;
    for (const Goal& g : manager.goals) {
        const double d = (g.pos - from).lengthSquared();
        if (!g.filled && (best == nullptr || d < bestDist)) {
            best = &g;
            bestDist = d;
        }
    }
    return best;
}

// The nearest star, other than `except`, within `reach` of a point; null when none is.
const GameObject* StarNear(const GameManager& manager, const Vect3d& p, double reach,
                           const GameObject* except) {
    const GameObject* best = nullptr;
    double bestDist = reach * reach;
    for (const GameObject* o : manager.objects) {
        const double d = (o->pos - p).lengthSquared();
        if (o != except && IsStar(manager, o) && d < bestDist) {
            best = o;
            bestDist = d;
        }
    }
    return best;
}

struct Task {
    const GameObject* star = nullptr;
    const Goal* goal = nullptr;
    Vect3d towPoint;  // where the ship waits, tail to the star, before it pulls
};

// The nearest star in no goal whose tow point no other star crowds.
Task ChooseTask(const GameManager& manager) {
    Task best;
    double bestDist = 0;
    for (const GameObject* o : manager.objects) {
        if (!IsStar(manager, o) || InAnyGoal(manager, *o)) {
            continue;
        }
        const Goal* goal = NearestEmptyGoal(manager, o->pos);
        if (goal == nullptr) {
            continue;
        }
        const Vect3d towPoint = o->pos + Unit(goal->pos - o->pos) * TowDistance;
        const double d = (o->pos - manager.ship->pos).lengthSquared();
        if (StarNear(manager, towPoint, KeepClear, o) == nullptr &&
            (best.star == nullptr || d < bestDist)) {
            best = Task{o, goal, towPoint};
            bestDist = d;
        }
    }
    return best;
}

// The pointer over a world point; a point off screen is pulled in along the same
// direction from the camera, so the ship still turns the right way.
MouseInput PointAt(const GameManager& manager, const Vect3d& target, int buttons) {
    const double dx = target.x - manager.camera.x;
    const double dy = target.y - manager.camera.y;
    const double fit = std::max({1.0, std::fabs(dx) / HalfViewX, std::fabs(dy) / HalfViewY});
    MouseInput input;
    input.x = 512 + static_cast<int>(std::lround(dx / fit * PixelsPerUnit));
    input.y = 384 - static_cast<int>(std::lround(dy / fit * PixelsPerUnit));
    input.buttons = buttons;
    return input;
}

Vect3d OnCircle(const Vect3d& centre, double radius, int tick) {
    const double a = tick * CircleStep;
    return centre + Vect3d(std::sin(a), std::cos(a), 0) * radius;
}

Vect3d Nose(const Ship& ship) {
    const double h = ship.heading * DegToRad;
    return {std::sin(h), std::cos(h), 0};
}

bool Facing(const Ship& ship, const Vect3d& target) {
    return Dot(Unit(target - ship.pos), Nose(ship)) > FacingCosine;
}

bool Behind(const Ship& ship, const Vect3d& target) {
    return Dot(Unit(target - ship.pos), Nose(ship)) < BehindCosine;
}

// Away from a star that came too near, tail first to it.
MouseInput Flee(const GameManager& manager, const Ship& ship, const GameObject& threat) {
    const Vect3d away = ship.pos + Unit(ship.pos - threat.pos) * 3;
    const bool thrust = Facing(ship, away) && ship.vel.length() < CruiseSpeed;
    return PointAt(manager, away, thrust ? 1 : 0);
}

// Turns toward the goal first; the beam pulls only once the star is behind the tail.
MouseInput Tow(const GameManager& manager, const Ship& ship, const GameObject& star,
               const Goal& goal) {
    const Vect3d aim = goal.pos + Unit(goal.pos - star.pos) * Overshoot;
    const double dist = (star.pos - ship.pos).length();
    if (dist < Escape) {
        return Flee(manager, ship, star);  // the star is catching up
    }
    const bool pull = Behind(ship, star.pos) && dist > TooClose;
    const bool thrust = Facing(ship, aim) && ship.vel.length() < TowSpeed;
    return PointAt(manager, aim, (pull ? 2 : 0) | (thrust ? 1 : 0));
}

MouseInput Approach(const GameManager& manager, const Ship& ship, const Vect3d& towPoint,
                    bool burst) {
    const double dist = (towPoint - ship.pos).length();
    const double limit = dist > ApproachDistance ? CruiseSpeed : ApproachSpeed;
    const bool thrust = burst && Facing(ship, towPoint) && ship.vel.length() < limit;
    return PointAt(manager, towPoint, thrust ? 1 : 0);
}

class ScriptedPilot : public Pilot {
  public:
    MouseInput decide(const GameManager& manager) override {
        return ScriptedInput(manager, tick_++);
    }

  private:
    int tick_ = 0;
};

#ifdef STARTUG_BENCH_AUTOPILOT
class AutopilotPilot : public Pilot {
  public:
    MouseInput decide(const GameManager& manager) override {
        const autopilot::Inputs in = pilot_.decide(manager);
        return MouseInput{in.mouseX, in.mouseY, in.buttons};
    }

  private:
    autopilot::Autopilot pilot_;
};
#endif

}  // namespace

MouseInput ScriptedInput(const GameManager& manager, int tick) {
    if (manager.ship == nullptr) {
        return PointAt(manager, OnCircle(manager.camera, 3, tick), 0);  // waiting for the restart
    }
    const auto& ship = static_cast<const Ship&>(*manager.ship);
    const bool burst = tick % BurstPeriod < BurstLength;
    const Task task = ChooseTask(manager);
    if (const GameObject* threat = StarNear(manager, ship.pos, KeepClear, task.star)) {
        return Flee(manager, ship, *threat);
    }
    if (task.star == nullptr) {
        const bool thrust = burst && ship.vel.length() < CruiseSpeed;
        return PointAt(manager, OnCircle(ship.pos, 3, tick), thrust ? 1 : 0);
    }
    const bool inPlace = (task.towPoint - ship.pos).length() < TowPointReached;
    if (ship.tractorOn || inPlace) {
        return Tow(manager, ship, *task.star, *task.goal);
    }
    return Approach(manager, ship, task.towPoint, burst);
}

std::unique_ptr<Pilot> MakePilot(PilotKind kind) {
    if (kind == PilotKind::Scripted) {
        return std::make_unique<ScriptedPilot>();
    }
#ifdef STARTUG_BENCH_AUTOPILOT
    return std::make_unique<AutopilotPilot>();
#else
    return nullptr;
#endif
}

void ApplyMouse(const MouseInput& input) {
    mouse_x = input.x;
    mouse_y = input.y;
    mouse_b = input.buttons;
}

}  // namespace bench
