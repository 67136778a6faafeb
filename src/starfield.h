#pragma once

#include "gameobject.h"

#include <vector>

// The two-layer backdrop below the playing plane: a painted far layer and 30 near stars.
class StarField : public GameObject {
  public:
    unsigned int fieldTexture = 0;  // painted far layer; owned, 0 until initTextures
    std::vector<Vect3d> nearStars;  // x, y within one 20 x 20 tile; z is the depth

    StarField() = default;
    ~StarField() override;

    // Paints the far layer into the back buffer and copies it into fieldTexture.
    void initTextures();
    void initStars();
    void renderBackground() override;
    void tick() override;
    void renderStars();
};
