#include "app/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace trakomer {
namespace {

constexpr int kMinSide = 100;
constexpr int kMaxSide = 100000;

bool Plausible(const WindowPlace& p) {
    return p.width >= kMinSide && p.height >= kMinSide && p.width <= kMaxSide &&
           p.height <= kMaxSide && std::abs(p.x) <= kMaxSide && std::abs(p.y) <= kMaxSide;
}

// Whether some screen shows a good part of the rectangle (its title bar
// and a corner at least).
bool OnSomeScreen(const QRect& rect) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(rect);
        if (shown.width() >= kMinSide / 2 && shown.height() >= kMinSide / 2) return true;
    }
    return false;
}

}  // namespace

std::optional<WindowPlace> ReadWindowPlace(const std::string& path) {
    std::ifstream in(path);
    WindowPlace place;
    if (!(in >> place.x >> place.y >> place.width >> place.height) || !Plausible(place)) {
        return std::nullopt;
    }
    return place;
}

bool WriteWindowPlace(const std::string& path, const WindowPlace& place) {
    std::ofstream out(path, std::ios::trunc);
    out << place.x << ' ' << place.y << ' ' << place.width << ' ' << place.height << '\n';
    out.flush();
    return static_cast<bool>(out);
}

void PlaceWindow(QWidget& window, const std::string& statePath, int defaultWidth,
                 int defaultHeight) {
    if (const auto place = ReadWindowPlace(statePath)) {
        const QRect rect(place->x, place->y, place->width, place->height);
        if (OnSomeScreen(rect)) {
            window.setGeometry(rect);
            return;
        }
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(defaultWidth, defaultHeight);
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect rect(0, 0, std::min(defaultWidth, available.width()),
               std::min(defaultHeight, available.height()));
    rect.moveCenter(available.center());
    window.setGeometry(rect);
}

void RememberWindowPlace(const QWidget& window, const std::string& statePath) {
    const QRect rect = window.geometry();
    WriteWindowPlace(statePath, {rect.x(), rect.y(), rect.width(), rect.height()});
}

}  // namespace trakomer
