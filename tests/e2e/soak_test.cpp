// Soak: many frames of random edits (seeded) between the two real programs. Neither
// program reports a sanitizer error or dies, their resident memory stays flat, the
// regions' views do not grow, and at the end the mirror equals Maya's scene: every
// surviving object, moved to a slot of its own, shows there in its material's colour,
// and nothing shows where deleted objects last stood.
//
// KVT_E2E_SOAK_FRAMES sets the number of frames (default 3000, about a minute: the
// editor's fixed 60 frames a second set the pace, in the sanitizer build too);
// KVT_E2E_SOAK_SEED the seed.
#include "Mirror.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

using namespace e2e;

namespace {

constexpr int kSoakWidth = 320, kSoakHeight = 240;
constexpr int kMaxObjects = 20;

long envNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    return end && *end == 0 && v > 0 ? v : fallback;
}

const Material* const kMaterials[3] = {&kRed, &kGrey, &kBlue};
const char* const kEngines[3] = {"redSG", "greySG", "blueSG"};
const double kVertexColours[3][3] = {{1, 1, 1}, {1, 1, 0.5}, {0.5, 1, 1}};

// What the test knows of Maya's scene, to say what the mirror must show at the end.
struct Model {
    struct Shape {
        int material = 0, colour = 0, users = 0;
    };
    struct Object {
        std::string name;
        int shape = 0;
        int parent = -1; // -1 the world, else the group
        bool visible = true;
    };
    std::vector<Shape> shapes;
    std::vector<Object> objects;
    int named = 0;
};

std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

class Soak {
public:
    explicit Soak(unsigned seed) : random_(seed) {}

    // One random edit as MEL.
    std::string edit()
    {
        auto pick = [&](int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); };
        auto coord = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random_); };
        auto position = [&] { return num(coord(-5, 5)) + " " + num(coord(0, 4)) + " " + num(coord(-5, 5)); };
        auto& objects = model.objects;
        int kind = pick(100);
        if (objects.size() < 3 || (kind < 12 && objects.size() < kMaxObjects)) {
            Model::Object o{"o" + std::to_string(model.named++), static_cast<int>(model.shapes.size())};
            model.shapes.push_back({pick(3), 0, 1});
            objects.push_back(o);
            return "polyCube -w 1 -h 1 -d 1 -n " + o.name + "; setAttr " + o.name + ".translate " + position() +
                   "; sets -e -forceElement " + kEngines[model.shapes.back().material] + " " + o.name + ";";
        }
        int which = pick(static_cast<int>(objects.size()));
        Model::Object& o = objects[which];
        Model::Shape& shape = model.shapes[o.shape];
        if (kind < 20 && objects.size() > 3) {
            std::string name = o.name;
            --shape.users;
            objects.erase(objects.begin() + which);
            return "delete " + name + ";";
        }
        if (kind < 45) return "setAttr " + o.name + ".translate " + position() + ";";
        if (kind < 52) {
            o.visible = !o.visible;
            return (o.visible ? "showHidden " : "hide ") + o.name + ";";
        }
        if (kind < 57 && o.parent < 0 && objects.size() < kMaxObjects) {
            Model::Object twin{"o" + std::to_string(model.named++), o.shape};
            ++shape.users;
            std::string mel = "instance -n " + twin.name + " " + o.name + "; setAttr " + twin.name + ".translate " + position() + ";";
            objects.push_back(twin);
            return mel;
        }
        if (kind < 64) {
            o.parent = pick(2);
            return std::string("parent -r ") + o.name + (o.parent ? " grpB;" : " grpA;");
        }
        if (kind < 68) return "setAttr grp" + std::string(pick(2) ? "B" : "A") + ".translate " + num(coord(-2, 2)) + " " +
                              num(coord(0, 1)) + " " + num(coord(-2, 2)) + ";";
        if (kind < 74) {
            shape.colour = pick(3);
            const double* c = kVertexColours[shape.colour];
            return "select -r " + o.name + "; polyColorPerVertex -rgb " + num(c[0]) + " " + num(c[1]) + " " + num(c[2]) +
                   "; select -cl;";
        }
        if (kind < 80 && shape.users == 1) {
            shape.material = pick(3);
            return std::string("sets -e -forceElement ") + kEngines[shape.material] + " " + o.name + ";";
        }
        if (kind < 85) return "setAttr skyShape.intensity " + num(coord(0.006, 0.012)) + ";";
        if (kind < 90) return pick(2) ? "select -r " + o.name + ";" : "select -cl;";
        return "setAttr persp.translate " + num(coord(-4, 4)) + " " + num(coord(5, 9)) + " " + num(coord(12, 18)) + ";";
    }

    // The edits that named an object, for a failure's message.
    std::string history(const std::string& name) const
    {
        std::string out;
        for (const std::string& e : log_)
            if (e.find(name + " ") != std::string::npos || e.find(name + ";") != std::string::npos ||
                e.find(name + ".") != std::string::npos)
                out += "\n    " + e;
        return out;
    }
    std::string logged(std::string mel)
    {
        log_.push_back(mel);
        return mel;
    }

    Model model;

