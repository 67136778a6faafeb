#include "glrecorder.h"

// On Windows the stand-ins below are this program's own definitions, not imports from
// opengl32.dll (the GDI headers declare OpenGL's functions dllimport unless _GDI32_).
#ifdef _WIN32
#define _GDI32_
#endif

#include "opengl.h"

#include <alleggl.h>
#include <allegro.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <utility>

namespace glrec {
namespace {

std::vector<Call> calls;
unsigned pendingError = GL_NO_ERROR;
GLuint nextTexture = 1;
std::vector<std::string> lastBitmap;
std::function<void(int)> flipHook;
int flips = 0;

void Record(const char* name, std::initializer_list<double> args) { calls.push_back({name, args}); }

}  // namespace

const std::vector<Call>& Calls() { return calls; }

void Reset() {
    calls.clear();
    pendingError = GL_NO_ERROR;
    flipHook = nullptr;
    flips = 0;
}

void OnFlip(std::function<void(int flips)> hook) { flipHook = std::move(hook); }

std::vector<Call> Named(const std::string& name) {
    std::vector<Call> out;
    for (const Call& c : calls) {
        if (c.name == name) out.push_back(c);
    }
    return out;
}

int Count(const std::string& name) { return static_cast<int>(Named(name).size()); }

std::vector<Primitive> Primitives() {
    std::vector<Primitive> out;
    Vertex current{0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1};
    bool inside = false;
    for (const Call& c : calls) {
        const auto& a = c.args;
        if (c.name == "glBegin") {
            out.push_back({static_cast<unsigned>(a[0]), {}});
            inside = true;
        } else if (c.name == "glEnd") {
            inside = false;
        } else if (c.name == "glNormal3f") {
            current.nx = a[0], current.ny = a[1], current.nz = a[2];
        } else if (c.name == "glTexCoord2f") {
            current.s = a[0], current.t = a[1];
        } else if (c.name == "glColor3f" || c.name == "glColor4f") {
            current.r = a[0], current.g = a[1], current.b = a[2];
            current.a = a.size() > 3 ? a[3] : 1.0;
        } else if (inside && (c.name == "glVertex2f" || c.name == "glVertex3f")) {
            Vertex v = current;
            v.x = a[0], v.y = a[1], v.z = a.size() > 2 ? a[2] : 0.0;
            out.back().vertices.push_back(v);
        }
    }
    return out;
}

bool operator==(const Call& a, const Call& b) { return a.name == b.name && a.args == b.args; }

namespace {

// The fewest significant digits that read back as `value`: at most 9 for a value that is a
// float, since the recorder widened it from one, 17 otherwise.
std::string Shortest(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<long long>(value));  // counts, enums, pixels
    }
    const bool single = static_cast<double>(static_cast<float>(value)) == value;
    std::string text;
    for (int digits = 1; digits <= 17; ++digits) {
        std::ostringstream out;
        out.precision(digits);
        out << value;
        text = out.str();
        const double back = std::stod(text);
        if (single ? static_cast<float>(back) == static_cast<float>(value) : back == value) break;
    }
    return text;
}

}  // namespace

std::string Describe(const Call& c) {
    std::string text = c.name + "(";
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        text += (i == 0 ? "" : ", ") + Shortest(c.args[i]);
    }
    return text + ")";
}

void PrintTo(const Call& c, std::ostream* out) { *out << Describe(c); }

std::string Mismatch(const Trace& actual, const Trace& expected) {
    const auto described = [](const Trace& t, std::size_t i) {
        return i < t.size() ? Describe(t[i]) : std::string("nothing");
    };
    for (std::size_t i = 0; i < actual.size() || i < expected.size(); ++i) {
        if (i >= actual.size() || i >= expected.size() || !(actual[i] == expected[i])) {
            return "call " + std::to_string(i) + " of " + std::to_string(expected.size()) +
                   ": got " + described(actual, i) + ", expected " + described(expected, i);
        }
    }
    return "";
}

Trace CallsFrom(std::size_t first, std::size_t count) {
    if (first >= calls.size()) return {};
    const std::size_t end = count < calls.size() - first ? first + count : calls.size();
    return Trace(calls.begin() + first, calls.begin() + end);
}

std::size_t IndexOf(const std::string& name, std::size_t from) {
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (calls[i].name == name) return i;
    }
    return calls.size();
}

Trace Recorded(const std::function<void()>& draw) {
    std::vector<Call> before = std::move(calls);
    calls.clear();
    draw();
    std::swap(before, calls);
    return before;
}

