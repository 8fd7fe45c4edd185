#include "MaterialTag.h"

#include "Utf16.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MNodeClass.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>

#include <cstdio>

namespace {

void reportFailure(const MStatus& status)
{
    if (!status) {
        std::fputs("MAYA error", stdout);
        std::fflush(stdout);
    }
}

} // namespace

MObject createMaterialAttribute()
{
    MFnStringData empty;
    MObject defaultValue = empty.create("");
    MFnTypedAttribute typed;
    MObject attribute = typed.create("UE4Material", "ue4mt", MFnData::kString, defaultValue);
    reportFailure(typed.setStorable(true));
    reportFailure(MNodeClass("shadingEngine").addExtensionAttribute(attribute));
    return attribute;
}

void removeMaterialAttribute(const MObject& attribute)
{
    reportFailure(MNodeClass("shadingEngine").removeExtensionAttribute(attribute));
}

std::vector<kvt::Optional<std::u16string>> materialNames(const MDagPath& instance, const MObject& attribute)
{
    MFnDagNode shape(instance.node());
    MObjectArray sets, components;
    shape.getConnectedSetsAndMembers(instance.instanceNumber(), sets, components, true);
    std::vector<kvt::Optional<std::u16string>> names;
    names.reserve(sets.length());
    for (unsigned i = 0; i < sets.length(); ++i) {
        MPlug plug(sets[i], attribute);
        if (plug.isNull())
            names.emplace_back();
        else
            names.emplace_back(toUtf16(plug.asString()));
    }
    return names;
}

void tagShadingEngine(MObject& node, const MObject& attribute, const std::u16string& name)
{
    MPlug plug = MFnDependencyNode(node).findPlug(attribute, true);
    if (!plug.isNull())
        plug.setValue(fromUtf16(name));
}
