#pragma once
#include <maya/MDagPath.h>
#include <maya/MHWGeometry.h>
#include <maya/MStatus.h>
#include <memory>

// The extraction options are not a class: they stay in the global MHWRender.
namespace MHWRender {

typedef int MPolyGeomOptions;

enum {
    kPolyGeom_Normal = 0,          // vertices shared where all streams agree
    kPolyGeom_NotSharing = 1 << 0, // every face corner a vertex of its own
    kPolyGeom_BaseMesh = 1 << 1    // the base mesh in smooth-mesh preview (always, here)
};

} // namespace MHWRender

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender {

struct ExtractedGeometry;

// Triangulates a mesh (or a NURBS surface's tessellation) and splits its vertices
// wherever position, normal, UV or colour differ; with sharing off, every face corner is
// a vertex of its own.
class OPENMAYARENDER_EXPORT MGeometryExtractor {
public:
    MGeometryExtractor(const MHWRender::MGeometryRequirements& requirements, const MDagPath& path,
                       ::MHWRender::MPolyGeomOptions options, MStatus* status = NULL);
    // Deprecated beside the options form: `sharing` false is kPolyGeom_NotSharing.
    [[deprecated("Use MGeometryExtractor(const MGeometryRequirements&, const MDagPath&, MPolyGeomOptions, MStatus*)")]]
    MGeometryExtractor(const MHWRender::MGeometryRequirements& requirements, const MDagPath& path,
                       const bool sharing = true, MStatus* status = NULL);
    ~MGeometryExtractor();

    unsigned int primitiveCount(const MHWRender::MIndexBufferDescriptor& indexDesc) const;
    MStatus populateIndexBuffer(void* data, const unsigned int primitiveCount,
                                const MHWRender::MIndexBufferDescriptor& indexDesc) const;
    unsigned int vertexCount() const;
    MStatus populateVertexBuffer(void* data, const unsigned int vertexCount,
                                 const MHWRender::MVertexBufferDescriptor& bufferDesc) const;
    static unsigned int minimumBufferSize(unsigned int primitiveCount, MGeometry::Primitive primitive,
                                          unsigned int primitiveStride = 0);

private:
    std::unique_ptr<ExtractedGeometry> fData;
};

} // namespace MHWRender

OPENMAYA_NAMESPACE_CLOSE
