#pragma once

#include "vector3d.h"

#include <vector>

namespace autopilot {

// A region the ship must keep out of: every point closer than `radius` to the segment
// from..to (a star and the line it will coast along).
struct Obstacle {
    Vect3d from, to;
    double radius;
};

// The next straight stretch of a way around obstacles.
struct Leg {
    bool reachable = false;  // false when the destination itself lies in an obstacle
    Vect3d waypoint;         // fly straight here next
    double remaining = 0;    // length of the whole way left, world units
};

// Finds ways around obstacles on a grid over the playing field, then straightens them:
// the waypoint is the farthest point of the grid way that can be seen in a straight line.
class Navigator {
  public:
    Leg route(const Vect3d& from, const Vect3d& to, const std::vector<Obstacle>& obstacles);

  private:
    struct Grid {
        double x0 = 0, y0 = 0, cell = 0.25;
        int nx = 0, ny = 0;
        std::vector<char> blocked;
        std::vector<double> dist;  // way length to the destination; infinite when cut off
        std::vector<int> next;     // neighbour one step closer to the destination, or -1
    };
    struct Built {
        Vect3d from, to;
        std::vector<Obstacle> obstacles;
        int age = 0;
    };
    bool stale(const Vect3d& from, const Vect3d& to, const std::vector<Obstacle>& obstacles);
    void build(const Vect3d& from, const Vect3d& to, const std::vector<Obstacle>& obstacles);
    void flood(int target);
    int cellAt(const Vect3d& p) const;
    Vect3d centre(int c) const;
    int nearestOpenCell(int c) const;

    Grid grid_;
    Built built_;
};

// True when the straight line a..b keeps out of every obstacle.
bool LineClear(const Vect3d& a, const Vect3d& b, const std::vector<Obstacle>& obstacles);

}  // namespace autopilot
