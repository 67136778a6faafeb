#pragma once

#include <cmath>

// The one vector type of the game: positions, velocities and model data, in world units.
struct Vect3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vect3d() = default;
    Vect3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    Vect3d operator+(const Vect3d& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vect3d operator-(const Vect3d& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vect3d& operator+=(const Vect3d& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vect3d& operator-=(const Vect3d& b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vect3d operator*(double s) const { return {x * s, y * s, z * s}; }

    // Cross product, never a dot product: face normals are built from it.
    Vect3d operator*(const Vect3d& b) const;

    double lengthSquared() const { return x * x + y * y + z * z; }
    double length() const { return std::sqrt(lengthSquared()); }

    // A zero vector stays zero rather than turning into NaNs.
    void normalise() {
        const double len = length();
        if (len > 0.0) {
            *this = *this * (1.0 / len);
        }
    }
};
