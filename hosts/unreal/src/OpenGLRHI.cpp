// The RHI over OpenGL 3.3 (EGL surfaceless, libepoxy): device, buffers, textures, staging
// surfaces and resolves, and the deferred deletion of RHI resources.
#include "OpenGLDevice.h"
#include "RHICommandList.h"
#include "RenderingThread.h"
#include "Containers/ResourceArray.h"
#include "UE4Host/RHIStats.h"
#include <epoxy/egl.h>
#include <algorithm>
#include <atomic>
#include <cstring>

bool GIsRHIInitialized = false;
ERHIFeatureLevel::Type GMaxRHIFeatureLevel = ERHIFeatureLevel::SM5;

const FClearValueBinding FClearValueBinding::None(EClearBinding::ENoneBound);
const FClearValueBinding FClearValueBinding::Black(FLinearColor(0.f, 0.f, 0.f, 1.f));
const FClearValueBinding FClearValueBinding::White(FLinearColor(1.f, 1.f, 1.f, 1.f));
const FClearValueBinding FClearValueBinding::Transparent(FLinearColor(0.f, 0.f, 0.f, 0.f));
const FClearValueBinding FClearValueBinding::DepthOne(1.f, 0);
const FClearValueBinding FClearValueBinding::DepthZero(0.f, 0);
const FClearValueBinding FClearValueBinding::DepthNear(1.f, 0); // reversed Z: near is 1
const FClearValueBinding FClearValueBinding::DepthFar(0.f, 0);

namespace UE4Host {

namespace {
// Textures made, counted for each creation flag they carried (render and game thread).
std::atomic<uint64> GTexturesByFlag[32];
}

uint64 TexturesCreatedWith(uint32 Flag) {
    for (int32 Bit = 0; Bit < 32; ++Bit)
        if (Flag == (1u << Bit)) return GTexturesByFlag[Bit].load();
    return 0;
}

namespace {
FOpenGLDevice* GDevice = nullptr;
thread_local bool tContextCurrent = false;

std::string EglError(const char* What) {
    char Buffer[160];
    std::snprintf(Buffer, sizeof(Buffer), "%s failed (EGL error 0x%04x)", What, unsigned(eglGetError()));
    return Buffer;
}
} // namespace

bool FOpenGLDevice::IsCreated() { return GDevice != nullptr; }
FOpenGLDevice& FOpenGLDevice::Get() {
    check(GDevice);
    return *GDevice;
}

bool FOpenGLDevice::Init(std::string& OutError) {
    if (GDevice) return true;
    const char* Missing = "no OpenGL 3.3 context for the renderer: ";
    if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
        OutError = std::string(Missing) + "EGL lacks the surfaceless platform (EGL_MESA_platform_surfaceless); install Mesa's EGL "
                                          "(Debian: libegl-mesa0, libegl1, libgl1-mesa-dri)";
        return false;
    }
    EGLDisplay Display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint Major = 0, Minor = 0;
    if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, &Major, &Minor)) {
        OutError = std::string(Missing) + EglError("eglInitialize on the surfaceless platform") +
                   ": no usable EGL driver (Mesa's DRI drivers, Debian libgl1-mesa-dri, provide llvmpipe)";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        OutError = std::string(Missing) + EglError("eglBindAPI(EGL_OPENGL_API)") + ": the EGL driver has no desktop OpenGL";
        return false;
    }
    const EGLint ConfigAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig Config = nullptr;
    EGLint NumConfigs = 0;
    if (!eglChooseConfig(Display, ConfigAttribs, &Config, 1, &NumConfigs) || NumConfigs < 1) {
        if (!epoxy_has_egl_extension(Display, "EGL_KHR_no_config_context")) {
            OutError = std::string(Missing) + "no EGL configuration renders desktop OpenGL";
            return false;
        }
        Config = EGL_NO_CONFIG_KHR;
    }
    const EGLint ContextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext Context = eglCreateContext(Display, Config, EGL_NO_CONTEXT, ContextAttribs);
    if (Context == EGL_NO_CONTEXT) {
        OutError = std::string(Missing) + EglError("eglCreateContext for OpenGL 3.3 core") + ": the driver has no OpenGL 3.3";
        return false;
    }
    if (!eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context)) {
        OutError = std::string(Missing) + EglError("eglMakeCurrent without a surface") + " (EGL_KHR_surfaceless_context)";
        eglDestroyContext(Display, Context);
        return false;
    }
    // Reversed depth needs a zero-to-one clip range.
    if (epoxy_gl_version() < 45 && !epoxy_has_gl_extension("GL_ARB_clip_control")) {
        OutError = std::string(Missing) + "the OpenGL driver lacks glClipControl (OpenGL 4.5 or GL_ARB_clip_control)";
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(Display, Context);
        return false;
    }
    FOpenGLDevice* Device = new FOpenGLDevice;
    Device->Display = Display;
    Device->Context = Context;
    if (const GLubyte* Name = glGetString(GL_RENDERER)) Device->Renderer = reinterpret_cast<const char*>(Name);
    glGenFramebuffers(1, &Device->ReadFramebuffer);
    glGenFramebuffers(1, &Device->DrawFramebuffer);
    // The context is given up again: the render thread takes it when it starts.
    eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    GDevice = Device;
    GIsRHIInitialized = true;
    return true;
}

