#include "screens/graph_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/geodesy.h"
#include "core/time_span.h"
#include "screens/screen_text.h"

namespace trakomer {

namespace {

double LegNm(const TrackPoint& a, const TrackPoint& b) {
    return GreatCircleDistance(a.latitude * kDegToRad, a.longitude * kDegToRad,
                               b.latitude * kDegToRad, b.longitude * kDegToRad);
}

void LayOutReference(GraphModel& model, const GraphInputs& in) {
    model.reference.clear();
    model.referenceDuration = 0;
    model.referenceDistance = 0;
    model.referenceTimeLabel.clear();
    model.referenceDistanceLabel.clear();
    if (!in.paceActive || !in.paceTrack || in.paceTrack->empty()) return;

    const auto& pace = *in.paceTrack;
    const int n = static_cast<int>(pace.size());
    model.referenceDuration = SecondsBetween(pace.back().time, pace.front().time);
    model.referenceDistance = PathDistance(pace.data(), n);
    model.reference = BuildGraphLine(pace.data(), n, model.referenceDuration,
                                     model.referenceDistance, model.layout);
    model.referenceTimeLabel =
        "Time " + FormatClock(static_cast<int>(model.referenceDuration));
    char label[64];
    std::snprintf(label, sizeof label, "%.1f", model.referenceDistance * in.distanceFactor);
    model.referenceDistanceLabel = label;
}

}  // namespace

GraphLayout ComputeGraphLayout(const GraphRect& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    int offset = 0;
    int side = client.right;
    if (height < width) {
        offset = width / 2 - (height - 10) / 2;
        side = client.bottom - client.top;
    }
    GraphLayout layout;
    layout.plotLeft = client.left + offset + 15;
    layout.axisEnd = side + offset - 6;
    layout.bottomLine = side - 5;
    layout.plotTop = 10;
    layout.plotHeight = side - 15;
    layout.plotWidth = layout.axisEnd - layout.plotLeft;
    layout.axes = {{layout.plotLeft, 10},
                   {layout.plotLeft, layout.bottomLine},
                   {layout.axisEnd, layout.bottomLine}};
    return layout;
}

double PathDistance(const TrackPoint* points, int n) {
    double total = 0;
    for (int i = 1; i < n; ++i) total += LegNm(points[i - 1], points[i]);
    return total;
}

std::vector<GraphPoint> BuildGraphLine(const TrackPoint* points, int n, double ts, double ds,
                                       const GraphLayout& layout) {
    std::vector<GraphPoint> line;
    if (n <= 0 || !(ts > 0) || !(ds > 0)) return line;
    const int step = n / kGraphMaxPoints + 1;
    line.reserve(static_cast<size_t>(n / step + 1));
    double cumulative = 0;
    int previous = 0;
    for (int k = 0; k < n; k += step) {
        for (int i = previous + 1; i <= k; ++i) cumulative += LegNm(points[i - 1], points[i]);
        previous = k;
        double x = SecondsBetween(points[k].time, points[0].time) / ts * layout.plotWidth + layout.plotLeft;
        double y = (1 - cumulative / ds) * layout.plotHeight + 10;
        line.push_back({static_cast<int>(std::trunc(x)), static_cast<int>(std::trunc(y))});
    }
    return line;
}

void UpdateGraphModel(GraphModel& model, const GraphInputs& in, bool fullRecompute) {
    if (!in.track) return;
    if (!model.laidOut || fullRecompute) {
        model.layout = ComputeGraphLayout(in.client);
        LayOutReference(model, in);
        model.laidOut = true;
    }
    const Track& track = *in.track;
    const int n = std::min(track.lastIndex, kTrackCapacity);
    if ((n > 0 && n != model.computedFor) || fullRecompute) {
        const int count = std::max(n, 0);
        model.currentDistance = PathDistance(track.points.data(), count);
        double ts = std::max(model.referenceDuration, static_cast<double>(track.elapsedSeconds));
        double ds = std::max(model.referenceDistance, model.currentDistance);
        model.current = BuildGraphLine(track.points.data(), count, ts, ds, model.layout);
        model.computedFor = n;
    }
}

}  // namespace trakomer
