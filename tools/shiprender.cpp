#include "shiprender.h"

#include "meshcheck.h"
#include "shiptexture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Renders at this many times the output size, then averages down.
constexpr int kOversample = 3;

struct Projected {
    double x;
    double y;
    double depth;
};

class Projector {
  public:
    Projector(const Camera& camera, int size, double span)
        : camera_(camera), half_(size * 0.5), scale_(size / span) {}

    Projected operator()(Vec3 p) const {
        return {half_ + Dot(p, camera_.right) * scale_, half_ - Dot(p, camera_.up) * scale_,
                Dot(p, camera_.towardViewer)};
    }

  private:
    Camera camera_;
    double half_;
    double scale_;
};

Canvas Downsample(const Canvas& big, int factor) {
    Canvas small(big.width() / factor, big.height() / factor);
    const float weight = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            Colour sum{0.0f, 0.0f, 0.0f, 0.0f};
            for (int k = 0; k < factor * factor; ++k) {
                const Colour& c = big.at(x * factor + k % factor, y * factor + k / factor);
                sum = sum + Colour{c.r * c.a, c.g * c.a, c.b * c.a, c.a} * weight;
            }
            // Averaged with alpha as weight, so a see-through background does not
            // darken the model's edges.
            small.at(x, y) =
                sum.a > 0.0f ? Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a} : sum;
        }
    }
    return small;
}

double EdgeFunction(const Projected& a, const Projected& b, double x, double y) {
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

// Depth-tested triangle fill; shade(weights) gives the colour from barycentric
// weights of the three corners.
template <class Shader>
void FillTriangle(Canvas& image, std::vector<double>& depth, const Projected (&p)[3],
                  Shader shade) {
    const double area = EdgeFunction(p[0], p[1], p[2].x, p[2].y);
    if (std::abs(area) < 1e-12) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].x, p[1].x, p[2].x}))));
    const int x1 = std::min(image.width() - 1,
                            static_cast<int>(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].y, p[1].y, p[2].y}))));
    const int y1 = std::min(image.height() - 1,
                            static_cast<int>(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double w0 = EdgeFunction(p[1], p[2], x + 0.5, y + 0.5) / area;
            const double w1 = EdgeFunction(p[2], p[0], x + 0.5, y + 0.5) / area;
            const double w2 = 1.0 - w0 - w1;
            if (w0 < 0.0 || w1 < 0.0 || w2 < 0.0) continue;
            const double z = w0 * p[0].depth + w1 * p[1].depth + w2 * p[2].depth;
            double& stored = depth[static_cast<size_t>(y) * image.width() + x];
            if (z <= stored) continue;
            stored = z;
            image.at(x, y) = shade(w0, w1, w2);
        }
    }
}

// A line one output pixel thick: kOversample pixels in the oversampled image.
void DrawLine(Canvas& image, Projected a, Projected b, Colour colour) {
    const int steps =
        static_cast<int>(std::ceil(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)))) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const int x = static_cast<int>(a.x + (b.x - a.x) * t) - kOversample / 2;
        const int y = static_cast<int>(a.y + (b.y - a.y) * t) - kOversample / 2;
        for (int k = 0; k < kOversample * kOversample; ++k) {
            const int px = x + k % kOversample;
            const int py = y + k / kOversample;
            if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
                image.at(px, py) = colour;
        }
    }
}

}  // namespace

Camera TopCamera() { return {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}; }

Camera HeadingCamera(double heading) {
    const double h = heading * 3.14159265358979 / 180.0;
    return {{std::cos(h), std::sin(h), 0.0}, {-std::sin(h), std::cos(h), 0.0}, {0.0, 0.0, 1.0}};
}

Camera CameraFrom(Vec3 eyeDirection) {
    const Vec3 toward = Normalised(eyeDirection);
    const Vec3 right = Normalised(Cross(Vec3{0.0, 0.0, 1.0}, toward));
    return {right, Cross(toward, right), toward};
}

Canvas RenderShip(const Mesh& mesh, const Canvas& texture, const Camera& camera, int size,
                  double span, Colour background) {
    const int big = size * kOversample;
    Canvas image(big, big, background);
    std::vector<double> depth(static_cast<size_t>(big) * big,
                              -std::numeric_limits<double>::infinity());
    const Projector project(camera, big, span);
    const PlanarMapping mapping = MappingOf(mesh);
    const Vec3 light = Normalised({-0.35, 0.45, 1.0});
    for (const std::vector<int>& polygon : mesh.polygons) {
        const Vec3 normal = GameNormal(mesh, polygon);
        if (Dot(normal, camera.towardViewer) <= 0.0) continue;  // culled, as in the game
        const float lit = static_cast<float>(0.35 + 0.65 * std::max(0.0, Dot(normal, light)));
        const Vec3 a = mesh.vertices[polygon[0]];
        for (size_t k = 1; k + 1 < polygon.size(); ++k) {
            const Vec3 b = mesh.vertices[polygon[k]];
            const Vec3 c = mesh.vertices[polygon[k + 1]];
            const Projected corners[3] = {project(a), project(b), project(c)};
            FillTriangle(image, depth, corners, [&](double w0, double w1, double w2) {
                const Vec3 p = a * w0 + b * w1 + c * w2;
                const double s = (p.x - mapping.centreX) * mapping.scale + 0.5;
                const double t = (p.y - mapping.centreY) * mapping.scale + 0.5;
                Colour colour =
                    Shade(texture.sample(static_cast<float>(s), static_cast<float>(1.0 - t)), lit);
                colour.a = 1.0f;
                return colour;
            });
        }
    }
    return Downsample(image, kOversample);
}

Canvas RenderWireframe(const Mesh& mesh, const Camera& camera, int size, double span) {
    const int big = size * kOversample;
    Canvas image(big, big, Colour{0.02f, 0.03f, 0.06f});
    const Projector project(camera, big, span);
    // Back faces first so the front outlines stay on top.
    for (const bool front : {false, true}) {
        const Colour colour = front ? Colour{0.5f, 1.0f, 0.7f} : Colour{0.15f, 0.25f, 0.35f};
        for (const std::vector<int>& polygon : mesh.polygons) {
            if ((Dot(GameNormal(mesh, polygon), camera.towardViewer) > 0.0) != front) continue;
            for (size_t k = 0; k < polygon.size(); ++k) {
                DrawLine(image, project(mesh.vertices[polygon[k]]),
                         project(mesh.vertices[polygon[(k + 1) % polygon.size()]]), colour);
            }
        }
    }
    return Downsample(image, kOversample);
}
