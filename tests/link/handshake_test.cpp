// The frame handshake between two real processes: the test plays one side, link_peer
// the other.

#include "link/Link.h"
#include "link/Platform.h"

#include "ChildProcess.h"
#include "RegionCleanup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <vector>

using namespace kvt;
using testsupport::ChildProcess;
using testsupport::siblingExecutable;
using testsupport::uniqueName;

namespace {

struct Requester {
    int resyncs = 0;
    LinkRequester link;
    explicit Requester(const std::string& prefix) : link([this] { ++resyncs; }, RegionNames::prefixed(prefix)) {}

    // Retries until the peer has created its regions.
    LinkRequester::ConnectResult connectWithin(int ms)
    {
        auto result = LinkRequester::ConnectResult::Down;
        for (int waited = 0; waited < ms; waited += 5) {
            result = link.connect();
            if (result != LinkRequester::ConnectResult::Down)
                break;
            platform::sleepMilliseconds(5);
        }
        return result;
    }

    RequestHeader* frame(int width, int height, bool picture, std::uint32_t newCount = 0)
    {
        RequestHeader* req = link.beginRequest();
        if (!req)
            return nullptr;
        req->pictureWanted = picture ? 1 : 0;
        req->viewportWidth = width;
        req->viewportHeight = height;
        req->newCount = newCount;
        return req;
    }

    // An empty frame through the wait: true when its reply came and was read.
    bool emptyRoundTrip()
    {
        if (!frame(0, 0, false))
            return false;
        link.publishRequest();
        return link.awaitResponse() == LinkRequester::AwaitResult::Reply && link.readReply();
    }

    // The last wait saw its reply only after the fine polling had ended.
    bool missedByTheFinePoll() const
    {
        return link.lastNoticed() == LinkRequester::Noticed::Sleep || link.lastNoticed() == LinkRequester::Noticed::LatePoll;
    }
};

class Handshake : public ::testing::Test {
protected:
    std::string prefix = uniqueName("KVTShake");
    // Declared before the peer, so it runs after the peer is killed: a killed responder
    // never removes the names of the regions it made.
    testsupport::RegionCleanup regions{{prefix + "Request", prefix + "Response"}};
    ChildProcess peer;

    void startResponder(const std::string& mode)
    {
        ASSERT_TRUE(peer.start(siblingExecutable("link_peer"), {"respond", prefix, mode}));
    }
};

TEST_F(Handshake, EmptyFramesAreExchangedEndToEnd)
{
    startResponder("echo");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(maya.link.claimedThisFrame());
    EXPECT_EQ(maya.resyncs, 1);
    EXPECT_EQ(maya.link.requestHeader()->ownerPid, platform::currentProcessId());
    EXPECT_EQ(maya.link.responseHeader()->responderPid, peer.pid());

    // Later frames: the first request after the claim starts the session, the others
    // are ordinary.
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected) << i;
        EXPECT_FALSE(maya.link.claimedThisFrame());
        ASSERT_TRUE(maya.link.isOurTurn());
        RequestHeader* req = maya.frame(0, 0, false);
        ASSERT_NE(req, nullptr);
        EXPECT_EQ(req->newSession, i == 0 ? 1 : 0) << i;
        EXPECT_EQ(req->firstRecord, 0);
        maya.link.publishRequest();
        EXPECT_EQ(maya.link.requestHeader()->frameCounter, std::uint64_t(2 + i));
        ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
        auto reply = maya.link.readReply();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->handleCount, 0u);
        EXPECT_EQ(reply->colour, nullptr);
        EXPECT_FALSE(reply->hasMaterial);
        EXPECT_EQ(maya.link.responseHeader()->frameCounter, std::uint64_t(2 + i));
    }
}

