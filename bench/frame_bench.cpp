// The whole frame as the artist runs it, in two processes: this program is Maya (the Maya
// stand-in with the plug-in loaded by "loadPlugin" and the panel drawn by "Mirror"), and
// `ue4editor` with the editor module is Unreal, on region names private to the run.
//
// Each frame is split with timestamps on the system-wide monotonic clock:
//   Maya side   frame start -> the request's counter advances (a thread here watches both
//               counters every ~20 us); of it, the host's clear and the link's request writing
//   wait        publish -> the reply's counter (Unreal: its tick, the capture, the read-back)
//   upload      the plug-in's two glTexSubImage2D calls (Maya drawing the reply)
// and, inside the wait, with a probe preloaded into the editor (frame_probe.cpp): the
// stretches in which the module copies the mapped staging surfaces into the reply.
//
// The link's own share is everything but the Unreal render and Maya's own drawing: the
// request writing after the clear (without the host's geometry extractor, timed apart by
// ExtractorClock.h), the module's copy into the reply, its publishing, and the plug-in's
// noticing the reply (the wait loop). Its floor is memcpy of the bytes the
// link moves per frame (request + 8 bytes per pixel), measured here.
//
// Then the same picture (colour + depth) moves once through the regions and once through a
// loopback TCP socket, each with a second thread as the sender.

#include "ExtractorClock.h"
#include "Figures.h"

#include "../hosts/maya/src/Viewport.h"

#include "RegionCleanup.h"

#include "link/Link.h"
#include "link/RecordReader.h"
#include "link/ResponsePayload.h"
#include "link/SharedRegion.h"
#include "scene/MayaObjects.h"
#include "scene/MayaSceneRegistry.h"

#include <maya/MFn.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::uint64_t nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::uint64_t(t.tv_sec) * 1000000000ull + std::uint64_t(t.tv_nsec);
}

double ms(std::uint64_t ns) { return double(ns) / 1e6; }

using benchfig::median;

constexpr double kEngineFrameMs = 1000.0 / 60.0; // the module fixes the editor at 60 frames a second

bool mel(const std::string& command)
{
    if (MGlobal::executeCommand(MString(command.c_str())))
        return true;
    std::fprintf(stderr, "frame_bench: MEL failed: %s\n", command.c_str());
    return false;
}

// ---- the plug-in's OpenGL calls, stamped -----------------------------------------------
// libepoxy's entry points are pointers that the plug-in and the host both call through.

std::atomic<bool> stampGl{false};
std::uint64_t clearEnd = 0, uploadStart = 0, uploadEnd = 0;
std::uint64_t uploadBytes = 0;
decltype(epoxy_glTexSubImage2D) realTexSubImage2D = nullptr;
decltype(epoxy_glClear) realClear = nullptr;

void GLAPIENTRY stampedTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h,
                                     GLenum format, GLenum type, const void* pixels)
{
    const std::uint64_t t0 = nowNs();
    realTexSubImage2D(target, level, x, y, w, h, format, type, pixels);
    if (stampGl && ((format == GL_BGRA && type == GL_UNSIGNED_BYTE) || (format == GL_DEPTH_COMPONENT && type == GL_FLOAT))) {
        if (!uploadStart)
            uploadStart = t0;
        uploadEnd = nowNs();
        uploadBytes += std::uint64_t(w) * h * 4;
    }
}

void GLAPIENTRY stampedClear(GLbitfield mask)
{
    realClear(mask);
    if (stampGl && !uploadStart)
        clearEnd = nowNs();
}

// The pointers start at libepoxy's resolvers, which would call back through the hook:
// the driver's own entry points come from EGL.
void hookGl()
{
    realTexSubImage2D =
        reinterpret_cast<decltype(realTexSubImage2D)>(epoxy_eglGetProcAddress("glTexSubImage2D"));
    realClear = reinterpret_cast<decltype(realClear)>(epoxy_eglGetProcAddress("glClear"));
    if (!realTexSubImage2D || !realClear) {
        std::fprintf(stderr, "frame_bench: EGL has no glTexSubImage2D or glClear\n");
        std::exit(1);
    }
    epoxy_glTexSubImage2D = stampedTexSubImage2D;
    epoxy_glClear = stampedClear;
}

