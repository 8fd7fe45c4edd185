#pragma once
// The RHI's enumerations and small descriptions, with the engine's values.
#include "CoreMinimal.h"

namespace ERHIFeatureLevel {
enum Type { ES2, ES3_1, SM4, SM5, Num };
}

/** Resource usage flags, for vertex and index buffers. */
enum EBufferUsageFlags {
    BUF_None = 0x0000,
    BUF_Static = 0x0001,
    BUF_Dynamic = 0x0002,
    BUF_Volatile = 0x0004,
    BUF_UnorderedAccess = 0x0008,
    BUF_ByteAddressBuffer = 0x0020,
    BUF_UAVCounter = 0x0040,
    BUF_StreamOutput = 0x0080,
    BUF_DrawIndirect = 0x0100,
    BUF_ShaderResource = 0x0200,
    BUF_KeepCPUAccessible = 0x0400,
    BUF_ZeroStride = 0x0800,
    BUF_FastVRAM = 0x1000,
    BUF_AnyDynamic = (BUF_Dynamic | BUF_Volatile),
};

enum EResourceLockMode { RLM_ReadOnly, RLM_WriteOnly, RLM_Num };

/** Flags used for texture creation. */
enum ETextureCreateFlags {
    TexCreate_None = 0,
    TexCreate_RenderTargetable = 1 << 0,
    TexCreate_ResolveTargetable = 1 << 1,
    TexCreate_DepthStencilTargetable = 1 << 2,
    TexCreate_ShaderResource = 1 << 3,
    TexCreate_SRGB = 1 << 4,
    TexCreate_NoMipTail = 1 << 5,
    TexCreate_NoTiling = 1 << 6,
    TexCreate_Dynamic = 1 << 8,
    TexCreate_AllowFailure = 1 << 9,
    TexCreate_DisableAutoDefrag = 1 << 10,
    TexCreate_BiasNormalMap = 1 << 11,
    TexCreate_GenerateMipCapable = 1 << 12,
    TexCreate_UAV = 1 << 16,
    TexCreate_Presentable = 1 << 17,
    // Texture data is accessible by the CPU (a staging texture, read with MapStagingSurface).
    TexCreate_CPUReadback = 1 << 18,
    TexCreate_OfflineProcessed = 1 << 19,
    TexCreate_FastVRAM = 1 << 20,
    TexCreate_HideInVisualizeTexture = 1 << 21,
    TexCreate_Virtual = 1 << 22,
    TexCreate_TargetArraySlicesIndependently = 1 << 23,
};

enum EPrimitiveType {
    PT_TriangleList,
    PT_TriangleStrip,
    PT_LineList,
    PT_QuadList,
    PT_PointList,
    PT_RectList,
    PT_NumBits = 6
};

/** The vertex element types of a vertex declaration. */
enum EVertexElementType {
    VET_None,
    VET_Float1,
    VET_Float2,
    VET_Float3,
    VET_Float4,
    VET_PackedNormal, // four bytes, each a component × 127.5 + 127.5
    VET_UByte4,
    VET_UByte4N,
    VET_Color,        // four bytes B, G, R, A, normalised
    VET_Short2,
    VET_Short4,
    VET_Short2N,
    VET_Half2,
    VET_Half4,
    VET_Short4N,
    VET_UShort2,
    VET_UShort4,
    VET_UShort2N,
    VET_UShort4N,
    VET_URGB10A2N,
    VET_MAX,
    VET_NumBits = 5,
};

enum ECubeFace { CubeFace_PosX = 0, CubeFace_NegX, CubeFace_PosY, CubeFace_NegY, CubeFace_PosZ, CubeFace_NegZ, CubeFace_MAX };

struct FResolveRect {
    int32 X1;
    int32 Y1;
    int32 X2;
    int32 Y2;
    // A full 256 × 256 area starting at (0, 0) is 0, 0, 256, 256; -1 means the whole surface.
    FResolveRect(int32 InX1 = -1, int32 InY1 = -1, int32 InX2 = -1, int32 InY2 = -1) : X1(InX1), Y1(InY1), X2(InX2), Y2(InY2) {}
    bool IsValid() const { return X1 >= 0 && Y1 >= 0 && X2 - X1 > 0 && Y2 - Y1 > 0; }
};

struct FResolveParams {
    ECubeFace CubeFace;
    FResolveRect Rect;
    int32 MipIndex;
    int32 SourceArrayIndex;
    int32 DestArrayIndex;
    FResolveParams(const FResolveRect& InRect = FResolveRect(), ECubeFace InCubeFace = CubeFace_PosX, int32 InMipIndex = 0,
                   int32 InSourceArrayIndex = 0, int32 InDestArrayIndex = 0)
        : CubeFace(InCubeFace), Rect(InRect), MipIndex(InMipIndex), SourceArrayIndex(InSourceArrayIndex), DestArrayIndex(InDestArrayIndex) {}
};
