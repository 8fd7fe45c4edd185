#pragma once
// The frame handshake over "KVTRequest" and "KVTResponse". The requester (the Maya
// plug-in) writes a request while the two frame counters are equal and publishes it by
// advancing the request's counter; the responder (the Unreal module) answers while they
// differ and publishes by copying the counter. Nothing else synchronises the processes.

#include "Headers.h"
#include "ResponsePayload.h"
#include "SharedRegion.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include "Optional.h"
#include <string>
#include <utility>

namespace kvt {

struct RegionNames {
    std::string request = kRequestRegionName;
    std::string response = kResponseRegionName;

    // Visual Studio 2015 takes no braced list for a struct with default member initialisers.
    RegionNames() = default;
    RegionNames(std::string requestName, std::string responseName)
        : request(std::move(requestName)), response(std::move(responseName))
    {
    }

    // Names of a private pair of regions ("<prefix>Request", "<prefix>Response").
    static RegionNames prefixed(const std::string& prefix) { return {prefix + "Request", prefix + "Response"}; }
    // The link's names with `suffix` appended to both.
    static RegionNames suffixed(const std::string& suffix)
    {
        return {kRequestRegionName + suffix, kResponseRegionName + suffix};
    }

    // Tests and demos run both plug-ins (and the video region) on other names: the text of
    // the environment variable KVT_REGION_SUFFIX, when it is set, follows every name.
    static std::string environmentSuffix()
    {
        const char* suffix = std::getenv("KVT_REGION_SUFFIX");
        return suffix ? suffix : "";
    }
    static RegionNames fromEnvironment() { return suffixed(environmentSuffix()); }
};

// True when a response header names a responder that has not shut down and still runs.
bool hasLiveResponder(const ResponseHeader& header);

class LinkRequester {
public:
    // `resync` runs at every claim and every disconnect: the scene forgets its remote
    // handles and queues everything to be sent again.
    explicit LinkRequester(std::function<void()> resync, RegionNames names = {});
    ~LinkRequester();
    LinkRequester(const LinkRequester&) = delete;
    LinkRequester& operator=(const LinkRequester&) = delete;

    enum class ConnectResult { Down, Refused, Connected };
    // Opens the regions when they are not open and claims the link in the frame that
    // opened them. Down: the responder is not there; Refused: another live Maya owns it.
    // A link whose responder has shut down (or been replaced by a new one) since the claim
    // is let go first and connected afresh, so that a restarted editor gets a new session.
    ConnectResult connect();

    // True when the counters are equal: the request region is ours to write. A responder
    // gone since the claim disconnects the link and answers false.
    bool isOurTurn();

    // Resets the request arena and lays the 176-byte header at offset 0, with the flags
    // and the record link cleared and `newSession` set in the first request after a claim
    // (a claim made while the responder was still busy waits for the frame that writes).
    // Returns nullptr when the view cannot hold it (the link is then disconnected).
    RequestHeader* beginRequest();

    // Announces the request view size and advances the counter as the last write.
    void publishRequest();

    enum class AwaitResult { Reply, Disconnected };
    // Waits for the reply, then remaps the response to its view size. The wait sleeps
    // until shortly before the earliest time replies have lately come, polls finely until a
    // few milliseconds past the latest, then less finely where pauses are sleeps, then
    // sleeps 1 ms at a time. Every second of waiting the responder's process is checked to
    // be alive.
    AwaitResult awaitResponse();

    // How the last wait ended: the reply was there at once, a fine poll saw it, a poll
    // after the times replies have lately come saw it, or a sleep did (then it may have
    // waited longer than needed).
    enum class Noticed { AtOnce, FinePoll, LatePoll, Sleep };
    Noticed lastNoticed() const { return lastNoticed_; }

    // When the last request was published, on the platform's monotonic clock.
    std::uint64_t publishedAtMicroseconds() const { return publishedAt_; }

    // Reads the reply to the request just published; a malformed reply disconnects.
    Optional<Reply> readReply();

    void disconnect();

    bool claimedThisFrame() const { return claimedThisFrame_; }
    bool isConnected() const { return request_.isOpen() && response_.isOpen(); }
    RequestHeader* requestHeader() { return reinterpret_cast<RequestHeader*>(request_.view); }
    ResponseHeader* responseHeader() { return reinterpret_cast<ResponseHeader*>(response_.view); }
    SharedRegion& request() { return request_; }
    SharedRegion& response() { return response_; }

private:
    std::function<void()> resync_;
    RegionNames names_;
    SharedRegion request_;
    SharedRegion response_;
    bool claimedThisFrame_ = false;
    bool sessionPending_ = false; // claimed, and no request begun since
    bool responderGone() const;

    bool timerRaised_ = false; // the platform's timer period is raised while connected
    std::uint32_t responderPid_ = 0; // of the responder that answered the claim
    std::uint64_t publishedAt_ = 0;      // monotonic microseconds
    // Microseconds from publishing to noticing the reply, of the last kRecentReplies waits.
    enum { kRecentReplies = 8 };
    std::uint32_t recentReplies_[kRecentReplies] = {};
    int recentCount_ = 0, recentNext_ = 0;
    void replyWindow(std::uint64_t& earliest, std::uint64_t& latest) const;
    Noticed lastNoticed_ = Noticed::AtOnce;
};

class LinkResponder {
public:
    // `regionMaximum` is the size the regions are created with; smaller than the 2 GiB the
    // link uses only where a test needs views that cannot grow.
    explicit LinkResponder(RegionNames names = {}, std::uint32_t regionMaximum = kRegionMaximum);
    // Zeroes the response's counter and pid, so that a waiting requester lets go, then
    // closes both regions.
    ~LinkResponder();
    LinkResponder(const LinkResponder&) = delete;
    LinkResponder& operator=(const LinkResponder&) = delete;

    // Creates both regions (2 GiB maximum, 16 MiB view) and writes the initial headers.
    // Refuses while another live responder answers in regions of these names.
    bool createRegions();

    // True when a request is waiting: the counters differ.
    bool pollRequest() const;

    // Starts a reply: resets the response arena, lays the header with its four links
    // zeroed, and remaps the request to the view size it announces. Returns false when
    // the request cannot be read (a view size that does not hold its header or cannot be
    // mapped); the caller then publishes the bare header, which the requester refuses.
    bool beginResponse();

    // Stores the response view size and copies the request's counter, as the last write.
    void publishResponse();

    // Zeroes the response's counter and pid: a waiting requester lets go.
    void announceShutdown();
    // Announces the shut-down, then closes both regions.
    void shutdown();

    bool isOpen() const { return request_.isOpen() && response_.isOpen(); }
    const RequestHeader* requestHeader() const { return reinterpret_cast<const RequestHeader*>(request_.view); }
    ResponseHeader* responseHeader() { return reinterpret_cast<ResponseHeader*>(response_.view); }
    SharedRegion& request() { return request_; }
    SharedRegion& response() { return response_; }

private:
    RegionNames names_;
    std::uint32_t regionMaximum_;
    SharedRegion request_;
    SharedRegion response_;
};

} // namespace kvt
