#include "prefs/speech_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace trakomer::prefs {

SpeechPage::SpeechPage(const Settings& settings, QWidget* parent) : PreferencePage(parent) {
    // The page scrolls: nine rows do not fit a small screen.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    auto* grid = new QGridLayout(content);
    voice_ = new QCheckBox("Speech", content);
    voice_->setObjectName("voice");
    voice_->setChecked(settings.mVoice != 0);
    grid->addWidget(voice_, 0, 0, 1, 4);
    int r = 1;
    for (size_t i = 0; i < kAnnouncements.size(); ++i, ++r) {
        const AnnouncementRow& a = kAnnouncements[i];
        Row& row = rows_[i];
        row.check = new QCheckBox(a.name, content);
        row.check->setObjectName(QString("say") + a.name);
        row.check->setChecked(settings.*a.enabled != 0);
        row.every = new QLabel("every", content);
        row.interval = new NumberEdit(
            a.floatInterval ? NumberEdit::Kind::Decimal : NumberEdit::Kind::Integer, content);
        row.interval->setObjectName(QString("every") + a.name);
        row.interval->setText(ToQ(IntervalText(a, settings)));
        row.unit = new QLabel(UnitLabel(a.unit, settings.mUnits), content);
        row.unit->setObjectName(QString("unit") + a.name);
        grid->addWidget(row.check, r, 0);
        grid->addWidget(row.every, r, 1);
        grid->addWidget(row.interval, r, 2);
        grid->addWidget(row.unit, r, 3);
    }
    grid->setRowStretch(r, 1);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    QObject::connect(voice_, &QCheckBox::toggled, this, [this] { EnableRows(); });
    EnableRows();
}

void SpeechPage::Relabel(int units) {
    for (size_t i = 0; i < kAnnouncements.size(); ++i) {
        rows_[i].unit->setText(UnitLabel(kAnnouncements[i].unit, units));
    }
}

void SpeechPage::EnableRows() {
    const bool on = voice_->isChecked();
    for (const Row& row : rows_) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{row.check, row.every, row.interval, row.unit}) {
            w->setEnabled(on);
        }
    }
}

void SpeechPage::Store(Settings& settings, ApplyEffects&) {
    settings.mVoice = voice_->isChecked() ? 1 : 0;
    for (size_t i = 0; i < kAnnouncements.size(); ++i) {
        const AnnouncementRow& a = kAnnouncements[i];
        settings.*a.enabled = rows_[i].check->isChecked() ? 1 : 0;
        StoreInterval(a, ToStd(rows_[i].interval->text()), settings);
    }
}

}  // namespace trakomer::prefs
