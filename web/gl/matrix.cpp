#include "matrix.h"

#include <cmath>

namespace webgl1 {

namespace {

constexpr double Pi = 3.14159265358979323846;

float& At(Mat4& m, int row, int column) { return m.m[column * 4 + row]; }
float At(const Mat4& m, int row, int column) { return m.m[column * 4 + row]; }

}  // namespace

Mat4 Mat4::Identity() { return Mat4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Mat4 Mat4::FromDoubles(const double* elements) {
    Mat4 result;
    for (int i = 0; i < 16; ++i) {
        result.m[i] = static_cast<float>(elements[i]);
    }
    return result;
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
    Mat4 p;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            At(p, row, column) =
                At(a, row, 0) * At(b, 0, column) + At(a, row, 1) * At(b, 1, column) +
                At(a, row, 2) * At(b, 2, column) + At(a, row, 3) * At(b, 3, column);
        }
    }
    return p;
}

Vec4 Transform(const Mat4& m, const Vec4& v) {
    const auto row = [&](int r) {
        return At(m, r, 0) * v.x + At(m, r, 1) * v.y + At(m, r, 2) * v.z + At(m, r, 3) * v.w;
    };
    return Vec4{row(0), row(1), row(2), row(3)};
}

Mat4 Rotation(float degrees, float x, float y, float z) {
    Mat4 r = Mat4::Identity();
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length <= 1.0e-4f) {
        return r;  // no axis: GL leaves the matrix as it is
    }
    x /= length;
    y /= length;
    z /= length;
    // The angle is converted in double precision, then its sine and cosine rounded to float.
    const double radians = degrees * Pi / 180.0;
    const auto s = static_cast<float>(std::sin(radians));
    const auto c = static_cast<float>(std::cos(radians));
    const float oneMinusC = 1.0f - c;
    At(r, 0, 0) = oneMinusC * x * x + c;
    At(r, 0, 1) = oneMinusC * x * y - z * s;
    At(r, 0, 2) = oneMinusC * z * x + y * s;
    At(r, 1, 0) = oneMinusC * x * y + z * s;
    At(r, 1, 1) = oneMinusC * y * y + c;
    At(r, 1, 2) = oneMinusC * y * z - x * s;
    At(r, 2, 0) = oneMinusC * z * x - y * s;
    At(r, 2, 1) = oneMinusC * y * z + x * s;
    At(r, 2, 2) = oneMinusC * z * z + c;
    return r;
}

Mat4 Translation(float x, float y, float z) {
    Mat4 t = Mat4::Identity();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Mat4 Scaling(float x, float y, float z) {
    Mat4 s = Mat4::Identity();
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

Mat4 Ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    Mat4 o = Mat4::Identity();
    o.m[0] = 2.0f / (right - left);
    o.m[5] = 2.0f / (top - bottom);
    o.m[10] = -2.0f / (zFar - zNear);
    o.m[12] = -(right + left) / (right - left);
    o.m[13] = -(top + bottom) / (top - bottom);
    o.m[14] = -(zFar + zNear) / (zFar - zNear);
    return o;
}

// GLU builds this matrix in double precision and hands it to glMultMatrixd.
Mat4 Perspective(double fovy, double aspect, double zNear, double zFar) {
    const double radians = fovy / 2 * Pi / 180;
    const double depth = zFar - zNear;
    const double cotangent = std::cos(radians) / std::sin(radians);
    double p[16] = {};
    p[0] = cotangent / aspect;
    p[5] = cotangent;
    p[10] = -(zFar + zNear) / depth;
    p[11] = -1;
    p[14] = -2 * zNear * zFar / depth;
    return Mat4::FromDoubles(p);
}

std::array<float, 9> NormalMatrix(const Mat4& mv) {
    // Cofactors of the upper 3x3, divided by its determinant, are the inverse transpose.
    const auto a = [&](int r, int c) { return At(mv, r, c); };
    std::array<float, 9> n = {
        a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1), a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2),
        a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0), a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2),
        a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0), a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1),
        a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1), a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2),
        a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)};
    const float determinant = a(0, 0) * n[0] + a(0, 1) * n[1] + a(0, 2) * n[2];
    if (determinant == 0.0f) {
        return {1, 0, 0, 0, 1, 0, 0, 0, 1};
    }
    for (float& element : n) {
        element /= determinant;
    }
    return n;
}

MatrixStack::MatrixStack(int maxDepth) : entries_{Mat4::Identity()}, maxDepth_(maxDepth) {
    entries_.reserve(maxDepth);
}

bool MatrixStack::push() {
    if (depth() == maxDepth_) {
        return false;
    }
    entries_.push_back(entries_.back());
    return true;
}

bool MatrixStack::pop() {
    if (depth() == 1) {
        return false;
    }
    entries_.pop_back();
    return true;
}

}  // namespace webgl1
