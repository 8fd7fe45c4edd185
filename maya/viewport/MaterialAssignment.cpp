#include "MaterialAssignment.h"

#include "scene/MayaSceneRegistry.h"
#include "scene/Utf16.h"


#include <maya/MCommandResult.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <cstdio>
#include <cstring>

namespace {

// The shader of the first shading engine tagged with `name` whose surfaceShader is
// connected, or an empty string.
MString findTaggedShader(const MString& name, const MObject& attribute)
{
    for (MItDependencyNodes it(MFn::kShadingEngine); !it.isDone(); it.next()) {
        MObject engine = it.thisNode();
        MPlug tag(engine, attribute);
        if (tag.isNull() || !(tag.asString() == name))
            continue;
        MFnDependencyNode fn(engine);
        MStatus status;
        MPlug surface = fn.findPlug("surfaceShader", true, &status);
        if (!status || surface.isNull())
            continue;
        MPlugArray sources;
        surface.connectedTo(sources, true, false);
        if (sources.length() == 0)
            continue;
        MFnDependencyNode shader(sources[0].node());
        return shader.name();
    }
    return MString();
}

} // namespace

void assignMaterialToSelection(const std::u16string& name)
{
    MayaSceneRegistry& registry = MayaSceneRegistry::instance();
    MSelectionList selection;
    MGlobal::getActiveSelectionList(selection);

    MString tag = fromUtf16(name);
    MString shader = findTaggedShader(tag, registry.materialAttribute);
    if (shader.length() == 0) {
        MGlobal::executeCommand("shadingNode -asShader lambert", shader, false, false);
        // Creating the shader selected it.
        MGlobal::setActiveSelectionList(selection, MGlobal::kReplaceList);
    }

    // A name the command cannot hold is not cut into some other command.
    const char* shaderText = shader.asChar();
    if (std::strlen(shaderText) <= kMaxShaderName) {
        char command[2048];
        std::snprintf(command, sizeof command, "hyperShade -assign \"%s\"", shaderText);
        MCommandResult result;
        registry.assigningMaterial = &name;
        MGlobal::executeCommand(command, result, false, true);
        registry.assigningMaterial = nullptr;
    }

    for (unsigned int j = 0; j < selection.length(); ++j) {
        MDagPath path;
        if (!selection.getDagPath(j, path))
            continue;
        MayaSceneObject* instance = registry.findInstance(path);
        if (!instance)
            continue;
        if (!instance->deleted)
            registry.markMaterials(instance);
        if (instance->shape && !instance->shape->deleted)
            registry.dirtyShapes.insertBefore(static_cast<ShapeListNode*>(instance->shape));
    }
}
