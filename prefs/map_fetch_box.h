#pragma once
// "Get map for this track…" on the Maps page: the map source, and map
// packages made from tiles around the track in the background with a
// progress bar and Cancel. New packages are installed into the program
// folder all at once; closing the page cancels and installs nothing.

#include <QWidget>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "maps/tile_map.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace trakomer::prefs {

inline constexpr const char* kGetMapButton = "Get map for this track\u2026";

struct MapFetchServices {
    std::vector<maps::LatLon2> track;  // the current or loaded track
    std::string programFolder;         // where the packages go
    std::string cacheFolder;           // the tile cache
    std::function<void()> installed;   // the window reloads its images
};

class MapFetchBox : public QWidget {
public:
    MapFetchBox(const std::string& source, MapFetchServices services, QWidget* parent = nullptr);
    ~MapFetchBox() override;
    std::string Source() const;
    bool Running() const { return worker_.joinable(); }
    // Each installed package, for the page's list.
    std::function<void(const maps::WrittenPackage&)> onInstalled;

private:
    void Start();
    void Poll();
    void Finish();

    MapFetchServices services_;
    QLineEdit* source_;
    QPushButton* get_;
    QPushButton* cancel_;
    QProgressBar* progress_;
    QLabel* status_;
    QTimer* timer_;
    bool watchingDialog_ = false;

    std::thread worker_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> done_{0};
    std::atomic<int> total_{0};
    std::mutex mutex_;  // guards the two below, written by the worker
    std::optional<maps::TileMapResult> result_;
    std::string error_;
};

}  // namespace trakomer::prefs
