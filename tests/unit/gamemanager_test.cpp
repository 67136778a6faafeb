#include "gamemanager.h"

#include "glrecorder.h"
#include "resources.h"
#include "world_probe.h"

#include <allegro.h>

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The limit the ship (0.6) and a star (0.7) collide within: their single-precision radii
// widened and added, 1.300000012 (the float sum would be 1.29999995).
const double ShipStarContact = static_cast<double>(0.6f) + static_cast<double>(0.7f);

std::vector<std::string> Names(const std::vector<GameObject*>& list) {
    std::vector<std::string> out;
    for (GameObject* o : list) out.push_back(Probe::NameOf(o));
    return out;
}

class GameManagerTest : public ::testing::Test {
  protected:
    EventLog log;
    GameManager manager;  // declared after the log, so it is destroyed first

    // Hands a new object to the manager as the level set-up does.
    Probe* Add(const std::string& name, Vect3d at = Vect3d(), float radius = 0.6f) {
        auto* p = new Probe(log, name, at, radius);
        p->manager = &manager;
        manager.newObjects.push_back(p);
        return p;
    }
    // Puts an object straight into the live list, as if it had joined in an earlier tick.
    Probe* AddLive(const std::string& name, Vect3d at = Vect3d(), float radius = 0.6f) {
        Probe* p = Add(name, at, radius);
        manager.newObjects.pop_back();
        manager.objects.push_back(p);
        return p;
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(log.begin(), log.end(), event));
    }
    bool AnyHit() const {
        return std::any_of(log.begin(), log.end(), [](const std::string& e) {
            return e.find(" hit ") != std::string::npos;
        });
    }
};

void Move(Probe& p) { p.pos += p.vel; }
void Die(Probe& p) { p.dead = true; }

// --- Object lifecycle ---

TEST_F(GameManagerTest, EmptyManagerTicksWithoutEffect) {
    manager.tick();
    EXPECT_TRUE(manager.objects.empty());
    EXPECT_TRUE(manager.particles.empty());
    EXPECT_EQ(manager.goalsFilled, 0);
    EXPECT_EQ(manager.camera.x, 0.0);
    EXPECT_EQ(manager.camera.y, 0.0);
}

TEST_F(GameManagerTest, HandedOverObjectsJoinTheNextTickInTheirOrder) {
    Add("field");
    Add("ship", {10, 0, 0});
    Add("star", {20, 0, 0});
    EXPECT_TRUE(manager.objects.empty());
    manager.tick();
    EXPECT_EQ(Names(manager.objects), (std::vector<std::string>{"field", "ship", "star"}));
    EXPECT_TRUE(manager.newObjects.empty());
    EXPECT_EQ(log, (EventLog{"field tick", "ship tick", "star tick"}));
}

TEST_F(GameManagerTest, ObjectCreatedDuringATickIsNeitherTickedNorTestedUntilTheNext) {
    bool spawned = false;
    Add("parent")->onTick = [this, &spawned](Probe& self) {
        if (!spawned) Add("child", self.pos);
        spawned = true;
    };
    manager.tick();
    // The child overlaps its parent, yet this tick neither ticks nor tests it.
    EXPECT_EQ(log, (EventLog{"parent tick"}));
    EXPECT_EQ(Names(manager.newObjects), (std::vector<std::string>{"child"}));
    EXPECT_EQ(Names(manager.objects), (std::vector<std::string>{"parent"}));

    log.clear();
    manager.tick();
    EXPECT_EQ(log, (EventLog{"parent tick", "child tick", "parent hit child", "child hit parent"}));
}

TEST_F(GameManagerTest, ObjectDeadInItsTickStillCollidesThenIsDeletedDuringTheNextTick) {
    Probe* doomed = Add("doomed");
    doomed->onTick = Die;
    Add("other", {1, 0, 0});
    manager.tick();
    EXPECT_EQ(log, (EventLog{"doomed tick", "other tick", "doomed hit other", "other hit doomed"}));
    EXPECT_EQ(Names(manager.objects), (std::vector<std::string>{"other"}));
    EXPECT_EQ(Names(manager.deadObjects), (std::vector<std::string>{"doomed"}));

    log.clear();
    manager.tick();
    // Deleted before the live objects tick, and never ticked again.
    EXPECT_EQ(log, (EventLog{"doomed deleted", "other tick"}));
    EXPECT_TRUE(manager.deadObjects.empty());
}

