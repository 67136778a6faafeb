#include "vector3d.h"

Vect3d Vect3d::operator*(const Vect3d& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
}