TEST_F(Handshake, FirstRequestOfAClaimCarriesNewSessionAndHandles)
{
    startResponder("echo");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    RequestHeader* req = maya.frame(0, 0, false, 3);
    ASSERT_NE(req, nullptr);
    EXPECT_EQ(req->newSession, 1);
    maya.link.publishRequest();
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    auto reply = maya.link.readReply();
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->handleCount, 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reply->handle(i).key, i + 1);
        EXPECT_EQ(reply->handle(i).remoteHandle, i + 2);
    }

    // After a disconnect the own pid is claimed again, and the next request is a new session.
    maya.link.disconnect();
    EXPECT_EQ(maya.resyncs, 2);
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(maya.link.claimedThisFrame());
    EXPECT_EQ(maya.resyncs, 3);
    req = maya.frame(0, 0, false);
    EXPECT_EQ(req->newSession, 1);
    maya.link.publishRequest();
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    EXPECT_TRUE(maya.link.readReply());
}

// Answers one request in this process, as an editor would, with handles key + 1.
void answerOnce(LinkResponder& unreal)
{
    ASSERT_TRUE(unreal.pollRequest());
    ASSERT_TRUE(unreal.beginResponse());
    std::uint32_t count = unreal.requestHeader()->newCount;
    auto table = writeHandleTable(unreal.response(), count);
    ASSERT_TRUE(table);
    for (std::uint32_t i = 0; i < count; ++i)
        setHandleEntry(unreal.response(), *table, i, i + 1, i + 100);
    unreal.publishResponse();
}

// One whole frame between Maya and an editor in this process, which then exits cleanly.
void frameThenShutDown(std::unique_ptr<LinkResponder>& unreal, Requester& maya)
{
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    ASSERT_TRUE(maya.frame(0, 0, false, 1));
    maya.link.publishRequest();
    answerOnce(*unreal);
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    ASSERT_TRUE(maya.link.readReply());
    unreal.reset();
}

// The editor exits cleanly between two of Maya's frames.
TEST_F(Handshake, ResponderShutdownWhileIdleLetsTheLinkGo)
{
    auto unreal = std::make_unique<LinkResponder>(RegionNames::prefixed(prefix));
    ASSERT_TRUE(unreal->createRegions());
    Requester maya(prefix);
    ASSERT_NO_FATAL_FAILURE(frameThenShutDown(unreal, maya));
    EXPECT_EQ(maya.resyncs, 1);
    // Not Busy for ever: the next frame lets the old regions go and finds nobody.
    EXPECT_FALSE(maya.link.isOurTurn());
    EXPECT_FALSE(maya.link.isConnected());
    EXPECT_EQ(maya.resyncs, 2);
    EXPECT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Down);
}

// The editor exits cleanly and is started again before Maya's next frame. On Windows
// Maya's open handles keep the mappings alive, and the new editor re-creates the same
// ones: only its pid tells the new responder from the old.
TEST_F(Handshake, RestartedResponderGetsANewSessionWithTheWholeScene)
{
    auto unreal = std::make_unique<LinkResponder>(RegionNames::prefixed(prefix));
    ASSERT_TRUE(unreal->createRegions());
    Requester maya(prefix);
    ASSERT_NO_FATAL_FAILURE(frameThenShutDown(unreal, maya));

    startResponder("echo");
    {
        // Wait for the new editor's headers without touching Maya's link.
        SharedRegion watch;
        bool up = false;
        for (int waited = 0; waited < 10000 && !up; waited += 5) {
            if (watch.open(RegionNames::prefixed(prefix).response.c_str(), 0, sizeof(ResponseHeader)))
                up = reinterpret_cast<const ResponseHeader*>(watch.view)->responderPid == peer.pid() &&
                     loadCounter(watch.view) == 1;
            if (!up) {
                watch.close();
                platform::sleepMilliseconds(5);
            }
        }
        ASSERT_TRUE(up);
    }

    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(maya.link.claimedThisFrame());
    EXPECT_EQ(maya.resyncs, 3); // the disconnect and the new claim: everything is sent again
    EXPECT_EQ(maya.link.responseHeader()->responderPid, peer.pid());
    ASSERT_TRUE(maya.link.isOurTurn());
    RequestHeader* req = maya.frame(0, 0, false, 2);
    ASSERT_NE(req, nullptr);
    EXPECT_EQ(req->newSession, 1);
    maya.link.publishRequest();
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    auto reply = maya.link.readReply();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->handleCount, 2u);
    peer.kill();
}

