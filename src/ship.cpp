#include "ship.h"

#include "game.h"
#include "gamemanager.h"
#include "opengl.h"
#include "resources.h"
#include "utils.h"

#include <allegro.h>

#include <cmath>

namespace {

constexpr double DegToRad = 0.017453292519943295;
constexpr double RadToDeg = 57.29577951308232;
constexpr double TurnStep = 3.0;  // degrees per tick
// Differences up to this snap onto the target; a float constant by design.
constexpr float SnapAngle = 2.9f;
constexpr float ThrustAccel = 0.004f;  // world units per tick², along the nose
constexpr double ShipFriction = 0.015;
// Beyond this squared distance (3.5 units) the beam cannot hold a target.
constexpr double BeamReachSquared = 12.25;
constexpr float ShipPull = 0.001f;         // velocity change per tick toward the target
constexpr float TargetPull = 0.00025f;     // a quarter of the ship's: the star is towed
constexpr float BeamHalfWidth = 0.6f;      // at the target's end
constexpr float BeamScrollStep = 0.01f;    // beam lengths per tick
constexpr float ModelScale = 0.06666667f;  // model units to world units (1/15)
constexpr int ExhaustLife = 15;            // ticks

// Brings an angle in degrees from (-540, 540) into [-180, 180].
double WrapDegrees(double a) {
    if (a < -180) a += 360;
    if (a > 180) a -= 360;
    return a;
}

Vect3d Forward(double heading) {
    const double h = heading * DegToRad;
    return {std::sin(h), std::cos(h), 0.0};
}

Vect3d Right(double heading) {
    const double h = heading * DegToRad;
    return {std::cos(h), -std::sin(h), 0.0};
}

}  // namespace

void ApplyFriction(Vect3d& v, double friction) {
    // Float literal on purpose: the stop threshold is 1e-8 as single precision.
    if (v.lengthSquared() > 1e-8f) {
        v = v * (1 - friction);
    } else {
        v = Vect3d();
    }
}

Ship::Ship() { radius = 0.6f; }

void Ship::tick() {
    steer();
    thrustOn = (mouse_b & 1) != 0;
    tractorOn = (mouse_b & 2) != 0;
    if (playerInfo.fuel <= 0) {
        thrustOn = false;
    }
    if (thrustOn) {
        const double h = heading * DegToRad;
        vel.x += std::sin(h) * ThrustAccel;
        vel.y += std::cos(h) * ThrustAccel;
        createExhaustParticles();
        playerInfo.fuel -= 1;
    }
    if (tractorOn) {
        applyTractorBeam();
    }
    pos += vel;
    ApplyFriction(vel, ShipFriction);
    beamScroll += BeamScrollStep;
    if (beamScroll > 1.0) {
        beamScroll -= 1.0f;
    }
}

// Turns the nose toward the pointer, at most TurnStep a tick, unless the pointer is
// within half a unit of the centre, where its direction is too jumpy to follow.
void Ship::steer() {
    const Vect3d d(manager->pointerX - pos.x, manager->pointerY - pos.y, 0 - pos.z);
    if (d.lengthSquared() <= 0.25) {
        return;
    }
    const double target = std::atan2(d.x, d.y) * RadToDeg;
    const double diff = WrapDegrees(target - heading);
    if (std::fabs(diff) > SnapAngle) {
        heading += diff > 0 ? TurnStep : -TurnStep;
    } else {
        heading = target;
    }
    heading = WrapDegrees(heading);
}

void Ship::render() {
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::ShipTexture]);
    glPushMatrix();
    glTranslatef(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z));
    // Clockwise seen from the camera, so the model's +y follows the heading.
    glRotatef(static_cast<float>(heading), 0, 0, -1);
    glScalef(ModelScale, ModelScale, ModelScale);
    resourceManager.models[ResourceManager::ShipModel].draw(true);
    glPopMatrix();
}

void Ship::renderBackground() {
    if (!tractorOn) {
        return;
    }
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::TractorTexture]);
    glColor4f(1, 1, 1, 0.5f);
    const Vect3d d = beamTarget - pos;
    const double len = d.length();
    const double wx = d.y / len * BeamHalfWidth;
    const double wy = -d.x / len * BeamHalfWidth;
    // One texture length along the beam; the repeat wrap carries coordinates up to 2.
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0.5f, beamScroll);
    glVertex3f(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z));
    glTexCoord2f(1, beamScroll + 1);
    glVertex3f(static_cast<float>(beamTarget.x + wx), static_cast<float>(beamTarget.y + wy),
               static_cast<float>(beamTarget.z));
    glTexCoord2f(0, beamScroll + 1);
    glVertex3f(static_cast<float>(beamTarget.x - wx), static_cast<float>(beamTarget.y - wy),
               static_cast<float>(beamTarget.z));
    glEnd();
}

void Ship::collided(GameObject* other) {
    (void)other;
    dead = true;
    manager->createExplosion(this);
    playerInfo.shipDestroyed = true;
}

// Only the object nearest the tail is tried: when it is out of reach the beam fails,
// even if another star would be in reach.
void Ship::applyTractorBeam() {
    const Vect3d offset = Forward(heading) * radius;
    const Vect3d probe(pos.x - offset.x, pos.y - offset.y, pos.z);
    GameObject* t = manager->findNearestCollidableExcept(probe, this);
    if (t == nullptr) {
        tractorOn = false;
        return;
    }
    const Vect3d d = t->pos - pos;  // from the centre, not from the probe
    const double distSquared = d.lengthSquared();
    const double r = radius;
    if (distSquared < r * r || distSquared > BeamReachSquared) {
        tractorOn = false;
        return;
    }
    beamTarget = t->pos;
    const double len = std::sqrt(distSquared);
    const Vect3d n(d.x / len, d.y / len, d.z / len);
    vel += n * ShipPull;
    t->vel -= n * TargetPull;
}

// Two nozzles behind the centre; the particles leave at a tenth of the offset per tick
// on top of the ship's velocity, which already holds this tick's thrust.
void Ship::createExhaustParticles() {
    const Vect3d back = Forward(heading) * (-0.7 * radius);
    const Vect3d side = Right(heading) * (0.2 * radius);
    Particle p;
    p.maxLife = ExhaustLife;
    p.life = ExhaustLife;
    p.r = p.g = p.b = 0.5f;
    p.vel = vel + back * 0.1;
    p.size = 0.1 + 0.1 * FloatRand();
    p.pos = pos + back + side;  // right nozzle
    manager->particles.push_back(p);
    p.size = 0.1 + 0.1 * FloatRand();
    p.pos = pos + back - side;  // left nozzle
    manager->particles.push_back(p);
}
