#pragma once
// Conversions between the API's value classes and the scene's internals.

#include "Mel.h"
#include "Scene.h"

#include <maya/MCommandResult.h>
#include <maya/MDagPath.h>
#include <maya/MDrawContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

namespace mayahost {

struct FrameState;

struct Component {
    std::vector<int> faces;
};

struct Bridge {
    static MObject object(Node* node);
    static Node* node(const MObject& object);          // null unless a node
    static Node* liveNode(const MObject& object);      // null unless a live node
    static MObject attribute(const AttrDef* attr);
    static const AttrDef* attr(const MObject& object);
    static MObject component(std::vector<int> faces);
    static const Component* component(const MObject& object);
    static MObject data(MFn::Type type, std::shared_ptr<const void> keep);
    static const void* data(const MObject& object);
    static MDagPath path(const Path& path);
    static Path path(const MDagPath& path);
    static MPlug plug(const Plug& plug);
    static Plug plug(const MPlug& plug);
    static void fillResult(MCommandResult& result, const mel::Value& value);
    static std::vector<MSelectionList::Item>& items(MSelectionList& list) { return list.fItems; }
    static const std::vector<MSelectionList::Item>& items(const MSelectionList& list) { return list.fItems; }
    static const std::vector<MHWRender::MVertexBufferDescriptor>& vertexRequirements(
        const MHWRender::MGeometryRequirements& requirements) {
        return requirements.fVertex;
    }
    // The context the viewport's frames are drawn with, and the frame it describes.
    static MHWRender::MDrawContext& drawContext();
    static void setFrameState(MHWRender::MFrameContext& context, const FrameState* state) { context.fState = state; }
    static const std::vector<MHWRender::MIndexBufferDescriptor>& indexingRequirements(
        const MHWRender::MGeometryRequirements& requirements) {
        return requirements.fIndex;
    }
};

} // namespace mayahost
