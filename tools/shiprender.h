// A small software renderer for previewing the ship model in the contact sheet:
// orthographic, depth-buffered, back faces culled exactly as the game culls them.
#pragma once

#include "canvas.h"
#include "shipmodel.h"

struct Camera {
    Vec3 right;
    Vec3 up;
    Vec3 towardViewer;
};

// Looking straight down, as in the game: x to the right, y (the nose) up.
Camera TopCamera();
// Looking straight down at the model turned clockwise by heading degrees, as the game
// turns the ship.
Camera HeadingCamera(double heading);
// Looking at the model from the given direction (pointing from model to eye), with
// +z kept upright.
Camera CameraFrom(Vec3 eyeDirection);

// The textured model, lit by one light, on the given background. span is the
// model-space width the image covers.
Canvas RenderShip(const Mesh& mesh, const Canvas& texture, const Camera& camera, int size,
                  double span, Colour background);
// Polygon outlines: front faces bright, back faces faint.
Canvas RenderWireframe(const Mesh& mesh, const Camera& camera, int size, double span);
