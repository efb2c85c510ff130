// Positions over HTTP against a real OsmAnd-protocol server on the loopback
// interface: the request forms, the disk queue across server and program
// restarts, and the stop on a 4xx.

#include <gtest/gtest.h>

#include <memory>

#include "tests/upload/position_server.h"
#include "tests/upload/pyftpd_server.h"
#include "upload/position_uploader.h"

namespace trakomer::upload {
namespace {

using testing::MakeTempFolder;
using testing::PositionServer;

constexpr int kAll = 1000;

// Points heading east along a parallel, ten seconds apart.
std::unique_ptr<Track> Walk(int count) {
    auto track = std::make_unique<Track>();
    for (int i = 0; i < count; ++i) {
        TrackPoint& p = track->points[i];
        p.latitude = 52.5;
        p.longitude = 13.4 + i * 0.001;
        p.altitude = 40 + i;
        p.speed = 2.5f;
        p.time = 1718000000 + 10 * i;
    }
    return track;
}

class PositionUpload : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start());
        state_ = MakeTempFolder("trakomer-positions-state-");
        settings_.mPositionUrl = server_.Url();
    }
    void TearDown() override { std::filesystem::remove_all(state_); }
    std::unique_ptr<PositionUploader> Recorder(const std::string& folder = "state") {
        return std::make_unique<PositionUploader>(
            PositionServices{clock_, (state_ / folder).string(), "walker-1", {}, 2000});
    }
    // Adds points up to lastIndex to the live track and lets the recorder run.
    void Record(PositionUploader& recorder, Track& track, int lastIndex) {
        track.lastIndex = lastIndex;
        recorder.Offer(track, settings_, PositionExtras{1.2, 80});
        recorder.Send(settings_, kAll, false);
        clock_.AdvanceMs(60000);  // past the pause after a failure
    }

    PositionServer server_{"walker-1"};
    ManualClock clock_{1718000000};
    std::filesystem::path state_;
    Settings settings_;
};

TEST_F(PositionUpload, RequestFormsReachTheServerDecoded) {
    const std::string expected = "walker-1 52.5000000 13.4010000 1718000010 2.50 90.0 41.0 1.2 80";
    struct Case {
        std::string url;
        int post;
    } cases[] = {
        {server_.Url(), 0},
        {server_.Url() + "?source=trakomer", 1},
        {server_.Url() + "?id={id}&lat={lat}&lon={lon}&timestamp={time}&speed={speed}"
                         "&bearing={bearing}&altitude={alt}&hdop=1.2&batt={batt}",
         0},
        {server_.Url() + "?id={id}&lat={lat}&lon={lon}&timestamp={time}&speed={speed}"
                         "&bearing={bearing}&altitude={alt}&hdop=1.2&batt={batt}",
         1},
    };
    auto track = Walk(2);
    size_t received = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url + (c.post ? " POST" : " GET"));
        settings_.mPositionUrl = c.url;
        settings_.mPositionPost = c.post;
        auto recorder = Recorder(std::to_string(received));
        track->lastIndex = 1;
        recorder->Offer(*track, settings_, PositionExtras{1.2, 80});
        EXPECT_EQ(recorder->Send(settings_, kAll, false).sent, 2);
        const auto lines = server_.Received();
        ASSERT_EQ(lines.size(), received + 2);
        EXPECT_EQ(lines.back(), expected);
        received = lines.size();
        EXPECT_TRUE(recorder->StatusText().ends_with(" 2 pos [2 pos]")) << recorder->StatusText();
    }
}

TEST_F(PositionUpload, EveryPointArrivesOnceInOrderAcrossServerAndProgramRestarts) {
    auto track = Walk(30);
    auto recorder = Recorder();
    Record(*recorder, *track, 9);
    server_.Stop();
    Record(*recorder, *track, 14);
    EXPECT_EQ(recorder->Queued(), 5u);
    EXPECT_TRUE(recorder->StatusText().ends_with("failed[Connect] 5 queued"))
        << recorder->StatusText();
    // The program stops; the queue stays on disk for the next run.
    recorder = Recorder();
    EXPECT_EQ(recorder->Queued(), 5u);
    Record(*recorder, *track, 19);
    ASSERT_TRUE(server_.Start());
    Record(*recorder, *track, 24);
    Record(*recorder, *track, 29);
    EXPECT_EQ(recorder->Queued(), 0u);
    const auto lines = server_.Received();
    ASSERT_EQ(lines.size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_NE(lines[i].find(" " + std::to_string(1718000000 + 10 * i) + " "), std::string::npos)
            << i << ": " << lines[i];
    // A restart after everything was delivered sends nothing again.
    EXPECT_EQ(Recorder()->Queued(), 0u);
}

TEST_F(PositionUpload, AnUntrustedHttpsServerGetsNothing) {
    PositionServer selfSigned{"walker-1", true};
    ASSERT_TRUE(selfSigned.Start());
    settings_.mPositionUrl = selfSigned.Url();
    auto track = Walk(2);
    auto recorder = Recorder();
    Record(*recorder, *track, 1);
    EXPECT_TRUE(recorder->StatusText().ends_with("failed[Tls untrusted] 2 queued"))
        << recorder->StatusText();
    EXPECT_NE(recorder->FailureDetail().find("self-signed"), std::string::npos);
    EXPECT_TRUE(selfSigned.Received().empty());
}

TEST_F(PositionUpload, AnUnknownDeviceStopsTheSendingAndKeepsTheQueue) {
    auto track = Walk(5);
    PositionServer strict{"someone-else"};
    ASSERT_TRUE(strict.Start());
    settings_.mPositionUrl = strict.Url();
    auto recorder = Recorder();
    Record(*recorder, *track, 2);
    EXPECT_TRUE(recorder->StatusText().ends_with("failed[Http 404] 3 queued"))
        << recorder->StatusText();
    EXPECT_NE(recorder->FailureDetail().find("404"), std::string::npos);
    Record(*recorder, *track, 4);
    EXPECT_EQ(recorder->Queued(), 5u);
    // Pointed at the right server, the queue goes out in order.
    settings_.mPositionUrl = server_.Url();
    EXPECT_EQ(recorder->Send(settings_, kAll, false).sent, 5);
    EXPECT_EQ(server_.Received().size(), 5u);
}

}  // namespace
}  // namespace trakomer::upload
