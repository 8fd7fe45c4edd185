#include "Link.h"

#include "Platform.h"
#include "RelLink.h"

#include <algorithm>
#include <cstring>

namespace kvt {

namespace {
// The wait sleeps until the earliest time replies have lately come less the platform's wake
// lead, which covers a sleep's own overshoot (where pauses are sleeps, each an eighth of the
// time left, at least 250 us), then polls finely until a few milliseconds
// past the latest: where an editor's tick falls against Maya's frame spreads replies over a
// tick, and a heavy scene's render time varies more. The fine polls are spaced so that one
// wait makes about kFinePolls of them, never closer than 50 us nor further apart than
// 250 us. Where pauses are sleeps, a reply later than that is polled for every 250 us for
// up to a second from the start of the fine polling, which costs a few wake-ups a
// millisecond; where they only yield, the fine polling lasts at most 20 ms. Then the wait
// sleeps 1 ms at a time, which keeps it cheap. Sleeps last at most 4 ms, so that a
// responder that shuts down is still noticed within a few milliseconds.
constexpr std::uint64_t kJitterMicroseconds = 3000;
constexpr std::uint64_t kFinePolls = 64;
constexpr std::uint64_t kFinestPollMicroseconds = 50;
constexpr std::uint64_t kCoarsestPollMicroseconds = 250;
constexpr std::uint64_t kLongestPollingMicroseconds = 1000000;
constexpr std::uint64_t kLongestYieldingMicroseconds = 20000;
constexpr std::uint64_t kLongestSleepMilliseconds = 4;
constexpr std::uint32_t kLateSleepMilliseconds = 1;
constexpr std::uint64_t kLivenessMicroseconds = 1000000;

void clearLinks(ResponseHeader* header)
{
    header->handleTable = 0;
    header->assignMaterial = 0;
    header->colour = 0;
    header->depth = 0;
}
} // namespace

bool hasLiveResponder(const ResponseHeader& header)
{
    return loadCounter(&header) != 0 && header.responderPid != 0 && platform::isProcessAlive(header.responderPid);
}

// ---- requester ------------------------------------------------------------------------

LinkRequester::LinkRequester(std::function<void()> resync, RegionNames names)
    : resync_(std::move(resync)), names_(std::move(names))
{
}

LinkRequester::~LinkRequester()
{
    if (timerRaised_)
        platform::restoreTimerResolution();
}

bool LinkRequester::responderGone() const
{
    const ResponseHeader* rsp = reinterpret_cast<const ResponseHeader*>(response_.view);
    return loadCounter(rsp) == 0 || rsp->responderPid == 0 || rsp->responderPid != responderPid_;
}

LinkRequester::ConnectResult LinkRequester::connect()
{
    claimedThisFrame_ = false;
    if (isConnected()) {
        if (!responderGone())
            return ConnectResult::Connected;
        // A clean shut-down zeroes the response; a restarted editor re-creates the regions
        // under our still-open handles (Windows keeps them alive) with its own pid.
        disconnect();
    }

    request_.open(names_.request.c_str(), 0, kInitialView);
    response_.open(names_.response.c_str(), 0, kInitialView);
    if (!isConnected() || !request_.contains(0, sizeof(RequestHeader)) ||
        !response_.contains(0, sizeof(ResponseHeader))) {
        request_.close();
        response_.close();
        return ConnectResult::Down;
    }
    // A name whose responder is gone is not a link. (Windows drops such a mapping with its
    // last handle; POSIX names outlive a crashed creator.)
    if (!hasLiveResponder(*responseHeader())) {
        request_.close();
        response_.close();
        return ConnectResult::Down;
    }

    RequestHeader* req = requestHeader();
    std::uint32_t self = platform::currentProcessId();
    std::uint32_t owner = req->ownerPid;
    if (owner != 0 && owner != self && platform::isProcessAlive(owner)) {
        disconnect();
        return ConnectResult::Refused;
    }
    req->ownerPid = self;
    responderPid_ = responseHeader()->responderPid;
    if (!timerRaised_) {
        platform::raiseTimerResolution();
        timerRaised_ = true;
    }
    if (resync_)
        resync_();
    claimedThisFrame_ = true;
    sessionPending_ = true;
    return ConnectResult::Connected;
}

bool LinkRequester::isOurTurn()
{
    if (!isConnected())
        return false;
    if (responderGone()) {
        disconnect();
        return false;
    }
    return loadCounter(request_.view) == loadCounter(response_.view);
}

RequestHeader* LinkRequester::beginRequest()
{
    request_.used = 0;
    if (request_.extend(sizeof(RequestHeader)) == nullptr) {
        disconnect();
        return nullptr;
    }
    RequestHeader* req = requestHeader();
    req->pictureWanted = 0;
    // The claim's frame may have found the responder still busy with a request of the
    // process before us: the session starts with the first request actually written.
    req->newSession = sessionPending_ ? 1 : 0;
    sessionPending_ = false;
    req->firstRecord = 0;
    return req;
}

void LinkRequester::publishRequest()
{
    // The response arena was scratch space while the request was written.
    response_.used = 0;
    RequestHeader* req = requestHeader();
    req->viewSize = request_.mappedSize;
    publishedAt_ = platform::monotonicMicroseconds();
    storeCounter(req, loadCounter(req) + 1);
}

void LinkRequester::replyWindow(std::uint64_t& earliest, std::uint64_t& latest) const
{
    earliest = latest = 0;
    if (recentCount_ == 0)
        return;
    // The smallest, and the second largest once there are a few: one odd slow wait (a frame
    // that sent the whole scene) does not stretch the window.
    std::uint64_t low = ~0ull, high[2] = {0, 0};
    for (int i = 0; i < recentCount_; ++i) {
        const std::uint64_t t = recentReplies_[i];
        low = std::min(low, t);
        if (t > high[0])
            high[1] = high[0], high[0] = t;
        else if (t > high[1])
            high[1] = t;
    }
    earliest = low;
    latest = high[recentCount_ >= 4 ? 1 : 0];
}

LinkRequester::AwaitResult LinkRequester::awaitResponse()
{
    lastNoticed_ = Noticed::AtOnce;
    std::uint64_t earliest = 0, latest = 0;
    replyWindow(earliest, latest);
    const std::uint64_t lead = platform::wakeLeadMicroseconds();
    const std::uint64_t fineStart = publishedAt_ + (earliest > lead ? earliest - lead : 0);
    const bool pausesSleep = platform::pausesSleep();
    std::uint64_t fineEnd = publishedAt_ + latest + kJitterMicroseconds;
    if (!pausesSleep)
        fineEnd = std::min(fineEnd, fineStart + kLongestYieldingMicroseconds);
    const std::uint64_t pollingEnd = pausesSleep ? fineStart + kLongestPollingMicroseconds : fineEnd;
    const std::uint64_t spacing =
        std::min(std::max((fineEnd - fineStart) / kFinePolls, kFinestPollMicroseconds), kCoarsestPollMicroseconds);
    std::uint64_t livenessCheckAt = platform::monotonicMicroseconds() + kLivenessMicroseconds;
    while (loadCounter(request_.view) != loadCounter(response_.view)) {
        // The phases in order: before the fine polling, the fine polling, the later
        // polling, then 1 ms sleeps.
        const std::uint64_t now = platform::monotonicMicroseconds();
        if (now + 1000 <= fineStart) {
            const std::uint64_t ahead = fineStart - now;
            if (pausesSleep) {
                // An eighth of the way to the fine polling (250 us to 4 ms): a reply earlier
                // than all the recent ones is still seen soon after it comes.
                const std::uint64_t pause = std::min(std::max(ahead / 8, kCoarsestPollMicroseconds), kLongestSleepMilliseconds * 1000);
                platform::pauseMicroseconds(static_cast<std::uint32_t>(pause));
            } else {
                // Whole milliseconds that end before the fine polling starts.
                platform::sleepMilliseconds(static_cast<std::uint32_t>(std::min(ahead / 1000, kLongestSleepMilliseconds)));
            }
            lastNoticed_ = Noticed::Sleep;
        } else if (now < fineEnd) {
            platform::pauseMicroseconds(static_cast<std::uint32_t>(spacing));
            lastNoticed_ = Noticed::FinePoll;
        } else if (now < pollingEnd) {
            platform::pauseMicroseconds(static_cast<std::uint32_t>(kCoarsestPollMicroseconds));
            lastNoticed_ = Noticed::LatePoll;
        } else {
            platform::sleepMilliseconds(kLateSleepMilliseconds);
            lastNoticed_ = Noticed::Sleep;
        }
        const ResponseHeader* rsp = responseHeader();
        if (loadCounter(rsp) == 0 || rsp->responderPid == 0) {
            disconnect();
            return AwaitResult::Disconnected;
        }
        if (platform::monotonicMicroseconds() >= livenessCheckAt) {
            livenessCheckAt = platform::monotonicMicroseconds() + kLivenessMicroseconds;
            if (!platform::isProcessAlive(rsp->responderPid)) {
                disconnect();
                return AwaitResult::Disconnected;
            }
        }
    }
    const std::uint64_t took = platform::monotonicMicroseconds() - publishedAt_;
    recentReplies_[recentNext_] = static_cast<std::uint32_t>(std::min<std::uint64_t>(took, 0xFFFFFFFFu));
    recentNext_ = (recentNext_ + 1) % kRecentReplies;
    recentCount_ = std::min(recentCount_ + 1, int(kRecentReplies));
    std::uint32_t size = responseHeader()->viewSize;
    if (size < sizeof(ResponseHeader) || size > kRegionMaximum || !response_.remap(size)) {
        disconnect();
        return AwaitResult::Disconnected;
    }
    return AwaitResult::Reply;
}

Optional<Reply> LinkRequester::readReply()
{
    if (!isConnected())
        return none;
    auto reply = kvt::readReply(response_.bytes(), *requestHeader());
    if (!reply)
        disconnect();
    return reply;
}

void LinkRequester::disconnect()
{
    sessionPending_ = false;
    request_.close();
    response_.close();
    if (timerRaised_) {
        platform::restoreTimerResolution();
        timerRaised_ = false;
    }
    if (resync_)
        resync_();
}

// ---- responder ------------------------------------------------------------------------

LinkResponder::LinkResponder(RegionNames names, std::uint32_t regionMaximum)
    : names_(std::move(names)), regionMaximum_(regionMaximum)
{
}

LinkResponder::~LinkResponder() { shutdown(); }

bool LinkResponder::createRegions()
{
    {
        SharedRegion existing;
        if (existing.open(names_.response.c_str(), 0, sizeof(ResponseHeader))) {
            const auto* other = reinterpret_cast<const ResponseHeader*>(existing.view);
            if (other->responderPid != platform::currentProcessId() && hasLiveResponder(*other))
                return false;
        }
    }
    if (!request_.open(names_.request.c_str(), regionMaximum_, kInitialView) ||
        !response_.open(names_.response.c_str(), regionMaximum_, kInitialView)) {
        request_.close();
        response_.close();
        return false;
    }
    request_.used = 0;
    request_.extend(sizeof(RequestHeader));
    RequestHeader* req = reinterpret_cast<RequestHeader*>(request_.view);
    req->pictureWanted = 0;
    req->newSession = 0;
    req->firstRecord = 0;
    req->ownerPid = 0;
    storeCounter(req, 1);

    response_.used = 0;
    response_.extend(sizeof(ResponseHeader));
    ResponseHeader* rsp = responseHeader();
    clearLinks(rsp);
    rsp->responderPid = platform::currentProcessId();
    storeCounter(rsp, 1);
    return true;
}

bool LinkResponder::pollRequest() const
{
    return isOpen() && loadCounter(request_.view) != loadCounter(response_.view);
}

bool LinkResponder::beginResponse()
{
    response_.used = 0;
    response_.extend(sizeof(ResponseHeader));
    clearLinks(responseHeader());

    std::uint32_t size = requestHeader()->viewSize;
    return size >= sizeof(RequestHeader) && size <= kRegionMaximum && request_.remap(size);
}

void LinkResponder::publishResponse()
{
    ResponseHeader* rsp = responseHeader();
    rsp->viewSize = response_.mappedSize;
    storeCounter(rsp, loadCounter(request_.view));
}

void LinkResponder::announceShutdown()
{
    if (response_.contains(0, sizeof(ResponseHeader))) {
        ResponseHeader* rsp = responseHeader();
        storeCounter(rsp, 0);
        rsp->responderPid = 0;
    }
}

void LinkResponder::shutdown()
{
    announceShutdown();
    request_.close();
    response_.close();
}

} // namespace kvt
