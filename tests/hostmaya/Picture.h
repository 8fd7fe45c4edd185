#pragma once
// The viewport's presented picture for pixel checks, and an independent camera model
// that says where a world point lands on it.

#include "../../hosts/maya/src/Viewport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using Rgb = std::array<int, 3>;

struct Picture {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;

    static Picture presented() {
        Picture p;
        EXPECT_TRUE(mayahost::vp2::presentedPicture(p.rgb, p.width, p.height)) << "nothing presented";
        return p;
    }
    // An RGB picture from a PNG file; false if it cannot be read.
    static bool read(const std::string& path, Picture& out) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
        image.format = PNG_FORMAT_RGB;
        out.width = static_cast<int>(image.width);
        out.height = static_cast<int>(image.height);
        out.rgb.resize(PNG_IMAGE_SIZE(image));
        return png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
    }
    Rgb at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return {-1000, -1000, -1000};
        size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

inline bool close(const Rgb& a, const Rgb& b, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

inline std::string text(const Rgb& c) {
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) + ")";
}

using Vec = std::array<double, 3>;

inline Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline Vec unit(const Vec& v) {
    double l = std::sqrt(dot(v, v));
    return {v[0] / l, v[1] / l, v[2] / l};
}

// A camera at `eye` looking at `target` with world +Y (or `up`) up; `halfX`, `halfY` are
// half the view's extent at unit distance (perspective) or in world units (orthographic).
struct Projector {
    Vec eye, right, up, back;
    double halfX, halfY;
    bool orthographic;
    int width, height;

    Projector(Vec eye_, Vec target, Vec worldUp, double hx, double hy, bool ortho, int w, int h)
        : eye(eye_), halfX(hx), halfY(hy), orthographic(ortho), width(w), height(h) {
        back = unit(sub(eye, target));
        right = unit(cross(worldUp, back));
        up = cross(back, right);
    }
    // Pixel column and row (row 0 at the top) of a world point.
    std::array<int, 2> pixel(const Vec& p) const {
        Vec d = sub(p, eye);
        double x = dot(d, right), y = dot(d, up), z = dot(d, back);
        double nx = orthographic ? x / halfX : x / -z / halfX;
        double ny = orthographic ? y / halfY : y / -z / halfY;
        return {static_cast<int>(std::floor((nx + 1) / 2 * width)), static_cast<int>(std::floor((1 - ny) / 2 * height))};
    }
};

// Maya's default persp camera in a 640 x 480 panel: at (28, 21, 28) looking at the
// origin; the 36 x 24 mm film back is wider than the panel, so the height fits (Fill).
inline Projector defaultPersp(int width = 640, int height = 480) {
    double aspect = static_cast<double>(width) / height;
    bool horizontal = aspect > 1.5;
    double hx = horizontal ? 18.0 / 35 : 12.0 / 35 * aspect;
    double hy = horizontal ? 18.0 / 35 / aspect : 12.0 / 35;
    return Projector({28, 21, 28}, {0, 0, 0}, {0, 1, 0}, hx, hy, false, width, height);
}

// Whether some pixel within `radius` of a point has the colour: one-pixel lines may land
// a pixel to either side of their exact projection.
inline bool near(const Picture& p, std::array<int, 2> at, const Rgb& color, int tolerance, int radius = 1) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (close(p.at(at[0] + dx, at[1] + dy), color, tolerance)) return true;
    return false;
}

// Byte value of a colour channel in 0…1, as the target stores it.
inline int byte(double c) { return static_cast<int>(std::lround(std::fmin(std::fmax(c, 0.0), 1.0) * 255)); }