void FOpenGLDevice::EnsureCurrent() {
    if (tContextCurrent) return;
    if (!eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context)) {
        UE_LOG(LogTemp, Fatal, TEXT("The OpenGL context could not be made current on this thread (EGL error 0x%x)"), int(eglGetError()));
    }
    tContextCurrent = true;
}

void FOpenGLDevice::ReleaseCurrent() {
    if (!tContextCurrent) return;
    glFlush();
    eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    tContextCurrent = false;
}

uint32 BytesPerPixel(EPixelFormat Format) {
    switch (Format) {
    case PF_B8G8R8A8: return 4;
    case PF_DepthStencil: return 4;
    case PF_FloatRGBA: return 8;
    default: return 0;
    }
}

// --- Resources -----------------------------------------------------------------------------

FOpenGLVertexBuffer::~FOpenGLVertexBuffer() {
    FOpenGLDevice::Get().EnsureCurrent();
    glDeleteBuffers(1, &Name);
}

FOpenGLIndexBuffer::~FOpenGLIndexBuffer() {
    FOpenGLDevice::Get().EnsureCurrent();
    glDeleteBuffers(1, &Name);
}

uint32 FOpenGLIndexBuffer::MaxIndex(uint32 First, uint32 Count) const {
    uint32 Max = 0;
    if (GetStride() == 2) {
        const uint16* I = reinterpret_cast<const uint16*>(Shadow.data()) + First;
        for (uint32 N = 0; N < Count; ++N) Max = std::max<uint32>(Max, I[N]);
    } else {
        const uint32* I = reinterpret_cast<const uint32*>(Shadow.data()) + First;
        for (uint32 N = 0; N < Count; ++N) Max = std::max(Max, I[N]);
    }
    return Max;
}

FOpenGLTexture2D::~FOpenGLTexture2D() {
    if (!Name) return;
    FOpenGLDevice::Get().EnsureCurrent();
    glDeleteTextures(1, &Name);
}

} // namespace UE4Host

using namespace UE4Host;

