// The start-up offer to recover a recording that was never saved (the
// recorder was killed, crashed or lost power while recording).

#include <filesystem>

#include "app/main_window.h"
#include "app/window_helpers.h"
#include "files/journal_recovery.h"

namespace trakomer {
namespace {

// The newest journal with points in it (empty ones are removed); "" when
// there is none. A journal that cannot be read is reported and kept.
std::string JournalWithPoints(const std::string& folder, Track& track, Dialogs& dialogs) {
    for (;;) {
        const std::string journal = FindJournal(folder);
        if (journal.empty()) return journal;
        JournalHeader header;
        const JournalStatus status = ReadJournal(journal, track, header);
        if (status != JournalStatus::Ok) {
            dialogs.ShowMessage(JournalRefusalText(status, journal), "Error", MessageIcon::Error);
            return {};
        }
        if (track.loadedCount > 0) return journal;
        RemoveEmptyJournal(journal);
    }
}

}  // namespace

void MainWindow::OfferRecovery() {
    Dialogs& dialogs = *services_.dialogs;
    const std::string journal = JournalWithPoints(paths_.stateFolder, *track_, dialogs);
    if (journal.empty()) {
        ResetTrack(*track_);
        return;
    }
    modalOpen_ = true;
    const bool recover =
        dialogs.AskYesNo("The last recording was not saved. Recover it now?", "Recover now?");
    modalOpen_ = false;
    std::string saved;
    if (!recover) {
        SetJournalAside(journal);
    } else if (!SaveRecoveredTrack(journal, *track_, *services_.trackFiles, saved)) {
        dialogs.ShowMessage(saved, "Error: File save failed. Check path.", MessageIcon::Error);
    } else {
        // The recovered points are in the track already: review them as if
        // the saved file had been opened.
        trackTitle_ = TrackTitle(std::filesystem::path(saved).filename().string());
        graphRecompute_ = true;
        recorder_->ProcessReview();
        ComposeAndDraw();
        dialogs.ShowMessage("Saved as " + saved, "File saved", MessageIcon::None);
        return;
    }
    ResetTrack(*track_);
}

}  // namespace trakomer
