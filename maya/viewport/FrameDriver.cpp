#include "FrameDriver.h"

#include "CameraRows.h"
#include "MaterialAssignment.h"
#include "VideoCompositor.h"

#include "scene/MayaSceneRegistry.h"

#include "link/Link.h"
#include "link/Platform.h"
#include "link/SharedRegion.h"

#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>

#include <epoxy/gl.h>

#include <cstring>
#include <string>

namespace {

constexpr const char* kVideoRegionName = "DeckLink";
constexpr std::uint32_t kVideoHeader = 8;

struct MayaViewport {
    MayaSceneRegistry& registry = MayaSceneRegistry::instance();
    kvt::LinkRequester link{[this] { registry.resync(); }, kvt::RegionNames::fromEnvironment()};
    kvt::SharedRegion video;
    std::string videoName = kVideoRegionName + kvt::RegionNames::environmentSuffix();
    VideoCompositor compositor;
    std::uint32_t videoWidth = 0;
    std::uint32_t videoHeight = 0;

    MayaViewport() { registry.link = &link; }
    ~MayaViewport()
    {
        if (registry.link == &link)
            registry.link = nullptr;
    }
};

MayaViewport& viewport()
{
    static MayaViewport instance;
    return instance;
}

struct Attachments {
    GLuint colour = 0;
    GLuint depth = 0;
};

Attachments targetTextures()
{
    GLint colour = 0, depth = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &colour);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &depth);
    return {static_cast<GLuint>(colour), static_cast<GLuint>(depth)};
}

// Maps the whole video frame; false when the region offers none (or cannot be mapped).
bool mapVideoFrame(MayaViewport& vp, std::uint32_t& width, std::uint32_t& height)
{
    vp.video.used = 0;
    if (!vp.video.extend(kVideoHeader))
        return false;
    std::memcpy(&width, vp.video.view, 4);
    std::memcpy(&height, vp.video.view + 4, 4);
    if (width == 0 || height == 0)
        return false;
    const std::uint64_t end = std::uint64_t(width) * height * 4 + kVideoHeader;
    if (end > kvt::kRegionMaximum)
        return false;
    vp.video.used = 0;
    return vp.video.extend(end) != nullptr;
}

void composite(MayaViewport& vp, std::uint32_t width, std::uint32_t height, GLuint picture)
{
    if (width != vp.videoWidth || height != vp.videoHeight) {
        vp.compositor.resize(width, height);
        vp.videoWidth = width;
        vp.videoHeight = height;
    }
    vp.compositor.draw(width, height, vp.video.view + kVideoHeader, picture);
}

void uploadPicture(MayaViewport& vp, const kvt::Reply& reply)
{
    glGetError();
    Attachments target = targetTextures();
    GLint unit = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetError();

    glBindTexture(GL_TEXTURE_2D, target.colour);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, reply.width, reply.height, GL_BGRA, GL_UNSIGNED_BYTE, reply.colour);

    if (vp.video.isOpen()) {
        vp.compositor.prepare();
        std::uint32_t width = 0, height = 0;
        if (mapVideoFrame(vp, width, height))
            composite(vp, width, height, target.colour);
    }

    glBindTexture(GL_TEXTURE_2D, target.depth);
    glGetError();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, reply.width, reply.height, GL_DEPTH_COMPONENT, GL_FLOAT, reply.depth);
    glGetError();

    glActiveTexture(static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glGetError();
}

void videoOnly(MayaViewport& vp)
{
    vp.compositor.prepare();
    std::uint32_t width = 0, height = 0;
    if (!mapVideoFrame(vp, width, height))
        return;
    glGetError();
    Attachments target = targetTextures();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, target.colour);
    glGetError();
    // No Unreal picture: the keyed areas show black.
    composite(vp, width, height, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glGetError();
}

} // namespace

bool isLinkOpen() { return viewport().link.isConnected(); }

void releaseViewportGl() { viewport().compositor.release(); }

void drawFrame(const MHWRender::MDrawContext& context)
{
    MayaViewport& vp = viewport();
    MayaSceneRegistry& registry = vp.registry;
    registry.lastDriverTick = kvt::platform::tickCountMilliseconds();
    registry.link = &vp.link;

    if (vp.link.connect() == kvt::LinkRequester::ConnectResult::Refused)
        return;
    if (!vp.video.isOpen())
        vp.video.open(vp.videoName.c_str(), 0, kVideoHeader);

    if (!vp.link.isConnected()) {
        if (vp.video.isOpen())
            videoOnly(vp);
        return;
    }
    if (!vp.link.isOurTurn())
        return; // Unreal is still busy with an earlier request
    kvt::RequestHeader* header = vp.link.beginRequest();
    if (!header)
        return;
    registry.registerCallbacks();

    const MUint64 exclusions = context.objectTypeExclusions();
    header->pictureWanted = 1;
    int x = 0, y = 0, width = 0, height = 0;
    context.getViewportDimensions(x, y, width, height);
    header->viewportWidth = width;
    header->viewportHeight = height;
    writeCamera(*header, context.getMatrix(MHWRender::MFrameContext::kViewInverseMtx));
    writeProjection(*header, context.getMatrix(MHWRender::MFrameContext::kProjectionMtx));

    if (!registry.writeChanges(vp.link.request(), vp.link.response(), ~std::uint64_t(exclusions)))
        return; // the link has let go; the next claim resends everything
    vp.link.publishRequest();
    if (vp.link.awaitResponse() != kvt::LinkRequester::AwaitResult::Reply)
        return;
    kvt::Optional<kvt::Reply> reply = vp.link.readReply();
    if (!reply)
        return;

    if (reply->colour && reply->depth)
        uploadPicture(vp, *reply);
    registry.applyHandles(*reply);
    if (reply->hasMaterial)
        assignMaterialToSelection(reply->materialName, vp.link.response());
}
