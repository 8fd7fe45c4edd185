#pragma once
// The immediate RHI command list that render commands receive. Its graphics commands come
// with the OpenGL RHI; here it only identifies the render side.
#include "CoreMinimal.h"

class RHI_API FRHICommandListImmediate {
public:
    FRHICommandListImmediate(const FRHICommandListImmediate&) = delete;
    FRHICommandListImmediate& operator=(const FRHICommandListImmediate&) = delete;

private:
    FRHICommandListImmediate() = default;
    friend class FRHICommandListExecutor;
};

class RHI_API FRHICommandListExecutor {
public:
    static FRHICommandListImmediate& GetImmediateCommandList();
};
