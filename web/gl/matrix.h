#pragma once

#include <array>
#include <vector>

namespace webgl1 {

struct Vec4 {
    float x, y, z, w;
};

// A 4x4 matrix stored as OpenGL stores it: column-major, element (row r, column c) at
// m[c * 4 + r].
struct Mat4 {
    std::array<float, 16> m;

    static Mat4 Identity();
    // Each element rounded to single precision, as glLoadMatrixd and glMultMatrixd do.
    static Mat4 FromDoubles(const double* elements);
};

// a * b with each element summed left to right in single precision, as Mesa does.
Mat4 Multiply(const Mat4& a, const Mat4& b);
Vec4 Transform(const Mat4& m, const Vec4& v);

// The matrices glRotatef (degrees about the axis x, y, z), glTranslatef, glScalef, glOrtho and
// gluPerspective (fovy in degrees) multiply the current matrix by.
Mat4 Rotation(float degrees, float x, float y, float z);
Mat4 Translation(float x, float y, float z);
Mat4 Scaling(float x, float y, float z);
Mat4 Ortho(float left, float right, float bottom, float top, float zNear, float zFar);
Mat4 Perspective(double fovy, double aspect, double zNear, double zFar);

// The upper 3x3 of the inverse transpose of a modelview matrix, row-major, which takes
// normals to eye space; the identity when the matrix is singular.
std::array<float, 9> NormalMatrix(const Mat4& modelview);

// One of GL's matrix stacks; the bottom entry is never popped.
class MatrixStack {
  public:
    explicit MatrixStack(int maxDepth);

    Mat4& top() { return entries_.back(); }
    const Mat4& top() const { return entries_.back(); }
    int depth() const { return static_cast<int>(entries_.size()); }
    // False when the stack is full (GL_STACK_OVERFLOW) or holds one entry (GL_STACK_UNDERFLOW).
    bool push();
    bool pop();

  private:
    std::vector<Mat4> entries_;
    int maxDepth_;
};

}  // namespace webgl1
