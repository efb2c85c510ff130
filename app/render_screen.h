#pragma once
// trakomer --render-screen N --track FILE --out PNG [--size WxH] [--scale F]:
// opens the
// track as Open does, draws screen N at the end of the track with the
// images of the program folder, writes the picture and exits, without a
// receiver or a visible window.

#include <string>
#include <vector>

namespace trakomer {

struct RenderOptions {
    int screen = -1;  // -1: not asked for
    std::string track;
    std::string out;
    int width = 480;
    int height = 640;
    // Device pixels per screen pixel: the picture is F times the size, drawn
    // at that density (as on a high-density screen).
    double scale = 1.0;
};

// Takes the rendering options out of `args`. False with a message when one
// is malformed or some are given without the others.
bool TakeRenderOptions(std::vector<std::string>& args, RenderOptions& options, std::string& error);

// Renders with the QApplication already made (offscreen platform); returns
// the exit code: 0 written, 1 failure.
int RenderScreen(const std::string& home, const RenderOptions& options);

}  // namespace trakomer
