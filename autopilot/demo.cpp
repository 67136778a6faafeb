#include "autopilot.h"
#include "game.h"
#include "gamemanager.h"

#include <allegro.h>

#include <cstdio>
#include <string>

namespace {

autopilot::Autopilot pilot;
std::string lastIntent;

void DemoFrame(GameManager& manager) {
    // Before the first tick of a level attempt nothing has joined the live list yet: a fresh
    // level gets a fresh pilot.
    if (manager.objects.empty()) {
        pilot = autopilot::Autopilot();
    }
    autopilot::ApplyInputs(pilot.decide(manager));
    // A running commentary for whoever watches from a terminal.
    if (pilot.intent() != lastIntent) {
        lastIntent = pilot.intent();
        std::printf("level %d: %s\n", playerInfo.level, lastIntent.c_str());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) { return RunGame(argc, argv, DemoFrame); }
END_OF_MAIN()