// ---- the counters, watched -------------------------------------------------------------

struct Watcher {
    kvt::RegionNames names = kvt::RegionNames::fromEnvironment();
    kvt::SharedRegion request, response;
    std::atomic<bool> armed{false}, stop{false};
    std::atomic<std::uint64_t> published{0}, replied{0};
    std::uint64_t armedCounter = 0;
    std::thread thread;

    bool open()
    {
        if (!request.isOpen())
            request.open(names.request.c_str(), 0, 4096);
        if (!response.isOpen())
            response.open(names.response.c_str(), 0, 4096);
        return request.isOpen() && response.isOpen() && request.view && response.view;
    }
    std::uint64_t requestCounter() { return kvt::loadCounter(request.view); }
    std::uint64_t responseCounter() { return kvt::loadCounter(response.view); }

    void arm()
    {
        armedCounter = requestCounter();
        published = 0;
        replied = 0;
        armed = true;
    }
    void run()
    {
        timespec pause{0, 20000};
        while (!stop) {
            if (!armed) {
                timespec idle{0, 200000};
                nanosleep(&idle, nullptr);
                continue;
            }
            const std::uint64_t req = requestCounter();
            if (!published && req != armedCounter)
                published = nowNs();
            if (published && responseCounter() == req) {
                replied = nowNs();
                armed = false;
                continue;
            }
            nanosleep(&pause, nullptr);
        }
    }
    void start() { thread = std::thread([this] { run(); }); }
    ~Watcher()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
};

// ---- the editor ------------------------------------------------------------------------

struct Editor {
    pid_t pid = 0;
    int input = -1;
    std::string log = "/tmp/frame_bench_editor_" + std::to_string(getpid()) + ".txt";
    std::string probe = "/tmp/frame_bench_probe_" + std::to_string(getpid()) + ".bin";

    bool start()
    {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::remove(probe.c_str());
        setenv("KVT_PROBE_FILE", probe.c_str(), 1);
        setenv("LD_PRELOAD", FRAME_PROBE, 1);
        std::string content = std::string("-Content=") + MIRROR_EXAMPLES_CONTENT;
        std::string plugin = std::string("-Plugin=") + QUORBELL_PLUGIN_FILE;
        char* argv[] = {const_cast<char*>(UE4EDITOR_PROGRAM), content.data(), plugin.data(), nullptr};
        const int rc = posix_spawn(&pid, UE4EDITOR_PROGRAM, &actions, nullptr, argv, environ);
        unsetenv("LD_PRELOAD");
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[0]);
        input = pipeFds[1];
        return rc == 0;
    }
    void send(const std::string& line)
    {
        if (input >= 0 && write(input, line.data(), line.size()) < 0) {
        }
    }
    // Asks for the editor's tick statistics, quits, and returns what it printed.
    std::string stop()
    {
        if (!pid)
            return "";
        send("stat tickables\nquit\n");
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                break;
            }
            usleep(10000);
        }
        if (pid) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = 0;
        }
        close(input);
        std::string text;
        if (std::FILE* f = std::fopen(log.c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                text.append(buffer, n);
            std::fclose(f);
        }
        std::remove(log.c_str());
        return text;
    }
    struct Stamp {
        std::uint64_t kind, ns;
    };
    std::vector<Stamp> stamps()
    {
        std::vector<Stamp> out;
        if (std::FILE* f = std::fopen(probe.c_str(), "rb")) {
            Stamp s;
            while (std::fread(&s, sizeof s, 1, f) == 1)
                out.push_back(s);
            std::fclose(f);
        }
        return out;
    }
    ~Editor()
    {
        stop();
        std::remove(probe.c_str());
    }
};

// ---- one frame -------------------------------------------------------------------------

