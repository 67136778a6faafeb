#pragma once

#include "gameobject.h"

// The cargo: a spinning, glowing sphere that drifts with light friction and fills goals.
class Star : public CollidableObject {
  public:
    double spin;             // degrees about the world y axis
    float glowPhase = 0.0f;  // pulse phase in [0, 1]

    Star();
    void render() override;
    void renderBackground() override;
    void renderForeground() override;
    void tick() override;
    void collided(GameObject* other) override;
};
