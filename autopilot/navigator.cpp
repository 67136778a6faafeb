#include "navigator.h"

#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <utility>

namespace autopilot {

namespace {

constexpr double Infinite = std::numeric_limits<double>::infinity();
constexpr double Margin = 3.0;  // grid border beyond every point of interest, world units
constexpr int MaxCellsPerSide = 200;
constexpr int MaxGridAge = 20;    // ticks a grid serves at most
constexpr double MaxShift = 0.2;  // world units the destination or an obstacle may move meanwhile
constexpr double Sqrt2 = 1.4142135623730951;

double Clearance(const Vect3d& p, const Obstacle& o) {
    return DistanceToSegment(p, o.from, o.to) - o.radius;
}

}  // namespace

bool LineClear(const Vect3d& a, const Vect3d& b, const std::vector<Obstacle>& obstacles) {
    return std::all_of(obstacles.begin(), obstacles.end(), [&](const Obstacle& o) {
        return SegmentDistance(a, b, o.from, o.to) >= o.radius;
    });
}

Leg Navigator::route(const Vect3d& from, const Vect3d& to, const std::vector<Obstacle>& obstacles) {
    Leg leg;
    if (LineClear(from, to, obstacles)) {
        leg.reachable = true;
        leg.waypoint = to;
        leg.remaining = Distance(from, to);
        return leg;
    }
    if (stale(from, to, obstacles)) {
        build(from, to, obstacles);
        flood(cellAt(to));
    }
    const int target = cellAt(to);
    if (grid_.blocked[target]) return leg;
    const int start = nearestOpenCell(cellAt(from));
    if (start < 0) return leg;
    leg.reachable = true;
    if (start != cellAt(from)) {
        // Inside an obstacle's margin: the way out comes first.
        leg.waypoint = centre(start);
        leg.remaining = Distance(from, leg.waypoint) + grid_.dist[start];
        return leg;
    }
    int seen = start;
    for (int c = grid_.next[start]; c >= 0; c = grid_.next[c]) {
        if (!LineClear(from, c == target ? to : centre(c), obstacles)) break;
        seen = c;
    }
    leg.waypoint = seen == target ? to : centre(seen);
    leg.remaining = Distance(from, leg.waypoint) + grid_.dist[seen];
    return leg;
}

void Navigator::build(const Vect3d& from, const Vect3d& to,
                      const std::vector<Obstacle>& obstacles) {
    double xmin = std::min(from.x, to.x), xmax = std::max(from.x, to.x);
    double ymin = std::min(from.y, to.y), ymax = std::max(from.y, to.y);
    for (const Obstacle& o : obstacles) {
        for (const Vect3d& p : {o.from, o.to}) {
            xmin = std::min(xmin, p.x - o.radius);
            xmax = std::max(xmax, p.x + o.radius);
            ymin = std::min(ymin, p.y - o.radius);
            ymax = std::max(ymax, p.y + o.radius);
        }
    }
    Grid& g = grid_;
    g.cell = std::max(0.25, std::max(xmax - xmin, ymax - ymin) / (MaxCellsPerSide - 2 * Margin));
    g.x0 = xmin - Margin;
    g.y0 = ymin - Margin;
    g.nx = static_cast<int>((xmax - xmin + 2 * Margin) / g.cell) + 1;
    g.ny = static_cast<int>((ymax - ymin + 2 * Margin) / g.cell) + 1;
    g.blocked.assign(static_cast<size_t>(g.nx) * g.ny, 0);
    for (const Obstacle& o : obstacles) {
        const int x0 = cellAt({std::min(o.from.x, o.to.x) - o.radius, 0, 0}) % g.nx;
        const int x1 = cellAt({std::max(o.from.x, o.to.x) + o.radius, 0, 0}) % g.nx;
        const int y0 = cellAt({0, std::min(o.from.y, o.to.y) - o.radius, 0}) / g.nx;
        const int y1 = cellAt({0, std::max(o.from.y, o.to.y) + o.radius, 0}) / g.nx;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const int c = y * g.nx + x;
                if (!g.blocked[c] && Clearance(centre(c), o) < 0) g.blocked[c] = 1;
            }
        }
    }
    built_ = {from, to, obstacles, 0};
}

// The last grid serves while the destination and the obstacles have barely moved and the
// ship is still well inside it.
bool Navigator::stale(const Vect3d& from, const Vect3d& to,
                      const std::vector<Obstacle>& obstacles) {
    if (++built_.age > MaxGridAge || grid_.nx == 0) return true;
    if (Distance(to, built_.to) > MaxShift) return true;
    if (from.x < grid_.x0 + 1 || from.y < grid_.y0 + 1 ||
        from.x > grid_.x0 + grid_.nx * grid_.cell - 1 ||
        from.y > grid_.y0 + grid_.ny * grid_.cell - 1) {
        return true;
    }
    if (obstacles.size() != built_.obstacles.size()) return true;
    for (size_t i = 0; i < obstacles.size(); ++i) {
        const Obstacle& a = obstacles[i];
        const Obstacle& b = built_.obstacles[i];
        if (Distance(a.from, b.from) > MaxShift || Distance(a.to, b.to) > MaxShift ||
            a.radius != b.radius) {
            return true;
        }
    }
    return false;
}

// Dijkstra from the destination over open cells, eight neighbours, no corner cutting.
void Navigator::flood(int target) {
    Grid& g = grid_;
    g.dist.assign(g.blocked.size(), Infinite);
    g.next.assign(g.blocked.size(), -1);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    if (g.blocked[target]) return;  // nothing leads into an obstacle
    g.dist[target] = 0;
    open.push({0, target});
    while (!open.empty()) {
        const auto [d, c] = open.top();
        open.pop();
        if (d > g.dist[c]) continue;
        const int cx = c % g.nx, cy = c / g.nx;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if ((dx == 0 && dy == 0) || x < 0 || y < 0 || x >= g.nx || y >= g.ny) continue;
                const int n = y * g.nx + x;
                if (g.blocked[n] || g.blocked[cy * g.nx + x] || g.blocked[y * g.nx + cx]) continue;
                const double nd = d + g.cell * (dx != 0 && dy != 0 ? Sqrt2 : 1.0);
                if (nd < g.dist[n]) {
                    g.dist[n] = nd;
                    g.next[n] = c;
                    open.push({nd, n});
                }
            }
        }
    }
}

int Navigator::cellAt(const Vect3d& p) const {
    const int x = std::clamp(static_cast<int>((p.x - grid_.x0) / grid_.cell), 0, grid_.nx - 1);
    const int y = std::clamp(static_cast<int>((p.y - grid_.y0) / grid_.cell), 0, grid_.ny - 1);
    return y * grid_.nx + x;
}

Vect3d Navigator::centre(int c) const {
    return {grid_.x0 + (c % grid_.nx + 0.5) * grid_.cell,
            grid_.y0 + (c / grid_.nx + 0.5) * grid_.cell, 0};
}

// The reachable open cell nearest to c (c itself when it is open), or -1.
int Navigator::nearestOpenCell(int c) const {
    if (!grid_.blocked[c] && grid_.dist[c] < Infinite) return c;
    const Vect3d p = centre(c);
    int best = -1;
    double bestDist = Infinite;
    for (int i = 0; i < grid_.nx * grid_.ny; ++i) {
        if (grid_.blocked[i] || grid_.dist[i] == Infinite) continue;
        const double d = Distance(p, centre(i));
        if (d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    return best;
}

}  // namespace autopilot
