#include "FrameReport.h"

#include "link/Headers.h"
#include "link/Platform.h"
#include "link/RecordReader.h"
#include "link/ResponsePayload.h"

#include <cstdarg>
#include <cstdio>

namespace kvtinspect {
namespace {

using namespace kvt;

void add(std::string& out, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

const char* liveness(std::uint32_t pid)
{
    if (pid == 0)
        return "nobody";
    return platform::isProcessAlive(pid) ? "running" : "not running";
}

void matrix(std::string& out, const char* name, const float m[16])
{
    for (int r = 0; r < 4; ++r)
        add(out, "  %-13s %10.4f %10.4f %10.4f %10.4f\n", r == 0 ? name : "", m[r * 4], m[r * 4 + 1], m[r * 4 + 2],
            m[r * 4 + 3]);
}

void describeRecord(std::string& out, const Record& r)
{
    add(out, "    @%-9u %-17s id 0x%016llx  %s\n", r.offset,
        r.deleted() ? "(deleted)" : recordKindName(r.kind).c_str(), (unsigned long long)r.identity,
        flagNames(r.flags).c_str());
    if (!r.hasData())
        return;
    switch (r.kind) {
    case RecordKind::Transform: {
        const TransformRecord& t = r.transform;
        if (r.isNew())
            add(out, "               shape 0x%016llx (%s)\n", (unsigned long long)t.shapeRef,
                t.shapeRefIsAddress ? "Maya address, new in this request" : "remote handle");
        add(out, "               position %.3f %.3f %.3f\n", t.worldMatrix[12], t.worldMatrix[13], t.worldMatrix[14]);
        if (t.hasMaterials) {
            out += "               materials";
            for (const auto& name : r.materials)
                out += name ? " \"" + utf8(*name) + "\"" : " (none)";
            out += "\n";
        }
        break;
    }
    case RecordKind::Mesh: {
        const MeshRecord& m = r.mesh;
        add(out, "               %d vertices, %d indices, %d sections, bounds (%.2f %.2f %.2f)-(%.2f %.2f %.2f)\n",
            m.vertexCount, m.indexCount, m.sectionCount, m.boundsMin[0], m.boundsMin[1], m.boundsMin[2],
            m.boundsMax[0], m.boundsMax[1], m.boundsMax[2]);
        break;
    }
    case RecordKind::SpotLight:
        add(out, "               colour %.3f %.3f %.3f %.3f  intensity %.2f  cone %.2f..%.2f degrees\n", r.spot.color[0],
            r.spot.color[1], r.spot.color[2], r.spot.color[3], r.spot.intensity, r.spot.innerConeAngle,
            r.spot.outerConeAngle);
        break;
    default:
        add(out, "               colour %.3f %.3f %.3f %.3f  intensity %.2f\n", r.light.color[0], r.light.color[1],
            r.light.color[2], r.light.color[3], r.light.intensity);
        break;
    }
}

} // namespace

std::string flagNames(std::uint8_t flags)
{
    std::string out;
    auto name = [&](std::uint8_t bit, const char* text) {
        if (flags & bit)
            out += out.empty() ? text : std::string("|") + text;
    };
    name(RecordFlags::hasData, "hasData");
    name(RecordFlags::isNew, "isNew");
    name(RecordFlags::deleted, "deleted");
    name(RecordFlags::visibilityValid, "visibilityValid");
    name(RecordFlags::visible, "visible");
    return out.empty() ? "-" : out;
}

std::string describeFrame(ByteView request, ByteView response)
{
    std::string out;
    if (!request.contains(0, sizeof(RequestHeader)) || !response.contains(0, sizeof(ResponseHeader)))
        return "The regions are too small to hold their headers.\n";
    RequestHeader req = request.load<RequestHeader>(0);
    ResponseHeader rsp = response.load<ResponseHeader>(0);

    add(out, "Request   frame %llu  view %u bytes  owner pid %u (%s)\n", (unsigned long long)req.frameCounter,
        req.viewSize, req.ownerPid, liveness(req.ownerPid));
    add(out, "  viewport %d x %d  pictureWanted %u  newSession %u  newCount %u\n", req.viewportWidth,
        req.viewportHeight, req.pictureWanted, req.newSession, req.newCount);
    add(out, "  depthScale %g  depthBias %g\n", req.depthScale, req.depthBias);
    matrix(out, "cameraMatrix", req.cameraMatrix);
    matrix(out, "projection", req.projection);

    RequestRecords records = readRecords(request);
    if (!records.ok()) {
        add(out, "  records: MALFORMED at offset %u: %s\n", records.error->offset, records.error->message.c_str());
    } else {
        add(out, "  records: %zu\n", records.records.size());
        for (const Record& r : records.records)
            describeRecord(out, r);
    }

    add(out, "Response  frame %llu  view %u bytes  responder pid %u (%s)\n", (unsigned long long)rsp.frameCounter,
        rsp.viewSize, rsp.responderPid, liveness(rsp.responderPid));
    if (rsp.frameCounter == 0 || rsp.responderPid == 0) {
        out += "  the responder has shut down\n";
        return out;
    }
    if (req.frameCounter != rsp.frameCounter) {
        out += "  turn: Unreal's (the reply to this request is outstanding)\n";
        return out;
    }
    out += "  turn: Maya's (the request has been answered)\n";
    if (req.ownerPid == 0 && req.frameCounter == 1) {
        out += "  the link is idle: no Maya has claimed it yet\n";
        return out;
    }
    auto reply = readReply(response, req);
    if (!reply) {
        out += "  reply: MALFORMED (a link or block lies outside the response view)\n";
        return out;
    }
    add(out, "  handle table: %u entries\n", reply->handleCount);
    for (std::uint32_t i = 0; i < reply->handleCount; ++i) {
        HandleEntry e = reply->handle(i);
        add(out, "    0x%016llx -> 0x%016llx\n", (unsigned long long)e.key, (unsigned long long)e.remoteHandle);
    }
    if (reply->hasMaterial)
        add(out, "  material name: \"%s\" (%zu bytes)\n", utf8(reply->materialName).c_str(),
            (reply->materialName.size() + 1) * 2);
    else
        out += "  material name: none\n";
    if (reply->colour)
        add(out, "  colour: %d x %d, %zu bytes; depth: %zu bytes\n", reply->width, reply->height,
            std::size_t(reply->width) * reply->height * 4, std::size_t(reply->width) * reply->height * 4);
    else
        out += "  picture: none\n";
    return out;
}

} // namespace kvtinspect
