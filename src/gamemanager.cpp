#include "gamemanager.h"

#include "opengl.h"
#include "utils.h"

#include <alleggl.h>
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

bool IsParticleDead(const Particle& p) { return p.life <= 0; }

// ---------------------------------------------------------------------------
// Lifecycle

GameManager::GameManager() {
    // The camera is still at the origin, so this is the pointer in plain screen terms.
    tickPointer();
}

GameManager::~GameManager() {
    cleanList(objects);
    cleanList(newObjects);
    cleanList(deadObjects);
}

void GameManager::cleanList(std::vector<GameObject*>& list) {
    for (GameObject* o : list) {
        delete o;  // a null entry is skipped by delete itself
    }
    list.clear();
}

namespace {

// Dead objects move, in list order, to the end of `dead`; the survivors keep their order.
void MoveDeadObjects(std::vector<GameObject*>& live, std::vector<GameObject*>& dead) {
    std::copy_if(live.begin(), live.end(), std::back_inserter(dead),
                 [](GameObject* o) { return !IsAlive(o); });
    live.erase(std::remove_if(live.begin(), live.end(), IsDead), live.end());
}

}  // namespace

void GameManager::tick() {
    resetGoals();
    tickPointer();
    cleanList(deadObjects);  // those that died in the previous tick
    objects.insert(objects.end(), newObjects.begin(), newObjects.end());
    newObjects.clear();
    // Objects handed over from here on go to newObjects and wait for the next tick.
    for (GameObject* o : objects) {
        o->tick();
    }
    collideTest();
    if (ship != nullptr) {
        if (ship->dead) {
            ship = nullptr;  // the camera stays where the ship was last seen
        } else {
            camera = ship->pos + cameraOffset;
        }
    }
    MoveDeadObjects(objects, deadObjects);
    tickParticles();
}

// ---------------------------------------------------------------------------
// Services for objects

GameObject* GameManager::findNearestCollidableExcept(Vect3d p, GameObject* except) {
    GameObject* best = nullptr;
    double bestDist = 1e9;  // squared world units; anything this far is never returned
    for (GameObject* o : objects) {
        if (o == except || !o->collidable) {
            continue;
        }
        const double dist = (o->pos - p).lengthSquared();
        if (dist < bestDist) {
            best = o;
            bestDist = dist;
        }
    }
    return best;
}

void GameManager::registerStarPos(GameObject* star) {
    for (Goal& g : goals) {
        if (g.filled) {
            continue;  // a goal counts once per tick however many stars lie in it
        }
        const double d2 = (g.pos - star->pos).lengthSquared();
        // The star's circle must lie wholly inside the goal's.
        const double m = g.radius - static_cast<double>(star->radius);
        if (d2 < m * m) {
            g.filled = true;
            ++goalsFilled;
        }
    }
}

void GameManager::collideTest() {
    // The dead flag is not consulted: an object that died earlier in this tick still collides.
    for (std::size_t i = 0; i < objects.size(); ++i) {
        GameObject* a = objects[i];
        if (!a->collidable) {
            continue;
        }
        for (std::size_t j = i + 1; j < objects.size(); ++j) {
            GameObject* b = objects[j];
            if (!b->collidable) {
                continue;
            }
            // The single-precision radii are widened before they are added.
            const double r = static_cast<double>(a->radius) + static_cast<double>(b->radius);
            if ((b->pos - a->pos).lengthSquared() < r * r) {
                handleCollision(a, b);
            }
        }
    }
}

void GameManager::handleCollision(GameObject* a, GameObject* b) {
    a->collided(b);
    b->collided(a);
}

void GameManager::resetGoals() {
    for (Goal& g : goals) {
        g.filled = false;
    }
    goalsFilled = 0;
}

void GameManager::triggerSound(ResourceManager::SampleType type, const Vect3d& where) {
    (void)where;  // every sound plays centred
    const auto& samples = resourceManager.samples;
    const auto slot = static_cast<std::size_t>(type);
    if (slot < samples.size() && samples[slot] != nullptr) {
        play_sample(samples[slot], 192, 128, 1000, 0);
    }
}

// ---------------------------------------------------------------------------
// Particles

void GameManager::tickParticles() {
    for (Particle& p : particles) {
        p.pos += p.vel;
        --p.life;
    }
    particles.erase(std::remove_if(particles.begin(), particles.end(), IsParticleDead),
                    particles.end());
}

