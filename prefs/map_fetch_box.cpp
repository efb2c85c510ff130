#include "prefs/map_fetch_box.h"

#include <QDateTime>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "prefs/preference_page.h"

namespace trakomer::prefs {

MapFetchBox::MapFetchBox(const std::string& source, MapFetchServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    // The default tile server stands preset in the field.
    source_ = new QLineEdit(ToQ(source.empty() ? maps::kDefaultTileServer : source), this);
    source_->setObjectName("mapSource");
    source_->setCursorPosition(0);
    source_->setPlaceholderText(maps::kDefaultTileServer);
    get_ = new QPushButton(kGetMapButton, this);
    get_->setObjectName("getMap");
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("cancelMap");
    cancel_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("mapProgress");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName("mapStatus");
    status_->setWordWrap(true);
    timer_ = new QTimer(this);
    timer_->setInterval(100);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Map source", this), 0, 0);
    layout->addWidget(source_, 0, 1, 1, 2);
    layout->addWidget(get_, 1, 0, 1, 2);
    layout->addWidget(cancel_, 1, 2);
    layout->addWidget(progress_, 2, 0, 1, 3);
    layout->addWidget(status_, 3, 0, 1, 3);

    QObject::connect(get_, &QPushButton::clicked, this, [this] { Start(); });
    QObject::connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    QObject::connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
}

MapFetchBox::~MapFetchBox() {
    // Closing cancels: the worker removes what it staged and installs nothing.
    cancelled_ = true;
    if (!worker_.joinable()) return;
    worker_.join();
    // It may have installed everything just before: the window still loads it.
    const std::lock_guard lock(mutex_);
    if (result_ && services_.installed) services_.installed();
}

std::string MapFetchBox::Source() const {
    const std::string text = ToStd(source_->text().trimmed());
    return text.empty() ? maps::kDefaultTileServer : text;
}

void MapFetchBox::Start() {
    if (worker_.joinable()) return;
    const std::vector<maps::LatLonBox> boxes =
        maps::CorridorBoxes(services_.track, maps::kDefaultMarginKm);
    if (boxes.empty()) {
        status_->setText("There is no track to make a map for.");
        return;
    }
    maps::TileMapRequest request;
    request.boxes = boxes;
    request.outPath = services_.programFolder + "/map-" +
                      ToStd(QDateTime::currentDateTimeUtc().toString("yyyyMMdd-HHmmss")) + ".tgz";
    cancelled_ = false;
    finished_ = false;
    done_ = 0;
    total_ = 0;
    get_->setEnabled(false);
    cancel_->setEnabled(true);
    status_->setText("Getting the map tiles\u2026");
    // Closing the sheet cancels at once, not only when the page goes.
    auto* dialog = qobject_cast<QDialog*>(window());
    if (dialog != nullptr && !watchingDialog_) {
        QObject::connect(dialog, &QDialog::finished, this, [this] { cancelled_ = true; });
        watchingDialog_ = true;
    }
    const std::string source = Source();
    const std::string cache = services_.cacheFolder;
    worker_ = std::thread([this, source, cache, request] {
        std::string error;
        std::optional<maps::TileMapResult> result;
        const maps::SourceOptions options{cache, maps::TrakomerUserAgent(), nullptr};
        if (auto tiles = maps::OpenTileSource(source, options, error)) {
            result = maps::MakeTileMap(
                *tiles, request,
                [this](int done, int total) {
                    total_ = total;
                    done_ = done;
                },
                cancelled_, error);
        }
        {
            const std::lock_guard lock(mutex_);
            result_ = std::move(result);
            error_ = error;
        }
        finished_ = true;
    });
    timer_->start();
}

void MapFetchBox::Poll() {
    progress_->setRange(0, std::max(total_.load(), 1));
    progress_->setValue(done_.load());
    if (finished_) Finish();
}

void MapFetchBox::Finish() {
    timer_->stop();
    worker_.join();
    get_->setEnabled(true);
    cancel_->setEnabled(false);
    const std::lock_guard lock(mutex_);
    if (!result_) {
        status_->setText(error_ == "cancelled" ? QString("Cancelled.") : ToQ(error_));
        return;
    }
    status_->setText(QString("Installed %1 map(s) from %2 tiles at zoom %3.")
                         .arg(result_->packages.size())
                         .arg(result_->tiles)
                         .arg(result_->zoom));
    for (const maps::WrittenPackage& p : result_->packages) {
        if (onInstalled) onInstalled(p);
    }
    if (services_.installed) services_.installed();
}

}  // namespace trakomer::prefs