struct FrameTimes {
    bool complete = false;
    std::uint64_t start = 0, clear = 0, publish = 0, reply = 0, upload0 = 0, upload1 = 0, end = 0;
    std::uint64_t requestBytes = 0, replyBytes = 0;
    std::uint64_t extractor = 0; // the host's geometry extractor, inside the Maya side
    // memcpy of the frame's bytes, timed right after it (the machine as the frame found it):
    // request + reply, and the reply alone (the upload's floor).
    std::uint64_t floorLink = 0, floorUpload = 0;
    kvt::LinkRequester::Noticed noticed = kvt::LinkRequester::Noticed::AtOnce;
    // From the editor's probe, filled in afterwards.
    std::uint64_t firstMap = 0, unrealCopy = 0, lastUnmap = 0;
};

FrameTimes drawOne(Watcher& watcher)
{
    FrameTimes f;
    clearEnd = uploadStart = uploadEnd = uploadBytes = 0;
    const bool watching = watcher.open();
    if (watching)
        watcher.arm();
    stampGl = true;
    std::string error;
    extractorClock::ns = 0;
    f.start = nowNs();
    const bool drawn = mayahost::vp2::drawFrame(error);
    f.end = nowNs();
    stampGl = false;
    f.extractor = extractorClock::ns;
    std::uint64_t publishedAt = 0;
    if (const kvt::LinkRequester* link = MayaSceneRegistry::instance().link) {
        f.noticed = link->lastNoticed();
        publishedAt = link->publishedAtMicroseconds() * 1000; // the same clock, in ns
    }
    if (!drawn) {
        std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
        return f;
    }
    watcher.armed = false;
    // The host clears the target before the driver runs, when its pass asks for it.
    f.clear = clearEnd && clearEnd <= watcher.published ? clearEnd : f.start;
    // The link's own stamp of publishing when this frame published (the watcher's may be a
    // poll late).
    f.publish = publishedAt >= f.start && publishedAt <= f.end ? publishedAt : watcher.published.load();
    f.reply = watcher.replied;
    f.upload0 = uploadStart;
    f.upload1 = uploadEnd;
    f.replyBytes = uploadBytes;
    if (f.reply && f.upload0 && f.reply > f.upload0)
        f.reply = f.upload0; // the watcher was late; the plug-in saw it first
    f.complete = watching && f.publish && f.reply && f.upload0;
    if (f.complete) {
        // The request's bytes, read back through the validating reader.
        kvt::SharedRegion& req = watcher.request;
        const std::uint32_t size = reinterpret_cast<const kvt::RequestHeader*>(req.view)->viewSize;
        f.requestBytes = sizeof(kvt::RequestHeader);
        if (req.remap(size)) {
            kvt::RequestRecords records = kvt::readRecords(req.bytes());
            for (const kvt::Record& r : records.records) {
                if (r.kind == kvt::RecordKind::Mesh)
                    f.requestBytes += sizeof(kvt::MeshRecord) + std::uint64_t(r.mesh.vertexCount) * 32 +
                                      std::uint64_t(r.mesh.indexCount) * 4 + std::uint64_t(r.mesh.sectionCount) * 8;
                else
                    f.requestBytes += 96;
            }
        }
    }
    return f;
}

void attachStamps(std::vector<FrameTimes>& frames, const std::vector<Editor::Stamp>& stamps)
{
    for (FrameTimes& f : frames) {
        if (!f.complete)
            continue;
        std::uint64_t mapped = 0;
        for (const Editor::Stamp& s : stamps) {
            if (s.ns < f.publish || s.ns > f.reply)
                continue;
            if (s.kind == 2) {
                mapped = s.ns;
                if (!f.firstMap)
                    f.firstMap = s.ns;
            }
            else if (s.kind == 3 && mapped) {
                f.unrealCopy += s.ns - mapped;
                f.lastUnmap = s.ns;
                mapped = 0;
            }
        }
        if (!f.firstMap || !f.lastUnmap)
            f.complete = false;
    }
}

// memcpy of `bytes`, the best of a few, in milliseconds.
double memcpyMs(std::size_t bytes)
{
    std::vector<std::uint8_t> from(bytes, 1), to(bytes, 2);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        auto t0 = nowNs();
        std::memcpy(to.data(), from.data(), bytes);
        best = std::min(best, ms(nowNs() - t0));
        asm volatile("" : : "r"(to.data()) : "memory");
    }
    return best;
}

