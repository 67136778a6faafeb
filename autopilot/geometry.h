#pragma once

#include "vector3d.h"

#include <cmath>

// Plane geometry for the autopilot. Everything happens in the playing plane z = 0; headings
// are degrees from +y toward +x, as the ship keeps them.
namespace autopilot {

constexpr double DegToRad = 0.017453292519943295;
constexpr double RadToDeg = 57.29577951308232;

inline double Dot(const Vect3d& a, const Vect3d& b) { return a.x * b.x + a.y * b.y; }

// The unit vector along v, or zero for a zero vector.
inline Vect3d Unit(const Vect3d& v) {
    const double len = std::sqrt(v.x * v.x + v.y * v.y);
    return len > 0 ? Vect3d(v.x / len, v.y / len, 0) : Vect3d();
}

// v turned a quarter to the left (counter-clockwise seen from the camera).
inline Vect3d Perp(const Vect3d& v) { return {-v.y, v.x, 0}; }

inline double Length(const Vect3d& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

inline double Distance(const Vect3d& a, const Vect3d& b) { return Length(a - b); }

// The unit vector of a heading: the ship's forward direction.
inline Vect3d HeadingVector(double headingDegrees) {
    const double h = headingDegrees * DegToRad;
    return {std::sin(h), std::cos(h), 0};
}

// The heading that points along v.
inline double HeadingOf(const Vect3d& v) { return std::atan2(v.x, v.y) * RadToDeg; }

// a - b brought into [-180, 180].
inline double AngleDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}

// The point of the segment a..b nearest to p.
inline Vect3d NearestOnSegment(const Vect3d& p, const Vect3d& a, const Vect3d& b) {
    const Vect3d ab = b - a;
    const double len2 = Dot(ab, ab);
    if (len2 <= 0) return a;
    double t = Dot(p - a, ab) / len2;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return a + ab * t;
}

inline double DistanceToSegment(const Vect3d& p, const Vect3d& a, const Vect3d& b) {
    return Distance(p, NearestOnSegment(p, a, b));
}

inline double Cross(const Vect3d& a, const Vect3d& b) { return a.x * b.y - a.y * b.x; }

// Shortest distance between the segments a0..a1 and b0..b1.
inline double SegmentDistance(const Vect3d& a0, const Vect3d& a1, const Vect3d& b0,
                              const Vect3d& b1) {
    const double s0 = Cross(a1 - a0, b0 - a0), s1 = Cross(a1 - a0, b1 - a0);
    const double t0 = Cross(b1 - b0, a0 - b0), t1 = Cross(b1 - b0, a1 - b0);
    if (((s0 < 0) != (s1 < 0)) && ((t0 < 0) != (t1 < 0))) return 0;  // they cross
    double d = DistanceToSegment(a0, b0, b1);
    d = std::fmin(d, DistanceToSegment(a1, b0, b1));
    d = std::fmin(d, DistanceToSegment(b0, a0, a1));
    return std::fmin(d, DistanceToSegment(b1, a0, a1));
}

}  // namespace autopilot
