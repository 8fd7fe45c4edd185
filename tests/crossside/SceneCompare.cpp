// Pairs Maya's instances with the editor's components and lists what differs.

#include "SceneCompare.h"

#include "link/RecordReader.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace crossside {
namespace {

// Float transforms on the Unreal side, double ones in Maya; the scenes stay within a few
// tens of units.
constexpr double kTolerance = 1e-3;

double distance(const Matrix4& a, const Matrix4& b)
{
    double worst = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            worst = std::max(worst, std::fabs(a.m[r][c] - b.m[r][c]) / std::max(1.0, std::fabs(a.m[r][c])));
    return worst;
}

std::string text(const Matrix4& m)
{
    std::string out;
    char cell[32];
    for (int r = 0; r < 4; ++r) {
        out += r ? " | " : "[";
        for (int c = 0; c < 4; ++c) {
            std::snprintf(cell, sizeof cell, c ? " %.4g" : "%.4g", m.m[r][c]);
            out += cell;
        }
    }
    return out + "]";
}

std::string text(const std::optional<std::string>& name) { return name ? *name : std::string("(none)"); }

std::string describe(const UnrealComponentView& u)
{
    return kvt::recordKindName(u.kind) + " component at (" + std::to_string(u.world.m[3][0]) + ", " +
           std::to_string(u.world.m[3][1]) + ", " + std::to_string(u.world.m[3][2]) + ")";
}

} // namespace

std::vector<std::string> CompareMirror(const std::vector<MayaInstanceView>& maya,
                                       const std::vector<UnrealComponentView>& unreal)
{
    std::vector<std::string> problems;
    std::vector<bool> taken(unreal.size(), false);
    if (maya.size() != unreal.size())
        problems.push_back(std::to_string(maya.size()) + " live Maya instances but " + std::to_string(unreal.size()) +
                           " mirror components in the editor world");

    for (const MayaInstanceView& m : maya) {
        if (m.instanceHandle == 0 || m.shapeHandle == 0)
            problems.push_back(m.path + ": no remote handle came back for the " +
                               (m.instanceHandle == 0 ? "instance" : "shape"));
        // The nearest free component of the kind; for a mesh one that draws this shape's
        // node, before any other.
        int best = -1;
        double bestDistance = std::numeric_limits<double>::infinity();
        bool bestSameNode = false;
        for (std::size_t i = 0; i < unreal.size(); ++i) {
            if (taken[i] || unreal[i].kind != m.kind)
                continue;
            const bool sameNode = m.kind != kvt::RecordKind::Mesh || unreal[i].meshNode == m.shapeHandle;
            const double d = distance(m.world, unreal[i].world);
            if ((sameNode && !bestSameNode) || (sameNode == bestSameNode && d < bestDistance)) {
                best = static_cast<int>(i);
                bestDistance = d;
                bestSameNode = sameNode;
            }
        }
        if (best < 0) {
            problems.push_back(m.path + ": no " + kvt::recordKindName(m.kind) + " component in the editor world");
            continue;
        }
        taken[std::size_t(best)] = true;
        const UnrealComponentView& u = unreal[std::size_t(best)];
        if (!bestSameNode)
            problems.push_back(m.path + ": its component draws another mesh node than its shape's");
        if (bestDistance > kTolerance)
            problems.push_back(m.path + ": world transform " + text(u.world) + " in the editor, " + text(m.world) +
                               " from Maya");
        if (u.visible != m.visible)
            problems.push_back(m.path + std::string(": ") + (m.visible ? "visible" : "hidden") + " in Maya but " +
                               (u.visible ? "visible" : "hidden") + " in the editor");
        if (m.kind == kvt::RecordKind::Mesh) {
            // Each slot whose shading engine names a material holds that material.
            for (std::size_t s = 0; s < m.materials.size(); ++s) {
                if (!m.materials[s])
                    continue;
                const std::optional<std::string> held = s < u.materials.size() ? u.materials[s] : std::nullopt;
                if (held != m.materials[s])
                    problems.push_back(m.path + ": material slot " + std::to_string(s) + " holds " + text(held) +
                                       " in the editor, Maya names " + text(m.materials[s]));
            }
        } else if (std::fabs(u.intensity - m.intensity) > kTolerance * std::max(1.0f, m.intensity)) {
            problems.push_back(m.path + ": light intensity " + std::to_string(u.intensity) + " in the editor, " +
                               std::to_string(m.intensity) + " from Maya");
        }
    }
    for (std::size_t i = 0; i < unreal.size(); ++i)
        if (!taken[i])
            problems.push_back(describe(unreal[i]) + ": no live Maya instance shows it");
    return problems;
}

} // namespace crossside
