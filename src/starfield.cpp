#include "starfield.h"

// Placeholder until the star field lands.
StarField::~StarField() {}
void StarField::initTextures() {}
void StarField::initStars() {}
void StarField::renderBackground() {}
void StarField::tick() {}
void StarField::renderStars() {}
