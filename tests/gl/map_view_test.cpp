#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gl/fly_to.h"
#include "gl/map_images.h"
#include "gl/map_projection.h"
#include "gl/sky_view.h"

namespace trakomer::gl {
namespace {

constexpr WindowRect kWindow{0, 0, 240, 320};

std::unique_ptr<Track> StraightTrack(int lastIndex) {
    auto track = std::make_unique<Track>();
    for (int i = 0; i <= lastIndex; ++i) {
        track->points[static_cast<size_t>(i)].latitude = 48.0 + i * 0.0001;
        track->points[static_cast<size_t>(i)].longitude = 11.0 + i * 0.0002;
    }
    track->lastIndex = lastIndex;
    return track;
}

TEST(MapProjection, NewestPointAtCentreAndTapsProjectBack) {
    auto track = StraightTrack(10);
    for (double zoom : {1.0, 2.0, 0.01}) {
        MapViewState map;
        map.zoom = zoom;
        UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
        const TrackPoint& last = track->points[10];
        const ScreenPoint at = ProjectToView(map, last.latitude, last.longitude);
        EXPECT_NEAR(at.x, 120, 1) << zoom;
        EXPECT_NEAR(at.y, 160, 1) << zoom;
        // A tap (y downward) lands on the position drawn there.
        const LatLon back = ProjectFromView(map, 320, at.x, 320 - at.y);
        EXPECT_NEAR(back.latitude, last.latitude, 1.5 / map.scale);
        EXPECT_NEAR(back.longitude, last.longitude, 1.5 / map.scale);
        // The view spans the window at `scale` pixels a degree.
        EXPECT_NEAR((map.rightLongitude - map.leftLongitude) * map.scale, 240, 1e-6);
        EXPECT_NEAR((map.topLatitude - map.bottomLatitude) * map.scale, 320, 1e-6);
    }
}

TEST(MapProjection, DoublingTheZoomDoublesDistancesFromTheCentre) {
    auto track = StraightTrack(10);
    int offsets[2];
    for (int i = 0; i < 2; ++i) {
        MapViewState map;
        map.zoom = i == 0 ? 1.0 : 2.0;
        UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
        offsets[i] = 120 - ProjectToView(map, track->points[0].latitude,
                                         track->points[0].longitude).x;
    }
    EXPECT_NEAR(offsets[1], 2 * offsets[0], 2);
    EXPECT_GT(offsets[0], 100);
}

TEST(MapProjection, PanMovesTheMapAndFollowOffShowsTheTarget) {
    auto track = StraightTrack(10);
    MapViewState map;
    UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
    const ScreenPoint before = ProjectToView(map, 48.0, 11.0);
    map.panX = 15;  // stylus moved right
    map.panY = 10;  // and down: y upward decreases
    UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
    const ScreenPoint after = ProjectToView(map, 48.0, 11.0);
    EXPECT_EQ(after.x - before.x, 15);
    EXPECT_EQ(after.y - before.y, -10);

    map = {};
    map.followOff = true;
    map.targetLatitude = -33.85;
    map.targetLongitude = 151.2;
    UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
    const LatLon centre = ViewCentre(map);
    EXPECT_NEAR(centre.latitude, -33.85, 2.0 / map.scale);
    EXPECT_NEAR(centre.longitude, 151.2, 2.0 / map.scale);
}

TEST(MapProjection, ZoomLimitsAndZoomWhilePannedFollowsTheCentre) {
    struct Case {
        double zoom;
        bool in;
        bool accepted;
        double result;
    };
    const Case cases[] = {{150.5, true, false, 150.5}, {150.0, true, true, 165.0},
                          {0.000051, false, true, 0.0000459}, {0.0000459, false, false, 0.0000459},
                          {1.0, false, true, 0.9}};
    for (const Case& c : cases) {
        MapViewState map;
        map.zoom = c.zoom;
        EXPECT_EQ(c.in ? MapZoomIn(map) : MapZoomOut(map), c.accepted) << c.zoom;
        EXPECT_NEAR(map.zoom, c.result, c.result * 1e-9) << c.zoom;
    }
    auto track = StraightTrack(10);
    MapViewState map;
    map.panX = 40;
    UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
    const LatLon centre = ViewCentre(map);
    ASSERT_TRUE(MapZoomIn(map));
    EXPECT_TRUE(map.followOff);
    EXPECT_EQ(map.panX, 0);
    EXPECT_DOUBLE_EQ(map.targetLongitude, centre.longitude);
    EXPECT_DOUBLE_EQ(map.targetLatitude, centre.latitude);
}

TEST(Ribbon, ThinsLongTracksAndColoursByAltitudeOrSpeed) {
    struct Case {
        int lastIndex;
        size_t points;
        int lastKept;
    };
    for (const Case& c : {Case{600, 201, 600}, Case{599, 200, 597}, Case{255, 256, 255},
                          Case{256, 129, 256}, Case{0, 0, 0}}) {
        auto track = StraightTrack(c.lastIndex);
        MapViewState map;
        UpdateMapScale(map, kWindow, ComputeViewSquare(kWindow, 1), *track);
        Ribbon ribbon;
        BuildRibbon(*track, map, 0, ribbon);
        EXPECT_EQ(ribbon.points.size(), c.points) << c.lastIndex;
        if (c.points == 0) continue;
        const TrackPoint& kept = track->points[static_cast<size_t>(c.lastKept)];
        const ScreenPoint expected = ProjectToView(map, kept.latitude, kept.longitude);
        EXPECT_EQ(ribbon.points.back().x, expected.x) << c.lastIndex;
    }
    // 100 points with a maximum speed of 40: 39.9 is the top colour, 2 is 1.
    auto track = StraightTrack(99);
    track->maxSpeed = 40;
    track->points[50].speed = 39.9f;
    track->points[51].speed = 2.0f;
    track->points[0].speed = 39.9f;  // the start is always colour 0
    track->minAltitude = 100;
    track->maxAltitude = 300;
    track->points[52].altitude = 290;
    MapViewState map;
    Ribbon speed, altitude;
    BuildRibbon(*track, map, 1, speed);
    BuildRibbon(*track, map, 0, altitude);
    EXPECT_EQ(speed.colours[50], 19);
    EXPECT_EQ(speed.colours[51], 1);
    EXPECT_EQ(speed.colours[0], 0);
    EXPECT_EQ(altitude.colours[52], 19);
    EXPECT_EQ(altitude.colours[53], 0);  // altitude 0 lies below the minimum
}

TEST(Ribbon, ColourIndexIsClampedAndZeroWithoutASpread) {
    EXPECT_EQ(RibbonColourIndex(5.0, 5.0, 0.0), 0);       // equal extremes
    EXPECT_EQ(RibbonColourIndex(5.0, 0.0, 0.0), 0);       // maximum speed 0
    EXPECT_EQ(RibbonColourIndex(1e9, 0.0, 1.0), 19);
    EXPECT_EQ(RibbonColourIndex(-3.0, 0.0, 1.0), 0);
    EXPECT_EQ(RibbonColourIndex(NAN, 0.0, 1.0), 0);
    EXPECT_EQ(RibbonColourIndex(7.5, 0.0, 0.5), 15);
}

TEST(SkyView, SatellitePositionsAndSizes) {
    const ScreenPoint zenith = SkyPosition(kWindow, 123, 90);
    EXPECT_EQ(zenith.x, 120);
    EXPECT_EQ(zenith.y, 160);
    EXPECT_EQ(zenith.z, static_cast<int>(kSkyRadius));
    // On the horizon to the east: right of centre, at the observer's
    // horizon (the tangent from the top of the globe).
    const ScreenPoint east = SkyPosition(kWindow, 90, 0);
    EXPECT_GT(east.x, 120 + 300);
    EXPECT_EQ(east.y, 160);
    EXPECT_NEAR(east.z, kGlobeRadius, 1);
    const ScreenPoint north = SkyPosition(kWindow, 0, 45);
    EXPECT_EQ(north.x, 120);
    EXPECT_GT(north.y, 160);
    EXPECT_GT(north.z, kGlobeRadius);

    const std::pair<int, float> radii[] = {{0, 4}, {35, 4}, {36, 8}, {41, 12}, {45, 16}, {46, 20}, {99, 20}};
    for (const auto& [snr, radius] : radii) EXPECT_EQ(SatelliteRadius(snr), radius) << snr;
}

TEST(SkyView, TrailDropsTheOldestTenWhenFullAndKeepsPointsDistinct) {
    SkyTrail trail;
    for (int i = 0; i < 2048; ++i) AddTrailPoint(trail, {i, 0, 0});
    ASSERT_EQ(trail.points.size(), 2048u);
    AddTrailPoint(trail, {5000, 1, 0});  // the 2049th distinct point
    ASSERT_EQ(trail.points.size(), 2039u);
    EXPECT_EQ(trail.points.front()[0], 10);
    EXPECT_EQ(trail.points.back()[0], 5000);
    AddTrailPoint(trail, {20, 0, 0});
    EXPECT_EQ(trail.points.size(), 2039u);  // a repeat is not added

    GpsFix fix;
    fix.gsvSatellitesInView = 3;
    fix.gsvSatellites[0] = {1, 40, 0, 90, 30};
    fix.gsvSatellites[1] = {2, 0, 0, 180, 30};  // no signal: not sampled
    fix.gsvSatellites[2] = {3, 20, 0, 270, 60};
    SkyTrail sampled;
    SampleSatellites(sampled, kWindow, fix);
    SampleSatellites(sampled, kWindow, fix);
    EXPECT_EQ(sampled.points.size(), 2u);
}

ImageSlot MapSlot(double lat1, double lon1, double lat2, double lon2) {
    ImageSlot slot;
    slot.texture = 1;
    slot.lat1 = lat1;
    slot.lon1 = lon1;
    slot.lat2 = lat2;
    slot.lon2 = lon2;
    return slot;
}

TEST(MapImages, WholeCoverFirstThenPartialMapsInTheirPart) {
    MapViewState map;
    map.leftLongitude = 10.0;
    map.rightLongitude = 11.0;
    map.bottomLatitude = 50.0;
    map.topLatitude = 51.0;
    const ViewSquare square{0, 0, 200, 200};
    ImageSlotTable images;
    images.slots[0] = MapSlot(49.0, 10.5, 50.5, 12.0);  // lower right quarter
    images.slots[1] = MapSlot(49.0, 9.0, 52.0, 12.0);   // the whole view
    images.slots[2] = MapSlot(50.25, 10.25, 50.75, 10.75);  // inside the view
    images.slots[3] = MapSlot(49.0, 9.0, 52.0, 12.0);   // earth, not a map
    images.count = 7;  // the last three are never maps
    images.earthMap = 3;
    const std::vector<MapQuad> quads = ChooseMapQuads(images, map, square);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].slot, 1);
    EXPECT_EQ(quads[0].x0, 0);
    EXPECT_EQ(quads[0].x1, 200);
    EXPECT_NEAR(quads[0].s0, 1.0 / 3.0, 1e-6);
    EXPECT_NEAR(quads[0].t1, 2.0 / 3.0, 1e-6);
    EXPECT_EQ(quads[1].slot, 0);
    EXPECT_EQ(quads[1].x0, 100);
    EXPECT_EQ(quads[1].x1, 200);
    EXPECT_EQ(quads[1].y0, 0);
    EXPECT_EQ(quads[1].y1, 100);
    EXPECT_FLOAT_EQ(quads[1].s0, 0.0f);
    EXPECT_NEAR(quads[1].s1, 1.0 / 3.0, 1e-6);
    EXPECT_EQ(quads[2].slot, 2);
    EXPECT_EQ(quads[2].x0, 50);
    EXPECT_EQ(quads[2].y1, 150);

