#pragma once
// The two headers at offset 0 of "KVTRequest" and "KVTResponse", and the entries of the
// response payload. Declared once here; both sides read and write through these.
// Everything in the regions is little-endian and packed without alignment.

#include "Platform.h"

#include <cstddef>
#include <cstdint>

namespace kvt {

// Every Windows and Linux target of the two hosts is little-endian, as the wire is.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the wire is little-endian"
#endif

constexpr const char* kRequestRegionName = "KVTRequest";
constexpr const char* kResponseRegionName = "KVTResponse";

#pragma pack(push, 1)

struct RequestHeader {
    std::uint64_t frameCounter;  // number of the request now in the region
    std::uint32_t viewSize;      // requester's view size; the responder remaps to it
    std::uint32_t ownerPid;      // the Maya process that owns the link; 0 = nobody
    std::int32_t viewportWidth;
    std::int32_t viewportHeight;
    std::uint32_t newCount;      // records for objects without a remote handle yet
    std::uint8_t pictureWanted;
    std::uint8_t newSession;     // first request after a (re)claim: discard everything
    std::uint8_t unused30[2];
    float depthScale;            // perspective views only
    float depthBias;
    std::int32_t firstRecord;    // RelLink to the first scene record; 0 = none
    float cameraMatrix[16];      // camera to world, responder's axes
    float projection[16];
    std::uint8_t unused172[4];
};

struct ResponseHeader {
    std::uint64_t frameCounter;  // number of the request last answered; 0 = shut down
    std::uint32_t viewSize;      // responder's view size, covering every block of the reply
    std::uint32_t responderPid;  // 0 = no responder
    std::int32_t handleTable;    // RelLinks; 0 = none
    std::int32_t assignMaterial;
    std::int32_t colour;
    std::int32_t depth;
};

struct HandleEntry {
    std::uint64_t key;           // the requester's identity of a new record
    std::uint64_t remoteHandle;  // the responder's handle for it
};

#pragma pack(pop)

static_assert(sizeof(RequestHeader) == 176, "wire layout");
static_assert(offsetof(RequestHeader, frameCounter) == 0, "wire layout");
static_assert(offsetof(RequestHeader, viewSize) == 8, "wire layout");
static_assert(offsetof(RequestHeader, ownerPid) == 12, "wire layout");
static_assert(offsetof(RequestHeader, viewportWidth) == 16, "wire layout");
static_assert(offsetof(RequestHeader, viewportHeight) == 20, "wire layout");
static_assert(offsetof(RequestHeader, newCount) == 24, "wire layout");
static_assert(offsetof(RequestHeader, pictureWanted) == 28, "wire layout");
static_assert(offsetof(RequestHeader, newSession) == 29, "wire layout");
static_assert(offsetof(RequestHeader, depthScale) == 32, "wire layout");
static_assert(offsetof(RequestHeader, depthBias) == 36, "wire layout");
static_assert(offsetof(RequestHeader, firstRecord) == 40, "wire layout");
static_assert(offsetof(RequestHeader, cameraMatrix) == 44, "wire layout");
static_assert(offsetof(RequestHeader, projection) == 108, "wire layout");
static_assert(offsetof(RequestHeader, unused172) == 172, "wire layout");

static_assert(sizeof(ResponseHeader) == 32, "wire layout");
static_assert(offsetof(ResponseHeader, frameCounter) == 0, "wire layout");
static_assert(offsetof(ResponseHeader, viewSize) == 8, "wire layout");
static_assert(offsetof(ResponseHeader, responderPid) == 12, "wire layout");
static_assert(offsetof(ResponseHeader, handleTable) == 16, "wire layout");
static_assert(offsetof(ResponseHeader, assignMaterial) == 20, "wire layout");
static_assert(offsetof(ResponseHeader, colour) == 24, "wire layout");
static_assert(offsetof(ResponseHeader, depth) == 28, "wire layout");

static_assert(sizeof(HandleEntry) == 16, "wire layout");
static_assert(offsetof(HandleEntry, key) == 0, "wire layout");
static_assert(offsetof(HandleEntry, remoteHandle) == 8, "wire layout");

// Offsets of the link fields, for code that resolves links against a view.
constexpr std::uint32_t kFirstRecordOffset = offsetof(RequestHeader, firstRecord);
constexpr std::uint32_t kHandleTableOffset = offsetof(ResponseHeader, handleTable);
constexpr std::uint32_t kAssignMaterialOffset = offsetof(ResponseHeader, assignMaterial);
constexpr std::uint32_t kColourOffset = offsetof(ResponseHeader, colour);
constexpr std::uint32_t kDepthOffset = offsetof(ResponseHeader, depth);

// The frame counters hand each region from one process to the other: the store is the
// last write of a turn (release), the load the first read of one (acquire). Both sit at
// offset 0 of a page-aligned view, so they are naturally aligned.
inline std::uint64_t loadCounter(const void* header) { return platform::loadAcquire(header); }
inline void storeCounter(void* header, std::uint64_t value) { platform::storeRelease(header, value); }

} // namespace kvt
