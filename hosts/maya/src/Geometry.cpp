#include "Geometry.h"

#include <cmath>
#include <numbers>

namespace mayahost::geometry {

static Vec3 normalize(Vec3 v) {
    double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (l > 0)
        for (double& c : v) c /= l;
    return v;
}

void faceNormals(Mesh& mesh) {
    mesh.normals.clear();
    for (const auto& face : mesh.faces) {
        // Newell's method: robust for any planar or nearly planar polygon.
        Vec3 n{0, 0, 0};
        for (size_t i = 0; i < face.size(); ++i) {
            const Vec3& a = mesh.points[face[i]];
            const Vec3& b = mesh.points[face[(i + 1) % face.size()]];
            n[0] += (a[1] - b[1]) * (a[2] + b[2]);
            n[1] += (a[2] - b[2]) * (a[0] + b[0]);
            n[2] += (a[0] - b[0]) * (a[1] + b[1]);
        }
        mesh.normals.push_back(std::vector<Vec3>(face.size(), normalize(n)));
    }
}

std::shared_ptr<Mesh> cube(double w, double h, double d) {
    auto m = std::make_shared<Mesh>();
    double x = w / 2, y = h / 2, z = d / 2;
    // Maya's vertex order for polyCube.
    m->points = {{-x, -y, z}, {x, -y, z}, {-x, y, z}, {x, y, z}, {-x, y, -z}, {x, y, -z}, {-x, -y, -z}, {x, -y, -z}};
    m->faces = {{0, 1, 3, 2}, {2, 3, 5, 4}, {4, 5, 7, 6}, {6, 7, 1, 0}, {1, 7, 5, 3}, {6, 0, 2, 4}};
    // Maya's cross-shaped layout: 14 UVs.
    m->uvs = {{0.375, 0}, {0.625, 0}, {0.375, 0.25}, {0.625, 0.25}, {0.375, 0.5}, {0.625, 0.5}, {0.375, 0.75},
              {0.625, 0.75}, {0.375, 1}, {0.625, 1}, {0.875, 0}, {0.875, 0.25}, {0.125, 0}, {0.125, 0.25}};
    m->uvIds = {{0, 1, 3, 2}, {2, 3, 5, 4}, {4, 5, 7, 6}, {6, 7, 9, 8}, {1, 10, 11, 3}, {12, 0, 2, 13}};
    m->uvSet = "map1";
    m->hasUVs = true;
    faceNormals(*m);
    return m;
}

std::shared_ptr<Mesh> sphere(double r, int sa, int sh) {
    auto m = std::make_shared<Mesh>();
    sa = std::max(sa, 3);
    sh = std::max(sh, 2);
    const double pi = std::numbers::pi;
    // Rings from bottom to top (excluding the poles), then the two poles.
    for (int j = 1; j < sh; ++j) {
        double phi = -pi / 2 + pi * j / sh;
        for (int i = 0; i < sa; ++i) {
            double theta = 2 * pi * i / sa;
            m->points.push_back({r * std::cos(phi) * std::cos(theta), r * std::sin(phi), -r * std::cos(phi) * std::sin(theta)});
        }
    }
    int south = static_cast<int>(m->points.size());
    m->points.push_back({0, -r, 0});
    int north = south + 1;
    m->points.push_back({0, r, 0});
    // UV grid with a seam column (sa + 1 columns) and one pole UV per segment.
    for (int j = 1; j < sh; ++j)
        for (int i = 0; i <= sa; ++i) m->uvs.push_back({static_cast<double>(i) / sa, static_cast<double>(j) / sh});
    int southUV = static_cast<int>(m->uvs.size());
    for (int i = 0; i < sa; ++i) m->uvs.push_back({(i + 0.5) / sa, 0});
    int northUV = static_cast<int>(m->uvs.size());
    for (int i = 0; i < sa; ++i) m->uvs.push_back({(i + 0.5) / sa, 1});
    auto p = [&](int ring, int i) { return (ring - 1) * sa + (i % sa); };
    auto uv = [&](int ring, int i) { return (ring - 1) * (sa + 1) + i; };
    for (int j = 1; j < sh - 1; ++j)
        for (int i = 0; i < sa; ++i) {
            m->faces.push_back({p(j, i), p(j, i + 1), p(j + 1, i + 1), p(j + 1, i)});
            m->uvIds.push_back({uv(j, i), uv(j, i + 1), uv(j + 1, i + 1), uv(j + 1, i)});
        }
    for (int i = 0; i < sa; ++i) {
        m->faces.push_back({p(1, i + 1), p(1, i), south});
        m->uvIds.push_back({uv(1, i + 1), uv(1, i), southUV + i});
        m->faces.push_back({p(sh - 1, i), p(sh - 1, i + 1), north});
        m->uvIds.push_back({uv(sh - 1, i), uv(sh - 1, i + 1), northUV + i});
    }
    // Smooth: every face-vertex takes the point's direction from the centre.
    for (const auto& face : m->faces) {
        std::vector<Vec3> n;
        for (int v : face) n.push_back(normalize(m->points[v]));
        m->normals.push_back(n);
    }
    m->uvSet = "map1";
    m->hasUVs = true;
    return m;
}

std::shared_ptr<Mesh> plane(double w, double h, int sx, int sy) {
    auto m = std::make_shared<Mesh>();
    sx = std::max(sx, 1);
    sy = std::max(sy, 1);
    for (int j = 0; j <= sy; ++j)
        for (int i = 0; i <= sx; ++i) {
            m->points.push_back({-w / 2 + w * i / sx, 0, h / 2 - h * j / sy});
            m->uvs.push_back({static_cast<double>(i) / sx, static_cast<double>(j) / sy});
        }
    for (int j = 0; j < sy; ++j)
        for (int i = 0; i < sx; ++i) {
            int a = j * (sx + 1) + i;
            std::vector<int> f{a, a + 1, a + sx + 2, a + sx + 1};
            m->faces.push_back(f);
            m->uvIds.push_back(f);
        }
    m->uvSet = "map1";
    m->hasUVs = true;
    faceNormals(*m);
    return m;
}

std::shared_ptr<Mesh> nurbsPlane(double width, double lengthRatio, int patchesU, int patchesV) {
    auto m = plane(width, width * lengthRatio, std::max(patchesU, 1), std::max(patchesV, 1));
    m->uvSet.clear();
    return m;
}

} // namespace mayahost::geometry