TEST_F(GameManagerTest, DeadObjectsLeaveInOrderAndTheSurvivorsKeepTheirs) {
    Add("a", {0, 0, 0});
    Add("b", {10, 0, 0})->onTick = Die;
    Add("c", {20, 0, 0});
    Add("d", {30, 0, 0})->onTick = Die;
    Add("e", {40, 0, 0});
    manager.tick();
    EXPECT_EQ(Names(manager.objects), (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_EQ(Names(manager.deadObjects), (std::vector<std::string>{"b", "d"}));
}

TEST_F(GameManagerTest, EveryObjectIsDeletedExactlyOnceOverALevel) {
    const std::vector<std::string> names{"a", "b", "c", "d", "spawned"};
    Add("a", {0, 0, 0});
    Add("b", {10, 0, 0});
    Add("c", {10.5, 0, 0})->diesOnContact = true;  // b survives its collision with c
    Add("d", {30, 0, 0})->onTick = [this](Probe& self) {
        Add("spawned", {50, 0, 0});  // d ticks only once: it dies here
        Die(self);
    };
    for (int i = 0; i < 3; ++i) manager.tick();
    EXPECT_EQ(Count("c deleted"), 1);
    EXPECT_EQ(Count("d deleted"), 1);
    manager.cleanList(manager.objects);
    manager.cleanList(manager.newObjects);
    manager.cleanList(manager.deadObjects);
    for (const std::string& n : names) EXPECT_EQ(Count(n + " deleted"), 1) << n;
}

TEST(GameManagerLifetime, DestructorDeletesTheLiveThenTheNewThenTheDeadObjects) {
    EventLog log;
    {
        GameManager manager;
        manager.deadObjects.push_back(new Probe(log, "dead"));
        manager.objects.push_back(new Probe(log, "live"));
        manager.objects.push_back(nullptr);
        manager.newObjects.push_back(new Probe(log, "new"));
    }
    EXPECT_EQ(log, (EventLog{"live deleted", "new deleted", "dead deleted"}));
}

TEST(GameManagerLifetime, CleanListDeletesInOrderSkipsNullsAndEmptiesTheList) {
    EventLog log;
    GameManager manager;
    std::vector<GameObject*> list{new Probe(log, "a"), nullptr, new Probe(log, "b")};
    manager.cleanList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(log, (EventLog{"a deleted", "b deleted"}));
    manager.cleanList(list);
    EXPECT_EQ(log.size(), 2u);
}

// --- Collisions ---

TEST_F(GameManagerTest, CentresExactlyTheRadiiApartDoNotCollide) {
    AddLive("ship", {0, 0, 0}, 0.6f);
    AddLive("star", {ShipStarContact, 0, 0}, 0.7f);
    manager.collideTest();
    EXPECT_FALSE(AnyHit());
}

TEST_F(GameManagerTest, AHairInsideBothAreNotifiedTheEarlierFirst) {
    AddLive("ship", {0, 0, 0}, 0.6f);
    AddLive("star", {ShipStarContact - 1e-9, 0, 0}, 0.7f);
    manager.collideTest();
    EXPECT_EQ(log, (EventLog{"ship hit star", "star hit ship"}));
}

TEST_F(GameManagerTest, ShipAndStarTouchAt1_300000012NotAtTheFloatSumOfTheirRadii) {
    // 1.3 lies between the float sum 1.29999995 and the widened sum 1.300000012.
    AddLive("ship", {0, 0, 0}, 0.6f);
    AddLive("star", {0, 1.3, 0}, 0.7f);
    manager.collideTest();
    EXPECT_EQ(log, (EventLog{"ship hit star", "star hit ship"}));
}

TEST_F(GameManagerTest, CollisionDistanceIncludesDepth) {
    AddLive("a", {0, 0, 0});
    AddLive("b", {1.0, 0, 0.9});  // 1.0 apart in the plane, 1.345 in space
    manager.collideTest();
    EXPECT_FALSE(AnyHit());
}

TEST_F(GameManagerTest, EveryPairIsTestedOnceEvenAfterTheObjectsDieInThePass) {
    for (const char* name : {"a", "b", "c"}) AddLive(name, {0, 0, 0})->diesOnContact = true;
    manager.collideTest();
    EXPECT_EQ(log, (EventLog{"a hit b", "b hit a", "a hit c", "c hit a", "b hit c", "c hit b"}));
}

TEST_F(GameManagerTest, NonCollidableObjectsAreNeitherTestedNorNotified) {
    AddLive("scenery")->collidable = false;
    AddLive("a", {0.5, 0, 0});
    AddLive("b", {5, 0, 0});
    manager.collideTest();
    EXPECT_FALSE(AnyHit());
}

TEST_F(GameManagerTest, HandleCollisionNotifiesTheFirstThenTheSecond) {
    Probe* a = AddLive("a");
    Probe* b = AddLive("b", {100, 0, 0});
    manager.handleCollision(b, a);
    EXPECT_EQ(log, (EventLog{"b hit a", "a hit b"}));
}

// --- The ship and the camera ---

TEST_F(GameManagerTest, CameraFollowsTheShipAfterItMoves) {
    Probe* ship = Add("ship", {1, 2, 0});
    ship->vel = Vect3d(0.5, -0.25, 0);
    ship->onTick = Move;
    manager.ship = ship;
    manager.tick();
    EXPECT_EQ(manager.camera.x, 1.5);
    EXPECT_EQ(manager.camera.y, 1.75);
    // The offset, zero in play, is added to the ship's position.
    manager.cameraOffset = Vect3d(0.25, -0.5, 0);
    manager.tick();
    EXPECT_EQ(manager.camera.x, 2.25);
    EXPECT_EQ(manager.camera.y, 1.0);
}

TEST_F(GameManagerTest, ShipAndStarCollidingAreBothGoneAndTheCameraStays) {
    Probe* ship = Add("ship", {1, 2, 0}, 0.6f);
    ship->vel = Vect3d(2, 2, 0);
    ship->onTick = Move;
    ship->diesOnContact = true;
    manager.ship = ship;
    Add("star", {5, 6, 0}, 0.7f)->diesOnContact = true;

    manager.tick();  // the ship reaches (3, 4), 2.8 from the star
    EXPECT_EQ(manager.camera.x, 3.0);
    EXPECT_EQ(manager.camera.y, 4.0);

    manager.tick();  // the ship reaches the star
    EXPECT_EQ(Count("ship hit star"), 1);
    EXPECT_EQ(Count("star hit ship"), 1);
    EXPECT_EQ(manager.ship, nullptr);
    EXPECT_TRUE(manager.objects.empty());
    EXPECT_EQ(Names(manager.deadObjects), (std::vector<std::string>{"ship", "star"}));
    EXPECT_EQ(manager.camera.x, 3.0);
    EXPECT_EQ(manager.camera.y, 4.0);

    manager.tick();
    EXPECT_EQ(Count("ship deleted"), 1);
    EXPECT_EQ(Count("star deleted"), 1);
    EXPECT_EQ(manager.camera.x, 3.0);
    EXPECT_EQ(manager.camera.y, 4.0);
}

// --- Nearest-object search ---

TEST_F(GameManagerTest, NothingIsNearestInAnEmptyWorld) {
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), nullptr);
}