Trace Concat(std::initializer_list<Trace> parts) {
    Trace out;
    for (const Trace& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Trace Corners(const std::string& vertex, std::initializer_list<std::vector<double>> rows) {
    Trace out;
    for (const std::vector<double>& row : rows) {
        out.push_back({"glTexCoord2f", {row[0], row[1]}});
        out.push_back({vertex, std::vector<double>(row.begin() + 2, row.end())});
    }
    return out;
}

Trace Block(double mode, const Trace& inside) {
    return Concat({{{"glBegin", {mode}}}, inside, {{"glEnd", {}}}});
}

void SetPendingError(unsigned error) { pendingError = error; }

const std::vector<std::string>& LastTextureBitmap() { return lastBitmap; }

}  // namespace glrec

using glrec::Record;

// The stand-ins. Their names and signatures are the libraries' own, so the game's code
// binds to these instead of the shared libraries when linked into the test binary.
extern "C" {

void glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void glEnd() { Record("glEnd", {}); }
void glVertex2f(GLfloat x, GLfloat y) { Record("glVertex2f", {x, y}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Record("glNormal3f", {x, y, z}); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {s, t}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { Record("glColor3f", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {r, g, b, a}); }
void glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void glBlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", {double(s), double(d)}); }
void glBindTexture(GLenum target, GLuint texture) {
    Record("glBindTexture", {double(target), double(texture)});
}
void glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void glLoadIdentity() { Record("glLoadIdentity", {}); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Record("glOrtho", {l, r, b, t, n, f});
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Record("glRotatef", {angle, x, y, z});
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) { Record("glScalef", {x, y, z}); }
void glPushMatrix() { Record("glPushMatrix", {}); }
void glPopMatrix() { Record("glPopMatrix", {}); }
GLenum glGetError() {
    const GLenum error = glrec::pendingError;
    glrec::pendingError = GL_NO_ERROR;
    return error;
}
void glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Record("glClearColor", {r, g, b, a});
}
void glClearDepth(GLclampd depth) { Record("glClearDepth", {depth}); }
void glDepthFunc(GLenum func) { Record("glDepthFunc", {double(func)}); }
void glShadeModel(GLenum mode) { Record("glShadeModel", {double(mode)}); }
void glPolygonMode(GLenum face, GLenum mode) {
    Record("glPolygonMode", {double(face), double(mode)});
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* p) {
    Record("glLightfv", {double(light), double(pname), p[0], p[1], p[2], p[3]});
}
void glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = glrec::nextTexture++;
    Record("glGenTextures", {double(n), double(textures[0])});
}
void glDeleteTextures(GLsizei n, const GLuint* textures) {
    Record("glDeleteTextures", {double(n), double(textures[0])});
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glReadBuffer(GLenum mode) { Record("glReadBuffer", {double(mode)}); }
void glCopyTexImage2D(GLenum target, GLint level, GLenum format, GLint x, GLint y, GLsizei w,
                      GLsizei h, GLint border) {
    Record("glCopyTexImage2D", {double(target), double(level), double(format), double(x), double(y),
                                double(w), double(h), double(border)});
}
void glGetIntegerv(GLenum pname, GLint* params) {
    Record("glGetIntegerv", {double(pname)});
    // Depth bits, and the largest texture side llvmpipe takes.
    *params = pname == GL_MAX_TEXTURE_SIZE ? 16384 : 16;
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", {fovy, aspect, zNear, zFar});
}

void allegro_gl_flip() {
    Record("allegro_gl_flip", {});
    ++glrec::flips;
    if (glrec::flipHook) glrec::flipHook(glrec::flips);
}

GLuint allegro_gl_make_texture_ex(int flags, BITMAP* bmp, GLint internalFormat) {
    glrec::lastBitmap.clear();
    for (int y = 0; y < bmp->h; ++y) {
        std::string row;
        for (int x = 0; x < bmp->w; ++x) row += getpixel(bmp, x, y) != 0 ? '#' : '.';
        glrec::lastBitmap.push_back(row);
    }
    const GLuint texture = glrec::nextTexture++;
    Record("allegro_gl_make_texture_ex", {double(flags), double(bmp->w), double(bmp->h),
                                          double(internalFormat), double(texture)});
    return texture;
}

void rest(unsigned int time) { Record("rest", {double(time)}); }

// The sample is recorded by its address (user-space addresses fit a double exactly).
int play_sample(const SAMPLE* spl, int vol, int pan, int freq, int loop) {
    Record("play_sample", {double(reinterpret_cast<std::uintptr_t>(spl)), double(vol), double(pan),
                           double(freq), double(loop)});
    return 0;
}

}  // extern "C"

#ifdef _WIN32
// The game's code calls OpenGL and GLU through import pointers, __imp_NAME, which
// opengl32.dll's import library would fill: these point them at the stand-ins instead.
#define STANDIN_IMPORT(name)              \
    extern "C" {                          \
    decltype(&name) __imp_##name = &name; \
    }
STANDIN_IMPORT(glBegin)
STANDIN_IMPORT(glEnd)
STANDIN_IMPORT(glVertex2f)
STANDIN_IMPORT(glVertex3f)
STANDIN_IMPORT(glNormal3f)
STANDIN_IMPORT(glTexCoord2f)
STANDIN_IMPORT(glColor3f)
STANDIN_IMPORT(glColor4f)
STANDIN_IMPORT(glEnable)
STANDIN_IMPORT(glDisable)
STANDIN_IMPORT(glBlendFunc)
STANDIN_IMPORT(glBindTexture)
STANDIN_IMPORT(glMatrixMode)
STANDIN_IMPORT(glLoadIdentity)
STANDIN_IMPORT(glOrtho)
STANDIN_IMPORT(glTranslatef)
STANDIN_IMPORT(glRotatef)
STANDIN_IMPORT(glScalef)
STANDIN_IMPORT(glPushMatrix)
STANDIN_IMPORT(glPopMatrix)
STANDIN_IMPORT(glGetError)
STANDIN_IMPORT(glClear)
STANDIN_IMPORT(glClearColor)
STANDIN_IMPORT(glClearDepth)
STANDIN_IMPORT(glDepthFunc)
STANDIN_IMPORT(glShadeModel)
STANDIN_IMPORT(glPolygonMode)
STANDIN_IMPORT(glLightfv)
STANDIN_IMPORT(glGenTextures)
STANDIN_IMPORT(glDeleteTextures)
STANDIN_IMPORT(glTexParameteri)
STANDIN_IMPORT(glReadBuffer)
STANDIN_IMPORT(glCopyTexImage2D)
STANDIN_IMPORT(glGetIntegerv)
STANDIN_IMPORT(gluPerspective)
#endif
