#include "prefs/screens_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "prefs/number_text.h"
#include "prefs/screens_model.h"

namespace trakomer::prefs {

ScreensPage::ScreensPage(const Settings& settings, QWidget* parent) : PreferencePage(parent) {
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const ScreenBox& box : kScreenBoxes) {
        auto* check = new QCheckBox(box.label, this);
        check->setObjectName(QString("view%1").arg(box.screen));
        check->setChecked(settings.mViews[static_cast<size_t>(box.screen)] != 0);
        views_[static_cast<size_t>(box.screen)] = check;
        grid->addWidget(check, row, 0);
        if (box.screen == 3) {
            fontSize_ = new NumberEdit(NumberEdit::Kind::Integer, this);
            fontSize_->setObjectName("fontSize");
            fontSize_->setText(QString::number(settings.mLViewFontSize));
            grid->addWidget(fontSize_, row, 1);
        }
        ++row;
        const int screen = box.screen;
        QObject::connect(check, &QCheckBox::toggled, this, [this, screen] { BoxChanged(screen); });
    }

    auto* preview = new QGroupBox("Preview", this);
    auto* previewGrid = new QGridLayout(preview);
    for (size_t i = 0; i < large_.size(); ++i) {
        auto* combo = new QComboBox(preview);
        combo->setObjectName(QString("large%1").arg(i));
        for (const char* name : kFigureNames) combo->addItem(name);
        auto* label = new QLabel(preview);
        label->setObjectName(QString("preview%1").arg(i));
        QObject::connect(combo, &QComboBox::currentIndexChanged, label,
                         [label](int index) { label->setText(ToQ(PreviewText(index))); });
        combo->setCurrentIndex(settings.mViewLarge[i]);
        label->setText(ToQ(PreviewText(combo->currentIndex())));
        large_[i] = combo;
        previews_[i] = label;
        const int r = static_cast<int>(i / 2) * 2;
        const int c = static_cast<int>(i % 2);
        previewGrid->addWidget(combo, r, c);
        previewGrid->addWidget(label, r + 1, c);
    }
    grid->addWidget(preview, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
}

void ScreensPage::BoxChanged(int screen) {
    std::array<bool, kScreenCount> on{};
    for (size_t i = 0; i < on.size(); ++i) on[i] = views_[i]->isChecked();
    KeepOneTrackScreen(on, screen);
    for (size_t i = 0; i < 2; ++i) {
        if (on[i] != views_[i]->isChecked()) views_[i]->setChecked(on[i]);
    }
}

void ScreensPage::Store(Settings& settings, ApplyEffects&) {
    for (size_t i = 0; i < views_.size(); ++i) settings.mViews[i] = views_[i]->isChecked() ? 1 : 0;
    if (auto size = LeadingInteger(ToStd(fontSize_->text()))) settings.mLViewFontSize = *size;
    for (size_t i = 0; i < large_.size(); ++i) {
        if (large_[i]->currentIndex() >= 0) settings.mViewLarge[i] = large_[i]->currentIndex();
    }
}

}  // namespace trakomer::prefs
