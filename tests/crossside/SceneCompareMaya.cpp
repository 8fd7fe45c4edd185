// Maya's side of the comparison: each instance the scene mirror holds, with the transform,
// visibility and materials Maya's own scene gives it.

#include "SceneCompare.h"

#include "scene/MayaSceneRegistry.h"

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLight.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <algorithm>
#include <set>

namespace crossside {
namespace {

std::optional<kvt::RecordKind> kindOf(MFn::Type type)
{
    switch (type) {
    case MFn::kMesh:
    case MFn::kNurbsSurface: return kvt::RecordKind::Mesh;
    case MFn::kAmbientLight: return kvt::RecordKind::AmbientLight;
    case MFn::kDirectionalLight: return kvt::RecordKind::DirectionalLight;
    case MFn::kPointLight: return kvt::RecordKind::PointLight;
    case MFn::kSpotLight: return kvt::RecordKind::SpotLight;
    default: return std::nullopt;
    }
}

// Maya's world matrix as the editor holds it. Maya's Y is up, Unreal's Z: the two axes
// trade places in rows and columns alike. Lights that shine in a direction shine down
// their -Z axis in Maya and along +X in Unreal, so the component's X axis is Maya's -Z,
// its Y axis Maya's Y and its Z axis Maya's X.
Matrix4 editorTransform(const MMatrix& maya, kvt::RecordKind kind)
{
    double rows[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            rows[r][c] = maya.matrix[r][c];
    if (kind == kvt::RecordKind::DirectionalLight || kind == kvt::RecordKind::PointLight ||
        kind == kvt::RecordKind::SpotLight)
        for (int c = 0; c < 4; ++c) {
            rows[0][c] = -maya.matrix[2][c];
            rows[2][c] = maya.matrix[0][c];
        }
    const int axis[4] = {0, 2, 1, 3};
    Matrix4 out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = rows[axis[r]][axis[c]];
    return out;
}

std::vector<std::optional<std::string>> materialsOf(const MDagPath& path)
{
    MObjectArray sets, components;
    MFnDagNode(path).getConnectedSetsAndMembers(path.instanceNumber(), sets, components, true);
    std::vector<std::optional<std::string>> names;
    for (unsigned i = 0; i < sets.length(); ++i) {
        MPlug tag = MFnDependencyNode(sets[i]).findPlug("UE4Material", true);
        std::string name = tag.isNull() ? std::string() : std::string(tag.asString().asChar());
        names.push_back(name.empty() ? std::nullopt : std::optional<std::string>(name));
    }
    return names;
}

} // namespace

std::vector<MayaInstanceView> DescribeMaya(MayaSceneRegistry& registry, std::vector<std::string>& problems)
{
    std::vector<MayaInstanceView> views;
    std::vector<std::string> mirrored;
    std::set<const MayaShape*> shown;
    registry.forEachInstance([&](MayaSceneObject* instance) {
        if (instance->deleted)
            return; // waits for its deletion record: no longer part of the scene
        shown.insert(instance->shape);
        const MDagPath& path = instance->path;
        MayaInstanceView view;
        view.path = path.fullPathName().asChar();
        mirrored.push_back(view.path);
        std::optional<kvt::RecordKind> kind = kindOf(path.apiType());
        if (!kind || !instance->shape) {
            problems.push_back(view.path + ": a registry instance without a mirrored shape");
            return;
        }
        view.kind = *kind;
        view.world = editorTransform(path.inclusiveMatrix(), *kind);
        MDagPath above(path);
        above.pop();
        MObject shapeNode = path.node();
        const bool shapeVisible = MFnDependencyNode(shapeNode).findPlug("visibility", true).asBool();
        view.visible = above.isVisible() && shapeVisible;
        if (*kind == kvt::RecordKind::Mesh)
            view.materials = materialsOf(path);
        else
            view.intensity = MFnLight(shapeNode).intensity() * 100.0f;
        view.instanceHandle = instance->remoteHandle;
        view.shapeHandle = instance->shape->remoteHandle;
        views.push_back(std::move(view));
    });

    // A shape lives as long as some DAG path leads to it: one that no instance shows would
    // stay mirrored (a mesh node in the editor) with nothing to draw it.
    registry.forEachShape([&](MayaShape* shape) {
        if (shape->deleted || shown.count(shape))
            return;
        MObject node = shape->node.object();
        problems.push_back(std::string(MFnDependencyNode(node).name().asChar()) +
                           ": a mirrored shape that no instance shows");
    });

    // The registry against the DAG itself: every path that ends at a mirrored shape is an
    // instance, and nothing else is.
    std::vector<std::string> dag;
    for (MItDag it; !it.isDone(); it.next()) {
        MDagPath path;
        it.getPath(path);
        if (kindOf(path.apiType()))
            dag.push_back(path.fullPathName().asChar());
    }
    std::sort(dag.begin(), dag.end());
    std::sort(mirrored.begin(), mirrored.end());
    std::vector<std::string> missing, extra;
    std::set_difference(dag.begin(), dag.end(), mirrored.begin(), mirrored.end(), std::back_inserter(missing));
    std::set_difference(mirrored.begin(), mirrored.end(), dag.begin(), dag.end(), std::back_inserter(extra));
    for (const std::string& p : missing)
        problems.push_back(p + ": in Maya's DAG but not in the scene mirror");
    for (const std::string& p : extra)
        problems.push_back(p + ": in the scene mirror but not in Maya's DAG");
    return views;
}

} // namespace crossside
