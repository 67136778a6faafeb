#include "flight.h"
#include "geometry.h"
#include "helm.h"
#include "navigator.h"
#include "planner.h"
#include "rules.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

using namespace autopilot;

// Stand-ins for star identities: the helm compares them, never follows them.
const GameObject* const StarA = reinterpret_cast<const GameObject*>(0x10);
const GameObject* const StarB = reinterpret_cast<const GameObject*>(0x20);

// A ship at the origin, at rest, with the camera on it, as between two ticks.
WorldView ShipAtRest(double heading) {
    WorldView w;
    w.shipAlive = true;
    w.ship.heading = heading;
    w.fuel = 100;
    return w;
}

// The heading the ship takes this tick with these inputs.
double NextHeading(const WorldView& w, const Inputs& in) {
    return SteeredHeading(w.ship.heading, w.ship.pos, PointerFor(in.mouseX, in.mouseY, w.camera));
}

Vect3d PointerOffset(const WorldView& w, const Inputs& in) {
    const Pointer p = PointerFor(in.mouseX, in.mouseY, w.camera);
    return Vect3d(p.x, p.y, 0) - w.ship.pos;
}

TEST(Helm, TurnsTowardTheNeededChangeBeforeThrusting) {
    const WorldView w = ShipAtRest(45);
    HelmOrder order;
    order.velocity = Vect3d(-0.05, 0, 0);
    const Inputs in = Steer(w, order);
    EXPECT_NEAR(HeadingOf(PointerOffset(w, in)), -90, 0.5);
    EXPECT_EQ(NextHeading(w, in), 42);  // three degrees a tick, the short way round
    EXPECT_EQ(in.buttons, 0);
}

TEST(Helm, ThrustsOnceTheNoseIsAlongTheChange) {
    const WorldView w = ShipAtRest(-90);
    HelmOrder order;
    order.velocity = Vect3d(-0.05, 0, 0);
    EXPECT_EQ(Steer(w, order).buttons, ThrustButton);
}

TEST(Helm, LeavesChangesFrictionCanMakeToFrictionAndWaitsWithTheNoseAtRest) {
    WorldView w = ShipAtRest(0);
    w.ship.vel = Vect3d(0.02, 0, 0);
    HelmOrder order;
    order.velocity = w.ship.vel * ShipKeep;  // what friction alone leaves
    order.restHeading = 120;
    const Inputs in = Steer(w, order);
    EXPECT_EQ(in.buttons, 0);
    EXPECT_NEAR(HeadingOf(PointerOffset(w, in)), 120, 0.5);
}

TEST(Helm, NoThrustWithoutFuel) {
    WorldView w = ShipAtRest(-90);
    w.fuel = 0;
    HelmOrder order;
    order.velocity = Vect3d(-0.05, 0, 0);
    EXPECT_EQ(Steer(w, order).buttons & ThrustButton, 0);
}

TEST(Helm, BeamsOnlyWhenTheWantedStarIsTheOneTheBeamWouldHold) {
    WorldView w = ShipAtRest(0);  // tail toward -y
    w.stars = {{StarA, Vect3d(0, -2.3, 0), {}}};
    HelmOrder order;
    order.restHeading = 0;
    order.beamTarget = StarA;
    EXPECT_EQ(Steer(w, order).buttons & BeamButton, BeamButton);

    // Another star nearer the tail would take the beam instead.
    w.stars.push_back({StarB, Vect3d(0.5, -1.9, 0), {}});
    EXPECT_EQ(Steer(w, order).buttons & BeamButton, 0);
}

TEST(Navigator, FliesStraightWhenNothingIsInTheWay) {
    Navigator nav;
    const Leg leg =
        nav.route(Vect3d(-5, 0, 0), Vect3d(5, 1, 0), {{Vect3d(0, 5, 0), Vect3d(0, 5, 0), 1.8}});
    ASSERT_TRUE(leg.reachable);
    EXPECT_EQ(leg.waypoint.x, 5);
    EXPECT_EQ(leg.waypoint.y, 1);
    EXPECT_DOUBLE_EQ(leg.remaining, std::sqrt(101.0));
}

