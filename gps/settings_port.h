#pragma once
// The port settings inside the program's Settings record.

#include "core/settings.h"
#include "gps/port_settings.h"

namespace trakomer {

inline PortSettings PortSettingsFrom(const Settings& s) {
    PortSettings p;
    p.commPort = s.mCommPort;
    p.baudRate = s.mBaudRate;
    p.parity = s.mParity;
    p.dataBits = s.mDataBits;
    p.stopBits = s.mStopBits;
    p.commDevice = s.mCommDevice;
    return p;
}

inline void StorePortSettings(const PortSettings& p, Settings& s) {
    s.mCommPort = p.commPort;
    s.mBaudRate = p.baudRate;
    s.mParity = p.parity;
    s.mDataBits = p.dataBits;
    s.mStopBits = p.stopBits;
    s.mCommDevice = p.commDevice;
}

}  // namespace trakomer