TEST_F(GameManagerTest, NearestObjectWinsAndTiesGoToTheEarlier) {
    Probe* far = AddLive("far", {3, 0, 0});
    Probe* left = AddLive("left", {-1, 0, 0});
    Probe* right = AddLive("right", {1, 0, 0});
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), left);
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), left), right);
    EXPECT_EQ(manager.findNearestCollidableExcept({4, 0, 0}, nullptr), far);
}

TEST_F(GameManagerTest, TheExceptedObjectAloneGivesNothing) {
    Probe* ship = AddLive("ship");
    EXPECT_EQ(manager.findNearestCollidableExcept({1, 1, 0}, ship), nullptr);
}

TEST_F(GameManagerTest, NonCollidableObjectIsNeverFoundEvenWhenNearest) {
    AddLive("field", {0, 0, 0})->collidable = false;
    Probe* star = AddLive("star", {8, 0, 0});
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), star);
}

TEST_F(GameManagerTest, DeadLiveObjectsAreFoundButNewObjectsAreNot) {
    Probe* dying = AddLive("dying", {2, 0, 0});
    dying->dead = true;
    Add("newcomer", {0, 0, 0});
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), dying);
}

TEST_F(GameManagerTest, ObjectsAtASquaredDistanceOf1e9OrMoreAreNeverFound) {
    Probe* p = AddLive("remote", {30000, 10000, 0});  // exactly 1e9 away, squared
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), nullptr);
    p->pos.y = 9999.99;
    EXPECT_EQ(manager.findNearestCollidableExcept(Vect3d(), nullptr), p);
}

