#pragma once

#include "game.h"
#include "gamemanager.h"
#include "glrecorder.h"
#include "star.h"

#include <allegro.h>

#include <gtest/gtest.h>
#include <vector>

// A fresh manager and player record for every test, with the mouse buttons up and the
// OpenGL log empty; the manager owns whatever a test hands it.
class WorldTest : public ::testing::Test {
  protected:
    GameManager manager;

    void SetUp() override {
        playerInfo = PlayerInfo();
        mouse_b = 0;
        glrec::Reset();
    }
    void TearDown() override {
        mouse_b = 0;
        playerInfo = PlayerInfo();
    }

    // A star at rest at (x, y), handed to the manager through `list`.
    Star* AddStar(double x, double y, std::vector<GameObject*>& list) {
        auto* star = new Star();
        star->manager = &manager;
        star->pos = Vect3d(x, y, 0);
        list.push_back(star);
        return star;
    }
};
