#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <vector>

namespace MHWRender {

class OPENMAYA_EXPORT MGeometry {
public:
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
};

class OPENMAYA_EXPORT MVertexBufferDescriptor {
public:
    MVertexBufferDescriptor() = default;
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, MGeometry::DataType dataType,
                            int dimension);
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, const MString& semanticName,
                            MGeometry::DataType dataType, int dimension);
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

class OPENMAYA_EXPORT MIndexBufferDescriptor {
public:
    enum IndexType {
        kVertexPoint = 0,
        kEdgeLine = 1,
        kTriangleEdge = 2,
        kTriangle = 3,
        kFaceCenter = 4,
        kEditPoint = 5,
        kControlVertex = 6,
        kHullEdgeLine = 7,
        kHullTriangle = 8,
        kHullFaceCenter = 9,
        kHullEdgeCenter = 10,
        kHullUV = 11,
        kSubDivEdge = 12,
        kTangent = 13,
        kCustom = 14
    };
    MIndexBufferDescriptor() = default;
    MIndexBufferDescriptor(IndexType type, const MString& name, MGeometry::Primitive primitive,
                           unsigned int primitiveStride = 0, MObject component = MObject(),
                           MGeometry::DataType dataType = MGeometry::kUnsignedInt32);
    IndexType indexType() const { return fType; }
    MString name() const { return fName; }
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

class OPENMAYA_EXPORT MGeometryRequirements {
public:
    void addVertexRequirement(const MVertexBufferDescriptor& descriptor);
    void addIndexingRequirement(const MIndexBufferDescriptor& descriptor);
    const std::vector<MVertexBufferDescriptor>& vertexRequirementList() const { return fVertex; }
    const std::vector<MIndexBufferDescriptor>& indexingRequirementList() const { return fIndex; }

private:
    std::vector<MVertexBufferDescriptor> fVertex;
    std::vector<MIndexBufferDescriptor> fIndex;
};

} // namespace MHWRender
