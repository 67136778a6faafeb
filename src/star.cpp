#include "star.h"

// Placeholder until the star lands.
Star::Star() : spin(0.0) {}
void Star::render() {}
void Star::renderBackground() {}
void Star::renderForeground() {}
void Star::tick() {}
void Star::collided(GameObject*) {}
