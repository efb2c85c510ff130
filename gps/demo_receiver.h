#pragma once
// A stand-in receiver: a pseudo-terminal pair whose master side replays an
// NMEA log in real time (each second's sentences at that second, no faster
// than the slave's baud rate allows) while the serial link opens the slave
// side like any other port.

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "gps/wake_event.h"

namespace trakomer {

// Device names that select the demo receiver: "demo" (the bundled log) or
// "demo:PATH" (another log).
bool IsDemoDevice(std::string_view device);

// The log a demo device name replays.
std::string DemoLogPath(std::string_view device, const std::string& defaultLog);

// Splits a log into the sentences of each second, byte for byte. A second
// ends where a sentence carrying a time (GGA, RMC, ZDA) shows another time
// than the second's, or repeats an address the second already has.
std::vector<std::string> SplitIntoSeconds(std::string_view log);

class DemoReceiver {
public:
    DemoReceiver() = default;
    ~DemoReceiver();
    DemoReceiver(const DemoReceiver&) = delete;
    DemoReceiver& operator=(const DemoReceiver&) = delete;

    // Reads the log and opens the pseudo-terminal pair. 0 on success,
    // otherwise the errno of what failed.
    int Create(const std::string& logPath);

    // The slave side's path, to be opened as the port.
    const std::string& SlavePath() const { return slavePath_; }

    // Starts the replay from the first second.
    void Start();

    // Ends the replay and closes the master side (the slave sees a hang-up).
    void Stop();

    // True once the whole log was written.
    bool Finished() const { return finished_.load(); }

    size_t SecondCount() const { return seconds_.size(); }

private:
    void Replay();
    bool WaitMs(int ms);  // false when woken to stop
    bool WritePaced(const std::string& bytes);

    int master_ = -1;
    std::string slavePath_;
    std::vector<std::string> seconds_;
    WakeEvent wake_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
};

}  // namespace trakomer
