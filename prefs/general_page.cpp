#include "prefs/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "prefs/general_model.h"

namespace trakomer::prefs {

namespace {

template <size_t N>
QComboBox* MakeCombo(const char* name, const std::array<const char*, N>& items, int index,
                     QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    for (const char* item : items) combo->addItem(item);
    combo->setCurrentIndex(index);
    return combo;
}

QLabel* MakeLabel(const char* name, const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

NumberEdit* MakeNumber(const char* name, const std::string& text, QWidget* parent) {
    auto* edit = new NumberEdit(NumberEdit::Kind::Decimal, parent);
    edit->setObjectName(name);
    edit->setText(ToQ(text));
    return edit;
}

}  // namespace

GeneralPage::GeneralPage(const Settings& settings, QWidget* parent)
    : PreferencePage(parent), settings_(settings) {
    const GeneralFields f = GeneralFieldsFrom(settings);
    const UnitLabels labels = UnitLabelsFor(settings.mUnits);
    shownUnits_ = f.unitsIndex;
    profile_ = MakeCombo("profile", kProfileNames, f.profileIndex, this);
    units_ = MakeCombo("units", kUnitNames, f.unitsIndex, this);
    upMode_ = MakeCombo("upMode", kUpModeNames, f.upModeIndex, this);
    autoStart_ = new QCheckBox("Auto Start", this);
    autoStart_->setObjectName("autoStart");
    autoStart_->setChecked(f.autoStart);
    autoStop_ = new QCheckBox("Auto Stop if <", this);
    autoStop_->setObjectName("autoStop");
    autoStop_->setChecked(f.autoStop);
    distance_ = MakeNumber("autoStopDistance", f.stopDistance, this);
    speed_ = MakeNumber("autoStopSpeed", f.stopSpeed, this);
    name_ = MakeTextEdit("name", f.name, kPathCapacity, this);
    weight_ = MakeNumber("weight", f.weight, this);
    distanceUnit_ = MakeLabel("distanceUnit", labels.distance, this);
    fromStart_ = MakeLabel("fromStart", "from start and speed <", this);
    speedUnit_ = MakeLabel("speedUnit", labels.speed, this);
    weightUnit_ = MakeLabel("weightUnit", labels.weight, this);

    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(new QLabel("Usage Profile", this), row, 0);
    grid->addWidget(profile_, row++, 1, 1, 2);
    grid->addWidget(new QLabel("Units", this), row, 0);
    grid->addWidget(units_, row++, 1, 1, 2);
    grid->addWidget(new QLabel("View up as", this), row, 0);
    grid->addWidget(upMode_, row++, 1, 1, 2);
    grid->addWidget(autoStart_, row++, 0, 1, 3);
    grid->addWidget(autoStop_, row, 0);
    grid->addWidget(distance_, row, 1);
    grid->addWidget(distanceUnit_, row++, 2);
    grid->addWidget(fromStart_, row, 0);
    grid->addWidget(speed_, row, 1);
    grid->addWidget(speedUnit_, row++, 2);
    grid->addWidget(new QLabel("Name", this), row, 0);
    grid->addWidget(name_, row++, 1, 1, 2);
    grid->addWidget(new QLabel("Weight", this), row, 0);
    grid->addWidget(weight_, row, 1);
    grid->addWidget(weightUnit_, row++, 2);
    grid->setRowStretch(row, 1);

    QObject::connect(units_, &QComboBox::currentIndexChanged, this,
                     [this](int index) { UnitsChosen(index); });
    QObject::connect(autoStart_, &QCheckBox::toggled, this, [this] { EnableAutoStop(); });
    EnableAutoStop();
}

void GeneralPage::UnitsChosen(int index) {
    if (index < 0 || index == shownUnits_) return;
    shownUnits_ = index;
    const UnitLabels labels = UnitLabelsFor(index == 1 ? 2 : 1);
    distanceUnit_->setText(labels.distance);
    speedUnit_->setText(labels.speed);
    weightUnit_->setText(labels.weight);
    const UnitNumbers numbers = NumbersForUnits(settings_, index);
    distance_->setText(ToQ(numbers.stopDistance));
    speed_->setText(ToQ(numbers.stopSpeed));
    weight_->setText(ToQ(numbers.weight));
    if (onUnitsChanged) onUnitsChanged(index == 1 ? 2 : 1);
}

void GeneralPage::EnableAutoStop() {
    const bool on = autoStart_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{autoStop_, distance_, distanceUnit_,
                                                      fromStart_, speed_, speedUnit_}) {
        w->setEnabled(on);
    }
}

void GeneralPage::Store(Settings& settings, ApplyEffects& effects) {
    GeneralFields f;
    f.profileIndex = profile_->currentIndex();
    f.unitsIndex = units_->currentIndex();
    f.upModeIndex = upMode_->currentIndex();
    f.autoStart = autoStart_->isChecked();
    f.autoStop = autoStop_->isChecked();
    f.stopDistance = ToStd(distance_->text());
    f.stopSpeed = ToStd(speed_->text());
    f.name = ToStd(name_->text());
    f.weight = ToStd(weight_->text());
    StoreGeneral(f, settings);
    // The profile is applied on every OK of this page, as the timers may
    // have been stopped meanwhile (a scan).
    effects.profileApplied = true;
    effects.upModeApplied = true;
}

}  // namespace trakomer::prefs
