#pragma once

// A recording stand-in for the OpenGL calls the game makes, linked into the unit-test
// binary in place of the driver: each call is kept with its arguments so tests can
// check exact vertex orders, counts and state changes without a display.
// allegro_gl_flip, allegro_gl_make_texture_ex, rest and play_sample are recorded as well.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iosfwd>
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

// --- Whole traces: a routine's calls compared with the calls it must make ---

using Trace = std::vector<Call>;
// The same function with exactly the same arguments. Arguments that reached OpenGL as
// floats are held widened, so an expected single-precision value is written as one (0.4f).
bool operator==(const Call& a, const Call& b);
// name(arg, arg, ...), each argument in the fewest digits that give it back exactly.
std::string Describe(const Call& c);
void PrintTo(const Call& c, std::ostream* out);  // how test failures show a call
// Empty when `actual` is `expected`; otherwise the first call where they part.
std::string Mismatch(const Trace& actual, const Trace& expected);
// The recorded calls from index `first` on, at most `count` of them.
Trace CallsFrom(std::size_t first, std::size_t count = SIZE_MAX);
// The index of the first call named `name` at or after `from`; Calls().size() when none.
std::size_t IndexOf(const std::string& name, std::size_t from = 0);
// The calls `draw` makes, recorded apart; the log goes on as it was before.
Trace Recorded(const std::function<void()>& draw);
Trace Concat(std::initializer_list<Trace> parts);
// Textured corners in drawing order: each row {s, t, x, y[, z]} is glTexCoord2f(s, t)
// followed by the `vertex` call (glVertex2f or glVertex3f) with the rest.
Trace Corners(const std::string& vertex, std::initializer_list<std::vector<double>> rows);
// glBegin(mode), the calls inside, glEnd().
Trace Block(double mode, const Trace& inside);

// Runs after every recorded allegro_gl_flip with the number of flips since the last reset: what
// happens while that frame is on screen (the player closing the window). Reset removes it.
void OnFlip(std::function<void(int flips)> hook);

// The next glGetError() returns this once, then GL_NO_ERROR again.
void SetPendingError(unsigned error);

// The rows of the last bitmap handed to allegro_gl_make_texture_ex: '#' for a non-zero
// pixel, '.' for zero; lets a test see what text was printed.
const std::vector<std::string>& LastTextureBitmap();

}  // namespace glrec
