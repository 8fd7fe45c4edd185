#include "FrameDriver.h"

#include "CameraRows.h"
#include "MaterialAssignment.h"
#include "VideoCompositor.h"

#include "scene/MayaSceneRegistry.h"

#include "link/Link.h"
#include "link/ResponsePayload.h"
#include "link/Platform.h"
#include "link/SharedRegion.h"
#include "link/VideoFrame.h"

#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <epoxy/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using kvt::kVideoHeader;
using kvt::kVideoRegionName;

struct MayaViewport {
    MayaSceneRegistry& registry = MayaSceneRegistry::instance();
    kvt::LinkRequester link{[this] { registry.resync(); }, kvt::RegionNames::fromEnvironment()};
    kvt::SharedRegion video;
    std::string videoName = kVideoRegionName + kvt::RegionNames::environmentSuffix();
    VideoCompositor compositor;
    std::uint32_t videoWidth = 0;
    std::uint32_t videoHeight = 0;
    bool keyedThisFrame = false;
    // Materials named by replies, assigned in order once the frame is over.
    std::vector<std::u16string> pendingMaterials;

    MayaViewport()
    {
        registry.link = &link;
        registry.idleWork = runIdleWork;
    }
    ~MayaViewport()
    {
        if (registry.link == &link)
            registry.link = nullptr;
        registry.idleWork = nullptr;
    }

    static void runIdleWork();
};

// Made by the first frame (or the first look at the link) after initializePlugin, gone
// with uninitializePlugin: the link regions close with the plug-in, not with the library.
MayaViewport* theViewport = nullptr;

MayaViewport& viewport()
{
    if (!theViewport)
        theViewport = new MayaViewport;
    return *theViewport;
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
    Attachments attachments; // no braced list: Visual Studio 2015 (default member initialisers)
    attachments.colour = static_cast<GLuint>(colour);
    attachments.depth = static_cast<GLuint>(depth);
    return attachments;
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

// True when a video frame was keyed over the picture.
bool uploadPicture(MayaViewport& vp, const kvt::Reply& reply)
{
    bool keyed = false;
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
        keyed = kvt::mapVideoFrame(vp.video, width, height);
        if (keyed)
            composite(vp, width, height, target.colour);
    }

    glBindTexture(GL_TEXTURE_2D, target.depth);
    glGetError();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, reply.width, reply.height, GL_DEPTH_COMPONENT, GL_FLOAT, reply.depth);
    glGetError();

    glActiveTexture(static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glGetError();
    return keyed;
}

bool videoOnly(MayaViewport& vp)
{
    vp.compositor.prepare();
    std::uint32_t width = 0, height = 0;
    if (!kvt::mapVideoFrame(vp.video, width, height))
        return false;
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
    return true;
}

std::uint64_t microsecondsNow()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

// One line per viewport frame in the file named by KVT_FRAME_LOG, when it is set: where the
// frame's time went and what the link did. Nothing but one getenv when it is not set.
class FrameLog {
public:
    ~FrameLog() { close(); }

    // Starts a frame's record; false (and nothing recorded) when no file is named.
    bool begin()
    {
        const char* path = std::getenv(kFrameLogVariable);
        if (!path || !*path) {
            close();
            return false;
        }
        if (!file_ || path_ != path) {
            close();
            path_ = path;
            file_ = std::fopen(path, "a");
            if (!file_)
                return false;
            std::fputs("# frame time start_us driver_us scene_us wait_us upload_us link picture video material\n", file_);
            frame_ = 0;
        }
        record_ = FrameRecord();
        record_.startMicroseconds = microsecondsNow();
        MString time;
        if (MGlobal::executeCommand("currentTime -q", time, false, false))
            record_.time = std::atof(time.asChar());
        return true;
    }

    void end(FrameRecord& record)
    {
        if (!file_)
            return;
        record.driverMicroseconds = microsecondsNow() - record.startMicroseconds;
        std::fprintf(file_, "%llu %g %llu %llu %llu %llu %llu %s %d %d %d\n", static_cast<unsigned long long>(++frame_),
                     record.time,
                     static_cast<unsigned long long>(record.startMicroseconds),
                     static_cast<unsigned long long>(record.driverMicroseconds),
                     static_cast<unsigned long long>(record.sceneMicroseconds),
                     static_cast<unsigned long long>(record.waitMicroseconds),
                     static_cast<unsigned long long>(record.uploadMicroseconds), record.link, record.picture ? 1 : 0,
                     record.video ? 1 : 0, record.material ? 1 : 0);
        std::fflush(file_);
    }

