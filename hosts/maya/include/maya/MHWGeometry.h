#pragma once
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender {

// Geometry enumerations of Viewport 2.0. Not constructed by plug-ins.
class OPENMAYARENDER_EXPORT MGeometry {
public:
    enum DataType {
        kInvalidType,
        kFloat,
        kDouble,
        kChar,
        kUnsignedChar,
        kInt16,
        kUnsignedInt16,
        kInt32,
        kUnsignedInt32
    };
    enum Semantic {
        kInvalidSemantic,
        kPosition,
        kNormal,
        kTexture,
        kColor,
        kTangent,
        kBitangent,
        kTangentWithSign
    };
    enum Primitive {
        kInvalidPrimitive,
        kPoints,
        kLines,
        kLineStrip,
        kTriangles,
        kTriangleStrip,
        kAdjacentTriangles,
        kAdjacentTriangleStrip,
        kAdjacentLines,
        kAdjacentLineStrip,
        kPatch
    };

private:
    MGeometry();
    MGeometry(const MGeometry&);
    MGeometry& operator=(const MGeometry&);
    ~MGeometry();
};

class OPENMAYARENDER_EXPORT MVertexBufferDescriptor {
public:
    MVertexBufferDescriptor() = default;
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, MGeometry::DataType dataType,
                            int dimension);
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, const MString& semanticName,
                            MGeometry::DataType dataType, int dimension);
    ~MVertexBufferDescriptor() = default;
    MVertexBufferDescriptor(const MVertexBufferDescriptor& other) = default;
    MVertexBufferDescriptor& operator=(const MVertexBufferDescriptor& other) = default;

    MString name() const { return fName; }
    MGeometry::Semantic semantic() const { return fSemantic; }
    MString semanticName() const { return fSemanticName; }
    MGeometry::DataType dataType() const { return fDataType; }
    int dimension() const { return fDimension; }
    int stride() const;

private:
    MString fName;
    MGeometry::Semantic fSemantic = MGeometry::kInvalidSemantic;
    MString fSemanticName;
    MGeometry::DataType fDataType = MGeometry::kInvalidType;
    int fDimension = 0;
};

class OPENMAYARENDER_EXPORT MIndexBufferDescriptor {
public:
    enum IndexType {
        kVertexPoint = 0,
        kEdgeLine,
        kTriangleEdge,
        kTriangle,
        kFaceCenter,
        kEditPoint,
        kControlVertex,
        kHullEdgeLine,
        kHullTriangle,
        kHullFaceCenter,
        kHullEdgeCenter,
        kHullUV,
        kSubDivEdge,
        kTangent,
        kCustom
    };
    MIndexBufferDescriptor() = default;
    MIndexBufferDescriptor(MIndexBufferDescriptor::IndexType type, const MString& name,
                           MGeometry::Primitive primitive, unsigned int primitiveStride = 0,
                           MObject component = MObject::kNullObj,
                           MGeometry::DataType dataType = MGeometry::kUnsignedInt32);
    ~MIndexBufferDescriptor() = default;

    MString name() const { return fName; }
    MIndexBufferDescriptor::IndexType indexType() const { return fType; }
    MGeometry::Primitive primitive() const { return fPrimitive; }
    unsigned int primitiveStride() const { return fStride; }
    MObject component() const { return fComponent; }
    MGeometry::DataType dataType() const { return fDataType; }

private:
    IndexType fType = kTriangle;
    MString fName;
    MGeometry::Primitive fPrimitive = MGeometry::kInvalidPrimitive;
    unsigned int fStride = 0;
    MObject fComponent;
    MGeometry::DataType fDataType = MGeometry::kUnsignedInt32;
};

// The buffers a plug-in asks for: vertex streams and index buffers.
class OPENMAYARENDER_EXPORT MGeometryRequirements {
public:
    MGeometryRequirements() = default;
    ~MGeometryRequirements() = default;
    void addVertexRequirement(const MVertexBufferDescriptor& descriptor);
    void addIndexingRequirement(const MIndexBufferDescriptor& descriptor);

private:
    MGeometryRequirements(const MGeometryRequirements&) = delete;
    MGeometryRequirements& operator=(const MGeometryRequirements&) = delete;
    friend struct mayahost::Bridge;
    std::vector<MVertexBufferDescriptor> fVertex;
    std::vector<MIndexBufferDescriptor> fIndex;
};

} // namespace MHWRender

OPENMAYA_NAMESPACE_CLOSE