TEST_F(Handshake, BusyResponderLeavesTheRequestUntouched)
{
    // The test is the responder here and simply does not answer.
    LinkResponder unreal(RegionNames::prefixed(prefix));
    ASSERT_TRUE(unreal.createRegions());
    Requester maya(prefix);
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    maya.frame(0, 0, false);
    maya.link.publishRequest();
    EXPECT_TRUE(unreal.pollRequest());

    // A later frame: counters differ, so nothing may be written.
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_FALSE(maya.link.claimedThisFrame());
    EXPECT_FALSE(maya.link.isOurTurn());
    EXPECT_EQ(maya.link.requestHeader()->frameCounter, 2u);

    ASSERT_TRUE(unreal.beginResponse());
    ASSERT_TRUE(writeHandleTable(unreal.response(), 0));
    unreal.publishResponse();
    EXPECT_TRUE(maya.link.isOurTurn());
    EXPECT_FALSE(unreal.pollRequest());
}

// A Maya dies while the editor still works on its request; the next Maya claims the link
// in a frame that finds the editor busy. Its first request, frames later, still starts a
// new session, so the editor drops the dead process's objects.
TEST_F(Handshake, AClaimMadeWhileTheResponderIsBusyStartsTheSessionWithItsFirstRequest)
{
    LinkResponder unreal(RegionNames::prefixed(prefix));
    ASSERT_TRUE(unreal.createRegions());
    ChildProcess dead;
    ASSERT_TRUE(dead.start(siblingExecutable("link_peer"), {"request", prefix, "4"}));
    for (int i = 0; i < 5000 && !unreal.pollRequest(); ++i)
        platform::sleepMilliseconds(2);
    ASSERT_TRUE(unreal.pollRequest()) << "the first Maya published no request";
    dead.kill();
    dead.wait();

    Requester maya(prefix);
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(maya.link.claimedThisFrame());
    EXPECT_FALSE(maya.link.isOurTurn()); // the editor is still on the dead one's request
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_FALSE(maya.link.isOurTurn());

    answerOnce(unreal); // the reply nobody reads
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_FALSE(maya.link.claimedThisFrame());
    ASSERT_TRUE(maya.link.isOurTurn());
    RequestHeader* req = maya.frame(0, 0, false, 2);
    ASSERT_NE(req, nullptr);
    EXPECT_EQ(req->newSession, 1);
    maya.link.publishRequest();
    answerOnce(unreal);
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    ASSERT_TRUE(maya.link.readReply());

    // The session has begun: the next request is an ordinary one.
    ASSERT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected);
    ASSERT_TRUE(maya.link.isOurTurn());
    req = maya.frame(0, 0, false);
    ASSERT_NE(req, nullptr);
    EXPECT_EQ(req->newSession, 0);
}

TEST_F(Handshake, SecondLiveRequesterIsRefusedAndWritesNothing)
{
    LinkResponder unreal(RegionNames::prefixed(prefix));
    ASSERT_TRUE(unreal.createRegions());
    ChildProcess owner;
    ASSERT_TRUE(owner.start(siblingExecutable("link_peer"), {"claim", prefix, "20000"}));
    // Wait for the child's claim to land.
    for (int i = 0; i < 5000 && unreal.requestHeader()->ownerPid != owner.pid(); ++i)
        platform::sleepMilliseconds(2);
    ASSERT_EQ(unreal.requestHeader()->ownerPid, owner.pid());

    std::vector<std::uint8_t> before(unreal.request().view, unreal.request().view + 4096);
    std::vector<std::uint8_t> responseBefore(unreal.response().view, unreal.response().view + 4096);
    Requester second(prefix);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(second.link.connect(), LinkRequester::ConnectResult::Refused);
        EXPECT_FALSE(second.link.isConnected());
    }
    EXPECT_EQ(std::vector<std::uint8_t>(unreal.request().view, unreal.request().view + 4096), before);
    EXPECT_EQ(std::vector<std::uint8_t>(unreal.response().view, unreal.response().view + 4096), responseBefore);
    owner.kill();
    owner.wait();

    // The owner is gone without clearing its pid: the next claimant takes over.
    EXPECT_EQ(second.link.connect(), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(second.link.claimedThisFrame());
    EXPECT_EQ(unreal.requestHeader()->ownerPid, platform::currentProcessId());
}

