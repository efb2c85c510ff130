#pragma once
// NMEA: the receiver's port and line settings, the SiRF switch and the
// scan for the port a receiver answers on.

#include <QEventLoop>
#include <functional>

#include "gps/port_scan.h"
#include "prefs/preference_page.h"
#include "prefs/preferences_host.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace trakomer::prefs {

class NmeaPage : public PreferencePage, public ScanPage {
public:
    NmeaPage(const Settings& settings, PortList ports, PreferencesHost& host,
             ScanOptions scanOptions, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;

    // Runs the scan; returns when it ended (found, exhausted or stopped).
    // The window keeps handling events meanwhile.
    void Scan();
    bool Scanning() const { return scanning_; }
    // Ends a running scan after its current try.
    void StopScan();
    // Whether a scan ran since the page opened (the receiver was closed).
    bool Scanned() const { return scanned_; }
    // Called when a scan starts (true) and ends (false).
    std::function<void(bool)> onScanning;

    // ScanPage
    void EnableScanButton(bool enabled) override;
    int SelectedPortLine() const override;
    int SelectedBaudIndex() const override;
    void SelectPortLine(int line) override;
    void SelectBaudIndex(int index) override;
    void SetStatus(const std::string& text) override;
    void AppendStatus(const std::string& text) override;
    void ProcessPendingMessages() override;
    void StopPointTick() override;

private:
    void Wait(int ms);

    const Settings& settings_;
    PortList ports_;
    PreferencesHost& host_;
    ScanOptions scanOptions_;
    bool scanning_ = false;
    bool scanned_ = false;
    bool stop_ = false;
    QEventLoop* waiting_ = nullptr;
    std::string status_;
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* parity_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
    QCheckBox* enableGga_;
    QPushButton* scan_;
    QLabel* statusLabel_;
};

}  // namespace trakomer::prefs
