#include "worldview.h"

#include "game.h"
#include "gamemanager.h"
#include "ship.h"
#include "star.h"

namespace autopilot {

namespace {

void AddStars(const std::vector<GameObject*>& list, std::vector<StarView>& stars) {
    for (const GameObject* o : list) {
        if (dynamic_cast<const Star*>(o) != nullptr && !o->dead) {
            stars.push_back({o, o->pos, o->vel});
        }
    }
}

}  // namespace

WorldView Observe(const GameManager& manager) {
    WorldView w;
    if (const auto* ship = dynamic_cast<const Ship*>(manager.ship);
        ship != nullptr && !ship->dead) {
        w.shipAlive = true;
        w.ship = {ship->pos, ship->vel, ship->heading};
    }
    AddStars(manager.objects, w.stars);
    AddStars(manager.newObjects, w.stars);
    for (const Goal& g : manager.goals) {
        w.goals.push_back(g.pos);
    }
    w.camera = manager.camera;
    w.fuel = playerInfo.fuel;
    return w;
}

}  // namespace autopilot
