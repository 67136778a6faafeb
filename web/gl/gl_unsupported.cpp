// GL 1.x and GLU entry points that AllegroGL's library refers to for drawing Allegro's own
// primitives and bitmaps on the screen, which the game does not use. They are defined so the
// program links against this layer alone, and fail with GL_INVALID_OPERATION.

#include "context.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

void Unsupported() { webgl1::CurrentContext().recordError(GL_INVALID_OPERATION); }

}  // namespace

extern "C" {

void glActiveTexture(GLenum unit) {
    if (unit != GL_TEXTURE0) {
        Unsupported();  // there is one texture unit
    }
}

void glAlphaFunc(GLenum, GLclampf) { Unsupported(); }

void glBitmap(GLsizei, GLsizei, GLfloat, GLfloat, GLfloat, GLfloat, const GLubyte*) {
    Unsupported();
}

void glCallList(GLuint) { Unsupported(); }

void glCopyPixels(GLint, GLint, GLsizei, GLsizei, GLenum) { Unsupported(); }

void glDeleteLists(GLuint, GLsizei) { Unsupported(); }

void glDrawPixels(GLsizei, GLsizei, GLenum, GLenum, const GLvoid*) { Unsupported(); }

void glEndList(void) { Unsupported(); }

GLuint glGenLists(GLsizei) {
    Unsupported();
    return 0;
}

void glLogicOp(GLenum) { Unsupported(); }

void glNewList(GLuint, GLenum) { Unsupported(); }

void glPixelMapfv(GLenum, GLsizei, const GLfloat*) { Unsupported(); }

void glPixelTransferi(GLenum, GLint) { Unsupported(); }

void glPixelZoom(GLfloat, GLfloat) { Unsupported(); }

void glPointSize(GLfloat) { Unsupported(); }

void glPopAttrib(void) { Unsupported(); }

void glPushAttrib(GLbitfield) { Unsupported(); }

void glRasterPos2f(GLfloat, GLfloat) { Unsupported(); }

void glRasterPos2i(GLint, GLint) { Unsupported(); }

void glRasterPos4fv(const GLfloat*) { Unsupported(); }

GLint gluBuild2DMipmaps(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*) {
    Unsupported();
    return GLU_INVALID_OPERATION;
}

}  // extern "C"
