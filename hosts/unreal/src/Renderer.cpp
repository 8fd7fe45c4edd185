// The renderer: for a capture it collects every primitive's dynamic meshes for the view and
// draws them into the target with lambert lighting from the scene's lights, depth reversed
// into the D24S8 scene depth texture.
#include "SceneRenderer.h"
#include "OpenGLDevice.h"
#include "MaterialProxies.h"
#include "LocalVertexFactory.h"
#include "PostProcess/SceneRenderTargets.h"
#include "PrimitiveSceneProxy.h"
#include "RenderingThread.h"
#include "Components/SkyLightComponent.h"
#include <array>
#include <cmath>

DEFINE_LOG_CATEGORY_STATIC(LogRenderer, Log, All)

namespace UE4Host {

namespace {

constexpr int32 MaxLights = 32;

const char* const VertexShaderSource = R"(#version 330 core
layout(location = 0) in vec3 InPosition;
layout(location = 1) in vec4 InTangentZ;
layout(location = 2) in vec4 InColor;
uniform mat4 LocalToClip;
uniform mat4 LocalToWorld;
uniform mat3 LocalToWorldNormal;
out vec3 WorldPosition;
out vec3 WorldNormal;
out vec4 VertexColor;
void main() {
    WorldPosition = (LocalToWorld * vec4(InPosition, 1.0)).xyz;
    WorldNormal = LocalToWorldNormal * (InTangentZ.xyz * 2.0 - 1.0);
    VertexColor = InColor;
    gl_Position = LocalToClip * vec4(InPosition, 1.0);
}
)";

const char* const PixelShaderSource = R"(#version 330 core
#define MAX_LIGHTS 32
in vec3 WorldPosition;
in vec3 WorldNormal;
in vec4 VertexColor;
uniform vec4 BaseColor;
uniform int Unlit;
uniform int EncodeSRGB;
uniform vec3 SkyColor;
uniform int NumLights;
uniform int LightType[MAX_LIGHTS];        // 0 directional, 1 point, 2 spot
uniform vec3 LightColor[MAX_LIGHTS];      // linear colour times intensity
uniform vec3 LightPosition[MAX_LIGHTS];
uniform vec3 LightDirection[MAX_LIGHTS];  // the way the light shines
uniform float LightInvRadius[MAX_LIGHTS];
uniform vec2 LightSpotAngles[MAX_LIGHTS]; // cos(outer), 1 / (cos(inner) - cos(outer))
out vec4 OutColor;
vec3 ToSRGB(vec3 C) {
    C = clamp(C, 0.0, 1.0);
    return mix(C * 12.92, 1.055 * pow(C, vec3(1.0 / 2.4)) - 0.055, step(0.0031308, C));
}
void main() {
    vec3 Albedo = BaseColor.rgb * VertexColor.rgb;
    vec3 Color = Albedo;
    if (Unlit == 0) {
        vec3 N = normalize(WorldNormal);
        vec3 Light = SkyColor;
        for (int I = 0; I < NumLights; ++I) {
            vec3 L = -LightDirection[I];
            float Attenuation = 1.0;
            if (LightType[I] != 0) {
                vec3 ToLight = LightPosition[I] - WorldPosition;
                float DistanceSqr = dot(ToLight, ToLight);
                L = ToLight * inversesqrt(max(DistanceSqr, 1e-8));
                // Inverse-square falloff, faded to zero at the attenuation radius.
                float R = DistanceSqr * LightInvRadius[I] * LightInvRadius[I];
                float Mask = clamp(1.0 - R * R, 0.0, 1.0);
                Attenuation = Mask * Mask / (DistanceSqr + 1.0);
                if (LightType[I] == 2) {
                    float Spot = clamp((dot(L, -LightDirection[I]) - LightSpotAngles[I].x) * LightSpotAngles[I].y, 0.0, 1.0);
                    Attenuation *= Spot * Spot;
                }
            }
            Light += LightColor[I] * (Attenuation * max(dot(N, L), 0.0));
        }
        Color = Albedo * Light;
    }
    OutColor = vec4(EncodeSRGB != 0 ? ToSRGB(Color) : clamp(Color, 0.0, 1.0), 1.0);
}
)";

