#pragma once
// What the acceptance tests share: one editor and one Maya for the cases that need no
// faults, the scene-building MEL, and the colour rules of the picture that Unreal sends.

#include "MayaCamera.h"
#include "Programs.h"

#include "../hostmaya/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace e2e {

constexpr int kWidth = 160, kHeight = 120;

// Linear base colours of the example content.
struct Material {
    const char* path;
    double linear[3];
};
inline const Material kRed{"/Game/Materials/M_Red", {0.8, 0.05, 0.05}};
inline const Material kGrey{"/Game/Materials/M_Grey", {0.5, 0.5, 0.5}};
inline const Material kBlue{"/Game/Materials/MI_Blue", {0.05, 0.1, 0.9}};

// The colour Unreal writes for a surface of `m` under a white sky light of intensity
// one (Maya's ambient light of intensity 0.01): the base colour, sRGB-encoded.
inline Rgb unrealColour(const Material& m)
{
    Rgb out;
    for (int i = 0; i < 3; ++i) {
        double c = m.linear[i];
        double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        out[i] = static_cast<int>(std::lround(s * 255));
    }
    return out;
}

// Unreal's watermark only darkens, each channel to 2 * floor(c * m / 256) with m from
// 115 to 128.
inline bool showsColour(const Rgb& seen, const Rgb& expected)
{
    for (int i = 0; i < 3; ++i) {
        int lowest = 2 * (expected[i] * 115 / 256) - 3, highest = expected[i] + 2;
        if (seen[i] < lowest || seen[i] > highest) return false;
    }
    return true;
}

// Most of the pixels of a 3 x 3 block around `at` show the colour (an edge of the
// watermark or a grid line may cross one).
inline bool blockShows(const Picture& p, PixelPos at, const Rgb& expected)
{
    int hits = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) hits += showsColour(p.at(at.ix() + dx, at.iy() + dy), expected);
    return hits >= 6;
}

inline std::string describe(const Picture& p, PixelPos at)
{
    return "pixel (" + std::to_string(at.ix()) + ", " + std::to_string(at.iy()) + ") is " + text(p.at(at.ix(), at.iy()));
}

// Maya's grid colours and the lead selection's wireframe colour, as bytes.
inline const Rgb kGridLine{135, 135, 135}, kGridAxis{0, 0, 0}, kLeadWire{66, 255, 163};

// A Maya shader with its shading engine tagged with an Unreal material. Maya's own colour
// for it is `mayaColour`, so that Maya's drawing and Unreal's picture differ.
inline std::string taggedMaterialMel(const std::string& name, const Material& m, const char* mayaColour = "0.1 0.7 0.1")
{
    return "shadingNode -asShader lambert -n " + name + "Shader; setAttr " + name + "Shader.color -type double3 " +
           mayaColour + "; sets -renderable true -noSurfaceShader true -empty -name " + name + "SG; connectAttr " +
           name + "Shader.outColor " + name + "SG.surfaceShader; setAttr " + name + "SG.ue4mt -type \"string\" \"" +
           m.path + "\";";
}

// A cube of edge `size` centred at `at`, assigned to shading engine `sg`.
inline std::string cubeMel(const std::string& name, Vec3 at, double size, const std::string& sg)
{
    auto n = [](double v) { return std::to_string(v); };
    return "polyCube -w " + n(size) + " -h " + n(size) + " -d " + n(size) + " -n " + name + "; setAttr " + name +
           ".translate " + n(at[0]) + " " + n(at[1]) + " " + n(at[2]) + "; sets -e -forceElement " + sg + " " + name +
           "; select -cl;";
}

// A new scene with a white sky light of intensity one in Unreal and no selection.
inline std::string newSceneMel() { return "file -f -new; ambientLight -i 0.01 -n sky; select -cl;"; }

// The editor and Maya shared by the cases without faults, on names of their own.
class Shared {
public:
    static Shared& get();
    ~Shared();
    Editor editor;
    Maya maya;
    bool ok = false;
    std::string why;
};

// A sanitizer's report in a program's output fails the test that was running.
inline void expectNoSanitizerReport(Program& program, const char* name)
{
    const std::string out = program.output();
    EXPECT_EQ(out.find("Sanitizer"), std::string::npos) << name << ":\n" << out;
    EXPECT_EQ(out.find("runtime error"), std::string::npos) << name << ":\n" << out;
}

// Cases that share the one editor and Maya: each starts with both running and fails on a
// sanitizer's report that either wrote while it ran.
class SharedProgramsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Shared& s = Shared::get();
        ASSERT_TRUE(s.ok) << s.why;
        maya = &s.maya;
        editor = &s.editor;
    }
    void TearDown() override
    {
        expectNoSanitizerReport(Shared::get().editor.program(), "ue4editor");
        expectNoSanitizerReport(Shared::get().maya.program(), "maya");
    }
    Maya* maya = nullptr;
    Editor* editor = nullptr;
};

// Reads the saved picture; fails the test when there is none.
inline Picture readPicture(const std::string& path)
{
    Picture p;
    EXPECT_TRUE(Picture::read(path, p)) << "no picture at " << path;
    EXPECT_EQ(p.width, kWidth);
    EXPECT_EQ(p.height, kHeight);
    return p;
}

} // namespace e2e
