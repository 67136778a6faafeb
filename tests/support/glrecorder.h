#pragma once

// A recording stand-in for the OpenGL calls the game makes, linked into the unit-test
// binary in place of the driver: each call is kept with its arguments so tests can
// check exact vertex orders, counts and state changes without a display.
// allegro_gl_flip, allegro_gl_make_texture_ex, rest and play_sample are recorded as well.

#include <functional>
#include <string>
#include <vector>

namespace glrec {

struct Call {
    std::string name;
    std::vector<double> args;
};

// Every call since the last reset, in order.
const std::vector<Call>& Calls();
void Reset();
// The calls with this name, in order.
std::vector<Call> Named(const std::string& name);
int Count(const std::string& name);

// A vertex as it was emitted, with the normal, texture coordinate and colour current then.
struct Vertex {
    double x, y, z;
    double nx, ny, nz;
    double s, t;
    double r, g, b, a;
};
// One glBegin/glEnd block.
struct Primitive {
    unsigned mode;
    std::vector<Vertex> vertices;
};
std::vector<Primitive> Primitives();

// Runs after every recorded allegro_gl_flip with the number of flips since the last reset: what
// happens while that frame is on screen (the player closing the window). Reset removes it.
void OnFlip(std::function<void(int flips)> hook);

// The next glGetError() returns this once, then GL_NO_ERROR again.
void SetPendingError(unsigned error);

// The rows of the last bitmap handed to allegro_gl_make_texture_ex: '#' for a non-zero
// pixel, '.' for zero; lets a test see what text was printed.
const std::vector<std::string>& LastTextureBitmap();

}  // namespace glrec
