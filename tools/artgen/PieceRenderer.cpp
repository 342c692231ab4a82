#include "tools/artgen/PieceRenderer.h"

#include <thread>

namespace zelkor::art {

namespace {

const Vec3 kLight = Normalize({-0.55, 0.85, 0.55});  // upper left, a little in front
const Vec3 kLightColor{1.05, 0.98, 0.9};
const Vec3 kSky{0.42, 0.45, 0.52};
const Vec3 kGround{0.24, 0.2, 0.16};

struct Sample {
    Vec3 c;
    double a = 0;
};

class Tracer {
public:
    Tracer(const PieceModel& m, const Material& mat, const View& v) : model(m), material(mat), view(v) {
        const double e = v.elevation * M_PI / 180;
        forward = {0, -std::sin(e), -std::cos(e)};
        up = {0, std::cos(e), -std::sin(e)};
    }

    double Sdf(Vec3 p) const { return model.Distance(p); }

    Vec3 Normal(Vec3 p) const {
        const double h = 0.04;
        return Normalize({Sdf(p + Vec3{h, 0, 0}) - Sdf(p - Vec3{h, 0, 0}), Sdf(p + Vec3{0, h, 0}) - Sdf(p - Vec3{0, h, 0}),
                          Sdf(p + Vec3{0, 0, h}) - Sdf(p - Vec3{0, 0, h})});
    }

    double SoftShadow(Vec3 p, Vec3 dir) const {
        double result = 1, t = 0.35;
        for (int i = 0; i < 64 && t < 260; ++i) {
            const double h = Sdf(p + dir * t);
            if (h < 0.002) return 0;
            result = std::min(result, 9.0 * h / t);
            t += std::clamp(h, 0.25, 8.0);
        }
        return Clamp01(result);
    }

    double Occlusion(Vec3 p, Vec3 n) const {
        double occlusion = 0, weight = 1;
        for (int i = 1; i <= 6; ++i) {
            const double d = 1.6 * i;
            occlusion += weight * std::max(0.0, d - Sdf(p + n * d)) / d;
            weight *= 0.65;
        }
        return Clamp01(1.0 - 0.55 * occlusion);
    }

    Sample Trace(double px, double py) const {
        Sample s = TraceRay(px, py);
        if (s.a > 0 && s.a < 1) {
            // Ground shadow only: it fades out before the picture's edge.
            const double edge = std::min({px, view.width - px, py, view.height - py});
            s.a *= Clamp01(edge / (10.0 * view.pixelsPerUnit));
        }
        return s;
    }

    Sample TraceRay(double px, double py) const {
        const Vec3 onPlane = Vec3{1, 0, 0} * ((px - view.anchorX) / (view.pixelsPerUnit * view.stretchX)) +
                             up * ((view.anchorY - py) / view.pixelsPerUnit);
        const Vec3 origin = onPlane - forward * 600;
        // The piece lies inside a cylinder about the y axis: march only there.
        double t = 0, tEnd = 1200;
        {
            const double R = model.Radius() + 1;
            const double a = forward.x * forward.x + forward.z * forward.z;
            const double b = 2 * (origin.x * forward.x + origin.z * forward.z);
            const double c = origin.x * origin.x + origin.z * origin.z - R * R;
            const double disc = b * b - 4 * a * c;
            if (disc > 0) {
                t = std::max(0.0, (-b - std::sqrt(disc)) / (2 * a));
                tEnd = (-b + std::sqrt(disc)) / (2 * a);
            } else {
                tEnd = -1;
            }
        }
        for (int i = 0; i < 260 && t < tEnd; ++i) {
            const Vec3 p = origin + forward * t;
            if (p.y > model.Height() + 2 && forward.y < 0 && t < tEnd) {  // above the piece: skip down
                const double drop = (p.y - model.Height() - 1) / -forward.y;
                t += std::max(drop, 0.1);
                continue;
            }
            const double d = Sdf(p);
            if (d < 0.004) return Shade(p);
            t += std::max(d * 0.9, 0.003);
        }
        return Ground(origin);
    }

