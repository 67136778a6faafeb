#pragma once

#include "vector3d.h"

#include <string>

// The game's one random sequence, shared by every user, never seeded by the game:
// integers uniform over 0..32767 on every platform (the C library's rand() range
// differs between platforms, so the game carries its own generator).
int GameRand();
// Restarts the sequence from its first value; for tests and tools that need a known sequence.
void ResetGameRand();
// A random fraction in [0, 1] from GameRand().
float FloatRand();

// 2D projection in fixed screen units: 0..1024 by 0..768, origin at the bottom left.
void SetOrthoProjection();
// Throws std::runtime_error("OpenGL error :" + code) when an OpenGL error is pending.
void CheckGlError();
// A textured band of a sphere built from latitude/longitude strips; angles in radians.
void DrawSphere(Vect3d centre, double radius, int slices, int triangleStrip, double lonStart,
                double lonEnd, double latStart, double latEnd);
// A 20-segment outline in the plane z = 0, starting at the top and running clockwise.
void DrawCircle(Vect3d centre, double radius);

// One line of text on a dark blue screen for 200 frames; SPACE skips it from the 41st frame, ESC
// and closing the window end it at once.
void ShowIntermission(const std::string& text);
