#include "prefs/preferences_sheet.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "prefs/general_model.h"
#include "prefs/general_page.h"
#include "prefs/maps_page.h"
#include "prefs/nmea_page.h"
#include "prefs/screens_page.h"
#include "prefs/speech_page.h"
#include "prefs/upload_page.h"

namespace trakomer::prefs {

PreferencesSheet::PreferencesSheet(Settings& settings, PreferencesHost& host,
                                   SheetServices services, QWidget* parent)
    : QDialog(parent), settings_(settings), host_(host), services_(std::move(services)) {
    setWindowTitle(kSheetTitle);
    setObjectName("preferences");
    if (!services_.chooseFile) {
        services_.chooseFile = [this](const std::string& filter) {
            return ToStd(QFileDialog::getOpenFileName(this, "Open", QString(), ToQ(filter)));
        };
    }
    nmea_ = new NmeaPage(settings_, services_.ports, host_, services_.scan);
    tracks_ = new TracksPage(settings_, services_.chooseFile);
    auto* general = new GeneralPage(settings_);
    auto* speech = new SpeechPage(settings_);
    general->onUnitsChanged = [speech](int units) { speech->Relabel(units); };
    pages_ = {general,
              nmea_,
              new ScreensPage(settings_),
              speech,
              tracks_,
              new UploadPage(settings_),
              new MapsPage(services_.maps, settings_, services_.mapFetch)};
    shown_.assign(pages_.size(), false);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("pages");
    for (size_t i = 0; i < pages_.size(); ++i) tabs_->addTab(pages_[i], kPageTitles[i]);
    // A page stores on OK only when it was shown.
    shown_[0] = true;
    QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0) shown_[static_cast<size_t>(index)] = true;
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    nmea_->onScanning = [this](bool scanning) { ScanStateChanged(scanning); };

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    resize(parent ? parent->size() : QSize(480, 640));
}

void PreferencesSheet::ScanStateChanged(bool scanning) {
    // OK waits for the scan; Cancel stops it and closes the sheet after it.
    ok_->setEnabled(!scanning);
    if (!scanning && rejectAfterScan_) {
        rejectAfterScan_ = false;
        done(QDialog::Rejected);
    }
}

void PreferencesSheet::done(int result) {
    if (nmea_->Scanning()) {
        if (result != QDialog::Accepted) {
            rejectAfterScan_ = true;
            nmea_->StopScan();
        }
        return;
    }
    if (result == QDialog::Accepted) {
        ApplyPages();
    } else if (nmea_->Scanned()) {
        // The scan closed the receiver and stopped the point tick.
        host_.ReopenReceiver();
        host_.RearmTimers();
    }
    QDialog::done(result);
    if (result == QDialog::Accepted) Release();
}

void PreferencesSheet::ApplyPages() {
    ApplyEffects effects;
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (shown_[i]) pages_[i]->Store(settings_, effects);
    }
    if (effects.profileApplied && settings_.mUserProfile != kBlackboxProfile) {
        host_.CancelLauncher();
    }
    if (effects.reopenReceiver || nmea_->Scanned()) host_.ReopenReceiver();
    if (effects.profileApplied || effects.rearmTimers || nmea_->Scanned()) host_.RearmTimers();
    if (effects.upModeApplied) host_.ResizeGl();
    if (effects.reloadWaypoints) host_.ReloadWaypoints();
}

void PreferencesSheet::Release() {
    host_.SaveSettingsFile();
    if (tracks_->FilesChanged() && services_.dialogs &&
        services_.dialogs->AskYesNo(kRestartText, kRestartQuestion)) {
        host_.RequestRestart();
    }
}

}  // namespace trakomer::prefs
