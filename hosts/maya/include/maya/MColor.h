#pragma once
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MColor {
public:
    MColor() = default;
    MColor(const MColor&) = default;
    MColor(float rr, float gg, float bb = 0.0, float aa = 1.0) : r(rr), g(gg), b(bb), a(aa) {}
    ~MColor() = default;
    MColor& operator=(const MColor& src) = default;
    bool operator==(const MColor& other) const { return r == other.r && g == other.g && b == other.b && a == other.a; }
    float r = 0, g = 0, b = 0, a = 1;
};

OPENMAYA_NAMESPACE_CLOSE