TEST_F(Handshake, ResponderExitIsNoticedWithinAboutASecond)
{
    startResponder("exit-on-request");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    maya.frame(0, 0, false);
    maya.link.publishRequest();
    // Reap the child as it exits, so that its pid really stops existing.
    auto reaped = std::async(std::launch::async, [&] { return peer.wait(); });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Disconnected);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(maya.link.isConnected());
    EXPECT_EQ(maya.resyncs, 2);
    // The liveness test runs once per second of waiting, by the clock: not sooner (a
    // process open per poll), and not several times later (counted in polls or sleeps,
    // which the fine polls make shorter and a coarse timer tick longer).
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
    EXPECT_EQ(reaped.get(), 0);
}

// A responder that answers within a millisecond (the peer polls in 1 ms sleeps): once the
// requester has seen a reply or two, it polls finely around the time replies come and sees
// each one there, not after a sleep that outlasts it. A frame or two may still end in a
// sleep when the machine keeps the peer from running for a few milliseconds.
TEST_F(Handshake, PromptReplyIsNoticedByTheFinePoll)
{
    startResponder("echo");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    int bySleep = 0;
    const int frames = 40;
    for (int frame = 0; frame < frames; ++frame) {
        ASSERT_TRUE(maya.emptyRoundTrip());
        if (maya.missedByTheFinePoll())
            ++bySleep;
    }
    EXPECT_LE(bySleep, frames / 4);
    peer.kill();
}

// Replies spread over 10 ms from one frame to the next, as an editor's tick falls at a
// different time of each Maya frame: the fine polling spans the times replies have lately
// come, so that most are seen by it rather than by a sleep that may outlast them.
TEST_F(Handshake, RepliesSpreadOverATickAreNoticedByTheFinePoll)
{
    startResponder("echo-varying");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    int bySleep = 0;
    const int frames = 48;
    for (int frame = 0; frame < frames; ++frame) {
        ASSERT_TRUE(maya.emptyRoundTrip());
        if (frame >= 8 && maya.missedByTheFinePoll())
            ++bySleep; // the first cycle of delays is learnt
    }
    EXPECT_LE(bySleep, (frames - 8) / 4);
    peer.kill();
}

// A reply much later than the ones before it (every ninth comes after 30 ms instead of
// 2 ms): where pauses are sleeps the wait keeps polling every 250 us past the usual times,
// so such a reply is seen by a poll; where they only yield it is seen after a 1 ms sleep.
TEST_F(Handshake, AReplyLaterThanUsualIsSeenByALatePollWherePausesSleep)
{
    startResponder("echo-late-ninth");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    int late = 0, byLatePoll = 0, bySleep = 0;
    for (int frame = 1; frame <= 36; ++frame) {
        ASSERT_TRUE(maya.emptyRoundTrip());
        if (frame % 9 != 0 || frame < 18)
            continue; // the peer's slow replies, once eight quick ones fill the window
        ++late;
        byLatePoll += maya.link.lastNoticed() == LinkRequester::Noticed::LatePoll;
        bySleep += maya.link.lastNoticed() == LinkRequester::Noticed::Sleep;
    }
    ASSERT_EQ(late, 3);
    if (platform::pausesSleep())
        EXPECT_GE(byLatePoll, 2);
    else
        EXPECT_GE(bySleep, 2);
    peer.kill();
}

TEST_F(Handshake, ResponderShutdownIsNoticedAtOnce)
{
    startResponder("shutdown-on-request");
    const int before = platform::outstandingTimerRaises();
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    maya.frame(0, 0, false);
    maya.link.publishRequest();
    EXPECT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Disconnected);
    EXPECT_FALSE(maya.link.isConnected());
    EXPECT_EQ(platform::outstandingTimerRaises(), before);
    peer.kill();
}

