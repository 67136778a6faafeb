#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "utils.h"
#include "world_probe.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

Particle MakeParticle(double x, int life, int maxLife) {
    Particle p;
    p.pos = Vect3d(x, 0, 0);
    p.life = life;
    p.maxLife = maxLife;
    return p;
}

bool IsWhite(const Particle& p) { return p.r == 1.0f && p.g == 1.0f && p.b == 1.0f; }

class ParticleTest : public ::testing::Test {
  protected:
    void SetUp() override { glrec::Reset(); }

    // Draws the particles and returns the fans, one per drawn particle.
    std::vector<glrec::Primitive> Draw() {
        glrec::Reset();
        manager.renderParticles();
        return glrec::Primitives();
    }
    double AlphaOf(int life, int maxLife) {
        manager.particles = {MakeParticle(0, life, maxLife)};
        const auto fans = Draw();
        return fans.at(0).vertices.at(0).a;
    }
    std::vector<double> Positions() const {
        std::vector<double> xs;
        for (const Particle& p : manager.particles) xs.push_back(p.pos.x);
        return xs;
    }

    EventLog log;
    GameManager manager;
};

TEST(Particle, StartsAsATenthOfAUnitWithAHundredTicksToLive) {
    const Particle p;
    EXPECT_EQ(p.size, 0.1);
    EXPECT_EQ(p.maxLife, 100);
    EXPECT_EQ(p.life, 100);
}

TEST(Particle, IsDeadOnceNoLifeIsLeft) {
    EXPECT_FALSE(IsParticleDead(MakeParticle(0, 1, 6)));
    EXPECT_TRUE(IsParticleDead(MakeParticle(0, 0, 6)));
    EXPECT_TRUE(IsParticleDead(MakeParticle(0, -1, 6)));
}

TEST_F(ParticleTest, StepMovesByTheVelocityAndAgesOneTick) {
    Particle p = MakeParticle(1, 10, 10);
    p.vel = Vect3d(0.25, -0.5, 0.125);
    manager.particles = {p};
    manager.tickParticles();
    ASSERT_EQ(manager.particles.size(), 1u);
    EXPECT_EQ(manager.particles[0].pos.x, 1.25);
    EXPECT_EQ(manager.particles[0].pos.y, -0.5);
    EXPECT_EQ(manager.particles[0].pos.z, 0.125);
    EXPECT_EQ(manager.particles[0].life, 9);
    EXPECT_EQ(manager.particles[0].maxLife, 10);
}

TEST_F(ParticleTest, ParticleWithOneTickToLiveIsRemovedInItsTickAndNeverDrawn) {
    manager.particles = {MakeParticle(0, 1, 1)};
    manager.tick();
    EXPECT_TRUE(manager.particles.empty());
    EXPECT_TRUE(Draw().empty());
}

TEST_F(ParticleTest, RemovalKeepsTheSurvivorsInCreationOrder) {
    manager.particles = {MakeParticle(1, 3, 3), MakeParticle(2, 1, 3), MakeParticle(3, 2, 3),
                         MakeParticle(4, 1, 3), MakeParticle(5, 4, 4)};
    manager.tickParticles();
    EXPECT_EQ(Positions(), (std::vector<double>{1, 3, 5}));
    const auto fans = Draw();
    ASSERT_EQ(fans.size(), 3u);
    EXPECT_EQ(fans[0].vertices[0].x, 1);
    EXPECT_EQ(fans[1].vertices[0].x, 3);
    EXPECT_EQ(fans[2].vertices[0].x, 5);
}

TEST_F(ParticleTest, FadesOnlyBelowTheWholeThirdOfItsLife) {
    EXPECT_EQ(AlphaOf(2, 6), 1.0);  // life equal to the third: still opaque
    EXPECT_EQ(AlphaOf(1, 6), 0.5);
    EXPECT_EQ(AlphaOf(33, 100), 1.0);  // the third of 100 is 33, not 33.3
    EXPECT_FLOAT_EQ(AlphaOf(32, 100), 0.96f);
    EXPECT_FLOAT_EQ(AlphaOf(1, 100), 0.03f);
    EXPECT_EQ(AlphaOf(1, 5), 1.0);  // third 1: 1 is not below it
    EXPECT_EQ(AlphaOf(1, 2), 1.0);  // third 0: never fades
    EXPECT_EQ(AlphaOf(1, 1), 1.0);
}

