// Immediate mode: glBegin/glEnd and the current vertex attributes.

#include "context.h"
#include "primitives.h"

#include <GL/gl.h>

using webgl1::Color;
using webgl1::CurrentContext;

namespace {

float Unsigned(GLubyte value) { return value / 255.0f; }

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.outsideBeginEnd()) {
        return;
    }
    if (webgl1::ClassOf(mode) == webgl1::PrimitiveClass::Invalid) {
        gl.recordError(GL_INVALID_ENUM);
        return;
    }
    gl.insideBeginEnd = true;
    gl.primitiveMode = mode;
}

void glEnd(void) {
    webgl1::Context& gl = CurrentContext();
    if (!gl.insideBeginEnd) {
        gl.recordError(GL_INVALID_OPERATION);
        return;
    }
    gl.insideBeginEnd = false;
    gl.endPrimitive();
}

// Outside glBegin/glEnd a vertex has no effect in GL 1.x.
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    webgl1::Context& gl = CurrentContext();
    if (gl.insideBeginEnd) {
        gl.addVertex(x, y, z);
    }
}

void glVertex2f(GLfloat x, GLfloat y) { glVertex3f(x, y, 0); }

void glVertex2i(GLint x, GLint y) {
    glVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    CurrentContext().setColor(Color{r, g, b, a});
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }

void glColor4fv(const GLfloat* v) { glColor4f(v[0], v[1], v[2], v[3]); }

void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    glColor4f(Unsigned(r), Unsigned(g), Unsigned(b), Unsigned(a));
}

void glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4ub(r, g, b, 255); }

void glColor4ubv(const GLubyte* v) { glColor4ub(v[0], v[1], v[2], v[3]); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { CurrentContext().normal = {x, y, z}; }

void glTexCoord2f(GLfloat s, GLfloat t) { CurrentContext().texCoord = {s, t}; }

void glTexCoord2i(GLint s, GLint t) {
    glTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

// There is one texture unit.
void glMultiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) {
    if (unit == GL_TEXTURE0) {
        glTexCoord2f(s, t);
    }
}

void glMultiTexCoord2i(GLenum unit, GLint s, GLint t) {
    glMultiTexCoord2f(unit, static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

void glRecti(GLint x1, GLint y1, GLint x2, GLint y2) {
    glBegin(GL_POLYGON);
    glVertex2i(x1, y1);
    glVertex2i(x2, y1);
    glVertex2i(x2, y2);
    glVertex2i(x1, y2);
    glEnd();
}

}  // extern "C"
