#pragma once

#include "gameobject.h"

// Friction shared by ship and stars: keeps (1 - friction) of the velocity per tick,
// and stops dead once the squared speed is 1e-8 or less.
void ApplyFriction(Vect3d& v, double friction);

// The player's craft: turns toward the pointer, thrusts on the left button, tows on the right.
class Ship : public CollidableObject {
  public:
    double heading = 45.0;    // degrees from +y toward +x, kept within [-180, 180]
    bool thrustOn = false;    // left button held and fuel left, this tick
    bool tractorOn = false;   // right button held and a target in reach, this tick
    Vect3d beamTarget;        // where the beam's far end was at its last successful pull
    float beamScroll = 0.0f;  // beam texture offset, in [0, 1]

    Ship();
    void render() override;
    void renderBackground() override;
    void tick() override;
    void collided(GameObject* other) override;

    // Pulls ship and the object nearest the tail together, or turns the beam off.
    void applyTractorBeam();
    // Two grey puffs behind the nozzles, appended to the manager's particles.
    void createExhaustParticles();

  private:
    void steer();
};
