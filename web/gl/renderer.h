#pragma once

#include <array>
#include <cstddef>
#include <vector>

// The WebGL 2 side of the layer: a shader program for each combination of texturing and flat
// shading, one streaming vertex buffer, and WebGL's state changed only where a batch needs
// it. Enum and name values are GL's (GLenum and GLuint are unsigned int in both GL and GLES
// headers, which cannot be included together).

namespace webgl1 {

// One vertex as the shaders take it: clip coordinates, the final (lit, clamped) colour and
// texture coordinates.
struct Vertex {
    std::array<float, 4> position;
    std::array<float, 4> color;
    std::array<float, 2> texCoord;
};

// Everything a batch is drawn with.
struct DrawState {
    bool lines = false;    // GL_LINES rather than GL_TRIANGLES
    unsigned texture = 0;  // the WebGL texture modulating the colour; 0: none
    bool flat = false;     // each primitive takes its last vertex's colour
    bool blend = false;
    unsigned blendSource = 1;         // GL_ONE
    unsigned blendDestination = 0;    // GL_ZERO
    unsigned blendEquation = 0x8006;  // GL_FUNC_ADD
    std::array<float, 4> blendColor = {0, 0, 0, 0};
    bool depthTest = false;
    unsigned depthFunc = 0x0201;  // GL_LESS
    bool depthMask = true;
    bool cullFace = false;
    unsigned cullMode = 0x0405;   // GL_BACK
    unsigned frontFace = 0x0901;  // GL_CCW
    bool dither = true;
    bool scissorTest = false;
    std::array<int, 4> scissor = {0, 0, 0, 0};
    std::array<int, 4> viewport = {0, 0, 0, 0};
    std::array<bool, 4> colorMask = {true, true, true, true};
};

bool operator==(const DrawState& a, const DrawState& b);
inline bool operator!=(const DrawState& a, const DrawState& b) { return !(a == b); }

class Renderer {
  public:
    // Builds the program and buffers and reads WebGL's initial viewport and scissor box into
    // initial. The reason on failure, nullptr on success.
    const char* init(DrawState* initial);

    // The batch that vertices drawn with state are appended to; what was batched with another
    // state is drawn first. Whatever is still batched when the browser next renders the page
    // is drawn then, so that a frame handed over without glFlush still comes out whole.
    std::vector<Vertex>& batchFor(const DrawState& state);
    // Draws what is batched.
    void flush();

    // glClear with the scissor box and write masks of state.
    void clear(unsigned mask, const DrawState& state, const std::array<float, 4>& color,
               float depth);

    unsigned createTexture();
    void deleteTexture(unsigned texture);
    // RGBA8 texels, rows bottom to top.
    void texImage(unsigned texture, int level, int width, int height, const void* texels);
    void texSubImage(unsigned texture, int level, int x, int y, int width, int height,
                     const void* texels);
    void texParameter(unsigned texture, unsigned pname, int value);
    // Reads RGBA8 pixels of the framebuffer, after drawing what is batched.
    void readRgba8(int x, int y, int width, int height, void* out);

    // WebGL's own answers, for what the layer does not keep itself; pname is not checked.
    void getIntegers(unsigned pname, int* values);
    void getFloats(unsigned pname, float* values);
    // WebGL's error flag, read (a round trip to the GPU process) only after a query that
    // handed WebGL an unchecked name: everything else the layer checks before WebGL sees it.
    unsigned error();

  private:
    void apply(const DrawState& state);
    void applyCaps(const DrawState& state);
    void applyFunctions(const DrawState& state);
    void applyRectangles(const DrawState& state);
    void applyShading(const DrawState& state);
    void bindTexture(unsigned texture);

    bool unchecked_ = false;       // a call since the last error() may have raised a WebGL error
    bool flushScheduled_ = false;  // for the browser's next animation frame
    std::vector<Vertex> batch_;
    DrawState batchState_;
    DrawState applied_;
    unsigned boundTexture_ = 0;
    std::array<unsigned, 4> programs_ = {};  // by Textured and Flat bits
};

}  // namespace webgl1
