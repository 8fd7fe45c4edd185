#pragma once
// The per-primitive shader parameters: where the primitive is in the world.
#include "UniformBuffer.h"

struct FPrimitiveUniformShaderParameters {
    FMatrix LocalToWorld;
    FMatrix WorldToLocal;
    FVector4 ObjectWorldPositionAndRadius;
    FVector ObjectBounds;
    float LocalToWorldDeterminantSign;
    FVector ActorWorldPosition;
    float DecalReceiverMask;
    float UseEditorDepthTest;
    FVector LocalObjectBoundsMin;
    FVector LocalObjectBoundsMax;
};

inline FPrimitiveUniformShaderParameters GetPrimitiveUniformShaderParameters(const FMatrix& LocalToWorld, FVector ActorPositionWS,
                                                                              const FBoxSphereBounds& WorldBounds,
                                                                              const FBoxSphereBounds& LocalBounds, bool bReceivesDecals,
                                                                              bool bUseEditorDepthTest) {
    FPrimitiveUniformShaderParameters Result;
    Result.LocalToWorld = LocalToWorld;
    Result.WorldToLocal = LocalToWorld.Inverse();
    Result.ObjectWorldPositionAndRadius = FVector4(WorldBounds.Origin, WorldBounds.SphereRadius);
    Result.ObjectBounds = WorldBounds.BoxExtent;
    Result.LocalToWorldDeterminantSign = LocalToWorld.Determinant() < 0.f ? -1.f : 1.f;
    Result.ActorWorldPosition = ActorPositionWS;
    Result.DecalReceiverMask = bReceivesDecals ? 1.f : 0.f;
    Result.UseEditorDepthTest = bUseEditorDepthTest ? 1.f : 0.f;
    Result.LocalObjectBoundsMin = LocalBounds.Origin - LocalBounds.BoxExtent;
    Result.LocalObjectBoundsMax = LocalBounds.Origin + LocalBounds.BoxExtent;
    return Result;
}

inline TUniformBufferRef<FPrimitiveUniformShaderParameters> CreatePrimitiveUniformBufferImmediate(const FMatrix& LocalToWorld,
                                                                                                  const FBoxSphereBounds& WorldBounds,
                                                                                                  const FBoxSphereBounds& LocalBounds,
                                                                                                  bool bReceivesDecals, bool bUseEditorDepthTest) {
    return TUniformBufferRef<FPrimitiveUniformShaderParameters>::CreateUniformBufferImmediate(
        GetPrimitiveUniformShaderParameters(LocalToWorld, WorldBounds.Origin, WorldBounds, LocalBounds, bReceivesDecals, bUseEditorDepthTest),
        UniformBuffer_MultiFrame);
}
