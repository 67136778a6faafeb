// The Windows installer's own pictures, the game's scene laid out for the wizard's frames
// at the sizes its Modern UI shows them unscaled.
#pragma once

#include "canvas.h"
#include "scene.h"

constexpr int kWizardWidth = 164;
constexpr int kWizardHeight = 314;
constexpr int kHeaderWidth = 150;
constexpr int kHeaderHeight = 57;

// The welcome and finish pages' picture, down their left side: the ship climbing away
// with a star in tow.
Canvas PaintWizardPicture(const SceneArt& art);
// The other pages' header picture, at its right end: the ship flying left, towing a star.
Canvas PaintHeaderPicture(const SceneArt& art);
