#pragma once
// The link to the GPS receiver's serial port: open and configure it, run
// the reader thread that feeds every received byte to the NMEA parser,
// write configuration sentences, close it. A receiver that goes away (a
// USB receiver unplugged, a Bluetooth link dropped) is waited for and the
// same device is reopened. The device may also be a running gpsd.

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "gps/demo_receiver.h"
#include "gps/modem_link.h"
#include "gps/port_settings.h"
#include "gps/shared_fix.h"
#include "gps/wake_event.h"

namespace trakomer {

// Bytes the reader thread reads at a time.
constexpr size_t kReadChunkSize = 256;

// The text a failed open leaves in errorText, by errno. A refused open
// names the group that owns the device and how to join it.
std::string OpenErrorText(int error, const std::string& devicePath);

// True for an errno of OpenErrorText that no other baud rate can mend.
inline bool AccessRefused(int error) { return error == EACCES || error == EPERM; }

// The bundled demo log.
std::string DefaultDemoLog();

// Told on the reader thread when the receiver went away and when its device
// could be opened again.
struct ReceiverEvents {
    std::function<void()> lost;
    std::function<void()> back;
};

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device the settings name. Closes a port still open first.
    // The device "demo" or "demo:PATH" starts a demo receiver and opens its
    // pseudo-terminal; "gpsd" or "gpsd://HOST[:PORT]" connects to gpsd;
    // "modem" or "modem:N" reads a modem's GNSS through ModemManager.
    // False on failure, with openFailed set and errorText describing it;
    // unless quiet, a failure to configure the port also sounds the error
    // beep.
    bool Open(const PortSettings& settings, bool quiet);
    bool Open(const std::string& devicePath, int baudRate, int parity, int dataBits,
              int stopBits, bool quiet);

    // Stops the reader thread, closes the port and then pauses for
    // closePauseMs (some receivers need the time before the next open).
    // False when the port was not open.
    bool Close();

    // One non-blocking read of at most size bytes; 0 when the port is closed
    // or nothing has arrived.
    size_t Read(char* buffer, size_t size);

    // One write; the number of bytes written (0 on failure, when closed,
    // and through gpsd, which is not asked to pass sentences on).
    size_t Write(const char* data, size_t length);

    // Starts the reader thread feeding fix. Does nothing when the port is
    // not open or a reader is already running on it.
    // While the receiver is away the fix is marked lost (RMC status 'V').
    void StartReader(SharedGpsFix& fix, ReceiverEvents events = {});
    // The same with any receiver of the chunks read (at most
    // kReadChunkSize bytes each), called on the reader thread.
    using ByteSink = std::function<void(const char* bytes, size_t length)>;
    void StartReader(ByteSink sink, ReceiverEvents events = {});

    // True while the reader thread is in its loop, reopening included;
    // false once it ended on Close, or on a hang-up or read error when
    // reopenIntervalMs is 0.
    bool ReaderRunning() const { return readerRunning_.load(); }

    // True from a hang-up or read error until the device is open again.
    bool ReceiverLost() const { return receiverLost_.load(); }

    // The demo receiver behind the port, while one is open.
    const DemoReceiver* Demo() const { return demo_.get(); }

    bool IsOpen() const { return fd_.load() >= 0; }
    int Fd() const { return fd_.load(); }

    // State of the last open.
    bool openFailed = false;
    int baudRate = 0;
    int portNumber = 0;
    std::string devicePath;
    std::string errorText;
    int openError = 0;  // errno of the last failed open, else 0
    // Which refresh rate a modem's GNSS runs at (empty for other devices).
    std::string rateText;

    // Pause at the end of Close, in milliseconds.
    int closePauseMs = 1000;
    // After a hang-up or read error the reader reopens the same device with
    // the same settings this often until it succeeds or the port is
    // closed; 0 ends the reader instead. Not used for the demo receiver.
    int reopenIntervalMs = 0;
    // The log the device "demo" replays.
    std::string demoLog = DefaultDemoLog();
    // Sounds the error beep (a failed configuration when not quiet).
    std::function<void()> errorBeep;

private:
    bool Fail(int error);
    void StopReader();
    void ReaderLoop(ByteSink sink, ReceiverEvents events);
    // Reads until woken (true) or the device hangs up or fails (false).
    bool PumpUntilGone(int fd, const ByteSink& sink);
    // Waits and reopens the device; false when woken first.
    bool WaitAndReopen();
    int OpenDevice(const std::string& node, bool& configFailed);
    void DropDescriptor();

    void CloseDescriptor();

    std::atomic<int> fd_{-1};
    bool gpsd_ = false;
    int parity_ = 0, dataBits_ = 8, stopBits_ = 0;
    std::mutex writeMutex_;  // a write never meets the reader's close or reopen
    std::atomic<bool> receiverLost_{false};
    std::unique_ptr<DemoReceiver> demo_;
    std::unique_ptr<ModemLink> modem_;
    WakeEvent wake_;
    std::thread reader_;
    std::atomic<bool> readerRunning_{false};
};

}  // namespace trakomer
