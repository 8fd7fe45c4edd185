#pragma once
// Where Maya puts a world point on its viewport, computed from a camera's attributes as
// Maya defines them (translate, rotate in XYZ order, focal length, film back and film
// offset in inches, film fit, orthographic width), independently of both programs.

#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace e2e {

using Vec3 = std::array<double, 3>;

struct CameraAttributes {
    Vec3 translate{0, 0, 0};
    Vec3 rotate{0, 0, 0}; // degrees, rotation order XYZ
    double focalLength = 35;        // mm
    double aperture[2] = {1.5, 1.0}; // inches
    double filmOffset[2] = {0, 0};   // inches
    int filmFit = 1;                 // Fill, Horizontal, Vertical, Overscan
    bool orthographic = false;
    double orthographicWidth = 30;
    double nearClip = 0.1, farClip = 1000;

    // The MEL that gives camera `name` (transform) and `shape` these attributes.
    std::string mel(const std::string& name, const std::string& shape) const
    {
        auto n = [](double v) { return std::to_string(v); };
        std::string s;
        s += "setAttr " + name + ".translate " + n(translate[0]) + " " + n(translate[1]) + " " + n(translate[2]) + "; ";
        s += "setAttr " + name + ".rotate " + n(rotate[0]) + " " + n(rotate[1]) + " " + n(rotate[2]) + "; ";
        s += "setAttr " + shape + ".focalLength " + n(focalLength) + "; ";
        s += "setAttr " + shape + ".horizontalFilmAperture " + n(aperture[0]) + "; ";
        s += "setAttr " + shape + ".verticalFilmAperture " + n(aperture[1]) + "; ";
        s += "setAttr " + shape + ".horizontalFilmOffset " + n(filmOffset[0]) + "; ";
        s += "setAttr " + shape + ".verticalFilmOffset " + n(filmOffset[1]) + "; ";
        s += "setAttr " + shape + ".filmFit " + std::to_string(filmFit) + "; ";
        s += "setAttr " + shape + ".orthographic " + std::string(orthographic ? "1" : "0") + "; ";
        s += "setAttr " + shape + ".orthographicWidth " + n(orthographicWidth) + "; ";
        s += "setAttr " + shape + ".nearClipPlane " + n(nearClip) + "; ";
        s += "setAttr " + shape + ".farClipPlane " + n(farClip) + ";";
        return s;
    }
};

// Pixel column and row (row 0 at the top of the saved picture), as doubles.
struct PixelPos {
    double x, y;
    double depth; // distance along the view direction
    int ix() const { return static_cast<int>(std::floor(x)); }
    int iy() const { return static_cast<int>(std::floor(y)); }
};

class MayaCamera {
public:
    MayaCamera(const CameraAttributes& a, int width, int height) : a_(a), width_(width), height_(height)
    {
        // Rows of the camera's rotation R = Rx * Ry * Rz (row vectors, XYZ order): its
        // local X, Y, Z axes in world space.
        const double d = std::numbers::pi / 180;
        double cx = std::cos(a.rotate[0] * d), sx = std::sin(a.rotate[0] * d);
        double cy = std::cos(a.rotate[1] * d), sy = std::sin(a.rotate[1] * d);
        double cz = std::cos(a.rotate[2] * d), sz = std::sin(a.rotate[2] * d);
        double rx[3][3] = {{1, 0, 0}, {0, cx, sx}, {0, -sx, cx}};
        double ry[3][3] = {{cy, 0, -sy}, {0, 1, 0}, {sy, 0, cy}};
        double rz[3][3] = {{cz, sz, 0}, {-sz, cz, 0}, {0, 0, 1}};
        double t[3][3];
        mul(rx, ry, t);
        mul(t, rz, axes_);
        double aspect = static_cast<double>(width) / height, filmAspect = a.aperture[0] / a.aperture[1];
        int fit = a.filmFit;
        bool horizontal = fit == 1 || (fit == 0 && aspect > filmAspect) || (fit == 3 && aspect <= filmAspect);
        if (a.orthographic) {
            double span = a.orthographicWidth;
            halfX_ = horizontal ? span / 2 : span / filmAspect / 2 * aspect;
            halfY_ = halfX_ / aspect;
            offset_[0] = a.filmOffset[0] / a.aperture[0] * span;
            offset_[1] = a.filmOffset[1] / a.aperture[0] * span;
        } else {
            const double mm = 25.4;
            halfX_ = horizontal ? a.aperture[0] * mm / 2 / a.focalLength : a.aperture[1] * mm / 2 / a.focalLength * aspect;
            halfY_ = halfX_ / aspect;
            offset_[0] = a.filmOffset[0] * mm / a.focalLength;
            offset_[1] = a.filmOffset[1] * mm / a.focalLength;
        }
    }

    PixelPos project(const Vec3& p) const
    {
        Vec3 r{p[0] - a_.translate[0], p[1] - a_.translate[1], p[2] - a_.translate[2]};
        double x = dotRow(r, 0), y = dotRow(r, 1), z = dotRow(r, 2); // camera looks along -Z
        double nx, ny;
        if (a_.orthographic) {
            nx = (x - offset_[0]) / halfX_;
            ny = (y - offset_[1]) / halfY_;
        } else {
            nx = (x / -z - offset_[0]) / halfX_;
            ny = (y / -z - offset_[1]) / halfY_;
        }
        return {(nx + 1) / 2 * width_, (1 - ny) / 2 * height_, -z};
    }

private:
    static void mul(const double a[3][3], const double b[3][3], double out[3][3])
    {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    }
    double dotRow(const Vec3& v, int row) const
    {
        return v[0] * axes_[row][0] + v[1] * axes_[row][1] + v[2] * axes_[row][2];
    }

    CameraAttributes a_;
    int width_, height_;
    double axes_[3][3];
    double halfX_ = 1, halfY_ = 1;
    double offset_[2] = {0, 0};
};

} // namespace e2e
