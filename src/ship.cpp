#include "ship.h"

// Placeholder until the ship lands.
void ApplyFriction(Vect3d&, double) {}
Ship::Ship() {}
void Ship::render() {}
void Ship::renderBackground() {}
void Ship::tick() {}
void Ship::collided(GameObject*) {}
void Ship::applyTractorBeam() {}
void Ship::createExhaustParticles() {}
