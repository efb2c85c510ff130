#pragma once
// The main window's place on the screen between runs. It lives in a small
// file of its own in the settings folder, so trakomer.ini keeps its format.
// A first run (or a place no screen shows any more) centres the window.

#include <optional>
#include <string>

class QWidget;

namespace trakomer {

constexpr const char* kWindowStateFileName = "window.state";

struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// "x y width height" from the file; nothing when it is missing or damaged.
std::optional<WindowPlace> ReadWindowPlace(const std::string& path);
bool WriteWindowPlace(const std::string& path, const WindowPlace& place);

// Gives the window its remembered place when a screen shows it, else the
// default size (cut to the screen) centred on the screen.
void PlaceWindow(QWidget& window, const std::string& statePath, int defaultWidth,
                 int defaultHeight);
// Writes the window's current place to the file.
void RememberWindowPlace(const QWidget& window, const std::string& statePath);

}  // namespace trakomer
