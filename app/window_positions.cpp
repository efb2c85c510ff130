// Positions over HTTP from the main window: after each point tick the new
// points are queued and a few queued ones sent, so a long backlog after a
// network gap never holds the window for long.

#include "app/main_window.h"

namespace trakomer {

namespace {

constexpr int kPositionsPerTick = 10;

}  // namespace

void MainWindow::PublishPositions(bool manual) {
    if (!positions_) return;
    const GpsFix fix = gps_.Snapshot();
    positions_->Offer(*track_, settings_, upload::PositionExtras{fix.ggaHdop, battery_.percent});
    const upload::PositionRun run =
        positions_->Send(settings_, manual ? kTrackCapacity : kPositionsPerTick, manual);
    if (run.sent > 0 || run.failed > 0) positionStatusLatest_ = true;
}

const std::string& MainWindow::UploadStatusLine() const {
    return positionStatusLatest_ ? positions_->StatusText() : uploader_->StatusText();
}

}  // namespace trakomer
