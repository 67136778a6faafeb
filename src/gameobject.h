#pragma once

#include "vector3d.h"

class GameManager;

// Base of every world object. The manager drives all objects alike through the
// virtual operations below; an object ends itself by setting `dead`, never by deleting itself.
class GameObject {
  public:
    GameManager* manager = nullptr;  // the owner, set by the creator before handing the object over
    bool dead = false;               // set only by the object itself; never cleared again
    bool collidable = false;         // takes part in collision tests and nearest-object searches
    Vect3d pos;                      // world units
    Vect3d vel;                      // world units per tick
    float radius = 0.0f;             // collision radius, world units

    GameObject() = default;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    virtual void render() {}            // object pass, depth test on
    virtual void renderBackground() {}  // first pass
    virtual void renderForeground() {}  // last object pass, depth test off
    virtual void tick() {}              // the object's whole simulation step; it moves itself
    // The two collision circles overlap in this tick. Must not delete `other` or touch the lists.
    virtual void collided(GameObject* other) { (void)other; }
    virtual ~GameObject() = default;
};

class CollidableObject : public GameObject {
  public:
    CollidableObject() { collidable = true; }
};

inline bool IsAlive(GameObject* o) { return !o->dead; }
inline bool IsDead(GameObject* o) { return o->dead; }