// The floor of one frame, timed right after it: the machine's memory bandwidth on this kind
// of host moves by half from one second to the next, so a floor taken once for the whole
// run would judge frames by another moment's machine. Like with like: the bytes the link
// moves were written by another thread just before they are copied (the module's copy
// reads the staging surfaces the capture has just filled; the editor reads the request
// Maya has just written), so the floor's source is written by another thread first, which
// costs memcpy about a quarter more on this machine than bytes its own thread wrote.
struct FloorBuffers {
    std::vector<std::uint8_t> from, to;
    std::uint8_t fill = 1;
    std::uint64_t copy(std::size_t bytes)
    {
        if (from.size() < bytes) {
            from.assign(bytes, 1);
            to.assign(bytes, 2);
        }
        std::thread producer([&] { std::memset(from.data(), ++fill, bytes); });
        producer.join();
        const std::uint64_t t0 = nowNs();
        std::memcpy(to.data(), from.data(), bytes);
        asm volatile("" : : "r"(to.data()) : "memory");
        return nowNs() - t0;
    }
    void timeFrame(FrameTimes& f)
    {
        if (!f.complete)
            return;
        f.floorLink = copy(f.requestBytes + f.replyBytes);
        f.floorUpload = copy(f.replyBytes);
    }
};

struct Options {
    int frames = 20;
    bool quick = false;
};

struct Size {
    int width, height;
    const char* name;
};

struct SceneSpec {
    const char* name;
    const char* mel;
    bool editMesh; // also frames in which the mesh changes
};

const SceneSpec kScenes[] = {
    {"small scene",
     "polyCube -w 2 -h 2 -d 2; move 0 1 0; polySphere -r 1; move 3 1 0; polyPlane -w 20 -h 20; "
     "directionalLight; rotate -45 30 0; pointLight; move 0 5 0;",
     false},
    {"1M-triangle scene", "polyPlane -n big -w 20 -h 20 -sx 708 -sy 708; directionalLight; rotate -45 30 0;", true},
};

const Size kSizes[] = {{1920, 1080, "1920x1080"}, {3840, 2160, "3840x2160"}};

bool setUpScene(const SceneSpec& scene, const Size& size)
{
    return mel("file -f -new") && mel(scene.mel) && mel("setAttr persp.translate 0 14 26; setAttr persp.rotate -28 0 0") &&
           mel("select -cl") &&
           mel("control -e -w " + std::to_string(size.width) + " -h " + std::to_string(size.height) + " modelPanel4");
}

// The camera turns a little every frame, as when the artist orbits.
void turnCamera(int frame) { mel("setAttr persp.rotateY " + std::to_string(0.2 * frame)); }

MayaShape* meshShape()
{
    MayaShape* found = nullptr;
    MayaSceneRegistry::instance().forEachShape([&](MayaShape* shape) {
        if (shape->node.object().apiType() == MFn::kMesh)
            found = shape;
    });
    return found;
}

struct Split {
    double floorLink, floorUpload;
    std::size_t noticedAtOnce, noticedFine, noticedLate, noticedAfterSleep;
    double total, mayaSide, clear, requestWriting, extractor, wait, unrealTick, unrealCapture, unrealCopy, unrealPublish, notice,
        upload, after, link;
    std::uint64_t requestBytes, replyBytes;
    std::size_t frames;
};

