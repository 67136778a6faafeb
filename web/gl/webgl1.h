#pragma once

// OpenGL 1.x (immediate mode, fixed-function lighting, texturing) over WebGL 2 for the web
// build. The GL 1.x and GLU entry points themselves are declared by <GL/gl.h> and <GL/glu.h>.
//
// Draws are batched: vertices reach WebGL at a state change, glClear, a texture change, a
// pixel read-back, glFlush or glFinish, and at the latest in the browser's next animation
// frame, before it presents the canvas. Call glFlush at the end of each frame all the same:
// the animation-frame callback runs only once the program has yielded to the browser.

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
