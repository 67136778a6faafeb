#include "gamemanager.h"
#include "glrecorder.h"
#include "opengl.h"
#include "resources.h"
#include "utils.h"
#include "world_probe.h"

#include <allegro.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int PointerTextureName = 77;

// The state a capability was last set to in the recorded calls: "on", "off" or "unset".
std::string LastState(GLenum cap) {
    const auto& calls = glrec::Calls();
    for (auto c = calls.rbegin(); c != calls.rend(); ++c) {
        if ((c->name == "glEnable" || c->name == "glDisable") && c->args[0] == cap) {
            return c->name == "glEnable" ? "on" : "off";
        }
    }
    return "unset";
}

// A probe that also notes whether depth testing was on when each pass reached it.
class Painter : public Probe {
  public:
    using Probe::Probe;
    void renderBackground() override { Log("background"); }
    void render() override { Log("render depth " + LastState(GL_DEPTH_TEST)); }
    void renderForeground() override { Log("foreground depth " + LastState(GL_DEPTH_TEST)); }
};

// Keys, mouse and the pointer texture slot are globals: each test restores them.
class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMouse[0] = mouse_x;
        savedMouse[1] = mouse_y;
        savedTextures = resourceManager.textures;
        resourceManager.textures.assign(ResourceManager::NumTextureSlots, 0);
        resourceManager.textures[ResourceManager::PointerTexture] = PointerTextureName;
        glrec::Reset();
    }
    void TearDown() override {
        mouse_x = savedMouse[0];
        mouse_y = savedMouse[1];
        resourceManager.textures = savedTextures;
    }
    static void MoveMouse(int x, int y) {
        mouse_x = x;
        mouse_y = y;
    }
    void AddGoal(Vect3d at, bool filled) {
        Goal g;
        g.pos = at;
        g.radius = 1.2;
        g.filled = filled;
        manager.goals.push_back(g);
    }
    std::vector<unsigned> Modes() const {
        std::vector<unsigned> modes;
        for (const glrec::Primitive& p : glrec::Primitives()) modes.push_back(p.mode);
        return modes;
    }

    int savedMouse[2] = {0, 0};
    std::vector<int> savedTextures;
    EventLog log;
    GameManager manager;
};

// --- Pointer mapping ---

TEST_F(RenderTest, MouseAtTheScreenCentreIsAtTheCamera) {
    MoveMouse(512, 384);
    manager.camera = Vect3d(3, -2, 0);
    manager.tickPointer();
    EXPECT_EQ(manager.pointerX, 3.0f);
    EXPECT_EQ(manager.pointerY, -2.0f);
}

TEST_F(RenderTest, MouseAtTheTopLeftCornerIsHalfAViewUpAndLeft) {
    MoveMouse(0, 0);
    manager.camera = Vect3d(3, -2, 0);
    manager.tickPointer();
    EXPECT_FLOAT_EQ(manager.pointerX, 3 - 6.666667f);
    EXPECT_FLOAT_EQ(manager.pointerY, -2 + 5.0f);
}

TEST_F(RenderTest, MouseAtTheLastPixelIsOnePixelShortOfTheBottomRight) {
    MoveMouse(1023, 767);
    manager.tickPointer();
    EXPECT_FLOAT_EQ(manager.pointerX, 6.653646f);
    EXPECT_FLOAT_EQ(manager.pointerY, -4.986979f);
    manager.camera = Vect3d(10, 20, 0);
    manager.tickPointer();
    EXPECT_FLOAT_EQ(manager.pointerX, 16.653646f);
    EXPECT_FLOAT_EQ(manager.pointerY, 15.013021f);
}

TEST_F(RenderTest, ConstructorMapsTheMouseOnceAroundTheOrigin) {
    MoveMouse(0, 768);
    GameManager fresh;
    EXPECT_FLOAT_EQ(fresh.pointerX, -6.666667f);
    EXPECT_FLOAT_EQ(fresh.pointerY, -5.0f);
    MoveMouse(512, 384);
    fresh.render();
    EXPECT_FLOAT_EQ(fresh.pointerX, -6.666667f);  // drawing does not follow the mouse
}

