#pragma once
// A batch of triangles (or lines) drawn with one vertex factory and one material: one element
// per index range.
#include "RenderResource.h"
#include "PrimitiveUniformShaderParameters.h"

class FVertexFactory;
class FMaterialRenderProxy;

enum ESceneDepthPriorityGroup { SDPG_World, SDPG_Foreground, SDPG_MAX };
enum { SDPG_NumBits = 1 };

struct FMeshBatchElement {
    FUniformBufferRHIParamRef PrimitiveUniformBuffer;
    const FIndexBuffer* IndexBuffer;
    const void* UserData;
    uint32 FirstIndex;
    uint32 NumPrimitives;
    uint32 NumInstances;
    uint32 MinVertexIndex;
    uint32 MaxVertexIndex;
    int32 UserIndex;
    float MinScreenSize;
    float MaxScreenSize;

    FMeshBatchElement()
        : PrimitiveUniformBuffer(nullptr), IndexBuffer(nullptr), UserData(nullptr), FirstIndex(0), NumPrimitives(0), NumInstances(1),
          MinVertexIndex(0), MaxVertexIndex(0), UserIndex(-1), MinScreenSize(0.f), MaxScreenSize(1.f) {}
};

struct FMeshBatch {
    TArray<FMeshBatchElement, TInlineAllocator<1>> Elements;
    const FVertexFactory* VertexFactory;
    const FMaterialRenderProxy* MaterialRenderProxy;
    uint16 MeshIdInPrimitive;
    int8 LODIndex;
    uint32 ReverseCulling : 1;
    uint32 bDisableBackfaceCulling : 1;
    uint32 CastShadow : 1;
    uint32 bUseForMaterial : 1;
    uint32 bUseAsOccluder : 1;
    uint32 bWireframe : 1;
    uint32 Type : PT_NumBits;
    uint32 DepthPriorityGroup : SDPG_NumBits;
    uint32 bCanApplyViewModeOverrides : 1;
    uint32 bUseWireframeSelectionColoring : 1;
    uint32 bUseSelectionOutline : 1;
    uint32 bSelectable : 1;
    uint32 bRequiresPerElementVisibility : 1;
    uint32 bDitheredLODTransition : 1;

    FMeshBatch()
        : VertexFactory(nullptr), MaterialRenderProxy(nullptr), MeshIdInPrimitive(0), LODIndex(-1), ReverseCulling(false),
          bDisableBackfaceCulling(false), CastShadow(true), bUseForMaterial(true), bUseAsOccluder(true), bWireframe(false),
          Type(PT_TriangleList), DepthPriorityGroup(SDPG_World), bCanApplyViewModeOverrides(true), bUseWireframeSelectionColoring(false),
          bUseSelectionOutline(true), bSelectable(true), bRequiresPerElementVisibility(false), bDitheredLODTransition(false) {
        // A batch always has its first element.
        Elements.AddDefaulted(1);
    }

    int32 GetNumPrimitives() const {
        int32 Count = 0;
        for (const FMeshBatchElement& Element : Elements) Count += int32(Element.NumPrimitives * Element.NumInstances);
        return Count;
    }
};
