#pragma once
// Vertex factories: where a mesh's vertex attributes come from (vertex buffer, offset, stride
// and element type of each stream component).
#include "RenderResource.h"
#include "Containers/EnumAsByte.h"
#include <cstddef>

struct FVertexStreamComponent {
    const FVertexBuffer* VertexBuffer;
    uint8 Offset;
    uint8 Stride;
    TEnumAsByte<EVertexElementType> Type;
    bool bUseInstanceIndex;
    bool bSetByVertexFactoryInSetMesh;

    FVertexStreamComponent()
        : VertexBuffer(nullptr), Offset(0), Stride(0), Type(VET_None), bUseInstanceIndex(false), bSetByVertexFactoryInSetMesh(false) {}
    FVertexStreamComponent(const FVertexBuffer* InVertexBuffer, uint32 InOffset, uint32 InStride, EVertexElementType InType,
                           bool bInUseInstanceIndex = false, bool bInSetByVertexFactoryInSetMesh = false)
        : VertexBuffer(InVertexBuffer), Offset(uint8(InOffset)), Stride(uint8(InStride)), Type(InType), bUseInstanceIndex(bInUseInstanceIndex),
          bSetByVertexFactoryInSetMesh(bInSetByVertexFactoryInSetMesh) {}
};

#define STRUCTMEMBER_VERTEXSTREAMCOMPONENT(VertexBuffer, VertexType, Member, MemberType) \
    FVertexStreamComponent(VertexBuffer, offsetof(VertexType, Member), sizeof(VertexType), MemberType)

class RENDERCORE_API FVertexFactory : public FRenderResource {
public:
    FVertexFactory() {}
    ~FVertexFactory() override {}
    FString GetFriendlyName() const override { return TEXT("FVertexFactory"); }
};