// The wait loop's millisecond sleeps need the raised timer period while connected, and every
// way out of the link gives it back exactly once.
TEST_F(Handshake, TimerPeriodIsRaisedOnlyWhileConnected)
{
    startResponder("echo");
    const int before = platform::outstandingTimerRaises();
    {
        Requester maya(prefix);
        ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
        EXPECT_EQ(platform::outstandingTimerRaises(), before + 1);
        maya.frame(4, 4, true);
        maya.link.publishRequest();
        ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
        EXPECT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Connected); // no second raise
        EXPECT_EQ(platform::outstandingTimerRaises(), before + 1);

        maya.link.disconnect();
        EXPECT_EQ(platform::outstandingTimerRaises(), before);
        maya.link.disconnect();
        EXPECT_EQ(platform::outstandingTimerRaises(), before);

        ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
        EXPECT_EQ(platform::outstandingTimerRaises(), before + 1);
    }
    // Destroyed while connected (the plug-in unloaded mid-session).
    EXPECT_EQ(platform::outstandingTimerRaises(), before);
    peer.kill();
}

// An elevated editor and a Maya that is not (or the other way round): the other side may
// query the process but not open it with full access. That is still a live responder.
TEST_F(Handshake, ResponderOpenableOnlyForQueriesIsALiveLink)
{
    if (!testsupport::processAccessCanBeRestricted())
        GTEST_SKIP() << "no narrower process right than a signal on this platform";
    startResponder("echo-restricted");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    EXPECT_TRUE(platform::isProcessAlive(peer.pid()));
    maya.frame(2, 2, true);
    maya.link.publishRequest();
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);
    EXPECT_TRUE(maya.link.readReply());
    peer.kill();
    peer.wait();
    EXPECT_FALSE(platform::isProcessAlive(peer.pid()));
}

TEST_F(Handshake, LargeReplyGrowsTheResponderViewAndIsReadAfterRemap)
{
    startResponder("echo");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    const int width = 3840, height = 2160;
    maya.frame(width, height, true, 2);
    maya.link.publishRequest();
    ASSERT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Reply);

    const std::uint32_t block = width * height * 4;
    EXPECT_EQ(block, 33177600u);
    std::uint32_t announced = maya.link.responseHeader()->viewSize;
    EXPECT_GE(announced, 32u + 2 * 16 + 2 * block);
    EXPECT_GT(announced, kInitialView);
    EXPECT_EQ(maya.link.response().mappedSize, announced);

    auto reply = maya.link.readReply();
    ASSERT_TRUE(reply);
    ASSERT_NE(reply->colour, nullptr);
    // Blocks follow each other without gaps: table, colour, depth.
    EXPECT_EQ(reply->colour, reply->handleTable + 2 * 16);
    EXPECT_EQ(reply->depth, reply->colour + block);
    for (int y : {0, 1, 1079, height - 1}) {
        for (int x : {0, 255, 1000, width - 1}) {
            const std::uint8_t* c = reply->colour + (std::size_t(y) * width + x) * 4;
            EXPECT_EQ(c[0], std::uint8_t(x));
            EXPECT_EQ(c[1], std::uint8_t(y));
            EXPECT_EQ(c[2], std::uint8_t(x ^ y));
            EXPECT_EQ(c[3], 255);
            float d;
            std::memcpy(&d, reply->depth + (std::size_t(y) * width + x) * 4, 4);
            EXPECT_FLOAT_EQ(d, float(y) / float(height));
        }
    }
}

TEST_F(Handshake, RegionsLeftByADeadResponderAreNotALink)
{
    // A responder that vanished without shutting down leaves its names behind where the
    // platform keeps names alive; opening them must not count as a link.
    startResponder("exit-on-request");
    Requester maya(prefix);
    ASSERT_EQ(maya.connectWithin(10000), LinkRequester::ConnectResult::Connected);
    maya.frame(0, 0, false);
    maya.link.publishRequest();
    auto reaped = std::async(std::launch::async, [&] { return peer.wait(); });
    EXPECT_EQ(maya.link.awaitResponse(), LinkRequester::AwaitResult::Disconnected);
    reaped.get();
    EXPECT_EQ(maya.link.connect(), LinkRequester::ConnectResult::Down);
    EXPECT_FALSE(maya.link.isConnected());
}

} // namespace
