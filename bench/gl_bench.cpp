// Time of track-screen frames with a long ribbon on Mesa's software
// renderer: clear, 10 000 ribbon segments, read back at 480 x 640.

#include <benchmark/benchmark.h>

#include <GLES/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <memory>
#include <vector>

#include "gl/draw_shapes.h"
#include "gl/gl_context.h"
#include "gl/image_loader.h"
#include "gl/pixel_matrix.h"
#include "gl/screen_views.h"

namespace {

using trakomer::gl::ScreenPoint;

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr int kSegments = 10000;

// A wandering loop over the window, its colour climbing and falling.
void MakeTrack(std::vector<ScreenPoint>& points, std::vector<int>& colours) {
    for (int i = 0; i <= kSegments; ++i) {
        const double t = i * 0.0021;
        points.push_back({static_cast<int>(kWidth / 2 + 200 * std::sin(t) + 30 * std::sin(t * 17)),
                          static_cast<int>(kHeight / 2 + 280 * std::cos(t * 1.3)),
                          static_cast<int>(20 * std::sin(t * 3))});
        colours.push_back(static_cast<int>(10 + 9.9 * std::sin(t * 5)));
    }
}

void RibbonFrame(benchmark::State& state, bool readBack) {
    trakomer::gl::GlContext gl;
    gl.windowRect = {0, 0, kWidth, kHeight};
    if (!trakomer::gl::InitGl(gl)) {
        state.SkipWithError("no GL context");
        return;
    }
    std::vector<ScreenPoint> points;
    std::vector<int> colours;
    MakeTrack(points, colours);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        trakomer::gl::LoadPixelIdentity();
        trakomer::gl::DrawTrackRibbon(gl.draw, points, colours);
        if (readBack) {
            trakomer::gl::PresentFrame(gl);
        } else {
            glFinish();
        }
    }
    trakomer::gl::ShutdownGl(gl);
}

void BM_RibbonFrame(benchmark::State& state) { RibbonFrame(state, true); }
void BM_RibbonDrawOnly(benchmark::State& state) { RibbonFrame(state, false); }

BENCHMARK(BM_RibbonFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RibbonDrawOnly)->Unit(benchmark::kMillisecond);

}  // namespace

// One full screen-0 frame (background, 8192-point track thinned to its
// ribbon, markers, compass, legend, texts, read back) at 480 x 640.
namespace {

// Two maps for the frame to draw under the track: a large one covering the
// whole view and a smaller one over part of it, and the three images that
// close the list.
std::filesystem::path WriteMaps() {
    char pattern[] = "/tmp/trakomer-bench-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    auto picture = [&](const char* name, int side, uint8_t shade) {
        std::string bytes(18, '\0');
        bytes[2] = 2;
        bytes[12] = static_cast<char>(side & 0xFF);
        bytes[13] = static_cast<char>(side >> 8);
        bytes[14] = bytes[12];
        bytes[15] = bytes[13];
        bytes[16] = 24;
        for (int i = 0; i < side * side; ++i) {
            bytes += {static_cast<char>(shade), static_cast<char>(i % 251), static_cast<char>(i % 13)};
        }
        std::ofstream(dir / name, std::ios::binary) << bytes;
    };
    picture("large.tga", 1024, 90);
    picture("small.tga", 512, 180);
    picture("eye.tga", 4, 0);
    std::ofstream(dir / "mapfiles.ini")
        << "large.tga,48.09,11.49,48.11,11.51\nsmall.tga,48.099,11.4975,48.104,11.503\n"
           "eye.tga,0,0,0,0\neye.tga,0,0,0,0\neye.tga,0,0,0,0\n";
    return dir;
}

void TrackScreenFrame(benchmark::State& state, bool maps) {
    trakomer::gl::GlContext gl;
    trakomer::gl::ScreenViews views;
    std::filesystem::path mapDir;
    if (maps) {
        mapDir = WriteMaps();
        views.imageLoader = trakomer::gl::MakeImageLoader(mapDir.string(), nullptr);
    }
    gl.windowRect = {0, 0, kWidth, kHeight};
    gl.views = &views;
    if (!trakomer::gl::InitGl(gl)) {
        state.SkipWithError("no GL context");
        return;
    }
    if (maps && gl.images.count != 5) state.SkipWithError("maps not loaded");
    trakomer::gl::ResizeGl(gl, 1);
    auto track = std::make_unique<trakomer::Track>();
    for (int i = 0; i < trakomer::kTrackCapacity; ++i) {
        const double t = i * 0.002;
        trakomer::TrackPoint& p = track->points[static_cast<size_t>(i)];
        p.latitude = 48.1 + 0.002 * std::sin(t);
        p.longitude = 11.5 + 0.002 * std::cos(t * 1.3);
        p.altitude = static_cast<float>(500 + 50 * std::sin(t * 3));
        p.speed = static_cast<float>(5 + 4 * std::sin(t * 7));
    }
    track->lastIndex = trakomer::kTrackCapacity - 1;
    track->minAltitude = 450;
    track->maxAltitude = 550;
    track->maxSpeed = 9;
    views.inputs.track = track.get();
    views.inputs.recordingState = 2;
    views.inputs.texts = {"12.3 kph\n4.56 km    01:02:03\n[8191:0] 1.0x", "Alt[m]", "550", "450",
                          "250 m"};
    for (auto _ : state) views.DrawFrame(gl);
    trakomer::gl::ShutdownGl(gl);
    if (maps) std::filesystem::remove_all(mapDir);
}

void BM_TrackScreenFrame(benchmark::State& state) { TrackScreenFrame(state, false); }
// The same over two maps (1024 x 1024 and 512 x 512 textures).
void BM_TrackScreenFrameOverMaps(benchmark::State& state) { TrackScreenFrame(state, true); }

BENCHMARK(BM_TrackScreenFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrackScreenFrameOverMaps)->Unit(benchmark::kMillisecond);

}  // namespace