Split summarise(const std::vector<FrameTimes>& frames)
{
    std::vector<double> total, maya, clear, writing, extractor, wait, tick, capture, copy, publish, notice, upload, after, link;
    std::vector<double> floorLink, floorUpload;
    Split s{};
    for (const FrameTimes& f : frames) {
        if (!f.complete)
            continue;
        floorLink.push_back(ms(f.floorLink));
        floorUpload.push_back(ms(f.floorUpload));
        using Noticed = kvt::LinkRequester::Noticed;
        (f.noticed == Noticed::AtOnce     ? s.noticedAtOnce
         : f.noticed == Noticed::FinePoll ? s.noticedFine
         : f.noticed == Noticed::LatePoll ? s.noticedLate
                                          : s.noticedAfterSleep) += 1;
        total.push_back(ms(f.end - f.start));
        maya.push_back(ms(f.publish - f.start));
        clear.push_back(ms(f.clear - f.start));
        writing.push_back(ms(f.publish - f.clear - f.extractor));
        extractor.push_back(ms(f.extractor));
        wait.push_back(ms(f.reply - f.publish));
        tick.push_back(ms(f.firstMap - f.publish));
        copy.push_back(ms(f.unrealCopy));
        capture.push_back(ms(f.lastUnmap - f.firstMap - f.unrealCopy));
        publish.push_back(ms(f.reply - f.lastUnmap));
        notice.push_back(ms(f.upload0 - f.reply));
        upload.push_back(ms(f.upload1 - f.upload0));
        after.push_back(ms(f.end - f.upload1));
        link.push_back(ms((f.publish - f.clear - f.extractor) + f.unrealCopy + (f.reply - f.lastUnmap) + (f.upload0 - f.reply)));
        s.requestBytes = std::max(s.requestBytes, f.requestBytes);
        s.replyBytes = f.replyBytes;
    }
    s.frames = total.size();
    s.total = median(total), s.mayaSide = median(maya), s.clear = median(clear), s.requestWriting = median(writing), s.extractor = median(extractor);
    s.wait = median(wait), s.unrealTick = median(tick), s.unrealCapture = median(capture), s.unrealCopy = median(copy);
    s.unrealPublish = median(publish), s.notice = median(notice), s.upload = median(upload), s.after = median(after);
    s.link = median(link);
    s.floorLink = median(floorLink), s.floorUpload = median(floorUpload);
    return s;
}

void report(const std::string& label, const Split& s, double mayaAlone)
{
    std::printf("\n%s: %zu frames (medians, ms)\n", label.c_str(), s.frames);
    if (!s.frames) {
        std::printf("  no complete frame\n");
        return;
    }
    std::printf("  frame %.2f = Maya side %.2f (clear %.2f, host extractor %.2f, request writing %.3f) + wait %.2f + noticed %.2f + upload %.2f + after "
                "%.2f\n",
                s.total, s.mayaSide, s.clear, s.extractor, s.requestWriting, s.wait, s.notice, s.upload, s.after);
    std::printf("  wait: until the colour staging surface is mapped (editor tick, records, capture) %.2f, depth staging "
                "%.2f, module's copy into the reply %.2f, publish %.2f\n",
                s.unrealTick, s.unrealCapture, s.unrealCopy, s.unrealPublish);
    std::printf("  Maya's own frame with the link down %.2f; bytes per frame: request %llu, reply %llu\n", mayaAlone,
                (unsigned long long)s.requestBytes, (unsigned long long)s.replyBytes);
    const double floorLink = s.floorLink, floorUpload = s.floorUpload;
    std::printf("  the reply noticed: at once %zu, by the fine poll %zu, by a later poll %zu, after a sleep %zu frames\n",
                s.noticedAtOnce, s.noticedFine, s.noticedLate, s.noticedAfterSleep);
    std::printf("  link's own share %.2f against memcpy of %llu bytes another thread has just written %.2f (timed after "
                "each frame): %.2fx (target <= 2x)\n",
                s.link, (unsigned long long)(s.requestBytes + s.replyBytes), floorLink, s.link / floorLink);
    benchfig::figure(label + ": frame", s.total, "ms", 0, "");
    benchfig::figure(label + ": Maya side (request " + std::to_string(s.requestBytes) + " B)", s.mayaSide, "ms", 0, "");
    if (s.extractor > 0)
        benchfig::figure(label + ": of it the host's extractor", s.extractor, "ms", 0, "");
    benchfig::figure(label + ": wait (Unreal)", s.wait, "ms", kEngineFrameMs, "");
    benchfig::figure(label + ": upload (vs memcpy)", s.upload, "ms", floorUpload, "");
    benchfig::figure(label + ": link's own share (vs memcpy)", s.link, "ms", floorLink, "<= 2x");
}

// ---- the picture through the regions and through TCP ----------------------------------

