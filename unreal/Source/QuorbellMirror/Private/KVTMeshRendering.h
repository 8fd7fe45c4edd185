#pragma once
// The render-thread side of a mirrored mesh: the buffers uploaded from the request region,
// the vertex factory over them and the scene proxy of a mesh component.
#include "CoreMinimal.h"
#include "Containers/ResourceArray.h"
#include "LocalVertexFactory.h"
#include "Materials/MaterialInterface.h"
#include "PrimitiveSceneProxy.h"
#include "RenderResource.h"
#include "RenderingThread.h"
#include "UObject/WeakObjectPtr.h"
#include "link/Records.h"

class UKvtMeshComponent;
class FMirrorMeshNode;

// The vertices of one mesh node, uploaded straight from the request region.
class FKvtMeshVertexBuffer : public FVertexBuffer {
public:
    void InitRHI() override;

    const kvt::FKvtMeshVertex* Vertices = nullptr; // not owned
    int32 NumVertices = 0;
};

// Its triangle-list indices, unsigned 32-bit.
class FKvtMeshIndexBuffer : public FIndexBuffer {
public:
    void InitRHI() override;

    const uint32* Indices = nullptr; // not owned
    int32 NumIndices = 0;
};

// Hands bytes that lie elsewhere to a buffer creation, without copying them first.
class FKvtVertexDataArray : public FResourceArrayInterface {
public:
    FKvtVertexDataArray(const void* InData, uint32 InSize) : Data(InData), Size(InSize) {}
    const void* GetResourceData() const override { return Data; }
    uint32 GetResourceDataSize() const override { return Size; }
    void Discard() override {}
    bool IsStatic() const override { return false; }
    bool GetAllowCPUAccess() const override { return false; }
    void SetAllowCPUAccess(bool bInNeedsCPUAccess) override { (void)bInNeedsCPUAccess; }

private:
    const void* Data;
    uint32 Size;
};

// The local vertex factory over FKvtMeshVertex: position, tangent X and Z, one texture
// coordinate channel and the colour.
class FKvtMeshVertexFactory : public FLocalVertexFactory {
public:
    // Sets the streams at once on the render thread, or from a render command otherwise.
    void Init(const FKvtMeshVertexBuffer* VertexBuffer);

private:
    void SetStreams(const FKvtMeshVertexBuffer* VertexBuffer);
};

// Draws the sections of a mesh node every frame, one dynamic batch per section and view,
// each with the material of the section's slot. What it draws from the component (the
// node, the material proxies, the materials in use) is taken when it is made on the game
// thread; the render thread reads no object. The node's render-side data (sections,
// buffers, visibility) changes only in render commands, so a geometry update shows without
// recreating the proxy.
class FKvtMeshSceneProxy : public FPrimitiveSceneProxy {
public:
    explicit FKvtMeshSceneProxy(UKvtMeshComponent* InComponent);

    void GetDynamicMeshElements(const TArray<const FSceneView*>& Views, const FSceneViewFamily& ViewFamily, uint32 VisibilityMap,
                                FMeshElementCollector& Collector) const override;
    FPrimitiveViewRelevance GetViewRelevance(const FSceneView* View) const override;
    bool CanBeOccluded() const override;
    uint32 GetMemoryFootprint(void) const override;

private:
    const FMirrorMeshNode* Node; // outlives the proxy: the node goes in a later render command
    // One per material slot of the component; DefaultMaterialProxy beyond them.
    TArray<const FMaterialRenderProxy*> MaterialProxies;
    const FMaterialRenderProxy* DefaultMaterialProxy = nullptr;
    const FMaterialRenderProxy* WireframeParentProxy = nullptr;
    TArray<UMaterialInterface*> UsedMaterials; // pointers only, handed to the engine's verification
    FMaterialRelevance MaterialRelevance;
};
