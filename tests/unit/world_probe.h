#pragma once

// A world object for the manager's tests: it logs every call the manager makes on it
// ("a tick", "a hit b", "a render", "a deleted", ...) into a log shared by a test.

#include "gamemanager.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

using EventLog = std::vector<std::string>;

class Probe : public CollidableObject {
  public:
    Probe(EventLog& log, std::string name, Vect3d at = Vect3d(), float r = 0.6f)
        : name(std::move(name)), log_(log) {
        pos = at;
        radius = r;
    }
    ~Probe() override { Log("deleted"); }

    std::string name;
    std::function<void(Probe&)> onTick;  // the rest of this object's step, after it is logged
    bool diesOnContact = false;          // as the ship and the stars do

    void tick() override {
        Log("tick");
        if (onTick) onTick(*this);
    }
    void collided(GameObject* other) override {
        Log("hit " + NameOf(other));
        if (diesOnContact) dead = true;
    }
    void renderBackground() override { Log("background"); }
    void render() override { Log("render"); }
    void renderForeground() override { Log("foreground"); }

    static std::string NameOf(GameObject* o) {
        auto* p = dynamic_cast<Probe*>(o);
        return p != nullptr ? p->name : "?";
    }

  protected:
    void Log(const std::string& what) { log_.push_back(name + " " + what); }

  private:
    EventLog& log_;
};
