// The serial link against real pseudo-terminals.

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <vector>

#include "gps/nmea_parser.h"
#include "gps/port_termios.h"
#include "gps/serial_port.h"
#include "tests/gps/pty_pair.h"

namespace trakomer {
namespace {

using test::PtyPair;
using test::WaitUntil;


TEST(OpenErrorText, NamesTheCauseByErrno) {
    struct Case {
        int error;
        const char* text;
    };
    const Case cases[] = {
        {ENOENT, "Communication Port (/dev/ttyX) not found!\nThe communications port does not exist."},
        {ENODEV, "Communication Port (/dev/ttyX) not found!\nThe communications port does not exist."},
        {EACCES, "Access Denied!\nYou may not open /dev/ttyX."},
        {EPERM, "Access Denied!\nYou may not open /dev/ttyX."},
        {EBUSY, "Access Denied!\nThe communications port may be in use."},
        {EIO, "Comm Open Error! [5].\nThe port (/dev/ttyX) may be in use."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenErrorText(c.error, "/dev/ttyX"), c.text) << c.error;
    }
}

// A refused open names the device's group and how to join it; a device of
// root's group has no group to join.
TEST(OpenErrorText, RefusedOpenNamesTheGroupToJoin) {
    const group* dialout = getgrnam("dialout");
    if (geteuid() != 0 || dialout == nullptr) GTEST_SKIP() << "needs root and a dialout group";
    char pattern[] = "/tmp/trakomer-tty-XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string path = pattern;
    const struct {
        gid_t gid;
        std::string text;
    } cases[] = {
        {dialout->gr_gid, "Access Denied!\nYou are not in the group dialout\nthat owns " + path +
                              ". Join it with\nsudo usermod -aG dialout $USER\nthen log out and "
                              "in again."},
        {0, "Access Denied!\nYou may not open " + path + "."},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(chown(path.c_str(), 0, c.gid), 0);
        EXPECT_EQ(OpenErrorText(EACCES, path), c.text);
    }
    unlink(path.c_str());
}

TEST(SerialPort, MissingDeviceFailsWithNotFoundAndReadsNothing) {
    SerialPort port;
    port.closePauseMs = 0;
    EXPECT_FALSE(port.Open("/nonexistent/ttyGPS", 4800, 0, 8, 0, true));
    EXPECT_TRUE(port.openFailed);
    EXPECT_EQ(port.errorText,
              "Communication Port (/nonexistent/ttyGPS) not found!\n"
              "The communications port does not exist.");
    char buffer[16];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(port.Write("x", 1), 0u);
    SharedGpsFix fix;
    port.StartReader(fix);  // ends at once: nothing to read
    EXPECT_FALSE(port.ReaderRunning());
    EXPECT_FALSE(port.Close());
}

TEST(SerialPort, ClassicPortNumberMapsToTtyS) {
    SerialPort port;
    port.closePauseMs = 0;
    PortSettings settings;
    settings.commPort = 99;
    EXPECT_FALSE(port.Open(settings, true));
    EXPECT_EQ(port.devicePath, "/dev/ttyS98");
    EXPECT_EQ(port.portNumber, 99);
}

TEST(ConfigureTermios, MapsLineSettings) {
    struct Case {
        int baud, parity, dataBits, stopBits;
        tcflag_t expectSize;
        tcflag_t expectParity;  // PARENB | PARODD | CMSPAR bits
        bool twoStopBits;
    };
    const Case cases[] = {
        {4800, kParityNone, 8, kOneStopBit, CS8, 0, false},
        {9600, kParityOdd, 7, kTwoStopBits, CS7, PARENB | PARODD, true},
        {57600, kParityEven, 6, kOneStopBit, CS6, PARENB, false},
        {2400, kParityMark, 5, kOneStopBit, CS5, PARENB | PARODD | CMSPAR, false},
        {38400, kParitySpace, 8, kOneStopBit, CS8, PARENB | CMSPAR, false},
    };
    for (const Case& c : cases) {
        termios tio{};
        tio.c_lflag = ICANON | ECHO;
        tio.c_cflag = CRTSCTS | PARENB | CSTOPB;
        tio.c_iflag = IXON | IXOFF;
        ASSERT_TRUE(ConfigureTermios(tio, c.baud, c.parity, c.dataBits, c.stopBits));
        EXPECT_EQ(BaudRateOf(cfgetispeed(&tio)), c.baud);
        EXPECT_EQ(BaudRateOf(cfgetospeed(&tio)), c.baud);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.expectSize);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.expectParity);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
}

TEST(SerialPort, OpenSetsTheDeviceToRawAtTheBaudRate) {
    for (int baud : {2400, 4800, 57600}) {
        PtyPair pty;
        ASSERT_TRUE(pty.Valid());
        SerialPort port;
        port.closePauseMs = 0;
        ASSERT_TRUE(port.Open(pty.SlavePath(), baud, kParityNone, 8, kTwoStopBits, true))
            << port.errorText;
        EXPECT_FALSE(port.openFailed);
        EXPECT_EQ(port.baudRate, baud);
        termios tio{};
        ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);
        EXPECT_EQ(BaudRateOf(cfgetospeed(&tio)), baud);
        EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_TRUE(port.Close());
    }
}

