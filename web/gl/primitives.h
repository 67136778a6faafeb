#pragma once

#include <GL/gl.h>

namespace webgl1 {

// What a glBegin mode becomes once split for WebGL.
enum class PrimitiveClass { Triangles, Lines, Invalid };

// Splits count vertices given in mode into independent triangles (triangle(a, b, c)) or lines
// (line(a, b)) by vertex index, as Mesa's software pipeline does: windings are kept and each
// piece's last vertex is the one GL 1.x takes the flat-shaded colour from (a triangle's,
// line's, independent quad's and strip's last vertex, a quad strip's 2i+2-th and a polygon's
// first). Incomplete trailing primitives are dropped.
template <typename Triangle, typename Line>
void Decompose(GLenum mode, int count, Triangle triangle, Line line) {
    switch (mode) {
        case GL_LINES:
            for (int i = 0; i + 1 < count; i += 2) line(i, i + 1);
            break;
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            for (int i = 0; i + 1 < count; ++i) line(i, i + 1);
            if (mode == GL_LINE_LOOP && count >= 2) line(count - 1, 0);
            break;
        case GL_TRIANGLES:
            for (int i = 0; i + 2 < count; i += 3) triangle(i, i + 1, i + 2);
            break;
        case GL_TRIANGLE_STRIP:
            for (int i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0) {
                    triangle(i, i + 1, i + 2);
                } else {
                    triangle(i + 1, i, i + 2);
                }
            }
            break;
        case GL_TRIANGLE_FAN:
            for (int i = 1; i + 1 < count; ++i) triangle(0, i, i + 1);
            break;
        case GL_QUADS:
            for (int i = 0; i + 3 < count; i += 4) {
                triangle(i, i + 1, i + 3);
                triangle(i + 1, i + 2, i + 3);
            }
            break;
        case GL_QUAD_STRIP:
            for (int i = 0; i + 3 < count; i += 2) {
                triangle(i + 2, i, i + 3);
                triangle(i, i + 1, i + 3);
            }
            break;
        case GL_POLYGON:
            for (int i = 1; i + 1 < count; ++i) triangle(i, i + 1, 0);
            break;
        default:
            break;
    }
}

inline PrimitiveClass ClassOf(GLenum mode) {
    switch (mode) {
        case GL_LINES:
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            return PrimitiveClass::Lines;
        case GL_TRIANGLES:
        case GL_TRIANGLE_STRIP:
        case GL_TRIANGLE_FAN:
        case GL_QUADS:
        case GL_QUAD_STRIP:
        case GL_POLYGON:
            return PrimitiveClass::Triangles;
        default:
            return PrimitiveClass::Invalid;
    }
}

}  // namespace webgl1
