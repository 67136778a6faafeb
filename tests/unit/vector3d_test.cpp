#include "vector3d.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

void ExpectVec(const Vect3d& v, double x, double y, double z) {
    EXPECT_DOUBLE_EQ(v.x, x);
    EXPECT_DOUBLE_EQ(v.y, y);
    EXPECT_DOUBLE_EQ(v.z, z);
}

TEST(Vect3d, DefaultAndGrownContainersAreZero) {
    ExpectVec(Vect3d(), 0, 0, 0);
    std::vector<Vect3d> grown;
    grown.resize(30);
    for (const Vect3d& v : grown) ExpectVec(v, 0, 0, 0);
}

TEST(Vect3d, ArithmeticIsComponentWise) {
    Vect3d a(1, 2, 3);
    const Vect3d b(0.5, -4, 10);
    ExpectVec(a + b, 1.5, -2, 13);
    ExpectVec(a - b, 0.5, 6, -7);
    ExpectVec(a * 2.0, 2, 4, 6);
    a += b;
    ExpectVec(a, 1.5, -2, 13);
    a -= b;
    ExpectVec(a, 1, 2, 3);
}

TEST(Vect3d, StarIsTheRightHandedCrossProduct) {
    ExpectVec(Vect3d(1, 0, 0) * Vect3d(0, 1, 0), 0, 0, 1);
    ExpectVec(Vect3d(0, 1, 0) * Vect3d(1, 0, 0), 0, 0, -1);
    ExpectVec(Vect3d(0, 0, 1) * Vect3d(1, 0, 0), 0, 1, 0);
    const Vect3d a(2, -3, 5);
    ExpectVec(a * a, 0, 0, 0);
    // Not a dot product: (1,2,3) x (4,5,6) = (-3, 6, -3).
    ExpectVec(Vect3d(1, 2, 3) * Vect3d(4, 5, 6), -3, 6, -3);
}

TEST(Vect3d, LengthAndNormalise) {
    Vect3d v(3, 0, 4);
    EXPECT_DOUBLE_EQ(v.lengthSquared(), 25);
    EXPECT_DOUBLE_EQ(v.length(), 5);
    v.normalise();
    ExpectVec(v, 0.6, 0, 0.8);
}

TEST(Vect3d, NormalisingZeroGivesZeroNotNaN) {
    Vect3d v;
    v.normalise();
    ExpectVec(v, 0, 0, 0);
}

}  // namespace