// --- Goals ---

class GoalTest : public GameManagerTest {
  protected:
    void SetUp() override { AddGoal({2, 3, 0}); }
    void AddGoal(Vect3d at) {
        Goal g;
        g.pos = at;
        g.radius = 1.2;
        manager.goals.push_back(g);
    }
    // A star that drifts and registers itself after moving, as the real one does.
    Probe* AddStar(const std::string& name, Vect3d at) {
        Probe* star = Add(name, at, 0.7f);
        star->onTick = [this](Probe& self) {
            Move(self);
            manager.registerStarPos(&self);
        };
        return star;
    }
};

TEST_F(GoalTest, StarHalfAUnitFromTheCentreFillsTheGoal) {
    // The limit is 1.2 minus the widened 0.7f: 0.500000012, so 0.5 is inside.
    Probe* star = AddLive("star", {2, 3.5, 0}, 0.7f);
    manager.registerStarPos(star);
    EXPECT_TRUE(manager.goals[0].filled);
    EXPECT_EQ(manager.goalsFilled, 1);
}

TEST_F(GoalTest, Star0_5001FromTheCentreDoesNotFillTheGoal) {
    Probe* star = AddLive("star", {2.5001, 3, 0}, 0.7f);
    manager.registerStarPos(star);
    EXPECT_FALSE(manager.goals[0].filled);
    EXPECT_EQ(manager.goalsFilled, 0);
}

TEST_F(GoalTest, TwoStarsInOneGoalCountOnce) {
    AddStar("s1", {2, 3, 0});
    AddStar("s2", {2.2, 3, 0});
    manager.tick();
    EXPECT_TRUE(manager.goals[0].filled);
    EXPECT_EQ(manager.goalsFilled, 1);
}

TEST_F(GoalTest, OneStarFillsEveryGoalItLiesIn) {
    AddGoal({2.3, 3, 0});
    AddGoal({9, 9, 0});
    AddStar("star", {2.1, 3, 0});
    manager.tick();
    EXPECT_TRUE(manager.goals[0].filled);
    EXPECT_TRUE(manager.goals[1].filled);
    EXPECT_FALSE(manager.goals[2].filled);
    EXPECT_EQ(manager.goalsFilled, 2);
}

TEST_F(GoalTest, StarDriftingOutOfGoalEmptiesIt) {
    AddStar("star", {1.8, 3, 0})->vel = Vect3d(0.2, 0, 0);
    const bool expected[] = {true, true, true, false, false};  // centre at 2.0 .. 2.8
    for (bool filled : expected) {
        manager.tick();
        EXPECT_EQ(manager.goals[0].filled, filled);
        EXPECT_EQ(manager.goalsFilled, filled ? 1 : 0);
    }
}

TEST_F(GoalTest, ResetGoalsEmptiesEveryGoal) {
    AddGoal({5, 5, 0});
    for (Goal& g : manager.goals) g.filled = true;
    manager.goalsFilled = 2;
    manager.resetGoals();
    EXPECT_FALSE(manager.goals[0].filled);
    EXPECT_FALSE(manager.goals[1].filled);
    EXPECT_EQ(manager.goalsFilled, 0);
}

// --- Sound ---

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = resourceManager.samples;
        resourceManager.samples.assign(ResourceManager::NumSampleSlots, nullptr);
        glrec::Reset();
    }
    void TearDown() override { resourceManager.samples = saved; }
    std::vector<SAMPLE*> saved;
    GameManager manager;
};

TEST_F(SoundTest, EmptySlotPlaysNothing) {
    manager.triggerSound(ResourceManager::Sample0, Vect3d());
    manager.triggerSound(ResourceManager::Sample1, Vect3d());
    EXPECT_EQ(glrec::Count("play_sample"), 0);
}

TEST_F(SoundTest, LoadedSamplePlaysOnceCentredAtItsOwnPitchWhereverItHappens) {
    SAMPLE sample{};
    resourceManager.samples[ResourceManager::Sample1] = &sample;
    manager.triggerSound(ResourceManager::Sample1, Vect3d(40, -7, 0));
    const auto calls = glrec::Named("play_sample");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<double>{double(reinterpret_cast<std::uintptr_t>(&sample)),
                                                  192, 128, 1000, 0}));
}

}  // namespace
