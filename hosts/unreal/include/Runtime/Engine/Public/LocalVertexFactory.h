#pragma once
// The vertex factory of meshes in local space: position, tangent basis, texture coordinates
// and colour, each from a stream component.
#include "VertexFactory.h"
#include "Containers/ContainerAllocationPolicies.h"

namespace UE4Host { class FSceneRenderer; }

#define MAX_STATIC_TEXCOORDS 8

class ENGINE_API FLocalVertexFactory : public FVertexFactory {
public:
    struct FDataType {
        FVertexStreamComponent PositionComponent;
        FVertexStreamComponent TangentBasisComponents[2]; // tangent X, tangent Z (the normal)
        TArray<FVertexStreamComponent, TFixedAllocator<MAX_STATIC_TEXCOORDS / 2>> TextureCoordinates;
        FVertexStreamComponent LightMapCoordinateComponent;
        FVertexStreamComponent ColorComponent;
    };

    FLocalVertexFactory() : ColorStreamIndex(-1) {}

    // Render thread: takes the streams and, when initialised, rebuilds the RHI side.
    void SetData(const FDataType& InData);
    // Checks that the position stream is set; the renderer reads the streams at draw time.
    void InitRHI() override;
    FString GetFriendlyName() const override { return TEXT("FLocalVertexFactory"); }

protected:
    FDataType Data;
    int32 ColorStreamIndex;
    friend class UE4Host::FSceneRenderer;
};
