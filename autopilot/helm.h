#pragma once

#include "vector3d.h"
#include "worldview.h"

class GameObject;

namespace autopilot {

// The player's whole say in the game for one tick.
struct Inputs {
    int mouseX = ScreenCentreX;
    int mouseY = ScreenCentreY;
    int buttons = 0;  // bit 0 thrust, bit 1 beam

    static constexpr int ScreenCentreX = 512, ScreenCentreY = 384;
};
constexpr int ThrustButton = 1;
constexpr int BeamButton = 2;

// What the pilot wants from the ship in the next tick.
struct HelmOrder {
    Vect3d velocity;         // wanted velocity after the tick, world units per tick
    double restHeading = 0;  // where the nose should wait while no correction is needed
    // Tow this star in the tick, if the beam would hold it and no other star.
    const GameObject* beamTarget = nullptr;
};

// Turns a wanted velocity into pointer and buttons: the nose is turned toward the velocity
// change still needed, and the thrust fires only when one tick of it brings the ship closer
// to the wanted velocity. The beam fires only when this tick's beam would hold the given star.
Inputs Steer(const WorldView& world, const HelmOrder& order);

}  // namespace autopilot
