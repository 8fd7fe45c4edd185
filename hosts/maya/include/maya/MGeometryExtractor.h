#pragma once
#include <maya/MDagPath.h>
#include <maya/MHWGeometry.h>
#include <memory>

namespace MHWRender {

enum MPolyGeomOptions {
    kPolyGeom_Normal = 0,
    kPolyGeom_NotSharing = 1 << 0,
    kPolyGeom_BaseMesh = 1 << 1
};

struct ExtractedGeometry;

// Triangulates a mesh (or a NURBS surface's tessellation) and splits its vertices
// wherever position, normal, UV or colour differ.
class OPENMAYA_EXPORT MGeometryExtractor {
public:
    MGeometryExtractor(const MGeometryRequirements& requirements, const MDagPath& path,
                       MPolyGeomOptions options, MStatus* status = nullptr);
    MGeometryExtractor(const MGeometryRequirements& requirements, const MDagPath& path,
                       const bool sharing = true, MStatus* status = nullptr);
    ~MGeometryExtractor();
    unsigned int primitiveCount(const MIndexBufferDescriptor& indexDesc) const;
    MStatus populateIndexBuffer(void* data, const unsigned int primitiveCount,
                                const MIndexBufferDescriptor& indexDesc) const;
    unsigned int vertexCount() const;
    MStatus populateVertexBuffer(void* data, const unsigned int vertexCount,
                                 const MVertexBufferDescriptor& bufferDesc) const;
    static unsigned int minimumBufferSize(unsigned int primitiveCount, MGeometry::Primitive primitive,
                                          unsigned int primitiveStride = 0);

private:
    std::unique_ptr<ExtractedGeometry> fData;
};

} // namespace MHWRender