    FrameRecord record_;

private:
    void close()
    {
        if (file_)
            std::fclose(file_);
        file_ = nullptr;
        path_.clear();
    }

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint64_t frame_ = 0;
};

FrameLog& frameLog()
{
    static FrameLog log;
    return log;
}

// Ends the frame's record however the frame ends.
struct FrameScope {
    FrameLog& log = frameLog();
    bool active = log.begin();
    FrameRecord& record = log.record_;
    ~FrameScope()
    {
        if (active)
            log.end(record);
    }
};

} // namespace

bool isLinkOpen() { return viewport().link.isConnected(); }

void MayaViewport::runIdleWork()
{
    if (!theViewport)
        return;
    // Taken first: an assignment may run Maya commands that reach this list again.
    std::vector<std::u16string> names;
    names.swap(theViewport->pendingMaterials);
    for (const std::u16string& name : names)
        assignMaterialToSelection(name);
}

void endFrame()
{
    // Still inside Maya's frame, its context current: the compositor's OpenGL objects go
    // as soon as a frame keys no video, so that none is left for the unload, which runs
    // with no context.
    if (!theViewport)
        return;
    if (!theViewport->keyedThisFrame && theViewport->compositor.isReady()) {
        theViewport->compositor.release();
        // The next video frame makes its texture afresh.
        theViewport->videoWidth = theViewport->videoHeight = 0;
    }
    theViewport->keyedThisFrame = false;
}

void shutdownViewport()
{
    if (!theViewport)
        return;
    // Objects still held (video was keyed up to the last frame) stay with Maya's context,
    // which deletes them with itself; there is no context here to release them in.
    theViewport->compositor.abandon();
    delete theViewport;
    theViewport = nullptr;
}

void drawFrame(const MHWRender::MDrawContext& context)
{
    FrameScope frame;
    FrameRecord& record = frame.record;
    MayaViewport& vp = viewport();
    MayaSceneRegistry& registry = vp.registry;
    registry.lastDriverTick = kvt::platform::tickCountMilliseconds();
    registry.link = &vp.link;

    if (vp.link.connect() == kvt::LinkRequester::ConnectResult::Refused) {
        record.link = "refused";
        return;
    }
    // A producer that went and came again offers its frames under the same name in a new
    // object where names go with their creator: let the old one go and open the new one.
    if (vp.video.isOpen() && kvt::platform::mappingWasReplaced(vp.video.mapping, vp.videoName.c_str()))
        vp.video.close();
    if (!vp.video.isOpen())
        vp.video.open(vp.videoName.c_str(), 0, kVideoHeader);

    if (!vp.link.isConnected()) {
        record.link = "down";
        if (vp.video.isOpen())
            record.video = vp.keyedThisFrame = videoOnly(vp);
        return;
    }
    if (!vp.link.isOurTurn()) {
        record.link = vp.link.isConnected() ? "busy" : "lost";
        return; // Unreal is still busy with an earlier request
    }
    kvt::RequestHeader* header = vp.link.beginRequest();
    record.link = "lost";
    if (!header)
        return;
    const std::uint64_t sceneStart = frame.active ? microsecondsNow() : 0;
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
    const bool claimed = vp.link.requestHeader()->newSession != 0;
    vp.link.publishRequest();
    const std::uint64_t waitStart = frame.active ? microsecondsNow() : 0;
    if (frame.active)
        record.sceneMicroseconds = waitStart - sceneStart;
    const kvt::LinkRequester::AwaitResult awaited = vp.link.awaitResponse();
    const std::uint64_t uploadStart = frame.active ? microsecondsNow() : 0;
    if (frame.active)
        record.waitMicroseconds = uploadStart - waitStart;
    if (awaited != kvt::LinkRequester::AwaitResult::Reply)
        return;
    kvt::Optional<kvt::Reply> reply = vp.link.readReply();
    if (!reply)
        return;
    record.link = claimed ? "new" : "connected";

    if (reply->colour && reply->depth) {
        record.picture = true;
        record.video = vp.keyedThisFrame = uploadPicture(vp, *reply);
    }
    registry.applyHandles(*reply);
    if (reply->hasMaterial) {
        record.material = true;
        // Assigned from the idle timer right after this frame; the reply is done with.
        vp.pendingMaterials.push_back(reply->materialName);
        kvt::clearMaterialRequest(vp.link.response());
    }
    if (frame.active)
        record.uploadMicroseconds = microsecondsNow() - uploadStart;
}
