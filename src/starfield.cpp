#include "starfield.h"

#include "gamemanager.h"
#include "opengl.h"
#include "resources.h"
#include "utils.h"

#include <cmath>

namespace {

constexpr int TextureSize = 512;  // pixels; one far-layer repeat
constexpr int NumSprites = 500;
constexpr int NumNearStars = 30;
constexpr float FarRepeat = 10.0f;  // world units per texture repeat at z = -10
constexpr float FarDepth = -10.0f;
constexpr float NearTile = 20.0f;  // the near layer repeats every NearTile units both ways

// One additive sprite as its nine wrapped copies, so the painted square tiles seamlessly.
void PaintSprite(int x, int y, int s) {
    for (int j = -1; j <= 1; ++j) {
        for (int k = -1; k <= 1; ++k) {
            const float left = static_cast<float>(x - s + TextureSize * j);
            const float right = static_cast<float>(x + s + TextureSize * j);
            const float bottom = static_cast<float>(y - s + TextureSize * k);
            const float top = static_cast<float>(y + s + TextureSize * k);
            glColor3f(1, 1, 1);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(left, bottom);
            glTexCoord2f(1, 0);
            glVertex2f(right, bottom);
            glTexCoord2f(1, 1);
            glVertex2f(right, top);
            glTexCoord2f(0, 1);
            glVertex2f(left, top);
            glEnd();
        }
    }
}

// Additive blending that brightens toward white without exceeding it.
void SetStarBlending(GLuint texture) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
}

void TexturedQuad(float x0, float y0, float x1, float y1, float z, float repeats) {
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, z);
    glTexCoord2f(repeats, 0);
    glVertex3f(x1, y0, z);
    glTexCoord2f(repeats, repeats);
    glVertex3f(x1, y1, z);
    glTexCoord2f(0, repeats);
    glVertex3f(x0, y1, z);
}

}  // namespace

StarField::~StarField() {
    if (fieldTexture != 0) {
        glDeleteTextures(1, &fieldTexture);
    }
}

// The pattern depends only on how many random numbers were drawn before, as the
// generator is never seeded.
void StarField::initTextures() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetOrthoProjection();
    SetStarBlending(resourceManager.textures[ResourceManager::StarTexture]);
    for (int i = 0; i < NumSprites; ++i) {
        const int x = GameRand() % TextureSize;
        const int y = GameRand() % TextureSize;
        const int c = GameRand();
        const int q = GameRand() % 4;
        int s = c % (q + 1) + 1;  // half-size in pixels; small ones are likelier
        if (i > 400) {
            s *= 2;
        }
        PaintSprite(x, y, s);
    }
    glGenTextures(1, &fieldTexture);
    glBindTexture(GL_TEXTURE_2D, fieldTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glReadBuffer(GL_BACK);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, TextureSize, TextureSize, 0);
    CheckGlError();
    glDisable(GL_BLEND);
}

void StarField::initStars() {
    nearStars.resize(NumNearStars);
    for (Vect3d& star : nearStars) {
        star.x = FloatRand() * NearTile;
        star.y = FloatRand() * NearTile;
        star.z = FloatRand() * -6 + -2;  // depth in [-8, -2]
    }
}

// The quad follows the camera in steps of one texture repeat, so the pattern stays
// fixed in the world; 40 x 40 units always cover the 20 x 15 seen at z = -10.
void StarField::renderBackground() {
    const Vect3d& c = manager->camera;
    // Snapped below the view's left and bottom edges (half-width 20/3 as a float, half-height 5).
    const float a = FarRepeat * std::floor(static_cast<float>((c.x - 6.6666667f) * 0.1));
    const float b = FarRepeat * std::floor(static_cast<float>((c.y - 5) * 0.1));
    SetStarBlending(fieldTexture);
    glColor3f(0.7f, 0.7f, 0.7f);
    glBegin(GL_QUADS);
    TexturedQuad(a - 10, b - 10, a + 30, b + 30, FarDepth, 4);
    glEnd();
    renderStars();
}

// Each star is drawn once inside the window [camera - 10, camera + 10] on each axis.
void StarField::renderStars() {
    SetStarBlending(resourceManager.textures[ResourceManager::StarTexture]);
    glBegin(GL_QUADS);
    const Vect3d& c = manager->camera;
    const float ox = NearTile * std::floor(static_cast<float>((c.x - 10) * 0.05));
    const float oy = NearTile * std::floor(static_cast<float>((c.y - 10) * 0.05));
    const float minX = static_cast<float>(c.x - 10);
    const float minY = static_cast<float>(c.y - 10);
    for (size_t i = 0; i < nearStars.size(); ++i) {
        const Vect3d& star = nearStars[i];
        double x = ox + star.x;
        if (x < minX) x += NearTile;
        double y = oy + star.y;
        if (y < minY) y += NearTile;
        // Later stars are larger: half-sizes 0.2 up to about 0.683 (1/30 as a float).
        const float h = static_cast<float>(0.2 + 0.5 * i * 0.033333335f);
        glColor3f(0.9f, 0.9f, 0.9f);
        TexturedQuad(static_cast<float>(x - h), static_cast<float>(y - h),
                     static_cast<float>(x + h), static_cast<float>(y + h),
                     static_cast<float>(star.z), 1);
    }
    glEnd();
}

void StarField::tick() {}
