/* OpenGL 1.x and GLU functions that AllegroGL refers to beyond the game's own set, for
 * what the game does not use: Allegro's drawing on the screen and video bitmaps, AllegroGL's
 * fonts and GUI, mipmaps through GLU. Emscripten's WebGL library does not have them and
 * the game's GL layer need not, yet a program must link: so each has a weak stand-in here
 * that says once on stderr that it was called and does nothing else. A strong definition,
 * from a GL layer object that is part of the link, replaces it. */
#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>

/* The stand-ins ignore their arguments. */
#pragma GCC diagnostic ignored "-Wunused-parameter"

static void say_missing(const char* name, int* said) {
    if (!*said) {
        *said = 1;
        fprintf(stderr, "%s is not available on the web\n", name);
    }
}

#define STAND_IN(name, parameters)               \
    __attribute__((weak)) void name parameters { \
        static int said;                         \
        say_missing(#name, &said);               \
    }

STAND_IN(glAlphaFunc, (GLenum func, GLclampf ref))
STAND_IN(glBitmap, (GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove,
                    GLfloat ymove, const GLubyte* bitmap))
STAND_IN(glColor3ub, (GLubyte red, GLubyte green, GLubyte blue))
STAND_IN(glColor4fv, (const GLfloat* v))
STAND_IN(glColor4ub, (GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha))
STAND_IN(glColor4ubv, (const GLubyte* v))
STAND_IN(glCopyPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum type))
STAND_IN(glDrawPixels,
         (GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels))
STAND_IN(glGetDoublev, (GLenum pname, GLdouble* params))
STAND_IN(glGetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint* params))
STAND_IN(glLoadMatrixd, (const GLdouble* m))
STAND_IN(glLogicOp, (GLenum opcode))
STAND_IN(glMultiTexCoord2f, (GLenum target, GLfloat s, GLfloat t))
STAND_IN(glMultiTexCoord2i, (GLenum target, GLint s, GLint t))
STAND_IN(glPixelMapfv, (GLenum map, GLsizei mapsize, const GLfloat* values))
STAND_IN(glPixelTransferi, (GLenum pname, GLint param))
STAND_IN(glPixelZoom, (GLfloat xfactor, GLfloat yfactor))
STAND_IN(glPopAttrib, (void))
STAND_IN(glPushAttrib, (GLbitfield mask))
STAND_IN(glRasterPos2f, (GLfloat x, GLfloat y))
STAND_IN(glRasterPos2i, (GLint x, GLint y))
STAND_IN(glRecti, (GLint x1, GLint y1, GLint x2, GLint y2))
STAND_IN(glRotated, (GLdouble angle, GLdouble x, GLdouble y, GLdouble z))
STAND_IN(glScaled, (GLdouble x, GLdouble y, GLdouble z))
STAND_IN(glTexCoord2i, (GLint s, GLint t))
STAND_IN(glTexEnvi, (GLenum target, GLenum pname, GLint param))
STAND_IN(glTranslated, (GLdouble x, GLdouble y, GLdouble z))
STAND_IN(glVertex2i, (GLint x, GLint y))
STAND_IN(gluOrtho2D, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top))

__attribute__((weak)) GLint gluBuild2DMipmaps(GLenum target, GLint internal_format, GLsizei width,
                                              GLsizei height, GLenum format, GLenum type,
                                              const void* data) {
    static int said;
    say_missing("gluBuild2DMipmaps", &said);
    return GLU_INVALID_OPERATION;
}

/* Asked for at every mode set, only to be logged. */
__attribute__((weak)) const GLubyte* gluGetString(GLenum name) {
    return (const GLubyte*)(name == GLU_VERSION ? "1.3" : "");
}