struct FMeshProgram {
    GLuint Program = 0, VertexArray = 0, Framebuffer = 0;
    GLint LocalToClip, LocalToWorld, LocalToWorldNormal, BaseColor, Unlit, EncodeSRGB, SkyColor, NumLights;
    GLint LightType, LightColor, LightPosition, LightDirection, LightInvRadius, LightSpotAngles;
};
FMeshProgram* GProgram = nullptr;

GLuint CompileShader(GLenum Kind, const char* Source) {
    GLuint Shader = glCreateShader(Kind);
    glShaderSource(Shader, 1, &Source, nullptr);
    glCompileShader(Shader);
    GLint Ok = 0;
    glGetShaderiv(Shader, GL_COMPILE_STATUS, &Ok);
    if (!Ok) {
        char Log[2048] = {};
        glGetShaderInfoLog(Shader, sizeof(Log), nullptr, Log);
        UE_LOG(LogRenderer, Fatal, TEXT("shader compilation failed: %s"), UTF8_TO_TCHAR(Log));
    }
    return Shader;
}

FMeshProgram& Program() {
    if (GProgram) return *GProgram;
    FMeshProgram* P = new FMeshProgram;
    const GLuint Vs = CompileShader(GL_VERTEX_SHADER, VertexShaderSource);
    const GLuint Ps = CompileShader(GL_FRAGMENT_SHADER, PixelShaderSource);
    P->Program = glCreateProgram();
    glAttachShader(P->Program, Vs);
    glAttachShader(P->Program, Ps);
    glLinkProgram(P->Program);
    glDeleteShader(Vs);
    glDeleteShader(Ps);
    GLint Ok = 0;
    glGetProgramiv(P->Program, GL_LINK_STATUS, &Ok);
    if (!Ok) UE_LOG(LogRenderer, Fatal, TEXT("shader program did not link"));
    auto U = [P](const char* Name) { return glGetUniformLocation(P->Program, Name); };
    P->LocalToClip = U("LocalToClip");
    P->LocalToWorld = U("LocalToWorld");
    P->LocalToWorldNormal = U("LocalToWorldNormal");
    P->BaseColor = U("BaseColor");
    P->Unlit = U("Unlit");
    P->EncodeSRGB = U("EncodeSRGB");
    P->SkyColor = U("SkyColor");
    P->NumLights = U("NumLights");
    P->LightType = U("LightType");
    P->LightColor = U("LightColor");
    P->LightPosition = U("LightPosition");
    P->LightDirection = U("LightDirection");
    P->LightInvRadius = U("LightInvRadius");
    P->LightSpotAngles = U("LightSpotAngles");
    glGenVertexArrays(1, &P->VertexArray);
    glGenFramebuffers(1, &P->Framebuffer);
    GProgram = P;
    return *P;
}

// Row-vector matrices in double precision, so that a depth of Q / view depth survives the
// products to well within one 24-bit unit.
struct FMatrixD {
    double M[4][4];
    static FMatrixD From(const FMatrix& F) {
        FMatrixD D;
        for (int R = 0; R < 4; ++R)
            for (int C = 0; C < 4; ++C) D.M[R][C] = F.M[R][C];
        return D;
    }
    FMatrixD operator*(const FMatrixD& B) const {
        FMatrixD Out;
        for (int R = 0; R < 4; ++R)
            for (int C = 0; C < 4; ++C) {
                double S = 0;
                for (int K = 0; K < 4; ++K) S += M[R][K] * B.M[K][C];
                Out.M[R][C] = S;
            }
        return Out;
    }
    void ToFloat(float Out[16]) const {
        // Row-major rows of a row-vector matrix read by GLSL as columns: GLSL's M * v is then v * M.
        for (int R = 0; R < 4; ++R)
            for (int C = 0; C < 4; ++C) Out[R * 4 + C] = float(M[R][C]);
    }
};