TEST_F(RenderTest, PointerIsMappedBeforeTheCameraFollowsTheShip) {
    MoveMouse(512, 384);
    auto* ship = new Probe(log, "ship", {5, 5, 0});
    ship->manager = &manager;
    manager.newObjects.push_back(ship);
    manager.ship = ship;
    manager.tick();
    EXPECT_EQ(manager.pointerX, 0.0f);  // one tick of camera movement behind
    EXPECT_EQ(manager.camera.x, 5.0);
    manager.tick();
    EXPECT_EQ(manager.pointerX, 5.0f);
    EXPECT_EQ(manager.pointerY, 5.0f);
}

// --- Drawing the pointer ---

TEST_F(RenderTest, PointerIsATexturedQuadPointTwoAroundThePointer) {
    manager.pointerX = 1.5f;
    manager.pointerY = -2.0f;
    manager.renderPointer();
    EXPECT_EQ(
        glrec::Mismatch(
            glrec::Calls(),
            glrec::Concat(
                {{{"glDisable", {GL_DEPTH_TEST}},
                  {"glEnable", {GL_BLEND}},
                  {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
                  {"glBindTexture", {GL_TEXTURE_2D, PointerTextureName}},
                  {"glEnable", {GL_TEXTURE_2D}},
                  {"glColor3f", {1, 1, 1}}},
                 glrec::Block(GL_QUADS, glrec::Corners("glVertex3f", {{0, 0, 1.3f, -2.2f, 0},
                                                                      {1, 0, 1.7f, -2.2f, 0},
                                                                      {1, 1, 1.7f, -1.8f, 0},
                                                                      {0, 1, 1.3f, -1.8f, 0}}))})),
        "");
}

// --- The world's passes ---

TEST_F(RenderTest, EmptyWorldDrawsOnlyThePointer) {
    manager.render();
    EXPECT_EQ(Modes(), (std::vector<unsigned>{GL_QUADS}));
}

TEST_F(RenderTest, PassesRunInOrderThenParticlesGoalsAndThePointer) {
    for (const char* name : {"field", "ship"}) manager.objects.push_back(new Painter(log, name));
    manager.particles.push_back(Particle());
    AddGoal({1, 0, 0}, false);
    glEnable(GL_DEPTH_TEST);  // as the frame loop leaves it
    manager.render();
    EXPECT_EQ(log, (EventLog{"field background", "ship background", "field render depth on",
                             "ship render depth on", "field foreground depth off",
                             "ship foreground depth off"}));
    EXPECT_EQ(Modes(), (std::vector<unsigned>{GL_TRIANGLE_FAN, GL_LINE_LOOP, GL_QUADS}));
}

TEST_F(RenderTest, RenderLeavesBlendingAndThePointerTextureOnAndLightingOff) {
    AddGoal({1, 0, 0}, true);
    AddGoal({20, 0, 0}, false);
    manager.render();
    EXPECT_EQ(LastState(GL_DEPTH_TEST), "off");
    EXPECT_EQ(LastState(GL_BLEND), "on");
    EXPECT_EQ(LastState(GL_TEXTURE_2D), "on");
    EXPECT_EQ(LastState(GL_LIGHTING), "off");
    EXPECT_EQ(glrec::Named("glBlendFunc").back().args,
              (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_EQ(glrec::Named("glBindTexture").back().args,
              (std::vector<double>{GL_TEXTURE_2D, PointerTextureName}));
}

// --- Goals and radar ---

TEST_F(RenderTest, FilledGoalIsAGreenCircleAndAnEmptyOneRed) {
    AddGoal({1, 1, 0}, true);
    AddGoal({-2, 0, 0}, false);  // both on screen: no radar marks
    const auto circle = [](Vect3d at) { return glrec::Recorded([at] { DrawCircle(at, 1.2); }); };
    manager.renderGoals();
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), glrec::Concat({{{"glDisable", {GL_LIGHTING}},
                                                              {"glDisable", {GL_BLEND}},
                                                              {"glDisable", {GL_DEPTH_TEST}},
                                                              {"glDisable", {GL_TEXTURE_2D}},
                                                              {"glColor3f", {0.5f, 1, 0.5f}}},
                                                             circle({1, 1, 0}),
                                                             {{"glColor3f", {1, 0.5f, 0.5f}}},
                                                             circle({-2, 0, 0})})),
              "");
}