    Sample Shade(Vec3 p) const {
        const Vec3 n = Normal(p);
        const Vec3 v = -forward;
        const double diffuse = std::max(0.0, Dot(n, kLight));
        const double shadow = diffuse > 0 ? SoftShadow(p + n * 0.05, kLight) : 0;
        const double ao = Occlusion(p, n);
        const Vec3 h = Normalize(kLight + v);
        const double spec = std::pow(std::max(0.0, Dot(n, h)), material.shininess) * material.specular;
        const double sheen = std::pow(std::max(0.0, Dot(n, h)), material.shininess * 0.12) * material.sheen;
        const double fresnel = std::pow(1.0 - Clamp01(Dot(n, v)), 4.0) * material.rim;
        const Vec3 ambient = Mix(kGround, kSky, 0.5 + 0.5 * n.y) * ao;
        Vec3 c = material.albedo * (ambient + kLightColor * (diffuse * shadow * 0.95));
        c = c + kLightColor * ((spec + sheen) * shadow) + kSky * (fresnel * ao);
        return {c, 1.0};
    }

    Sample Ground(Vec3 origin) const {
        if (!view.groundShadow || forward.y >= 0) return {};
        const double t = -origin.y / forward.y;
        const Vec3 g = origin + forward * t;
        const double r = std::hypot(g.x, g.z);
        if (r > model.Radius() * 2.6) return {};
        const double shadow = SoftShadow(g + Vec3{0, 0.05, 0}, kLight);
        // Contact: darker the closer the piece.
        const double near = Clamp01(1.0 - std::max(0.0, Sdf(g)) / 9.0);
        const double darkness = std::max((1.0 - shadow) * 0.5, near * near * 0.55);
        const double fade = Clamp01((model.Radius() * 2.6 - r) / 12.0);
        return {{0.02, 0.015, 0.01}, darkness * fade};
    }

    const PieceModel& model;
    const Material& material;
    const View& view;
    Vec3 forward, up;
};

} // namespace

Material Ivory() { return {{0.84, 0.72, 0.50}, 0.30, 60, 0.16, 0.10}; }
Material Chestnut() { return {{0.125, 0.048, 0.019}, 0.85, 120, 0.22, 0.18}; }

Picture RenderPiece(const PieceModel& model, const Material& material, const View& view) {
    Tracer tracer(model, material, view);
    Picture out(view.width, view.height);
    // First pass: one ray per pixel, to find the silhouette edges.
    std::vector<Sample> centre(size_t(view.width) * size_t(view.height));
    auto rows = [&](auto&& body) {
        std::vector<std::thread> pool;
        for (int k = 0; k < view.threads; ++k)
            pool.emplace_back([&, k] {
                for (int y = k; y < view.height; y += view.threads) body(y);
            });
        for (auto& t : pool) t.join();
    };
    rows([&](int y) {
        for (int x = 0; x < view.width; ++x) centre[size_t(y) * size_t(view.width) + size_t(x)] = tracer.Trace(x + 0.5, y + 0.5);
    });
    rows([&](int y) {
        for (int x = 0; x < view.width; ++x) {
            const Sample& s = centre[size_t(y) * size_t(view.width) + size_t(x)];
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= view.width || ny >= view.height) continue;
                    const Sample& o = centre[size_t(ny) * size_t(view.width) + size_t(nx)];
                    edge = std::abs(o.a - s.a) > 0.02 || Length(o.c - s.c) > 0.08;
                }
            Vec3 sum{};
            double alpha = 0;
            int count = 0;
            const int n = edge ? view.edgeSamples : 2;  // 2 x 2 inside, to smooth the highlights
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    const Sample q = tracer.Trace(x + (sx + 0.5) / n, y + (sy + 0.5) / n);
                    sum = sum + q.c * q.a;
                    alpha += q.a;
                    ++count;
                }
            Pixel& p = out.at(x, y);
            p.a = alpha / count;
            p.c = alpha > 0 ? sum * (1.0 / alpha) : Vec3{};
        }
    });
    return out;
}

} // namespace zelkor::art
