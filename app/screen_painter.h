#pragma once
// Draws the text screens and the time-versus-distance graph into an
// off-screen image the size of the client area.

#include <QImage>
#include <string>

#include "core/content_key.h"
#include "screens/graph_model.h"

namespace trakomer {

// White text on black, word-wrapped; height 20 normal weight on the
// Summary, the given height in bold on the Short Summary.
void PaintTextScreen(QImage& image, const std::string& text, int screen, int largeFontHeight);

struct GraphLabels {
    std::string elapsed;            // "Time hh:mm:ss" of the recording
    std::string currentDistance;    // "%.1f" in display units
    bool paceActive = false;
};

void PaintGraph(QImage& image, const GraphModel& model, const GraphLabels& labels);
// Adds to `key` everything PaintGraph draws from.
void AddGraphKey(ContentKey& key, const GraphModel& model, const GraphLabels& labels);

// The image as shown: flipped top to bottom for a head-up display.
QImage ShownImage(const QImage& image, bool hud);

}  // namespace trakomer
