#pragma once
// The two views of one scene, object by object: what Maya's scene says each mirrored
// instance should look like in the editor, and what the editor world holds. Compared,
// they yield one line per difference.

#include "link/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class MayaSceneRegistry;
class UWorld;
class USceneComponent;

namespace crossside {

// A 4×4 matrix in Unreal's axes, row vectors, translation in row 3.
struct Matrix4 {
    double m[4][4] = {};
};

// One live instance of a mirrored shape, as Maya's scene has it.
struct MayaInstanceView {
    std::string path;            // full DAG path, for messages
    kvt::RecordKind kind{};      // Mesh for polygon meshes and NURBS surfaces alike
    Matrix4 world;               // the component transform the editor should have
    bool visible = true;         // transform path and shape visibility together
    // Per material slot: the Unreal material the slot's shading engine names, or nothing.
    std::vector<std::optional<std::string>> materials;
    float intensity = 0.f;       // lights: the intensity the editor should show
    std::uint64_t instanceHandle = 0;
    std::uint64_t shapeHandle = 0; // for meshes, the mesh node every instance points at
};

// One registered mirror component of the editor world.
struct UnrealComponentView {
    const USceneComponent* component = nullptr;
    kvt::RecordKind kind{};
    Matrix4 world;
    bool visible = true; // meshes: the component's flag and its mesh node's together
    // Per override slot: the package of the material it holds, or nothing when empty.
    std::vector<std::optional<std::string>> materials;
    float intensity = 0.f;
    std::uint64_t meshNode = 0; // address of the component's mesh node (meshes)
};

// Every instance in the registry, checked against the DAG: a DAG path ending at a
// mirrored shape that the registry lacks (or the other way round), and a live shape that
// no instance shows, are reported in `problems`.
std::vector<MayaInstanceView> DescribeMaya(MayaSceneRegistry& registry, std::vector<std::string>& problems);

// Every registered mesh and light component of the world.
std::vector<UnrealComponentView> DescribeUnreal(UWorld* world);

// Pairs each Maya instance with one component of its kind at its transform (and, for a
// mesh, showing its shape's node) and lists every difference: instances without a
// component, components without an instance, transform, visibility, the materials Maya
// names, light intensity.
std::vector<std::string> CompareMirror(const std::vector<MayaInstanceView>& maya,
                                       const std::vector<UnrealComponentView>& unreal);

} // namespace crossside
