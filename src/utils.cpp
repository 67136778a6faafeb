#include "utils.h"

#include "opengl.h"
#include "resources.h"
#include "window.h"

#include <alleggl.h>
#include <allegro.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {
// A 32-bit linear congruential generator whose high bits give the 15-bit output.
std::uint32_t randState = 1;
}  // namespace

int GameRand() {
    randState = randState * 1664525u + 1013904223u;
    return static_cast<int>((randState >> 16) & 0x7fffu);
}

void ResetGameRand() { randState = 1; }

float FloatRand() {
    // 1/32767 rounded to single precision (bit pattern 0x38000100): the product is
    // computed in float, so 32767 may come out a hair above 1.
    constexpr float InverseRandMax = 3.0518509e-05f;
    return static_cast<float>(GameRand()) * InverseRandMax;
}

void SetOrthoProjection() {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

void CheckGlError() {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        throw std::runtime_error("OpenGL error :" + std::to_string(error));
    }
}

namespace {

void SphereVertex(const Vect3d& centre, double r, double lat, double lon, double u, double v) {
    const Vect3d n(std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon));
    glNormal3f(n.x, n.y, n.z);
    glTexCoord2f(u, v);
    glVertex3f(centre.x + r * n.x, centre.y + r * n.y, centre.z + r * n.z);
}

}  // namespace

void DrawSphere(Vect3d centre, double radius, int slices, int triangleStrip, double lonStart,
                double lonEnd, double latStart, double latEnd) {
    if (slices <= 0) {
        return;  // nothing sensible to draw, and no division by zero
    }
    const double r = std::fabs(radius);
    const double n = slices;
    const double dLon = (lonEnd - lonStart) / n;
    const double dLat = (latEnd - latStart) / (n / 2);
    const double du = 1.0 / n;
    const double dv = 2.0 / n;
    // Rows are counted as reals, so an odd slice count gives one extra row past latEnd.
    double lat0 = latStart;
    double vLow = 0.0;
    for (int i = 0; i < n / 2; ++i) {
        const double lat1 = lat0 + dLat;
        const double vHigh = vLow + dv;
        glBegin(triangleStrip ? GL_TRIANGLE_STRIP : GL_QUAD_STRIP);
        double lon = lonStart;
        double u = 0.0;
        for (int j = 0; j <= slices; ++j) {
            SphereVertex(centre, r, lat0, lon, u, vLow);
            SphereVertex(centre, r, lat1, lon, u, vHigh);
            lon += dLon;
            u += du;
        }
        glEnd();
        lat0 = lat1;
        vLow = vHigh;
    }
}

void DrawCircle(Vect3d centre, double radius) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 20; ++i) {
        const double a = i * 18 * 0.017453292519943295;
        glVertex2f(centre.x + radius * std::sin(a), centre.y + radius * std::cos(a));
    }
    glEnd();
}

namespace {

GLuint MakeTextTexture(const std::string& text) {
    BITMAP* bitmap = create_bitmap(512, 16);
    clear_to_color(bitmap, 0);
    textout_ex(bitmap, resourceManager.getFont(), text.c_str(), 1, 1, makecol(255, 255, 255), 0);
    const GLuint texture = allegro_gl_make_texture_ex(AGL_TEXTURE_FLIP, bitmap, GL_LUMINANCE8);
    destroy_bitmap(bitmap);
    return texture;
}

void DrawIntermissionFrame() {
    glClearColor(0, 0, 0.4f, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetOrthoProjection();
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 350);
    glTexCoord2f(1, 0);
    glVertex2f(512, 350);
    glTexCoord2f(1, 1);
    glVertex2f(512, 382);
    glTexCoord2f(0, 1);
    glVertex2f(0, 382);
    glEnd();
    allegro_gl_flip();
    rest(20);
}

}  // namespace

void ShowIntermission(const std::string& text) {
    const GLuint texture = MakeTextTexture(text);
    glBindTexture(GL_TEXTURE_2D, texture);
    int countdown = 200;
    do {
        --countdown;
        DrawIntermissionFrame();
        // The countdown is lowered before this test, so SPACE works from the 41st frame.
        if (key[KEY_SPACE] && countdown <= 159) {
            countdown = 0;
        }
        // Closing the window ends the screen as ESC does; the caller then ends the game.
        if (key[KEY_ESC] || closeRequested) {
            countdown = 0;
        }
    } while (countdown > 0);
    glDeleteTextures(1, &texture);
}