    images.count = 4;  // now slots 1.. are the last three
    const std::vector<MapQuad> fewer = ChooseMapQuads(images, map, square);
    ASSERT_EQ(fewer.size(), 1u);
    EXPECT_EQ(fewer[0].slot, 0);
}

TEST(FlyTo, NineteenFramesAndThreeSecondsUnlessAlreadyThere) {
    struct Case {
        LatLon target;
        bool trackEmpty;
        int frames;
        int waitedMs;
    };
    const LatLon centre{48.0, 11.0};
    const Case cases[] = {
        {{48.0, 11.0}, false, 0, 0}, {{48.5, 11.0}, true, 0, 0}, {{-33.8, 151.2}, false, 19, 3043}};
    for (const Case& c : cases) {
        std::vector<FlyToFrame> drawn;
        int waited = 0;
        const int frames = FlyTo(
            centre, c.target, c.trackEmpty, [&](const FlyToFrame& f) { drawn.push_back(f); },
            [&](int ms) { waited += ms; });
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(static_cast<int>(drawn.size()), c.frames);
        EXPECT_EQ(waited, c.waitedMs);
        if (drawn.empty()) continue;
        EXPECT_DOUBLE_EQ(drawn.front().target.latitude, centre.latitude);
        EXPECT_DOUBLE_EQ(drawn.back().target.latitude, c.target.latitude);
        EXPECT_DOUBLE_EQ(drawn.back().target.longitude, c.target.longitude);
        EXPECT_DOUBLE_EQ(drawn.back().zoom, 1.0);
        EXPECT_DOUBLE_EQ(drawn[9].zoom, 0.00015);
    }
}

}  // namespace
}  // namespace trakomer::gl
