#pragma once
// A view of a scene (its matrices) and the family of views rendered together (flags). The
// renderer makes them for each scene capture.
#include "ShowFlags.h"
#include "RHIDefinitions.h"

class FSceneInterface;
namespace UE4Host { class FSceneRenderer; }

struct ENGINE_API FViewMatrices {
    const FMatrix& GetViewMatrix() const { return ViewMatrix; }
    const FMatrix& GetProjectionMatrix() const { return ProjectionMatrix; }
    const FMatrix& GetViewProjectionMatrix() const { return ViewProjectionMatrix; }
    const FVector& GetViewOrigin() const { return ViewOrigin; }

private:
    FViewMatrices() : ViewMatrix(FMatrix::Identity), ProjectionMatrix(FMatrix::Identity), ViewProjectionMatrix(FMatrix::Identity), ViewOrigin(ForceInit) {}
    FMatrix ViewMatrix;
    FMatrix ProjectionMatrix;
    FMatrix ViewProjectionMatrix;
    FVector ViewOrigin;
    friend class FSceneView;
    friend class UE4Host::FSceneRenderer;
};

class ENGINE_API FSceneViewFamily {
public:
    ERHIFeatureLevel::Type GetFeatureLevel() const { return ERHIFeatureLevel::SM5; }

    FSceneInterface* Scene;
    FEngineShowFlags EngineShowFlags;

private:
    FSceneViewFamily(FSceneInterface* InScene, const FEngineShowFlags& InEngineShowFlags) : Scene(InScene), EngineShowFlags(InEngineShowFlags) {}
    friend class UE4Host::FSceneRenderer;
};

class ENGINE_API FSceneView {
public:
    ERHIFeatureLevel::Type GetFeatureLevel() const { return Family->GetFeatureLevel(); }

    const FSceneViewFamily* Family;
    FViewMatrices ViewMatrices;

private:
    explicit FSceneView(const FSceneViewFamily* InFamily) : Family(InFamily) {}
    friend class UE4Host::FSceneRenderer;
};
