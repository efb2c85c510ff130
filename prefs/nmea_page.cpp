#include "prefs/nmea_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "gps/settings_port.h"

namespace trakomer::prefs {

namespace {

QComboBox* MakeCombo(const char* name, const QStringList& items, int index, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setCurrentIndex(index);
    return combo;
}

template <size_t N>
QStringList Numbers(const std::array<int, N>& values) {
    QStringList items;
    for (int value : values) items << QString::number(value);
    return items;
}

}  // namespace

NmeaPage::NmeaPage(const Settings& settings, PortList ports, PreferencesHost& host,
                   ScanOptions scanOptions, QWidget* parent)
    : PreferencePage(parent),
      settings_(settings),
      ports_(std::move(ports)),
      host_(host),
      scanOptions_(std::move(scanOptions)) {
    const PageChoices c =
        InitPage(ports_, PortSettingsFrom(settings), settings.mNMEAEnableGPGGA != 0);
    QStringList portLines;
    for (const PortEntry& entry : ports_) portLines << ToQ(PortLineText(entry));
    port_ = MakeCombo("port", portLines, c.portLine, this);
    baud_ = MakeCombo("baudRate", Numbers(kBaudRates), c.baudIndex, this);
    parity_ = MakeCombo("parity", {"None", "Odd", "Even", "Mark", "Space"}, c.parityIndex, this);
    dataBits_ = MakeCombo("dataBits", Numbers(kDataBits), c.dataBitsIndex, this);
    stopBits_ = MakeCombo("stopBits", {"1", "2"}, c.stopBitsIndex, this);
    enableGga_ = new QCheckBox("Enable Sirf GGA,GSV", this);
    enableGga_->setObjectName("enableGga");
    enableGga_->setChecked(c.enableGga);
    scan_ = new QPushButton("Scan ports for GPS", this);
    scan_->setObjectName("scan");
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName("status");
    statusLabel_->setWordWrap(true);
    statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* grid = new QGridLayout(this);
    const std::pair<const char*, QComboBox*> rows[] = {{"Port", port_},
                                                       {"Baud Rate", baud_},
                                                       {"Parity", parity_},
                                                       {"Data Bits", dataBits_},
                                                       {"Stop Bits", stopBits_}};
    int row = 0;
    for (const auto& [label, combo] : rows) {
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(combo, row++, 1);
    }
    grid->addWidget(enableGga_, row++, 0, 1, 2);
    grid->addWidget(scan_, row++, 0, 1, 2);
    grid->addWidget(statusLabel_, row, 0, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);

    QObject::connect(scan_, &QPushButton::clicked, this, [this] { Scan(); });
}

void NmeaPage::Scan() {
    if (scanning_) return;
    scanning_ = true;
    scanned_ = true;
    stop_ = false;
    if (onScanning) onScanning(true);
    ScanOptions options = scanOptions_;
    if (!options.sleep) options.sleep = [this](int ms) { Wait(ms); };
    options.stopRequested = [this] { return stop_; };
    ScanPorts(*this, ports_, PortSettingsFrom(settings_), host_.ReceiverPort(), host_.ReceiverFix(),
              options);
    scanning_ = false;
    if (onScanning) onScanning(false);
}

void NmeaPage::StopScan() {
    stop_ = true;
    if (waiting_) waiting_->quit();
}

void NmeaPage::Wait(int ms) {
    // The settle time passes in the event loop, so the window repaints and
    // the sheet's Cancel is seen while the scan waits.
    if (stop_) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    waiting_ = &loop;
    loop.exec();
    waiting_ = nullptr;
}

void NmeaPage::EnableScanButton(bool enabled) {
    scan_->setEnabled(enabled);
}
int NmeaPage::SelectedPortLine() const {
    return port_->currentIndex();
}
int NmeaPage::SelectedBaudIndex() const {
    return baud_->currentIndex();
}
void NmeaPage::SelectPortLine(int line) {
    port_->setCurrentIndex(line);
}
void NmeaPage::SelectBaudIndex(int index) {
    baud_->setCurrentIndex(index);
}

void NmeaPage::SetStatus(const std::string& text) {
    status_ = text;
    statusLabel_->setText(ToQ(status_));
}

void NmeaPage::AppendStatus(const std::string& text) {
    SetStatus(status_ + text);
}

void NmeaPage::ProcessPendingMessages() {
    QApplication::processEvents();
}

void NmeaPage::StopPointTick() {
    host_.StopPointTick();
}

void NmeaPage::Store(Settings& settings, ApplyEffects& effects) {
    PageChoices c;
    c.portLine = port_->currentIndex();
    c.baudIndex = baud_->currentIndex();
    c.parityIndex = parity_->currentIndex();
    c.dataBitsIndex = dataBits_->currentIndex();
    c.stopBitsIndex = stopBits_->currentIndex();
    c.enableGga = enableGga_->isChecked();
    PortSettings port = PortSettingsFrom(settings);
    bool enableGga = false;
    StoreChoices(c, ports_, port, enableGga);
    StorePortSettings(port, settings);
    settings.mNMEAEnableGPGGA = enableGga ? 1 : 0;
    effects.reopenReceiver = true;
}

}  // namespace trakomer::prefs
