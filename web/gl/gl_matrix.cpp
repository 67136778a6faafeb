// Matrix stacks and the matrices GL 1.x and GLU multiply them by.

#include "context.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

using webgl1::CurrentContext;
using webgl1::Mat4;

namespace {

void MultiplyCurrent(const Mat4& m) {
    webgl1::Context& gl = CurrentContext();
    if (gl.outsideBeginEnd()) {
        Mat4& current = gl.currentMatrix();
        current = webgl1::Multiply(current, m);
        gl.matrixChanged();
    }
}

void LoadCurrent(const Mat4& m) {
    webgl1::Context& gl = CurrentContext();
    if (gl.outsideBeginEnd()) {
        gl.currentMatrix() = m;
        gl.matrixChanged();
    }
}

webgl1::MatrixStack& CurrentStack(webgl1::Context& gl) {
    return gl.matrixMode == GL_MODELVIEW ? gl.modelview : gl.projection;
}

}  // namespace

extern "C" {

// GL_TEXTURE is not supported: the layer has no texture matrix.
void glMatrixMode(GLenum mode) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    gl.matrixMode = mode;
}

void glLoadIdentity(void) { LoadCurrent(Mat4::Identity()); }

void glLoadMatrixf(const GLfloat* m) {
    Mat4 matrix;
    std::copy(m, m + 16, matrix.m.begin());
    LoadCurrent(matrix);
}

void glLoadMatrixd(const GLdouble* m) { LoadCurrent(Mat4::FromDoubles(m)); }

void glPushMatrix(void) {
    webgl1::Context& gl = CurrentContext();
    if (gl.outsideBeginEnd() && !CurrentStack(gl).push()) {
        gl.recordError(GL_STACK_OVERFLOW);
    }
}

void glPopMatrix(void) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (!CurrentStack(gl).pop()) {
        gl.recordError(GL_STACK_UNDERFLOW);
        return;
    }
    gl.matrixChanged();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    MultiplyCurrent(webgl1::Translation(x, y, z));
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    MultiplyCurrent(webgl1::Rotation(angle, x, y, z));
}

void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    glRotatef(static_cast<GLfloat>(angle), static_cast<GLfloat>(x), static_cast<GLfloat>(y),
              static_cast<GLfloat>(z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) { MultiplyCurrent(webgl1::Scaling(x, y, z)); }

void glScaled(GLdouble x, GLdouble y, GLdouble z) {
    glScalef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        CurrentContext().recordError(GL_INVALID_VALUE);
        return;
    }
    MultiplyCurrent(webgl1::Ortho(static_cast<float>(left), static_cast<float>(right),
                                  static_cast<float>(bottom), static_cast<float>(top),
                                  static_cast<float>(zNear), static_cast<float>(zFar)));
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    glOrtho(left, right, bottom, top, -1, 1);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    // GLU leaves the matrix alone for these.
    if (zFar == zNear || aspect == 0 || fovy <= 0 || fovy >= 360) {
        return;
    }
    MultiplyCurrent(webgl1::Perspective(fovy, aspect, zNear, zFar));
}

}  // extern "C"
