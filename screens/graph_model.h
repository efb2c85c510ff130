#pragma once
// The time-versus-distance graph as numbers: layout, scales and the two
// polylines. The window draws what this computes.

#include <string>
#include <vector>

#include "core/track.h"

namespace trakomer {

// At most this many points are plotted per line.
constexpr int kGraphMaxPoints = 256;

struct GraphPoint {
    int x = 0, y = 0;
};

struct GraphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct GraphLayout {
    int plotLeft = 0;    // PL
    int axisEnd = 0;     // XE
    int bottomLine = 0;  // B
    int plotTop = 10;
    int plotHeight = 0;  // PH
    int plotWidth = 0;   // PW
    std::vector<GraphPoint> axes;
};

// Landscape: a square of about the client height, centred; portrait: as
// wide as the client.
GraphLayout ComputeGraphLayout(const GraphRect& client);

// Sum of the legs between points 0..n-1, nautical miles.
double PathDistance(const TrackPoint* points, int n);

// Plots points 0..n-1 with time scale ts (s) and distance scale ds (nm),
// decimated to at most 256 points. Empty when either scale is not positive.
std::vector<GraphPoint> BuildGraphLine(const TrackPoint* points, int n, double ts, double ds,
                                       const GraphLayout& layout);

// What the graph keeps between draws.
struct GraphModel {
    bool laidOut = false;
    GraphLayout layout;
    std::vector<GraphPoint> reference;
    double referenceDuration = 0;  // s
    double referenceDistance = 0;  // nm
    std::string referenceTimeLabel;
    std::string referenceDistanceLabel;
    std::vector<GraphPoint> current;
    double currentDistance = 0;    // nm
    int computedFor = -2;          // N of the last current-line computation
};

struct GraphInputs {
    const Track* track = nullptr;
    const std::vector<TrackPoint>* paceTrack = nullptr;  // null or empty: none
    bool paceActive = false;
    double distanceFactor = 1.852;
    GraphRect client;
};

// Brings the model up to date: the layout and reference line on the first
// call and when fullRecompute is set, the current line when the track has
// grown (or on a full recompute).
void UpdateGraphModel(GraphModel& model, const GraphInputs& in, bool fullRecompute);

}  // namespace trakomer
