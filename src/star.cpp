#include "star.h"

#include "gamemanager.h"
#include "opengl.h"
#include "resources.h"
#include "ship.h"
#include "utils.h"

namespace {

constexpr double SpinStep = 0.5;   // degrees per tick
constexpr float GlowStep = 0.1f;   // pulses every ten ticks or so
constexpr float GlowSwing = 0.2f;  // alpha swings from 0.5 up to 0.5 + GlowSwing
constexpr double StarFriction = 0.005;
constexpr double Pi = 3.141592653589793;

}  // namespace

Star::Star() : spin(FloatRand() * 360) { radius = 0.7f; }

void Star::tick() {
    spin += SpinStep;
    if (spin < -180) spin += 360;
    if (spin > 180) spin -= 360;
    glowPhase += GlowStep;
    if (glowPhase > 1.0) {
        glowPhase -= 1.0f;
    }
    pos += vel;
    manager->registerStarPos(this);
    ApplyFriction(vel, StarFriction);
}

// Unlit, so the flame texture shows at full brightness; the poles lie on the y axis.
void Star::render() {
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::FlameTexture]);
    glPushMatrix();
    glTranslatef(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z));
    glRotatef(static_cast<float>(spin), 0, 1, 0);
    DrawSphere(Vect3d(), radius, 12, 1, 0.0, 2 * Pi, -Pi / 2, Pi / 2);
    glPopMatrix();
}

void Star::renderBackground() {}

// Drawn without depth test after every model, so the glow covers what it overlaps.
void Star::renderForeground() {
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const float p = glowPhase;
    const double alpha = p > 0.5 ? 0.5 + 2 * GlowSwing * (1 - p) : 0.5 + 2 * GlowSwing * p;
    glColor4f(1, 1, 1, static_cast<float>(alpha));
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::GlowTexture]);
    glPushMatrix();
    const float s = static_cast<float>(3.0 * radius);
    glTranslatef(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z));
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-s, -s);
    glTexCoord2f(1, 0);
    glVertex2f(s, -s);
    glTexCoord2f(1, 1);
    glVertex2f(s, s);
    glTexCoord2f(0, 1);
    glVertex2f(-s, s);
    glEnd();
    glPopMatrix();
    manager->showRadar(pos, 1.0f, 1.0f, 0.5f);  // pale yellow
}

void Star::collided(GameObject* other) {
    (void)other;
    dead = true;
    manager->createExplosion(this);
}