TEST(Navigator, GoesAroundAStarOnTheLine) {
    Navigator nav;
    const std::vector<Obstacle> star{{Vect3d(), Vect3d(), 1.8}};
    const Vect3d from(-5, 0.2, 0), to(5, 0, 0);
    const Leg leg = nav.route(from, to, star);
    ASSERT_TRUE(leg.reachable);
    EXPECT_TRUE(LineClear(from, leg.waypoint, star));
    EXPECT_GT(std::fabs(leg.waypoint.y), 1.0);
    // Around a circle of 1.8: longer than the straight 10, shorter than half the circle more.
    EXPECT_GT(leg.remaining, 10.5);
    EXPECT_LT(leg.remaining, 10 + 3.14 * 1.8);
}

TEST(Navigator, ADestinationInsideAStarsPathCannotBeReached) {
    Navigator nav;
    const std::vector<Obstacle> path{{Vect3d(0, -3, 0), Vect3d(0, 3, 0), 1.8}};
    EXPECT_FALSE(nav.route(Vect3d(-6, 0, 0), Vect3d(1, 0, 0), path).reachable);
}

TEST(Navigator, FromInsideAStarsMarginTheWayOutComesFirst) {
    Navigator nav;
    const std::vector<Obstacle> star{{Vect3d(), Vect3d(), 1.8}};
    const Leg leg = nav.route(Vect3d(1.2, 0, 0), Vect3d(1.2, 6, 0), star);
    ASSERT_TRUE(leg.reachable);
    EXPECT_GE(Length(leg.waypoint), 1.8);
    EXPECT_LT(Distance(leg.waypoint, Vect3d(1.2, 0, 0)), 1.0);
}

TEST(Planner, TheTowStationIsOnTheGoalSideOfTheStar) {
    const TowLine line = PlanTow(Vect3d(4, 4, 0), Vect3d(0, -4, 0));
    EXPECT_NEAR(Distance(line.station, Vect3d(4, 4, 0)), TowDistance, 1e-12);
    EXPECT_LT(line.station.y, 4);
    // The ship travels on toward the goal while it tows, but not past it.
    EXPECT_LT(line.release.y, line.station.y);
    EXPECT_GT(line.release.y, -4);
}

// Every free goal gets its own star, and no star is fetched twice.
void ExpectOneStarPerGoal(const std::vector<Task>& plan, size_t tows) {
    ASSERT_EQ(plan.size(), tows);
    std::set<int> stars, goals;
    for (const Task& t : plan) {
        stars.insert(t.star);
        goals.insert(t.goal);
    }
    EXPECT_EQ(stars.size(), tows);
    EXPECT_EQ(goals.size(), tows);
}

TEST(Planner, Level2FillsEveryGoal) {
    LevelRun run(2);
    ExpectOneStarPerGoal(PlanTasks(Observe(run.manager)), 6);
}

TEST(Planner, Level3LeavesTheStarThatStartsInItsGoalAlone) {
    LevelRun run(3);
    const WorldView w = Observe(run.manager);
    const std::vector<Task> plan = PlanTasks(w);
    ExpectOneStarPerGoal(plan, 11);
    // The first star sits exactly 0.5 from the goal at (-6, 6), which counts as filled.
    for (const Task& t : plan) {
        EXPECT_NE(t.star, 0);
        EXPECT_FALSE(w.goals[t.goal].x == -6 && w.goals[t.goal].y == 6);
    }
}

TEST(Planner, NothingToDoOnceEveryGoalWillBeFilled) {
    LevelRun run(1);
    WorldView w = Observe(run.manager);
    // The first star drifting to rest on the only goal: the level is as good as won.
    w.stars[0].vel = (w.goals[0] - w.stars[0].pos) * (1 - StarKeep);
    EXPECT_TRUE(PlanTasks(w).empty());
}

}  // namespace