namespace {
// Resources whose last reference went away, deleted on the render thread.
struct FPendingDeletes {
    std::mutex Lock;
    std::vector<const FRHIResource*> List;
};
FPendingDeletes& PendingDeletes() {
    static FPendingDeletes* P = new FPendingDeletes;
    return *P;
}

FOpenGLDevice& RenderDevice() {
    check(IsInRenderingThread());
    FOpenGLDevice& Device = FOpenGLDevice::Get();
    Device.EnsureCurrent();
    return Device;
}

GLenum BufferUsage(uint32 InUsage) { return (InUsage & BUF_AnyDynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW; }

void Upload(GLuint Name, uint32 Offset, uint32 Size, const void* Data) {
    glBindBuffer(GL_COPY_WRITE_BUFFER, Name);
    glBufferSubData(GL_COPY_WRITE_BUFFER, Offset, Size, Data);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

GLuint CreateBuffer(uint32 Size, uint32 InUsage, const void* Data) {
    GLuint Name = 0;
    glGenBuffers(1, &Name);
    glBindBuffer(GL_COPY_WRITE_BUFFER, Name);
    glBufferData(GL_COPY_WRITE_BUFFER, Size, Data, BufferUsage(InUsage));
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return Name;
}

// The initial contents from the creation info, checked against the buffer's size.
const void* InitialData(FRHIResourceCreateInfo& CreateInfo, uint32 Size) {
    if (!CreateInfo.ResourceArray) return nullptr;
    checkf(CreateInfo.ResourceArray->GetResourceDataSize() == Size, TEXT("resource array size differs from the buffer size"));
    return CreateInfo.ResourceArray->GetResourceData();
}
} // namespace

uint32 FRHIResource::Release() const {
    const int32 NewValue = NumRefs.fetch_sub(1) - 1;
    check(NewValue >= 0);
    if (NewValue == 0) {
        FPendingDeletes& P = PendingDeletes();
        std::lock_guard<std::mutex> Guard(P.Lock);
        if (std::find(P.List.begin(), P.List.end(), this) == P.List.end()) P.List.push_back(this);
    }
    return uint32(NewValue);
}

void FRHIResource::FlushPendingDeletes() {
    FPendingDeletes& P = PendingDeletes();
    while (true) {
        std::vector<const FRHIResource*> Deletes;
        {
            std::lock_guard<std::mutex> Guard(P.Lock);
            Deletes.swap(P.List);
        }
        if (Deletes.empty()) return;
        // A resource referenced again after its last release stays.
        for (const FRHIResource* R : Deletes)
            if (R->NumRefs.load() == 0) delete R;
    }
}

FVertexBufferRHIRef RHICreateVertexBuffer(uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo) {
    RenderDevice();
    check(Size > 0);
    FOpenGLVertexBuffer* Buffer = new FOpenGLVertexBuffer(Size, InUsage);
    Buffer->Name = CreateBuffer(Size, InUsage, InitialData(CreateInfo, Size));
    if (CreateInfo.ResourceArray) CreateInfo.ResourceArray->Discard();
    return FVertexBufferRHIRef(Buffer);
}

void* RHILockVertexBuffer(FVertexBufferRHIParamRef VertexBuffer, uint32 Offset, uint32 SizeRHI, EResourceLockMode LockMode) {
    RenderDevice();
    FOpenGLVertexBuffer* Buffer = static_cast<FOpenGLVertexBuffer*>(VertexBuffer);
    check(Buffer && Offset + SizeRHI <= Buffer->GetSize() && Buffer->LockBuffer.empty());
    (void)LockMode;
    Buffer->LockOffset = Offset;
    Buffer->LockBuffer.assign(SizeRHI, 0);
    return Buffer->LockBuffer.data();
}

void RHIUnlockVertexBuffer(FVertexBufferRHIParamRef VertexBuffer) {
    RenderDevice();
    FOpenGLVertexBuffer* Buffer = static_cast<FOpenGLVertexBuffer*>(VertexBuffer);
    check(Buffer);
    if (!Buffer->LockBuffer.empty()) Upload(Buffer->Name, Buffer->LockOffset, uint32(Buffer->LockBuffer.size()), Buffer->LockBuffer.data());
    std::vector<uint8>().swap(Buffer->LockBuffer);
}

FIndexBufferRHIRef RHICreateIndexBuffer(uint32 Stride, uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo) {
    RenderDevice();
    check((Stride == 2 || Stride == 4) && Size > 0 && Size % Stride == 0);
    FOpenGLIndexBuffer* Buffer = new FOpenGLIndexBuffer(Stride, Size, InUsage);
    const void* Data = InitialData(CreateInfo, Size);
    Buffer->Shadow.assign(Size, 0);
    if (Data) std::memcpy(Buffer->Shadow.data(), Data, Size);
    Buffer->Name = CreateBuffer(Size, InUsage, Buffer->Shadow.data());
    if (CreateInfo.ResourceArray) CreateInfo.ResourceArray->Discard();
    return FIndexBufferRHIRef(Buffer);
}

void* RHILockIndexBuffer(FIndexBufferRHIParamRef IndexBuffer, uint32 Offset, uint32 Size, EResourceLockMode LockMode) {
    RenderDevice();
    FOpenGLIndexBuffer* Buffer = static_cast<FOpenGLIndexBuffer*>(IndexBuffer);
    check(Buffer && Offset + Size <= Buffer->GetSize() && Buffer->LockSize == 0);
    (void)LockMode;
    Buffer->LockOffset = Offset;
    Buffer->LockSize = Size;
    return Buffer->Shadow.data() + Offset;
}

void RHIUnlockIndexBuffer(FIndexBufferRHIParamRef IndexBuffer) {
    RenderDevice();
    FOpenGLIndexBuffer* Buffer = static_cast<FOpenGLIndexBuffer*>(IndexBuffer);
    check(Buffer);
    if (Buffer->LockSize) Upload(Buffer->Name, Buffer->LockOffset, Buffer->LockSize, Buffer->Shadow.data() + Buffer->LockOffset);
    Buffer->LockSize = 0;
}

FIndexBufferRHIRef RHICreateAndLockIndexBuffer(uint32 Stride, uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo,
                                               void*& OutDataBuffer) {
    FIndexBufferRHIRef Buffer = RHICreateIndexBuffer(Stride, Size, InUsage, CreateInfo);
    OutDataBuffer = RHILockIndexBuffer(Buffer, 0, Size, RLM_WriteOnly);
    return Buffer;
}

FTexture2DRHIRef RHICreateTexture2D(uint32 SizeX, uint32 SizeY, uint8 Format, uint32 NumMips, uint32 NumSamples, uint32 Flags,
                                    FRHIResourceCreateInfo& CreateInfo) {
    RenderDevice();
    const EPixelFormat PixelFormat = EPixelFormat(Format);
    const uint32 Bpp = BytesPerPixel(PixelFormat);
    checkf(Bpp != 0 && SizeX > 0 && SizeY > 0 && NumMips == 1 && NumSamples == 1, TEXT("unsupported texture"));
    FOpenGLTexture2D* Texture = new FOpenGLTexture2D(SizeX, SizeY, NumMips, NumSamples, PixelFormat, Flags, CreateInfo.ClearValueBinding);
    for (int32 Bit = 0; Bit < 32; ++Bit)
        if (Flags & (1u << Bit)) ++GTexturesByFlag[Bit];
    if (Texture->IsStaging()) {
        // Rows aligned to 256 bytes, as staging surfaces of Windows drivers often are: readers
        // must step by the row pitch.
        Texture->RowPitch = (SizeX * Bpp + 255u) & ~255u;
        Texture->StagingData.assign(size_t(Texture->RowPitch) * SizeY, 0);
        return FTexture2DRHIRef(Texture);
    }
    glGenTextures(1, &Texture->Name);
    glBindTexture(GL_TEXTURE_2D, Texture->Name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    switch (PixelFormat) {
    case PF_DepthStencil:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH24_STENCIL8, GLsizei(SizeX), GLsizei(SizeY), 0, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, nullptr);
        break;
    case PF_FloatRGBA:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, GLsizei(SizeX), GLsizei(SizeY), 0, GL_RGBA, GL_HALF_FLOAT, nullptr);
        break;
    default:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(SizeX), GLsizei(SizeY), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        break;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return FTexture2DRHIRef(Texture);
}

// --- Command lists -------------------------------------------------------------------------

namespace {
void AttachToFramebuffer(GLenum Target, FOpenGLTexture2D* Texture) {
    const bool bDepth = Texture->GetFormat() == PF_DepthStencil;
    glFramebufferTexture2D(Target, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, bDepth ? 0 : Texture->Name, 0);
    glFramebufferTexture2D(Target, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D, bDepth ? Texture->Name : 0, 0);
}
} // namespace

void FRHICommandList::CopyToResolveTarget(FTextureRHIParamRef SourceTextureRHI, FTextureRHIParamRef DestTextureRHI, bool bKeepOriginalSurface,
                                          const FResolveParams& ResolveParams) {
    (void)bKeepOriginalSurface;
    if (!SourceTextureRHI || !DestTextureRHI || SourceTextureRHI == DestTextureRHI) return;
    FOpenGLDevice& Device = RenderDevice();
    FOpenGLTexture2D* Source = static_cast<FOpenGLTexture2D*>(SourceTextureRHI->GetTexture2D());
    FOpenGLTexture2D* Dest = static_cast<FOpenGLTexture2D*>(DestTextureRHI->GetTexture2D());
    check(Source && Dest && !Source->IsStaging());
    checkf(Source->GetFormat() == Dest->GetFormat(), TEXT("a resolve keeps the pixel format"));
    // The rectangle in the engine's coordinates (top row 0), inside both textures.
    int32 X1 = 0, Y1 = 0;
    int32 X2 = int32(std::min(Source->GetSizeX(), Dest->GetSizeX())), Y2 = int32(std::min(Source->GetSizeY(), Dest->GetSizeY()));
    if (ResolveParams.Rect.IsValid()) {
        X1 = std::min(ResolveParams.Rect.X1, X2);
        Y1 = std::min(ResolveParams.Rect.Y1, Y2);
        X2 = std::min(ResolveParams.Rect.X2, X2);
        Y2 = std::min(ResolveParams.Rect.Y2, Y2);
    }
    if (X2 <= X1 || Y2 <= Y1) return;
    const int32 W = X2 - X1, H = Y2 - Y1;
    const int32 SourceH = int32(Source->GetSizeY());
    const bool bDepth = Source->GetFormat() == PF_DepthStencil;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, Device.ReadFramebuffer);
    AttachToFramebuffer(GL_READ_FRAMEBUFFER, Source);
    glReadBuffer(bDepth ? GL_NONE : GL_COLOR_ATTACHMENT0);
    if (Dest->IsStaging()) {
        const uint32 Bpp = BytesPerPixel(Source->GetFormat());
        std::vector<uint8> Rows(size_t(W) * H * Bpp);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        // OpenGL rows run bottom up: the engine's rows Y1…Y2 are GL rows SourceH-Y2…SourceH-Y1.
        if (bDepth)
            glReadPixels(X1, SourceH - Y2, W, H, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, Rows.data());
        else if (Source->GetFormat() == PF_FloatRGBA)
            glReadPixels(X1, SourceH - Y2, W, H, GL_RGBA, GL_HALF_FLOAT, Rows.data());
        else
            glReadPixels(X1, SourceH - Y2, W, H, GL_BGRA, GL_UNSIGNED_BYTE, Rows.data());
        for (int32 Y = 0; Y < H; ++Y) {
            const uint8* From = Rows.data() + size_t(H - 1 - Y) * W * Bpp;
            uint8* To = Dest->StagingData.data() + size_t(Y1 + Y) * Dest->RowPitch + size_t(X1) * Bpp;
            if (!bDepth) {
                std::memcpy(To, From, size_t(W) * Bpp);
                continue;
            }
            // GL packs depth in the high 24 bits and stencil in the low 8; the engine's D24S8
            // surfaces on Windows hold depth low and stencil high.
            for (int32 X = 0; X < W; ++X) {
                uint32 V;
                std::memcpy(&V, From + size_t(X) * 4, 4);
                V = (V >> 8) | (V << 24);
                std::memcpy(To + size_t(X) * 4, &V, 4);
            }
        }
    } else {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, Device.DrawFramebuffer);
        AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, Dest);
        glDrawBuffer(bDepth ? GL_NONE : GL_COLOR_ATTACHMENT0);
        const int32 DestH = int32(Dest->GetSizeY());
        glBlitFramebuffer(X1, SourceH - Y2, X2, SourceH - Y1, X1, DestH - Y2, X2, DestH - Y1,
                          bDepth ? (GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT) : GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

FTexture2DRHIRef FRHICommandListImmediate::CreateTexture2D(uint32 SizeX, uint32 SizeY, uint8 Format, uint32 NumMips, uint32 NumSamples,
                                                           uint32 Flags, FRHIResourceCreateInfo& CreateInfo) {
    return RHICreateTexture2D(SizeX, SizeY, Format, NumMips, NumSamples, Flags, CreateInfo);
}

void FRHICommandListImmediate::MapStagingSurface(FTextureRHIParamRef Texture, void*& OutData, int32& OutWidth, int32& OutHeight) {
    RenderDevice();
    FOpenGLTexture2D* Staging = Texture ? static_cast<FOpenGLTexture2D*>(Texture->GetTexture2D()) : nullptr;
    checkf(Staging && Staging->IsStaging(), TEXT("MapStagingSurface needs a TexCreate_CPUReadback texture"));
    OutData = Staging->StagingData.data();
    OutWidth = int32(Staging->RowPitch / BytesPerPixel(Staging->GetFormat()));
    OutHeight = int32(Staging->GetSizeY());
}

void FRHICommandListImmediate::UnmapStagingSurface(FTextureRHIParamRef Texture) {
    RenderDevice();
    check(Texture);
}

void UE4Host::ClearColorTexture(FRHITexture2D* Texture, const FLinearColor& Color) {
    FOpenGLDevice& Device = RenderDevice();
    FOpenGLTexture2D* GLTexture = static_cast<FOpenGLTexture2D*>(Texture);
    if (!GLTexture || !GLTexture->Name || GLTexture->GetFormat() == PF_DepthStencil) return;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, Device.DrawFramebuffer);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GLTexture);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(Color.R, Color.G, Color.B, Color.A);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}
