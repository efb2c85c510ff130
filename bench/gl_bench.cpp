// Time of track-screen frames with a long ribbon on Mesa's software
// renderer: clear, 10 000 ribbon segments, read back at 480 x 640.

#include <benchmark/benchmark.h>

#include <GLES/gl.h>

#include <cmath>
#include <memory>
#include <vector>

#include "gl/draw_shapes.h"
#include "gl/gl_context.h"
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

void BM_TrackScreenFrame(benchmark::State& state) {
    trakomer::gl::GlContext gl;
    trakomer::gl::ScreenViews views;
    gl.windowRect = {0, 0, kWidth, kHeight};
    gl.views = &views;
    if (!trakomer::gl::InitGl(gl)) {
        state.SkipWithError("no GL context");
        return;
    }
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
}

BENCHMARK(BM_TrackScreenFrame)->Unit(benchmark::kMillisecond);

}  // namespace