// The regions: a responder thread writes the picture into the response as the module's
// read-back does; the requester copies colour and depth out, as the upload reads them.
// Without `copies` the picture is written once and each round is the handshake alone:
// the read-back writes into the response and the upload reads from it in place, so that
// is all the regions add to a frame.
double throughRegions(const std::vector<std::uint8_t>& picture, int width, int height, int rounds, bool copies = true)
{
    const std::string suffix = "FrameBenchPicture" + std::to_string(getpid());
    kvt::RegionNames names = kvt::RegionNames::prefixed(suffix);
    kvt::LinkResponder responder(names);
    if (!responder.createRegions())
        return 0;
    std::atomic<bool> stop{false};
    bool written = false;
    const std::size_t block = picture.size() / 2;
    std::thread unreal([&] {
        while (!stop) {
            if (!responder.pollRequest())
                continue;
            responder.beginResponse();
            kvt::SharedRegion& rsp = responder.response();
            kvt::writeHandleTable(rsp, 0);
            auto blocks = kvt::writePictureBlocks(rsp, width, height);
            if (blocks && (copies || !written)) {
                written = true;
                std::memcpy(rsp.view + blocks->colour, picture.data(), block);
                std::memcpy(rsp.view + blocks->depth, picture.data() + block, block);
            }
            responder.publishResponse();
        }
    });
    kvt::LinkRequester maya(nullptr, names);
    for (int i = 0; i < 5000 && maya.connect() != kvt::LinkRequester::ConnectResult::Connected; ++i)
        usleep(1000);
    std::vector<std::uint8_t> out(picture.size());
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const std::uint64_t t0 = nowNs();
        kvt::RequestHeader* req = maya.beginRequest();
        if (!req)
            break;
        req->newCount = 0;
        req->pictureWanted = 1;
        req->viewportWidth = width;
        req->viewportHeight = height;
        maya.publishRequest();
        while (kvt::loadCounter(maya.requestHeader()) != kvt::loadCounter(maya.responseHeader())) {
        }
        if (!maya.response().remap(maya.responseHeader()->viewSize))
            break;
        auto reply = maya.readReply();
        if (!reply || !reply->colour)
            break;
        if (copies || i + 1 == rounds) {
            std::memcpy(out.data(), reply->colour, block);
            std::memcpy(out.data() + block, reply->depth, block);
        }
        times.push_back(ms(nowNs() - t0));
    }
    stop = true;
    unreal.join();
    maya.disconnect();
    if (std::memcmp(out.data(), picture.data(), picture.size()) != 0)
        return 0; // the copy must arrive whole
    return median(times);
}

