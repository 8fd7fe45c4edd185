#pragma once
// The versioned API namespace of Maya 2018. Every API class lives in
// Autodesk::Maya::OpenMaya20180000 (its MHWRender classes in the nested MHWRender), and
// using-declarations bring each one into the global namespace (and the MHWRender ones
// into ::MHWRender as well). So a plug-in names the classes as before, its entry points
// mangle with the versioned MObject, and a plug-in that forward-declares an API class
// itself (`class MObject;`, `namespace MHWRender { class MDrawContext; }`) declares a
// second class of that name, which conflicts with the using-declaration: include this
// header where a declaration is enough.
//
// Non-class names stay where plug-ins name them: typedefs such as MCallbackId and MS, and
// the Viewport 2.0 enums (MHWRender::DrawAPI …) in the global ::MHWRender.
//
// Adding a class to the stand-in (header maya/MFoo.h):
//   1. declare it below inside the namespace block: `class MFoo;` (in `namespace MHWRender`
//      when it is a Viewport 2.0 class);
//   2. add `using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFoo;` to the global list (for an
//      MHWRender class: `…::MHWRender::MFoo;` in both the global and the ::MHWRender list);
//   3. in maya/MFoo.h, include <maya/MTypes.h> (which includes this header) and put the
//      class between OPENMAYA_MAJOR_NAMESPACE_OPEN and OPENMAYA_NAMESPACE_CLOSE (for an
//      MHWRender class: `namespace MHWRender { … }` between them);
//   4. the stand-in's definitions (hosts/maya/src) are written at global scope
//      (`MStatus MFoo::bar() {…}`) or inside OPENMAYA_MAJOR_NAMESPACE_OPEN; never inside a
//      plain `namespace MHWRender { }`, which does not enclose the class.
// tests/hostapi/check_api_namespace.sh fails when a header defines a class outside the
// namespace or this header lacks its declaration or using-declarations.

#define AUTODESK_NAMESPACE Autodesk
#define MAYA_NAMESPACE Maya
#define OPENMAYA_NAMESPACE_OPEN(API_VERSION) \
    namespace AUTODESK_NAMESPACE { namespace MAYA_NAMESPACE { namespace API_VERSION {
#define OPENMAYA_NAMESPACE_CLOSE }}}
#define OPENMAYA_NAMESPACE_SCHEMA(API_VERSION) AUTODESK_NAMESPACE::MAYA_NAMESPACE::API_VERSION

#define OPENMAYA_MAJOR_NAMESPACE OpenMaya20180000
#define OPENMAYA_MAJOR_NAMESPACE_OPEN OPENMAYA_NAMESPACE_OPEN(OPENMAYA_MAJOR_NAMESPACE)
#define OPENMAYA_MAJOR_NAMESPACE_SCHEMA OPENMAYA_NAMESPACE_SCHEMA(OPENMAYA_MAJOR_NAMESPACE)

OPENMAYA_MAJOR_NAMESPACE_OPEN
    class M3dView;
    class MColor;
    class MCommandResult;
    class MDagMessage;
    class MDagPath;
    class MDagPathArray;
    class MDGMessage;
    class MEventMessage;
    class MFn;
    class MFnAmbientLight;
    class MFnAttribute;
    class MFnBase;
    class MFnDagNode;
    class MFnData;
    class MFnDependencyNode;
    class MFnDirectionalLight;
    class MFnLight;
    class MFnMesh;
    class MFnNonAmbientLight;
    class MFnNonExtendedLight;
    class MFnNurbsSurface;
    class MFnPlugin;
    class MFnPointLight;
    class MFnSpotLight;
    class MFnStringData;
    class MFnTypedAttribute;
    class MGlobal;
    class MItDag;
    class MItDependencyNodes;
    class MMatrix;
    class MMessage;
    class MNodeClass;
    class MNodeMessage;
    class MObject;
    class MObjectArray;
    class MObjectHandle;
    class MPlug;
    class MPlugArray;
    class MSceneMessage;
    class MSelectionList;
    class MStatus;
    class MString;
    class MStringArray;
    class MTimerMessage;
    class MTransformationMatrix;

    namespace MHWRender
    {
        class MDrawContext;
        class MFrameContext;
        class MGeometryExtractor;
        class MVertexBufferDescriptor;
        class MIndexBufferDescriptor;
        class MGeometry;
        class MGeometryRequirements;
        class MRenderOperation;
        class MUserRenderOperation;
        class MPresentTarget;
        class MClearOperation;
        class MSceneRender;
        class MRenderOverride;
        class MRenderer;
    }
OPENMAYA_NAMESPACE_CLOSE

using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::M3dView;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MColor;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MCommandResult;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MDagMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MDagPath;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MDagPathArray;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MDGMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MEventMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFn;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnAmbientLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnAttribute;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnBase;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnDagNode;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnData;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnDependencyNode;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnDirectionalLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnMesh;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnNonAmbientLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnNonExtendedLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnNurbsSurface;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnPlugin;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnPointLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnSpotLight;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnStringData;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MFnTypedAttribute;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MGlobal;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MItDag;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MItDependencyNodes;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MMatrix;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MNodeClass;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MNodeMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MObject;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MObjectArray;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MObjectHandle;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MPlug;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MPlugArray;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MSceneMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MSelectionList;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MStatus;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MString;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MStringArray;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MTimerMessage;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MTransformationMatrix;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MDrawContext;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MFrameContext;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometryExtractor;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MVertexBufferDescriptor;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MIndexBufferDescriptor;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometry;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometryRequirements;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderOperation;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MUserRenderOperation;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MPresentTarget;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MClearOperation;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MSceneRender;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderOverride;
using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderer;

namespace MHWRender
{
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MDrawContext;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MFrameContext;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometryExtractor;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MVertexBufferDescriptor;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MIndexBufferDescriptor;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometry;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MGeometryRequirements;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderOperation;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MUserRenderOperation;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MPresentTarget;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MClearOperation;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MSceneRender;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderOverride;
    using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::MRenderer;
}
