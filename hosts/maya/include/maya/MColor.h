#pragma once
class MColor {
public:
    MColor() = default;
    MColor(float red, float green, float blue, float alpha = 1.0f) : r(red), g(green), b(blue), a(alpha) {}
    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    float r = 0, g = 0, b = 0, a = 1;
};
