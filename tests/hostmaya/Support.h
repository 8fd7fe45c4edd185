#pragma once
// Helpers shared by the stand-in's tests: running MEL, finding nodes and paths.

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <gtest/gtest.h>

#include <string>

#include "TempFile.h"

inline void mel(const std::string& command) {
    ASSERT_TRUE(MGlobal::executeCommand(MString(command.c_str()))) << command;
}

inline MString melString(const std::string& command) {
    MString result;
    EXPECT_TRUE(MGlobal::executeCommand(MString(command.c_str()), result)) << command;
    return result;
}

inline MDagPath pathOf(const std::string& name) {
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(MString(name.c_str()))) << name;
    EXPECT_TRUE(list.getDagPath(0, path)) << name;
    return path;
}

inline MObject nodeOf(const std::string& name) {
    MSelectionList list;
    MObject node;
    EXPECT_TRUE(list.add(MString(name.c_str()))) << name;
    EXPECT_TRUE(list.getDependNode(0, node)) << name;
    return node;
}

inline std::string nameOf(const MObject& node) { return MFnDependencyNode(node).name().asChar(); }

// Every test starts from a new, empty scene.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { mel("file -f -new"); }
};