TEST_F(ParticleTest, IsDrawnAsADiamondFanFadingToItsCorners) {
    Particle p = MakeParticle(1, 50, 100);
    p.pos = Vect3d(1, 2, 3);
    p.size = 0.5;
    p.r = 0.25f, p.g = 0.5f, p.b = 0.75f;
    Particle fading = MakeParticle(-4, 1, 6);  // half-way through its last third
    fading.r = fading.g = fading.b = 0.5f;
    manager.particles = {p, fading};
    Draw();
    // Centre in full colour, then the corners transparent from the top anticlockwise,
    // back to the top.
    const glrec::Trace first = {{"glColor4f", {0.25f, 0.5f, 0.75f, 1}},
                                {"glVertex3f", {1, 2, 3}},
                                {"glColor4f", {0.25f, 0.5f, 0.75f, 0}},
                                {"glVertex3f", {1, 2.5, 3}},
                                {"glVertex3f", {0.5, 2, 3}},
                                {"glVertex3f", {1, 1.5, 3}},
                                {"glVertex3f", {1.5, 2, 3}},
                                {"glVertex3f", {1, 2.5, 3}}};
    const glrec::Trace second = {
        {"glColor4f", {0.5f, 0.5f, 0.5f, 0.5f}}, {"glVertex3f", {-4, 0, 0}},
        {"glColor4f", {0.5f, 0.5f, 0.5f, 0}},    {"glVertex3f", {-4, 0.1f, 0}},
        {"glVertex3f", {-4.1f, 0, 0}},           {"glVertex3f", {-4, -0.1f, 0}},
        {"glVertex3f", {-3.9f, 0, 0}},           {"glVertex3f", {-4, 0.1f, 0}}};
    EXPECT_EQ(glrec::Mismatch(glrec::CallsFrom(4),
                              glrec::Concat({glrec::Block(GL_TRIANGLE_FAN, first),
                                             glrec::Block(GL_TRIANGLE_FAN, second)})),
              "");
}

TEST_F(ParticleTest, DrawingBlendsWithoutTextureOrLightingEvenWithNoParticles) {
    Draw();
    const auto& calls = glrec::Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].name, "glEnable");
    EXPECT_EQ(calls[0].args[0], GL_BLEND);
    EXPECT_EQ(calls[1].name, "glDisable");
    EXPECT_EQ(calls[1].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[2].name, "glDisable");
    EXPECT_EQ(calls[2].args[0], GL_LIGHTING);
    EXPECT_EQ(calls[3].name, "glBlendFunc");
    EXPECT_EQ(calls[3].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
}

// --- Explosions ---

TEST_F(ParticleTest, ExplosionAppendsAFlashTwiceTheRadiusThenTenDebris) {
    manager.particles = {MakeParticle(-9, 50, 100)};
    Probe ship(log, "ship", {3, 4, 0}, 0.6f);
    manager.createExplosion(&ship);
    ASSERT_EQ(manager.particles.size(), 12u);
    EXPECT_EQ(manager.particles[0].pos.x, -9);  // what was there stays first

    const Particle& flash = manager.particles[1];
    EXPECT_EQ(flash.pos.x, 3);
    EXPECT_EQ(flash.pos.y, 4);
    EXPECT_EQ(flash.vel.lengthSquared(), 0.0);
    EXPECT_EQ(flash.size, 2 * static_cast<double>(0.6f));  // 1.2 from the float radius
    EXPECT_EQ(flash.life, 6);
    EXPECT_EQ(flash.maxLife, 6);
    EXPECT_TRUE(IsWhite(flash));

    for (std::size_t i = 2; i < manager.particles.size(); ++i) {
        const Particle& d = manager.particles[i];
        EXPECT_EQ(d.pos.x, 3);
        EXPECT_EQ(d.pos.y, 4);
        EXPECT_LE(std::fabs(d.vel.x), 0.05);
        EXPECT_LE(std::fabs(d.vel.y), 0.05);
        EXPECT_EQ(d.vel.z, 0.0);
        EXPECT_EQ(d.size, 0.1);
        EXPECT_EQ(d.life, 100);
        EXPECT_EQ(d.maxLife, 100);
        EXPECT_TRUE(IsWhite(d)) << i;
    }
}

TEST_F(ParticleTest, StarFlashIsTwiceTheStarRadius) {
    Probe star(log, "star", {0, 0, 0}, 0.7f);
    manager.createExplosion(&star);
    EXPECT_EQ(manager.particles.at(0).size, 2 * static_cast<double>(0.7f));  // 1.4
}

TEST_F(ParticleTest, DebrisTakesItsXThenItsYFromTheRandomSequence) {
    ResetGameRand();
    std::vector<double> expected;
    for (int i = 0; i < 20; ++i) expected.push_back(0.05 - 0.1 * FloatRand());
    ResetGameRand();
    Probe star(log, "star", {0, 0, 0}, 0.7f);
    manager.createExplosion(&star);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(manager.particles.at(1 + i).vel.x, expected[2 * i]) << i;
        EXPECT_EQ(manager.particles.at(1 + i).vel.y, expected[2 * i + 1]) << i;
    }
}

TEST_F(ParticleTest, FlashIsDrawnFiveTimesTheLastAtHalfOpacityAndDebris99Times) {
    Probe* ship = new Probe(log, "ship", {0, 0, 0}, 0.6f);
    ship->manager = &manager;
    ship->onTick = [](Probe& self) {
        self.manager->createExplosion(&self);
        self.dead = true;  // so it ticks, and explodes, only once
    };
    manager.newObjects.push_back(ship);

    std::vector<double> flashAlphas;
    int debrisFrames = 0;
    for (int frame = 0; frame < 120; ++frame) {
        manager.tick();
        for (const glrec::Primitive& fan : Draw()) {
            const double size = fan.vertices.at(1).y - fan.vertices.at(0).y;
            if (size > 1) {
                flashAlphas.push_back(fan.vertices[0].a);
            } else {
                ++debrisFrames;
            }
        }
    }
    EXPECT_EQ(flashAlphas, (std::vector<double>{1, 1, 1, 1, 0.5}));
    EXPECT_EQ(debrisFrames, 99 * 10);
}

}  // namespace
