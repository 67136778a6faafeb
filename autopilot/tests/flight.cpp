#include "flight.h"

#include "glrecorder.h"
#include "resources.h"
#include "star.h"

#include <allegro.h>

LevelRun::LevelRun(int level) {
    // Nothing loads the model table headless; the ship only needs its slot to exist.
    resourceManager.models.resize(ResourceManager::NumModelSlots);
    playerInfo = PlayerInfo();
    playerInfo.level = level;
    InitLevel(manager);
    glrec::Reset();  // the star field's painting is recorded; keep the log small
}

LevelRun::~LevelRun() {
    autopilot::ApplyInputs(autopilot::Inputs());
    glrec::Reset();
}

void LevelRun::tick(const autopilot::Inputs& inputs) {
    autopilot::ApplyInputs(inputs);
    manager.tick();
    CheckWinLose(manager);
    ++ticks;
    shipEverDestroyed = shipEverDestroyed || playerInfo.shipDestroyed;
}

int LevelRun::starsAlive() const {
    int n = 0;
    for (const auto* list : {&manager.objects, &manager.newObjects}) {
        for (const GameObject* o : *list) {
            n += dynamic_cast<const Star*>(o) != nullptr && !o->dead ? 1 : 0;
        }
    }
    return n;
}

Flight FlyLevel(int level, long tickBudget) {
    LevelRun run(level);
    const int stars = run.starsAlive();
    autopilot::Autopilot pilot;
    Flight f;
    while (!run.over() && run.ticks < tickBudget) {
        f.inputs.push_back(pilot.decide(run.manager));
        run.tick(f.inputs.back());
    }
    f.ticks = run.ticks;
    f.fuelLeft = playerInfo.fuel;
    f.starsLost = stars - run.starsAlive();
    f.shipEverDestroyed = run.shipEverDestroyed;
    f.won = playerInfo.levelComplete;
    f.failed = playerInfo.levelFailed;
    return f;
}
