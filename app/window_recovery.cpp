// The start-up offer to recover recordings that were never saved (the
// recorder was killed, crashed or lost power while recording). Journals a
// running recorder holds are left alone; unreadable ones are set aside
// once, with a word to the user.

#include <filesystem>

#include "app/main_window.h"
#include "app/window_helpers.h"
#include "files/journal_recovery.h"

namespace trakomer {

void MainWindow::OfferRecovery() {
    Dialogs& dialogs = *services_.dialogs;
    int asked = 0;
    const auto offer = [&](const Track&) {
        modalOpen_ = true;
        const bool yes = dialogs.AskYesNo(
            asked++ == 0 ? "The last recording was not saved. Recover it now?"
                         : "An earlier recording was not saved either. Recover it now?",
            "Recover now?");
        modalOpen_ = false;
        return yes;
    };
    const std::vector<JournalReport> reports =
        RecoverJournals(paths_.stateFolder, *track_, *services_.trackFiles, offer);
    std::string saved;
    for (const JournalReport& r : reports) {
        if (r.outcome == JournalOutcome::Recovered) {
            if (saved.empty())
                trackTitle_ = TrackTitle(std::filesystem::path(r.file).filename().string());
            saved += (saved.empty() ? "Saved as " : "\nSaved as ") + r.file;
        } else if (r.outcome == JournalOutcome::SaveFailed) {
            dialogs.ShowMessage(r.file, "Error: File save failed. Check path.", MessageIcon::Error);
        } else if (r.outcome == JournalOutcome::SetAside) {
            dialogs.ShowMessage(JournalReportText(r), "Error", MessageIcon::Error);
        }
    }
    if (saved.empty()) return;
    // The newest recovered points are in the track already: review them
    // as if the saved file had been opened.
    graphRecompute_ = true;
    recorder_->ProcessReview();
    ComposeAndDraw();
    dialogs.ShowMessage(saved, "File saved", MessageIcon::None);
}

}  // namespace trakomer
