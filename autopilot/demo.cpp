#include "autopilot.h"
#include "game.h"
#include "gamemanager.h"

#include <allegro.h>

namespace {

autopilot::Autopilot pilot;

void DemoFrame(GameManager& manager) {
    // Before the first tick of a level attempt nothing has joined the live list yet: a fresh
    // level gets a fresh plan.
    if (manager.objects.empty()) {
        pilot = autopilot::Autopilot();
    }
    autopilot::ApplyInputs(pilot.decide(manager));
}

}  // namespace

int main(int argc, char** argv) { return RunGame(argc, argv, DemoFrame); }
END_OF_MAIN()