namespace {

// Fully opaque until the last third of the particle's life, then fading linearly to nothing.
float ParticleAlpha(const Particle& p) {
    const int third = p.maxLife / 3;
    if (p.life < third) {
        return static_cast<float>(p.life * (1.0 / p.maxLife) * 3);
    }
    return 1.0f;
}

void DrawParticle(const Particle& p) {
    const Vect3d& c = p.pos;
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(p.r, p.g, p.b, ParticleAlpha(p));
    glVertex3f(c.x, c.y, c.z);
    glColor4f(p.r, p.g, p.b, 0.0f);
    glVertex3f(c.x, c.y + p.size, c.z);
    glVertex3f(c.x - p.size, c.y, c.z);
    glVertex3f(c.x, c.y - p.size, c.z);
    glVertex3f(c.x + p.size, c.y, c.z);
    glVertex3f(c.x, c.y + p.size, c.z);
    glEnd();
}

}  // namespace

void GameManager::renderParticles() {
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const Particle& p : particles) {
        DrawParticle(p);
    }
}

void GameManager::createExplosion(GameObject* obj) {
    Particle flash;
    flash.pos = obj->pos;
    flash.size = 2 * obj->radius;
    flash.life = flash.maxLife = 6;
    particles.push_back(flash);
    for (int i = 0; i < 10; ++i) {
        Particle debris;
        debris.pos = obj->pos;
        // Separate statements: x takes the first random value, y the second.
        debris.vel.x = 0.05 - 0.1 * FloatRand();
        debris.vel.y = 0.05 - 0.1 * FloatRand();
        particles.push_back(debris);
    }
}

// ---------------------------------------------------------------------------
// Pointer, goals, radar and the world

void GameManager::tickPointer() {
    // Single precision throughout: the view is 13.333334 x 10 world units on 1024 x 768 pixels.
    constexpr float InvWidth = 1.0f / 1024;
    constexpr float InvHeight = 1.0f / 768;
    constexpr float ViewWidth = 13.333334f;
    pointerX = static_cast<float>((mouse_x * InvWidth - 0.5f) * ViewWidth + camera.x);
    pointerY = static_cast<float>((0.5f - mouse_y * InvHeight) * 10 + camera.y);
}

void GameManager::render() {
    for (GameObject* o : objects) {
        o->renderBackground();
    }
    glEnable(GL_DEPTH_TEST);
    for (GameObject* o : objects) {
        o->render();
    }
    glDisable(GL_DEPTH_TEST);
    for (GameObject* o : objects) {
        o->renderForeground();
    }
    renderParticles();
    renderGoals();
    renderPointer();
}

void GameManager::renderPointer() {
    constexpr double Half = 0.2;  // world units
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::PointerTexture]);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(pointerX - Half, pointerY - Half, 0);
    glTexCoord2f(1, 0);
    glVertex3f(pointerX + Half, pointerY - Half, 0);
    glTexCoord2f(1, 1);
    glVertex3f(pointerX + Half, pointerY + Half, 0);
    glTexCoord2f(0, 1);
    glVertex3f(pointerX - Half, pointerY + Half, 0);
    glEnd();
}

void GameManager::renderGoals() {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    for (const Goal& goal : goals) {
        // Green while a star sits in it this tick, red otherwise.
        const float r = goal.filled ? 0.5f : 1.0f;
        const float g = goal.filled ? 1.0f : 0.5f;
        glColor3f(r, g, 0.5f);
        DrawCircle(goal.pos, goal.radius);
        showRadar(goal.pos, r, g, 0.5f);
    }
}

void GameManager::showRadar(Vect3d target, float r, float g, float b) {
    // Half the view's width, squared, in single precision: anything nearer may be on screen.
    constexpr float OnScreen = 44.44445f;
    const Vect3d d = target - camera;
    const double len2 = d.lengthSquared();
    if (!(len2 > OnScreen)) {
        return;  // also keeps a target at the camera from dividing by zero
    }
    const Vect3d u = d * (1 / std::sqrt(len2));
    const Vect3d outer = camera + u * 5;
    const Vect3d inner = camera + u * 4.5;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glColor3f(r, g, b);
    glBegin(GL_LINES);
    glVertex3f(outer.x, outer.y, outer.z);
    glVertex3f(inner.x, inner.y, inner.z);
    glEnd();
}