TEST_F(RenderTest, GoalOutOfViewGetsARadarMarkInItsColour) {
    manager.camera = Vect3d(10, 10, 0);
    AddGoal({10 + 6.7 * 0.6, 10 + 6.7 * 0.8, 0}, true);
    manager.renderGoals();
    const auto prims = glrec::Primitives();
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_EQ(prims[1].mode, static_cast<unsigned>(GL_LINES));
    ASSERT_EQ(prims[1].vertices.size(), 2u);
    const glrec::Vertex& outer = prims[1].vertices[0];
    const glrec::Vertex& inner = prims[1].vertices[1];
    EXPECT_FLOAT_EQ(outer.x, 13.0f);
    EXPECT_FLOAT_EQ(outer.y, 14.0f);
    EXPECT_FLOAT_EQ(inner.x, 12.7f);
    EXPECT_FLOAT_EQ(inner.y, 13.6f);
    EXPECT_EQ(outer.r, 0.5);
    EXPECT_EQ(outer.g, 1.0);
    EXPECT_EQ(outer.b, 0.5);
}

TEST_F(RenderTest, GoalTurnsRedInTheFirstFrameItsStarIsOut) {
    AddGoal({0, 0, 0}, false);
    auto* star = new Probe(log, "star", {0.1, 0, 0}, 0.7f);
    star->manager = &manager;
    star->vel = Vect3d(0.2, 0, 0);
    star->onTick = [](Probe& self) {
        self.pos += self.vel;
        self.manager->registerStarPos(&self);
    };
    manager.newObjects.push_back(star);
    std::vector<double> reds;  // centre at 0.3, 0.5, 0.7, 0.9
    for (int frame = 0; frame < 4; ++frame) {
        manager.tick();
        glrec::Reset();
        manager.renderGoals();
        reds.push_back(glrec::Primitives().at(0).vertices.at(0).r);
    }
    EXPECT_EQ(reds, (std::vector<double>{0.5, 0.5, 1, 1}));
}

class RadarTest : public RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        manager.camera = Vect3d(-3, 2, 0);
    }
    // Radar marks drawn towards a target this far from the camera, in this direction.
    std::vector<glrec::Primitive> MarksAt(double dx, double dy) {
        glrec::Reset();
        manager.showRadar(manager.camera + Vect3d(dx, dy, 0), 0.25f, 0.5f, 0.75f);
        return glrec::Primitives();
    }
};

TEST_F(RadarTest, TargetWithinHalfTheViewWidthGetsNoMark) {
    EXPECT_TRUE(MarksAt(6.6, 0).empty());
    EXPECT_TRUE(MarksAt(0, -6.6).empty());
}

TEST_F(RadarTest, TargetBeyondHalfTheViewWidthGetsADashFrom5To4_5Units) {
    const auto marks = MarksAt(0, -6.7);
    ASSERT_EQ(marks.size(), 1u);
    ASSERT_EQ(marks[0].vertices.size(), 2u);
    EXPECT_FLOAT_EQ(marks[0].vertices[0].y, -3.0f);
    EXPECT_FLOAT_EQ(marks[0].vertices[1].y, -2.5f);

    MarksAt(0, -8);  // straight down: the unit direction is exact
    EXPECT_EQ(glrec::Mismatch(glrec::Calls(), {{"glDisable", {GL_TEXTURE_2D}},
                                               {"glDisable", {GL_LIGHTING}},
                                               {"glDisable", {GL_BLEND}},
                                               {"glColor3f", {0.25f, 0.5f, 0.75f}},
                                               {"glBegin", {GL_LINES}},
                                               {"glVertex3f", {-3, -3, 0}},
                                               {"glVertex3f", {-3, -2.5, 0}},
                                               {"glEnd", {}}}),
              "");
}

TEST_F(RadarTest, ThresholdIsTheSinglePrecisionConstant) {
    // 6.6666671 squared lies between 44.44445 and 44.44445f (44.44445037841797).
    EXPECT_TRUE(MarksAt(6.6666671, 0).empty());
    EXPECT_EQ(MarksAt(6.6666672, 0).size(), 1u);
    // 6.666667111714666 squared is 44.44445f exactly: not beyond it, so still no mark.
    EXPECT_TRUE(MarksAt(6.666667111714666, 0).empty());
}

TEST_F(RadarTest, TargetAtTheCameraDrawsNothingAtAll) {
    MarksAt(0, 0);
    EXPECT_TRUE(glrec::Calls().empty());
}

}  // namespace
