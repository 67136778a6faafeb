#include "rules.h"

#include "geometry.h"

#include <algorithm>
#include <cmath>

namespace autopilot {

Pointer PointerFor(int mouseX, int mouseY, const Vect3d& camera) {
    // The same single-precision steps as the game's mapping.
    constexpr float InvWidth = 1.0f / 1024;
    constexpr float InvHeight = 1.0f / 768;
    constexpr float Width = 13.333334f;
    return {static_cast<float>((mouseX * InvWidth - 0.5f) * Width + camera.x),
            static_cast<float>((0.5f - mouseY * InvHeight) * 10 + camera.y)};
}

void MouseFor(const Vect3d& world, const Vect3d& camera, int& mouseX, int& mouseY) {
    const double x = ((world.x - camera.x) / ViewWidth + 0.5) * ScreenWidth;
    const double y = (0.5 - (world.y - camera.y) / ViewHeight) * ScreenHeight;
    mouseX = std::clamp(static_cast<int>(std::lround(x)), 0, ScreenWidth - 1);
    mouseY = std::clamp(static_cast<int>(std::lround(y)), 0, ScreenHeight - 1);
}

double SteeredHeading(double heading, const Vect3d& shipPos, Pointer pointer) {
    const double dx = pointer.x - shipPos.x;
    const double dy = pointer.y - shipPos.y;
    if (dx * dx + dy * dy + shipPos.z * shipPos.z <= 0.25) {
        return heading;
    }
    const double target = std::atan2(dx, dy) * RadToDeg;
    double diff = target - heading;
    if (diff < -180) diff += 360;
    if (diff > 180) diff -= 360;
    if (std::fabs(diff) > SnapAngle) {
        heading += diff > 0 ? TurnRate : -TurnRate;
    } else {
        heading = target;
    }
    if (heading < -180) heading += 360;
    if (heading > 180) heading -= 360;
    return heading;
}

int BeamTarget(const Vect3d& shipPos, double heading, const std::vector<StarView>& stars) {
    const double h = heading * DegToRad;
    const Vect3d probe(shipPos.x - std::sin(h) * ShipRadius, shipPos.y - std::cos(h) * ShipRadius,
                       shipPos.z);
    int best = -1;
    double bestDist = 1e9;
    for (int i = 0; i < static_cast<int>(stars.size()); ++i) {
        const double d = (stars[i].pos - probe).lengthSquared();
        if (d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    if (best < 0) return -1;
    const double d = (stars[best].pos - shipPos).lengthSquared();
    return d < ShipRadius * ShipRadius || d > BeamReach * BeamReach ? -1 : best;
}

Vect3d StoppingPoint(const Vect3d& pos, const Vect3d& vel) {
    // Friction stops a star once its speed is about 1e-4, a hair short of the full sum.
    const double stop = std::sqrt(StopSquared);
    const double speed = Length(vel);
    if (speed <= stop) return pos;
    // The move that brings the speed to the limit still happens.
    const double moves = std::ceil(std::log(stop / speed) / std::log(StarKeep)) + 1;
    return pos + vel * ((1 - std::pow(StarKeep, moves)) / (1 - StarKeep));
}

Vect3d CoastPosition(const Vect3d& pos, const Vect3d& vel, double keep, int ticks) {
    return pos + vel * ((1 - std::pow(keep, ticks)) / (1 - keep));
}

}  // namespace autopilot