TEST(SerialPort, UnsupportedSettingsFailAndBeepUnlessQuiet) {
    struct Case {
        int baud, dataBits, stopBits;
        bool quiet;
    };
    const Case cases[] = {{1234, 8, 0, false}, {4800, 9, 0, false}, {4800, 8, 1, true}};
    for (const Case& c : cases) {
        PtyPair pty;
        SerialPort port;
        port.closePauseMs = 0;
        int beeps = 0;
        port.errorBeep = [&beeps] { ++beeps; };
        EXPECT_FALSE(port.Open(pty.SlavePath(), c.baud, 0, c.dataBits, c.stopBits, c.quiet));
        EXPECT_TRUE(port.openFailed);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.errorText,
                  "Comm Open Error! [22].\nThe port (" + pty.SlavePath() + ") may be in use.");
        EXPECT_EQ(beeps, c.quiet ? 0 : 1);
    }
}

TEST(SerialPort, PortHeldElsewhereIsAccessDenied) {
    PtyPair pty;
    const int holder = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    SerialPort port;
    port.closePauseMs = 0;
    EXPECT_FALSE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    EXPECT_EQ(port.errorText, "Access Denied!\nThe communications port may be in use.");
    close(holder);
    EXPECT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true)) << port.errorText;
}

TEST(SerialPort, ReadAfterCloseReturnsNothingAndWritesReachTheReceiver) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    char buffer[64];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0u);  // nothing arrived yet
    ASSERT_TRUE(pty.WriteAll("$GPGGA"));
    ASSERT_TRUE(WaitUntil([&] { return port.Read(buffer, sizeof buffer) == 6; }, 1000));

    const std::string sentence(kEnableGgaSentence);
    EXPECT_EQ(port.Write(sentence.data(), sentence.size()), sentence.size());
    EXPECT_EQ(pty.ReadFor(200), sentence);

    ASSERT_TRUE(port.Close());
    ASSERT_TRUE(pty.WriteAll("$GPRMC"));
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0u);
}

TEST(SerialPort, CloseWaitsTheConfiguredPause) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 150;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

// A checksummed GGA sentence with a serial number in its altitude.
std::string GgaSentence(int n) {
    char body[96];
    std::snprintf(body, sizeof body, "GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,%d.0,M,,,,",
                  n);
    unsigned char sum = 0;
    for (const char* p = body; *p; ++p) sum ^= static_cast<unsigned char>(*p);
    char sentence[128];
    std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, sum);
    return sentence;
}

TEST(SerialReader, ReadsAContinuousStreamInBoundedChunksAndParsesEverySentence) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));

    std::mutex mutex;
    std::vector<size_t> chunkSizes;
    GpsFix fix;
    port.StartReader([&](const char* bytes, size_t length) {
        std::lock_guard lock(mutex);
        chunkSizes.push_back(length);
        ProcessBytes(fix, bytes, length);
    });
    EXPECT_TRUE(port.ReaderRunning());

    constexpr int kSentences = 300;
    std::string stream;
    for (int i = 1; i <= kSentences; ++i) stream += GgaSentence(i);
    // Odd-sized writes so that sentences straddle the reads.
    for (size_t pos = 0; pos < stream.size(); pos += 777) {
        ASSERT_TRUE(pty.WriteAll(stream.substr(pos, 777)));
    }
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return fix.ggaCount == kSentences;
        },
        5000));
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.ReaderRunning());

    std::lock_guard lock(mutex);
    EXPECT_DOUBLE_EQ(fix.ggaAltitude, kSentences);
    EXPECT_EQ(fix.sentenceCount, static_cast<uint32_t>(kSentences));
    size_t total = 0;
    for (size_t size : chunkSizes) {
        EXPECT_LE(size, kReadChunkSize);
        total += size;
    }
    EXPECT_EQ(total, stream.size());
}

TEST(SerialReader, FeedsTheSharedFix) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    SharedGpsFix fix;
    port.StartReader(fix);
    ASSERT_TRUE(pty.WriteAll(GgaSentence(42)));
    ASSERT_TRUE(WaitUntil([&] { return fix.SentenceCount() == 1; }, 2000));
    EXPECT_DOUBLE_EQ(fix.Snapshot().ggaAltitude, 42.0);
}

TEST(SerialReader, HangUpEndsTheReaderPromptlyWithoutSpinning) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    std::atomic<int> chunks{0};
    port.StartReader([&](const char*, size_t) { ++chunks; });
    ASSERT_TRUE(pty.WriteAll(GgaSentence(1)));
    ASSERT_TRUE(WaitUntil([&] { return chunks.load() > 0; }, 2000));

    const auto start = std::chrono::steady_clock::now();
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !port.ReaderRunning(); }, 1000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(port.Close());
}

TEST(SerialReader, CloseStopsAWaitingReaderAtOnce) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    SharedGpsFix fix;
    port.StartReader(fix);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_FALSE(port.ReaderRunning());

    // Reopening runs a fresh reader.
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    port.StartReader(fix);
    ASSERT_TRUE(pty.WriteAll(GgaSentence(7)));
    EXPECT_TRUE(WaitUntil([&] { return fix.SentenceCount() == 1; }, 2000));
}

}  // namespace
}  // namespace trakomer
