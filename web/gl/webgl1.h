#pragma once

// OpenGL 1.x (immediate mode, fixed-function lighting, texturing) over WebGL 2 for the web
// build. The GL 1.x and GLU entry points themselves are declared by <GL/gl.h> and <GL/glu.h>.
//
// Draws are batched: vertices reach WebGL at a state change, glClear, a texture change,
// a query that reads pixels or GL state back, glFlush or glFinish. Call glFlush before handing
// a frame to the browser (WebGL presents what was drawn when the program yields).

#ifdef __cplusplus
extern "C" {
#endif

// Once, with a WebGL 2 context current (24 depth bits, no alpha, no antialiasing): builds the
// shaders and buffers and sets GL 1.x's initial state. 0 on success, -1 on failure with the
// reason in webgl1_error().
int webgl1_init(void);

// Why webgl1_init failed; "" when it did not.
const char* webgl1_error(void);

#ifdef __cplusplus
}
#endif
