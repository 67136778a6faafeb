#pragma once

#include "gameobject.h"
#include "resources.h"
#include "vector3d.h"

#include <vector>

// One goal circle of a level.
struct Goal {
    Vect3d pos;
    double radius = 1.2;
    bool filled = false;  // a star lies wholly inside it in the current tick
};

// A short-lived glowing spot (exhaust, explosion debris), held by value.
struct Particle {
    Vect3d pos;
    Vect3d vel;         // world units per tick, constant for its life
    double size = 0.1;  // half-diagonal of the drawn diamond
    int maxLife = 100;  // ticks it was given; it fades over the last third
    int life = 100;     // ticks left
    float r = 1.0f, g = 1.0f, b = 1.0f;
};

bool IsParticleDead(const Particle& p);

// The world of one level attempt: objects, goals, particles, camera and pointer.
class GameManager {
  public:
    // The manager owns every object in these three lists and deletes each exactly once.
    std::vector<GameObject*> objects;      // live, in tick, collision and drawing order
    std::vector<GameObject*> deadObjects;  // died last tick; deleted at the start of the next
    std::vector<GameObject*> newObjects;   // handed over since the last tick; join the next one
    std::vector<Goal> goals;
    std::vector<Particle> particles;
    GameObject* ship = nullptr;  // the camera follows it; null once it is dead
    Vect3d camera;               // view centre, world units
    Vect3d cameraOffset;
    int goalsFilled = 0;                     // goals filled in the current tick
    float pointerX = 0.0f, pointerY = 0.0f;  // mouse pointer on the plane z = 0, world units

    GameManager();
    ~GameManager();
    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

    void cleanList(std::vector<GameObject*>& list);
    // One simulation step. An object created during a tick joins the next one.
    void tick();
    void render();

    // Services for objects.
    // Nearest collidable live-list object to p other than `except`; dead ones still count.
    GameObject* findNearestCollidableExcept(Vect3d p, GameObject* except);
    void registerStarPos(GameObject* star);
    // A dead object is still tested for the rest of its tick.
    void collideTest();
    void handleCollision(GameObject* a, GameObject* b);
    void resetGoals();
    void triggerSound(ResourceManager::SampleType type, const Vect3d& where);

    // Particles.
    void tickParticles();
    void renderParticles();
    void createExplosion(GameObject* obj);

    // Pointer, goals and radar.
    void tickPointer();
    void renderPointer();
    void renderGoals();
    void showRadar(Vect3d target, float r, float g, float b);
};