// A box lies outside the view when all its corners are beyond one clip plane (reversed Z:
// the near plane is z = w, the far plane z = 0).
bool IsInView(const FBoxSphereBounds& Bounds, const FMatrixD& ViewProjection) {
    int OutsideMask[6] = {0, 0, 0, 0, 0, 0};
    for (int Corner = 0; Corner < 8; ++Corner) {
        const double P[3] = {Bounds.Origin.X + ((Corner & 1) ? 1.0 : -1.0) * Bounds.BoxExtent.X,
                             Bounds.Origin.Y + ((Corner & 2) ? 1.0 : -1.0) * Bounds.BoxExtent.Y,
                             Bounds.Origin.Z + ((Corner & 4) ? 1.0 : -1.0) * Bounds.BoxExtent.Z};
        double Clip[4];
        for (int C = 0; C < 4; ++C)
            Clip[C] = P[0] * ViewProjection.M[0][C] + P[1] * ViewProjection.M[1][C] + P[2] * ViewProjection.M[2][C] + ViewProjection.M[3][C];
        OutsideMask[0] += Clip[0] < -Clip[3];
        OutsideMask[1] += Clip[0] > Clip[3];
        OutsideMask[2] += Clip[1] < -Clip[3];
        OutsideMask[3] += Clip[1] > Clip[3];
        OutsideMask[4] += Clip[2] > Clip[3];
        OutsideMask[5] += Clip[2] < 0.0;
    }
    for (int Plane = 0; Plane < 6; ++Plane)
        if (OutsideMask[Plane] == 8) return false;
    return true;
}

// Logs the first few draws the guard refuses, then stays quiet.
void WarnRefusedDraw(const TCHAR* Why, const FPrimitiveSceneProxy* Proxy) {
    static int32 Count = 0;
    if (++Count > 16) return;
    UE_LOG(LogRenderer, Warning, TEXT("a mesh batch of %s is not drawn: %s"), Proxy ? *Proxy->GetResourceName().ToString() : TEXT("?"), Why);
}

struct FVertexAttribute {
    GLint Size;
    GLenum Type;
    GLboolean bNormalized;
    uint32 Bytes;
};
bool AttributeFormat(EVertexElementType Type, FVertexAttribute& Out) {
    switch (Type) {
    case VET_Float1: Out = {1, GL_FLOAT, GL_FALSE, 4}; return true;
    case VET_Float2: Out = {2, GL_FLOAT, GL_FALSE, 8}; return true;
    case VET_Float3: Out = {3, GL_FLOAT, GL_FALSE, 12}; return true;
    case VET_Float4: Out = {4, GL_FLOAT, GL_FALSE, 16}; return true;
    case VET_PackedNormal: Out = {4, GL_UNSIGNED_BYTE, GL_TRUE, 4}; return true;
    case VET_UByte4N: Out = {4, GL_UNSIGNED_BYTE, GL_TRUE, 4}; return true;
    case VET_Color: Out = {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4}; return true; // bytes B, G, R, A
    default: return false;
    }
}

// Binds one stream component to an attribute; returns how many vertices the buffer holds for
// it (very many for a constant attribute), or -1 when the component cannot be read.
int64 BindComponent(GLuint Location, const FVertexStreamComponent& Component, const float Default[4]) {
    if (!Component.VertexBuffer || !Component.VertexBuffer->VertexBufferRHI) {
        glDisableVertexAttribArray(Location);
        glVertexAttrib4fv(Location, Default);
        return INT64_MAX;
    }
    FVertexAttribute Format;
    if (!AttributeFormat(Component.Type, Format)) return -1;
    const FOpenGLVertexBuffer* Buffer = static_cast<const FOpenGLVertexBuffer*>(Component.VertexBuffer->VertexBufferRHI.GetReference());
    const uint32 Size = Buffer->GetSize();
    if (Size < Component.Offset + Format.Bytes) return 0;
    const int64 Count = Component.Stride ? int64((Size - Component.Offset - Format.Bytes) / Component.Stride) + 1 : INT64_MAX;
    glBindBuffer(GL_ARRAY_BUFFER, Buffer->Name);
    glVertexAttribPointer(Location, Format.Size, Format.Type, Format.bNormalized, Component.Stride,
                          reinterpret_cast<const void*>(uintptr_t(Component.Offset)));
    glEnableVertexAttribArray(Location);
    return Count;
}

} // namespace

