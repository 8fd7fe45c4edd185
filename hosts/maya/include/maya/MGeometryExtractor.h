#pragma once
#include <maya/MDagPath.h>
#include <maya/MHWGeometry.h>
#include <maya/MStatus.h>
#include <memory>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender {

struct ExtractedGeometry;

// Triangulates a mesh (or a NURBS surface's tessellation) and splits its vertices
// wherever position, normal, UV or colour differ; with sharing off, every face corner is
// a vertex of its own.
class OPENMAYARENDER_EXPORT MGeometryExtractor {
public:
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
