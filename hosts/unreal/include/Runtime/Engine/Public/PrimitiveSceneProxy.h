#pragma once
// The render-thread copy of a primitive component; components make theirs in
// CreateSceneProxy, the scene owns it and deletes it on the render thread.
#include "CoreMinimal.h"
#include "PrimitiveViewRelevance.h"
#include "SceneManagement.h"

class UPrimitiveComponent;
class UMaterialInterface;
class FSceneInterface;

class ENGINE_API FPrimitiveSceneProxy {
public:
    explicit FPrimitiveSceneProxy(const UPrimitiveComponent* InComponent, FName ResourceName = NAME_None);
    virtual ~FPrimitiveSceneProxy();

    // The meshes to draw in the views whose bits are set in VisibilityMap (render thread).
    virtual void GetDynamicMeshElements(const TArray<const FSceneView*>& Views, const FSceneViewFamily& ViewFamily, uint32 VisibilityMap,
                                        FMeshElementCollector& Collector) const {
        (void)Views;
        (void)ViewFamily;
        (void)VisibilityMap;
        (void)Collector;
    }
    virtual FPrimitiveViewRelevance GetViewRelevance(const FSceneView* View) const;
    virtual bool CanBeOccluded() const { return true; }
    virtual uint32 GetMemoryFootprint(void) const = 0;
    uint32 GetAllocatedSize(void) const { return uint32(UsedMaterialsForVerification.Max()) * uint32(sizeof(UMaterialInterface*)); }

    bool IsShown(const FSceneView* View) const;
    bool IsShadowCast(const FSceneView* View) const;
    // The materials the proxy draws with; the editor checks batches against them.
    void SetUsedMaterialForVerification(const TArray<UMaterialInterface*>& InUsedMaterialsForVerification);

    FSceneInterface& GetScene() const { return *Scene; }
    const FMatrix& GetLocalToWorld() const { return LocalToWorld; }
    const FBoxSphereBounds& GetBounds() const { return Bounds; }
    const FBoxSphereBounds& GetLocalBounds() const { return LocalBounds; }
    bool IsLocalToWorldDeterminantNegative() const { return bIsLocalToWorldDeterminantNegative; }
    bool IsSelected() const { return bSelected; }
    bool IsHovered() const { return bHovered; }
    bool ShouldRenderInMainPass() const { return bRenderInMainPass; }
    bool ShouldRenderCustomDepth() const { return bRenderCustomDepth; }
    bool CastsDynamicShadow() const { return bCastDynamicShadow; }
    bool UseEditorDepthTest() const { return bUseEditorDepthTest; }
    bool ReceivesDecals() const { return bReceivesDecals; }
    uint8 GetLightingChannelMask() const { return LightingChannelMask; }
    FName GetResourceName() const { return ResourceName; }
    const TArray<UMaterialInterface*>& GetUsedMaterialsForVerification() const { return UsedMaterialsForVerification; }

    // The scene sets the component's transform and bounds (render thread).
    void SetTransform(const FMatrix& InLocalToWorld, const FBoxSphereBounds& InBounds, const FBoxSphereBounds& InLocalBounds);

protected:
    uint8 bRenderInMainPass : 1;
    uint8 bRenderCustomDepth : 1;
    uint8 bCastDynamicShadow : 1;
    uint8 bSelected : 1;
    uint8 bHovered : 1;
    uint8 bUseEditorDepthTest : 1;
    uint8 bReceivesDecals : 1;
    uint8 bDrawInGame : 1;
    uint8 bDrawInEditor : 1;
    uint8 bIsLocalToWorldDeterminantNegative : 1;
    uint8 LightingChannelMask;

private:
    FSceneInterface* Scene;
    FName ResourceName;
    FMatrix LocalToWorld;
    FBoxSphereBounds Bounds;
    FBoxSphereBounds LocalBounds;
    TArray<UMaterialInterface*> UsedMaterialsForVerification;
};