private:
    std::vector<std::string> log_;
    std::mt19937 random_;
};

TEST(Soak, RandomEditsForManyFramesKeepBothProgramsSoundAndTheMirrorEqual)
{
    const long frames = envNumber("KVT_E2E_SOAK_FRAMES", 3000);
    const unsigned seed = static_cast<unsigned>(envNumber("KVT_E2E_SOAK_SEED", 20261208));
    // A small sanitizer quarantine, so that resident memory says what the programs keep.
    std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
    setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "quarantine_size_mb=16").c_str(), 1);
    useFreshRegionNames("E2eSoak");
    Editor editor;
    ASSERT_TRUE(editor.start()) << editor.program().output();
    Maya maya;
    ASSERT_TRUE(maya.start(kSoakWidth, kSoakHeight)) << maya.program().output();
    std::string out = maya.mel(newSceneMel() + taggedMaterialMel("red", kRed) + taggedMaterialMel("grey", kGrey) +
                               taggedMaterialMel("blue", kBlue) +
                               "createNode transform -n grpA; createNode transform -n grpB; select -cl; "
                               "setAttr persp.translate 0 7 15; setAttr persp.rotate -25 0 0; lookThru persp;");
    ASSERT_EQ(out.find("Error"), std::string::npos) << out;

    Soak soak(seed);
    const long warmUp = std::min<long>(200, frames / 5);
    long editorStartKb = 0, mayaStartKb = 0;
    LinkState start;
    std::string errors;
    for (long done = 0; done < frames;) {
        // A batch of frames per prompt line: an edit and a frame each.
        std::string line;
        long batch = std::min<long>(50, frames - done);
        if (done < warmUp) batch = std::min(batch, warmUp - done);
        for (long i = 0; i < batch; ++i) line += soak.logged(soak.edit()) + " refresh; ";
        out = maya.mel(line);
        // MEL errors would mean the model and the scene went apart.
        if (out.find("Error") != std::string::npos && errors.size() < 2000) errors += out;
        done += batch;
        if (done == warmUp) {
            editorStartKb = editor.program().residentKb();
            mayaStartKb = maya.program().residentKb();
            start = linkState();
        }
        ASSERT_TRUE(editor.program().running()) << "ue4editor ended at frame " << done << ":\n" << editor.program().output();
        ASSERT_TRUE(maya.program().running()) << "maya ended at frame " << done << ":\n" << maya.program().output();
    }
    EXPECT_TRUE(errors.empty()) << errors;
    const long editorEndKb = editor.program().residentKb(), mayaEndKb = maya.program().residentKb();
    LinkState end = linkState();
    std::printf("soak: %ld frames (seed %u); request frame %llu -> %llu; resident memory ue4editor %ld -> %ld KiB, "
                "maya %ld -> %ld KiB; views request %u -> %u, response %u -> %u bytes; region files %llu + %llu bytes\n",
                frames, seed, (unsigned long long)start.requestFrame, (unsigned long long)end.requestFrame, editorStartKb,
                editorEndKb, mayaStartKb, mayaEndKb, start.requestView, end.requestView, start.responseView,
                end.responseView, (unsigned long long)regionFileBytes("KVTRequest"),
                (unsigned long long)regionFileBytes("KVTResponse"));
    // Every refresh was a frame through the link.
    EXPECT_GE(end.requestFrame - start.requestFrame, static_cast<std::uint64_t>(frames - warmUp));
    EXPECT_EQ(end.ownerPid, static_cast<std::uint32_t>(maya.pid()));
    // Flat: the growth after the warm-up stays within a fixed allowance.
    EXPECT_LT(editorEndKb - editorStartKb, 48 * 1024 + editorStartKb / 5) << "ue4editor grows";
    EXPECT_LT(mayaEndKb - mayaStartKb, 48 * 1024 + mayaStartKb / 5) << "maya grows";
    EXPECT_LE(end.requestView, std::max<std::uint32_t>(start.requestView, 1u << 24));
    EXPECT_LE(end.responseView, std::max<std::uint32_t>(start.responseView, 1u << 24));
    EXPECT_LT(regionFileBytes("KVTRequest") + regionFileBytes("KVTResponse"), 64ull << 20);

    // The end: every survivor to a slot of its own, shown, under the world's groups at the
    // origin, seen from above; where the soak moved things about must then be empty.
    std::string final = "select -cl; setAttr skyShape.intensity 0.01; setAttr grpA.translate 0 0 0; "
                        "setAttr grpB.translate 0 0 0;";
    auto slot = [](size_t i) { return Vec3{-12.0 + 2.0 * (i % 13), 0.5, i < 13 ? 8.0 : 10.5}; };
    const auto& objects = soak.model.objects;
    ASSERT_LE(objects.size(), 26u);
    for (size_t i = 0; i < objects.size(); ++i) {
        Vec3 s = slot(i);
        final += " showHidden " + objects[i].name + "; setAttr " + objects[i].name + ".translate " + num(s[0]) + " " +
                 num(s[1]) + " " + num(s[2]) + ";";
    }
    CameraAttributes top;
    top.translate = {0, 100, 0};
    top.rotate = {-90, 0, 0};
    top.orthographic = true;
    top.orthographicWidth = 30;
    out = maya.mel(final + top.mel("top", "topShape") + " lookThru top; refresh;");
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    Picture p;
    ASSERT_TRUE(Picture::read(maya.picture("soakEnd"), p));
    MayaCamera cam(top, kSoakWidth, kSoakHeight);
    for (size_t i = 0; i < objects.size(); ++i) {
        const Model::Shape& shape = soak.model.shapes[objects[i].shape];
        Material m = *kMaterials[shape.material];
        for (int c = 0; c < 3; ++c) m.linear[c] *= kVertexColours[shape.colour][c];
        Vec3 s = slot(i);
        PixelPos at = cam.project({s[0], 1, s[2]});
        if (!blockShows(p, at, unrealColour(m)))
            ADD_FAILURE() << objects[i].name << " expected " << text(unrealColour(m)) << ": " << describe(p, at)
                          << "; in Maya at" << maya.mel("xform -q -ws -t " + objects[i].name) << "visibility"
                          << maya.mel("getAttr " + objects[i].name + ".visibility") << "edits naming it:"
                          << soak.history(objects[i].name);
    }
    int leftovers = 0;
    std::string where;
    for (double x = -5.5; x <= 5.5; x += 0.1)
        for (double z = -5.5; z <= 5.5; z += 0.1) {
            PixelPos at = cam.project({x, 0, z});
            Rgb c = p.at(at.ix(), at.iy());
            if (close(c, {0, 0, 0}, 8) || close(c, kGridLine, 8)) continue;
            if (++leftovers <= 3) where += " " + describe(p, at);
        }
    EXPECT_EQ(leftovers, 0) << "something still shows where the soak's objects stood:" << where;

    maya.kill();
    // The editor's exit runs the leak check of a sanitizer build.
    EXPECT_TRUE(editor.quit());
    EXPECT_EQ(editor.program().wait(0), 0) << editor.program().output();
    expectNoSanitizerReport(editor.program(), "ue4editor");
    expectNoSanitizerReport(maya.program(), "maya");
    removeRegionNames();
}

} // namespace
