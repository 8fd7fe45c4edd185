#pragma once
// The "UE4Material" tag on shading engines: the name of the Unreal material an
// instance's faces in that set should show.

#include <maya/MDagPath.h>
#include <maya/MObject.h>

#include "link/Optional.h"
#include <string>
#include <vector>

// Creates the attribute and adds it to every shading engine, existing or future.
MObject createMaterialAttribute();
void removeMaterialAttribute(const MObject& attribute);

// One name per renderable set of the instance, in Maya's order; nothing where a set
// cannot carry the tag.
std::vector<kvt::Optional<std::u16string>> materialNames(const MDagPath& instance, const MObject& attribute);

// Tags a shading engine with a material name.
void tagShadingEngine(MObject& node, const MObject& attribute, const std::u16string& name);
