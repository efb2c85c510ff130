#pragma once
// Filling the image slot table at every GL set-up: the map packages of the
// program folder first, then the images named by its list "mapfiles.ini",
// at most 32 in all; then the special images are found.

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "gl/gl_context.h"

namespace trakomer::gl {

// Shows a loading problem to the user (a message box titled "Error").
using ImageErrorSink = std::function<void(const std::string& message)>;

struct ImageSources {
    std::string programFolder;
    ImageErrorSink showError;  // null: problems are dropped
};

// Loads every package, then the list, then sets the special indices. Each
// failure is reported and loading goes on; the table keeps what loaded.
void LoadImageList(GlContext& gl, const ImageSources& sources);

// One package (a file name in the program folder) into the next free slot,
// whose path becomes the package's file name. False when nothing loaded.
bool LoadMapPackage(GlContext& gl, const ImageSources& sources, const std::string& fileName);

// The loading of one program folder's images in two steps: `start` begins
// reading and decoding them on a worker thread (while the GL context is
// created), `load` fills the table from what was read, waiting for the rest
// (and reads them itself when nothing was started). Each distinct problem
// is reported once per run: a GL rebuild reloads the images without
// repeating them.
struct ImageLoading {
    std::function<void()> start;
    std::function<void(GlContext&)> load;
};
ImageLoading MakeImageLoading(std::string programFolder, ImageErrorSink sink);

// Just the `load` step, for ScreenViews::imageLoader.
std::function<void(GlContext&)> MakeImageLoader(std::string programFolder, ImageErrorSink sink);

}  // namespace trakomer::gl
