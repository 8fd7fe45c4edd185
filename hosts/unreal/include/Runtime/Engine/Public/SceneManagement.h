#pragma once
// What scene proxies use to hand their dynamic meshes to the renderer.
#include "MeshBatch.h"
#include "SceneView.h"
#include "MaterialShared.h"
#include <deque>
#include <memory>

class FPrimitiveSceneProxy;

class ENGINE_API FMeshElementCollector {
public:
    ~FMeshElementCollector();
    FMeshElementCollector(const FMeshElementCollector&) = delete;
    FMeshElementCollector& operator=(const FMeshElementCollector&) = delete;

    // A mesh batch that lives until the frame's views are drawn.
    FMeshBatch& AllocateMesh() {
        MeshBatchStorage.emplace_back();
        return MeshBatchStorage.back();
    }
    // Draws MeshBatch in view ViewIndex; its vertex factory must be initialised.
    void AddMesh(int32 ViewIndex, FMeshBatch& MeshBatch);
    // The collector owns Proxy and deletes it when the frame is done.
    void RegisterOneFrameMaterialProxy(FMaterialRenderProxy* Proxy) { TemporaryProxies.emplace_back(Proxy); }
    uint32 GetMeshBatchCount(uint32 ViewIndex) const;

private:
    struct FMeshBatchAndProxy {
        const FMeshBatch* Mesh;
        const FPrimitiveSceneProxy* PrimitiveSceneProxy;
    };
    explicit FMeshElementCollector(int32 InNumViews);
    std::deque<FMeshBatch> MeshBatchStorage; // stable addresses
    std::vector<std::vector<FMeshBatchAndProxy>> MeshBatches; // per view
    std::vector<std::unique_ptr<FMaterialRenderProxy>> TemporaryProxies;
    const FPrimitiveSceneProxy* PrimitiveSceneProxy = nullptr;
    friend class UE4Host::FSceneRenderer;
};