FCaptureView MakeCaptureView(const USceneCaptureComponent2D& Component, int32 SizeX, int32 SizeY) {
    FCaptureView View;
    const FTransform& Transform = Component.GetComponentTransform();
    View.ViewLocation = Transform.GetLocation();
    // World to view: the inverse rotation, then the engine's swap to X right, Y up, Z forward.
    const FMatrix InverseRotation = Transform.GetRotation().Inverse().ToMatrix();
    const FMatrix Swap(FPlane(0, 0, 1, 0), FPlane(1, 0, 0, 0), FPlane(0, 1, 0, 0), FPlane(0, 0, 0, 1));
    View.ViewRotationMatrix = InverseRotation * Swap;
    if (Component.bUseCustomProjectionMatrix) {
        View.ProjectionMatrix = Component.CustomProjectionMatrix;
    } else if (Component.ProjectionType == ECameraProjectionMode::Orthographic) {
        // Reversed orthographic depth over the engine's default range.
        const float HalfWidth = Component.OrthoWidth * 0.5f, HalfHeight = HalfWidth * float(SizeY) / float(FMath::Max(SizeX, 1));
        const float ZRange = 2097152.f / 2.f; // half the engine's WORLD_MAX
        View.ProjectionMatrix = FMatrix(FPlane(1.f / HalfWidth, 0, 0, 0), FPlane(0, 1.f / HalfHeight, 0, 0), FPlane(0, 0, -1.f / ZRange, 0),
                                        FPlane(0, 0, 1.f, 1));
    } else {
        // Reversed perspective without a far plane, the near plane at 10 units.
        const float HalfFov = FMath::DegreesToRadians(FMath::Max(0.001f, Component.FOVAngle) * 0.5f);
        const float XScale = 1.f / std::tan(HalfFov), YScale = XScale * float(SizeX) / float(FMath::Max(SizeY, 1));
        const float Near = 10.f;
        View.ProjectionMatrix = FMatrix(FPlane(XScale, 0, 0, 0), FPlane(0, YScale, 0, 0), FPlane(0, 0, 0, 1), FPlane(0, 0, Near, 0));
    }
    View.ShowFlags = Component.ShowFlags;
    View.CaptureSource = Component.CaptureSource;
    return View;
}