// TCP over 127.0.0.1: the sender thread answers each one-byte request with the picture;
// the receiver reads it whole into its buffer. With `copies` the sender first writes the
// picture into its send buffer and the receiver copies it out afterwards, the same two
// copies the regions' round makes (the read-back's and the upload's).
double throughTcp(const std::vector<std::uint8_t>& picture, int rounds, bool copies = false)
{
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listener);
        return 0;
    }
    std::thread unreal([&] {
        int peer = accept(listener, nullptr, nullptr);
        int one = 1;
        setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        char request;
        std::vector<std::uint8_t> staged(copies ? picture.size() : 0);
        while (recv(peer, &request, 1, MSG_WAITALL) == 1) {
            const std::uint8_t* from = picture.data();
            if (copies) {
                std::memcpy(staged.data(), picture.data(), picture.size());
                from = staged.data();
            }
            std::size_t sent = 0;
            while (sent < picture.size()) {
                ssize_t n = send(peer, from + sent, picture.size() - sent, 0);
                if (n <= 0)
                    break;
                sent += std::size_t(n);
            }
        }
        close(peer);
    });
    int maya = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(maya, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::vector<double> times;
    std::vector<std::uint8_t> out(picture.size()), used(copies ? picture.size() : 0);
    if (connect(maya, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        for (int i = 0; i < rounds; ++i) {
            const std::uint64_t t0 = nowNs();
            char request = 1;
            if (send(maya, &request, 1, 0) != 1)
                break;
            if (recv(maya, out.data(), out.size(), MSG_WAITALL) != ssize_t(out.size()))
                break;
            if (copies)
                std::memcpy(used.data(), out.data(), out.size());
            times.push_back(ms(nowNs() - t0));
        }
    }
    close(maya);
    unreal.join();
    close(listener);
    if (std::memcmp(out.data(), picture.data(), picture.size()) != 0)
        return 0;
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            options.quick = true;
            options.frames = 8;
        } else if (arg.rfind("--frames=", 0) == 0) {
            options.frames = std::max(3, std::atoi(arg.c_str() + 9));
        } else {
            std::fprintf(stderr, "usage: frame_bench [--quick] [--frames=N]\n");
            return 2;
        }
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string suffix = "FrameBench" + std::to_string(getpid());
    setenv("KVT_REGION_SUFFIX", suffix.c_str(), 1);
    // An editor that had to be killed leaves its names: they go when the run ends.
    testsupport::RegionCleanup regions;
    regions.addSuffixed(suffix);

    if (!mel("loadPlugin \"" PLUGIN_PATH "\"") ||
        !mel("modelEditor -e -rendererOverrideName \"Mirror\" -allObjects 1 -grid 1 -camera persp modelPanel4"))
        return 1;

    // Maya's own frame through "Mirror" while no editor answers: clear, interface, present.
    std::printf("[frame_bench] Maya's own frame with the link down\n");
    Watcher watcher;
    double mayaAlone[2][2] = {};
    bool hooked = false;
    for (int s = 0; s < 2; ++s)
        for (int z = 0; z < 2; ++z) {
            if (!setUpScene(kScenes[s], kSizes[z]))
                return 1;
            std::vector<double> t;
            for (int i = 0; i < std::max(3, options.frames / 2); ++i) {
                std::string error;
                if (!hooked && mayahost::vp2::drawFrame(error)) {
                    hookGl();
                    hooked = true;
                }
                const std::uint64_t t0 = nowNs();
                if (!mayahost::vp2::drawFrame(error)) {
                    std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
                    return 1;
                }
                t.push_back(ms(nowNs() - t0));
            }
            mayaAlone[s][z] = median(t);
            std::printf("  %s at %s: %.2f ms\n", kScenes[s].name, kSizes[z].name, mayaAlone[s][z]);
        }

    std::printf("[frame_bench] starting ue4editor with the module\n");
    Editor editor;
    if (!editor.start()) {
        std::fprintf(stderr, "frame_bench: could not start %s\n", UE4EDITOR_PROGRAM);
        return 1;
    }
    watcher.start();

    struct Result {
        std::string label;
        std::vector<FrameTimes> frames;
        double mayaAlone;
    };
    std::vector<Result> results;
    FloorBuffers floors;
    std::vector<std::uint8_t> picture[2]; // the last reply at each size, for the TCP comparison
    for (int s = 0; s < 2; ++s)
        for (int z = 0; z < 2; ++z) {
            if (!setUpScene(kScenes[s], kSizes[z]))
                return 1;
            // Until a reply has come back for the whole scene: the first frames claim the
            // link and send every object.
            int replies = 0;
            for (int i = 0; i < 3000 && replies < 3; ++i) {
                FrameTimes f = drawOne(watcher);
                if (f.complete)
                    ++replies;
                else if (std::getenv("FRAME_BENCH_DEBUG"))
                    std::fprintf(stderr, "incomplete: clear %llu publish %llu reply %llu upload %llu start %llu\n",
                                 (unsigned long long)f.clear, (unsigned long long)f.publish,
                                 (unsigned long long)f.reply, (unsigned long long)f.upload0,
                                 (unsigned long long)f.start);
                else
                    usleep(5000);
            }
            if (replies < 3) {
                std::fprintf(stderr, "frame_bench: the editor does not answer\n");
                return 1;
            }
            std::printf("[frame_bench] %s at %s: %d frames, the camera turning\n", kScenes[s].name, kSizes[z].name,
                        options.frames);
            Result steady{std::string(kScenes[s].name) + " " + kSizes[z].name, {}, mayaAlone[s][z]};
            for (int i = 0; i < options.frames; ++i) {
                turnCamera(i);
                steady.frames.push_back(drawOne(watcher));
                floors.timeFrame(steady.frames.back());
            }
            results.push_back(steady);
            if (kScenes[s].editMesh) {
                std::printf("[frame_bench] %s at %s: %d frames, the mesh changed in each\n", kScenes[s].name,
                            kSizes[z].name, std::max(3, options.frames / 2));
                Result edited{std::string(kScenes[s].name) + " " + kSizes[z].name + ", mesh changed", {},
                              mayaAlone[s][z]};
                for (int i = 0; i < std::max(3, options.frames / 2); ++i) {
                    if (MayaShape* shape = meshShape())
                        MayaSceneRegistry::instance().queueShape(shape);
                    edited.frames.push_back(drawOne(watcher));
                    floors.timeFrame(edited.frames.back());
                }
                results.push_back(edited);
            }
            if (s == 0) {
                // The reply as it lies in the response: colour then depth.
                kvt::SharedRegion& rsp = watcher.response;
                const auto* header = reinterpret_cast<const kvt::ResponseHeader*>(rsp.view);
                const auto* request = reinterpret_cast<const kvt::RequestHeader*>(watcher.request.view);
                if (rsp.remap(header->viewSize)) {
                    kvt::Optional<kvt::Reply> reply = kvt::readReply(rsp.bytes(), *request);
                    if (reply && reply->colour && reply->depth) {
                        const std::size_t block = std::size_t(reply->width) * reply->height * 4;
                        const std::uint8_t* colour = reply->colour;
                        const std::uint8_t* depth = reply->depth;
                        picture[z].assign(colour, colour + block);
                        picture[z].insert(picture[z].end(), depth, depth + block);
                    }
                }
            }
        }
    const std::string editorSays = editor.stop();
    const auto stamps = editor.stamps();
    for (Result& r : results)
        attachStamps(r.frames, stamps);
    watcher.stop = true;

    std::printf("\n[frame_bench] two processes: this one Maya (stand-in, plug-in loaded), ue4editor with the module\n");
    for (const Result& r : results)
        report(r.label, summarise(r.frames), r.mayaAlone);
    std::printf("\nue4editor: %s\n", editorSays.c_str());

    std::printf("[frame_bench] the same picture through the regions and through loopback TCP\n");
    for (int z = 0; z < 2; ++z) {
        if (picture[z].empty()) {
            std::printf("  %s: no picture kept\n", kSizes[z].name);
            continue;
        }
        const int rounds = options.quick ? 10 : 30;
        // What moving the picture adds to a frame: the regions' handshake (the read-back
        // writes into the response, the upload reads it there) against send and receive.
        const double handshake = throughRegions(picture[z], kSizes[z].width, kSizes[z].height, rounds, false);
        const double tcp = throughTcp(picture[z], rounds);
        // The whole way from the read-back's writes to the upload's reads, both with the
        // producer's and the consumer's copy.
        const double regions = throughRegions(picture[z], kSizes[z].width, kSizes[z].height, rounds, true);
        const double tcpCopies = throughTcp(picture[z], rounds, true);
        // The floor: the same bytes written once and read once.
        const double floor = 2 * memcpyMs(picture[z].size());
        std::printf("  %s, %zu bytes: moving it adds %.1f us through the regions, %.2f ms through TCP, TCP / regions %.0fx "
                    "(target >= 10x)\n",
                    kSizes[z].name, picture[z].size(), handshake * 1e3, tcp, handshake > 0 ? tcp / handshake : 0.0);
        std::printf("  %s with the read-back's and the upload's copies: regions %.2f ms, TCP %.2f ms (%.1fx), memcpy twice %.2f ms\n",
                    kSizes[z].name, regions, tcpCopies, regions > 0 ? tcpCopies / regions : 0.0, floor);
        const std::string name = std::string("picture ") + kSizes[z].name;
        benchfig::figure(name + " moved: regions' handshake", handshake * 1e3, "us", 0, "");
        benchfig::figure(name + " moved: loopback TCP", tcp, "ms", 0, "");
        benchfig::figure(name + " moved: TCP / regions", handshake > 0 ? tcp / handshake : 0, "x", 0, ">= 10x");
        benchfig::figure(name + " with both copies through the regions", regions, "ms", floor, "");
        benchfig::figure(name + " with both copies through loopback TCP", tcpCopies, "ms", floor, "");
    }
    return 0;
}