void FSceneRenderer::Render(FRHICommandListImmediate& RHICmdList, const FScene& Scene, FTextureRenderTargetResource& Target,
                            const FCaptureView& CaptureView) {
    check(IsInRenderingThread());
    FOpenGLDevice& Device = FOpenGLDevice::Get();
    Device.EnsureCurrent();
    FRHITexture2D* ColorTexture = Target.GetRenderTargetTexture();
    if (!ColorTexture) return;
    const uint32 SizeX = ColorTexture->GetSizeX(), SizeY = ColorTexture->GetSizeY();

    // The scene depth follows the size of the view it was last rendered for.
    FSceneRenderTargets& SceneTargets = FSceneRenderTargets::Get(RHICmdList);
    if (!SceneTargets.SceneDepthTexture || SceneTargets.SceneDepthTexture->GetSizeX() != SizeX || SceneTargets.SceneDepthTexture->GetSizeY() != SizeY) {
        FRHIResourceCreateInfo CreateInfo(FClearValueBinding::DepthFar);
        SceneTargets.SceneDepthTexture =
            RHICreateTexture2D(SizeX, SizeY, PF_DepthStencil, 1, 1, TexCreate_DepthStencilTargetable | TexCreate_ShaderResource, CreateInfo);
        SceneTargets.BufferSize = FIntPoint(int32(SizeX), int32(SizeY));
        if (!SceneTargets.IsInitialized()) SceneTargets.InitResource();
    }

    FMeshProgram& P = Program();
    glBindFramebuffer(GL_FRAMEBUFFER, P.Framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, static_cast<FOpenGLTexture2D*>(ColorTexture)->Name, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D,
                           static_cast<FOpenGLTexture2D*>(SceneTargets.SceneDepthTexture.GetReference())->Name, 0);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        UE_LOG(LogRenderer, Error, TEXT("the scene framebuffer is incomplete"));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    glViewport(0, 0, GLsizei(SizeX), GLsizei(SizeY));
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClearDepth(0.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    // The view: world to view space, then the projection as given.
    FSceneViewFamily Family(const_cast<FScene*>(&Scene), CaptureView.ShowFlags);
    FSceneView View(&Family);
    FMatrix Translation = FMatrix::Identity;
    Translation.SetOrigin(-CaptureView.ViewLocation);
    View.ViewMatrices.ViewMatrix = Translation * CaptureView.ViewRotationMatrix;
    View.ViewMatrices.ProjectionMatrix = CaptureView.ProjectionMatrix;
    View.ViewMatrices.ViewProjectionMatrix = View.ViewMatrices.ViewMatrix * CaptureView.ProjectionMatrix;
    View.ViewMatrices.ViewOrigin = CaptureView.ViewLocation;
    const FMatrixD ViewProjection =
        FMatrixD::From(Translation) * FMatrixD::From(CaptureView.ViewRotationMatrix) * FMatrixD::From(CaptureView.ProjectionMatrix);
    TArray<const FSceneView*> Views;
    Views.Add(&View);

    FMeshElementCollector Collector(1);
    for (const FScene::FPrimitive& Primitive : Scene.GetPrimitives_RenderThread()) {
        const FPrimitiveSceneProxy* Proxy = Primitive.Proxy;
        if (!Proxy) continue;
        const FPrimitiveViewRelevance Relevance = Proxy->GetViewRelevance(&View);
        if (!Relevance.bDrawRelevance || !Relevance.bDynamicRelevance || !Relevance.bRenderInMainPass) continue;
        if (!IsInView(Proxy->GetBounds(), ViewProjection)) continue;
        Collector.PrimitiveSceneProxy = Proxy;
        Proxy->GetDynamicMeshElements(Views, Family, 1u, Collector);
    }
    Collector.PrimitiveSceneProxy = nullptr;

    // Lights of the view.
    glUseProgram(P.Program);
    glBindVertexArray(P.VertexArray);
    const FSkyLightSceneProxy* Sky = Scene.GetSkyLight_RenderThread();
    const FLinearColor SkyColor = Sky ? Sky->LightColor : FLinearColor(0.f, 0.f, 0.f, 0.f);
    glUniform3f(P.SkyColor, SkyColor.R, SkyColor.G, SkyColor.B);
    std::array<GLint, MaxLights> Types{};
    std::array<float, MaxLights * 3> Colors{}, Positions{}, Directions{};
    std::array<float, MaxLights> InvRadii{};
    std::array<float, MaxLights * 2> Spots{};
    int32 NumLights = 0;
    for (const FScene::FLight& Light : Scene.GetLights_RenderThread()) {
        if (NumLights == MaxLights) break;
        const FVector Position = Light.Transform.GetLocation();
        const FVector Direction = Light.Transform.GetRotation().RotateVector(FVector(1.f, 0.f, 0.f)).GetSafeNormal();
        const int32 I = NumLights++;
        Types[I] = Light.Type == LightType_Directional ? 0 : Light.Type == LightType_Spot ? 2 : 1;
        Colors[I * 3 + 0] = Light.Color.R;
        Colors[I * 3 + 1] = Light.Color.G;
        Colors[I * 3 + 2] = Light.Color.B;
        Positions[I * 3 + 0] = Position.X;
        Positions[I * 3 + 1] = Position.Y;
        Positions[I * 3 + 2] = Position.Z;
        Directions[I * 3 + 0] = Direction.X;
        Directions[I * 3 + 1] = Direction.Y;
        Directions[I * 3 + 2] = Direction.Z;
        InvRadii[I] = Light.AttenuationRadius > 0.f ? 1.f / Light.AttenuationRadius : 0.f;
        // The engine's cone: inner clamped to 0…89 degrees, outer just wider than inner.
        const float Inner = FMath::DegreesToRadians(FMath::Clamp(Light.InnerConeAngle, 0.f, 89.f));
        const float Outer = FMath::Clamp(FMath::DegreesToRadians(Light.OuterConeAngle), Inner + 0.001f, FMath::DegreesToRadians(89.f) + 0.001f);
        Spots[I * 2 + 0] = std::cos(Outer);
        Spots[I * 2 + 1] = 1.f / (std::cos(Inner) - std::cos(Outer));
    }
    glUniform1i(P.NumLights, NumLights);
    glUniform1iv(P.LightType, MaxLights, Types.data());
    glUniform3fv(P.LightColor, MaxLights, Colors.data());
    glUniform3fv(P.LightPosition, MaxLights, Positions.data());
    glUniform3fv(P.LightDirection, MaxLights, Directions.data());
    glUniform1fv(P.LightInvRadius, MaxLights, InvRadii.data());
    glUniform2fv(P.LightSpotAngles, MaxLights, Spots.data());
    // Final LDR colour is display-encoded (sRGB); the other sources stay linear.
    glUniform1i(P.EncodeSRGB, CaptureView.CaptureSource == SCS_FinalColorLDR ? 1 : 0);

    static const float White[4] = {1.f, 1.f, 1.f, 1.f};
    static const float Up[4] = {0.5f, 0.5f, 1.f, 1.f}; // a packed (0, 0, 1)
    static const float Zero[4] = {0.f, 0.f, 0.f, 0.f};
    for (const FMeshElementCollector::FMeshBatchAndProxy& Entry : Collector.MeshBatches[0]) {
        const FMeshBatch& Mesh = *Entry.Mesh;
        const FLocalVertexFactory* VertexFactory = static_cast<const FLocalVertexFactory*>(Mesh.VertexFactory);
        const FMaterial* Material = Mesh.MaterialRenderProxy->GetMaterial(Family.GetFeatureLevel());
        if (!Material) {
            WarnRefusedDraw(TEXT("its material proxy has no material"), Entry.PrimitiveSceneProxy);
            continue;
        }
        // The stand-in's materials are all FMaterialResource.
        const FMaterialResource* Resource = static_cast<const FMaterialResource*>(Material);
        const FMaterialRenderContext Context(Mesh.MaterialRenderProxy, *Material, &View);
        FLinearColor Base = Resource->Constant();
        Mesh.MaterialRenderProxy->GetVectorValue(Resource->ColorParameter(), &Base, Context);
        const bool bWireframe = Mesh.bWireframe || Material->IsWireframe() || (Family.EngineShowFlags.Wireframe && Mesh.bCanApplyViewModeOverrides);
        glUniform4f(P.BaseColor, Base.R, Base.G, Base.B, Base.A);
        glUniform1i(P.Unlit, bWireframe ? 1 : 0);
        glPolygonMode(GL_FRONT_AND_BACK, bWireframe ? GL_LINE : GL_FILL);

        const FLocalVertexFactory::FDataType& Data = VertexFactory->Data;
        if (!Data.PositionComponent.VertexBuffer || !Data.PositionComponent.VertexBuffer->VertexBufferRHI) {
            WarnRefusedDraw(TEXT("its vertex factory has no position stream"), Entry.PrimitiveSceneProxy);
            continue;
        }
        const int64 NumPositions = BindComponent(0, Data.PositionComponent, Zero);
        const int64 NumNormals = BindComponent(1, Data.TangentBasisComponents[1], Up);
        const int64 NumColors = BindComponent(2, Data.ColorComponent, White);
        const int64 NumVertices = std::min(NumPositions, std::min(NumNormals, NumColors));
        if (NumVertices <= 0) {
            WarnRefusedDraw(TEXT("a stream lies outside its vertex buffer"), Entry.PrimitiveSceneProxy);
            continue;
        }
        const GLenum Mode = Mesh.Type == PT_LineList ? GL_LINES : GL_TRIANGLES;
        const uint32 IndicesPerPrimitive = Mesh.Type == PT_LineList ? 2 : 3;
        if (Mesh.Type != PT_TriangleList && Mesh.Type != PT_LineList) {
            WarnRefusedDraw(TEXT("only triangle and line lists are drawn"), Entry.PrimitiveSceneProxy);
            continue;
        }
        for (const FMeshBatchElement& Element : Mesh.Elements) {
            if (!Element.IndexBuffer || !Element.IndexBuffer->IndexBufferRHI) {
                WarnRefusedDraw(TEXT("an element has no index buffer"), Entry.PrimitiveSceneProxy);
                continue;
            }
            const FOpenGLIndexBuffer* Indices = static_cast<const FOpenGLIndexBuffer*>(Element.IndexBuffer->IndexBufferRHI.GetReference());
            const uint64 Count = uint64(Element.NumPrimitives) * IndicesPerPrimitive * FMath::Max(1u, Element.NumInstances);
            const uint64 Available = Indices->GetSize() / Indices->GetStride();
            if (Count == 0) continue;
            // The guard a robust driver gives: nothing is read outside the bound buffers.
            if (uint64(Element.FirstIndex) + Count > Available) {
                WarnRefusedDraw(TEXT("its index range lies outside the index buffer"), Entry.PrimitiveSceneProxy);
                continue;
            }
            if (int64(Indices->MaxIndex(Element.FirstIndex, uint32(Count))) >= NumVertices) {
                WarnRefusedDraw(TEXT("an index names a vertex outside the vertex buffer"), Entry.PrimitiveSceneProxy);
                continue;
            }
            // The primitive's transform: from its uniform buffer when the batch brings one.
            const FMatrix LocalToWorld =
                Element.PrimitiveUniformBuffer
                    ? static_cast<const TRHIUniformBuffer<FPrimitiveUniformShaderParameters>*>(Element.PrimitiveUniformBuffer)->GetContents().LocalToWorld
                    : Entry.PrimitiveSceneProxy->GetLocalToWorld();
            float Matrix[16];
            (FMatrixD::From(LocalToWorld) * ViewProjection).ToFloat(Matrix);
            glUniformMatrix4fv(P.LocalToClip, 1, GL_FALSE, Matrix);
            FMatrixD::From(LocalToWorld).ToFloat(Matrix);
            glUniformMatrix4fv(P.LocalToWorld, 1, GL_FALSE, Matrix);
            // Normals go through the inverse transpose of the 3 × 3 part.
            const FMatrix Inverse = LocalToWorld.Inverse();
            float Normal[9];
            for (int R = 0; R < 3; ++R)
                for (int C = 0; C < 3; ++C) Normal[R * 3 + C] = Inverse.M[C][R];
            glUniformMatrix3fv(P.LocalToWorldNormal, 1, GL_FALSE, Normal);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, Indices->Name);
            glDrawElements(Mode, GLsizei(Count), Indices->GetStride() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(uintptr_t(Element.FirstIndex) * Indices->GetStride()));
        }
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindVertexArray(0);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FSceneRenderer::ReleaseShaders() {
    if (!GProgram) return;
    FOpenGLDevice::Get().EnsureCurrent();
    glDeleteProgram(GProgram->Program);
    glDeleteVertexArrays(1, &GProgram->VertexArray);
    glDeleteFramebuffers(1, &GProgram->Framebuffer);
    delete GProgram;
    GProgram = nullptr;
}

} // namespace UE4Host
