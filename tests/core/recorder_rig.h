#pragma once
// A recording engine wired to recording stand-ins, driven by a millisecond
// loop that feeds the receiver once per second.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/recorder.h"
#include "core/speaker.h"
#include "gps/shared_fix.h"
#include "tests/gps/nmea_test_util.h"

namespace trakomer::testing {

using trakomer::test::WithChecksum;

// One second of receiver output at (lat, lon) degrees, time 12:00:00 + s
// on 15 March 2009.
inline std::string ReceiverSecond(int s, double lat, double lon, double knots = 0,
                                  char status = 'A', int fixMode = 0, double altitude = 100) {
    const int hh = 12 + s / 3600, mm = (s / 60) % 60, ss = s % 60;
    char time[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", hh, mm, ss);
    auto angle = [](double v, int degDigits, char pos, char neg) {
        const double a = std::fabs(v);
        const int deg = static_cast<int>(a);
        char out[32];
        std::snprintf(out, sizeof out, "%0*d%07.4f,%c", degDigits, deg, (a - deg) * 60.0,
                      v >= 0 ? pos : neg);
        return std::string(out);
    };
    char rest[64];
    std::snprintf(rest, sizeof rest, ",%.2f,0.0,150309,,", knots);
    std::string out = WithChecksum("GPRMC," + std::string(time) + "," + status + "," +
                                   angle(lat, 2, 'N', 'S') + "," + angle(lon, 3, 'E', 'W') + rest);
    char alt[32];
    std::snprintf(alt, sizeof alt, "%.1f", altitude);
    out += WithChecksum("GPGGA," + std::string(time) + "," + angle(lat, 2, 'N', 'S') + "," +
                        angle(lon, 3, 'E', 'W') + ",1,08,1.0," + alt + ",M,0.0,M,,");
    if (fixMode != 0) out += WithChecksum("GPGSA,A," + std::to_string(fixMode) + ",,,,,,,,,,,,,,,");
    return out;
}

struct RecordingLog : Dialogs, Speaker, TrackSaver, RecordingObserver, TimerControl {
    std::vector<std::string> said, messages, questions;
    std::vector<RecordingEvent> events;
    std::vector<TimerPlan> plans;
    bool answer = true;
    bool saveOk = true;
    int savedCount = -1;
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        messages.push_back(caption + "|" + text);
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + "|" + text);
        return answer;
    }
    void Speak(const std::string& text, bool) override { said.push_back(text); }
    std::string AutoTrackName() override { return "/tmp/x.trz"; }
    bool WriteTrz(const std::string&, const Track& t) override {
        savedCount = t.lastIndex;
        return saveOk;
    }
    void OnRecordingEvent(RecordingEvent e) override { events.push_back(e); }
    void Arm(const TimerPlan& p) override { plans.push_back(p); }
};

struct Rig {
    Track track;
    SharedGpsFix gps;
    RecordingLog log;
    RecordingOptions options;
    std::unique_ptr<Recorder> recorder;
    int64_t nowMs = 0;

    explicit Rig(int profile, bool autoStart = false, bool autoStop = false,
                 RecordingJournal* journal = nullptr) {
        options.userProfile = profile;
        options.autoStart = autoStart;
        options.autoStop = autoStop;
        RecordingPorts ports;
        ports.dialogs = &log;
        ports.speaker = &log;
        ports.saver = &log;
        ports.observer = &log;
        ports.timers = &log;
        ports.journal = journal;
        recorder = std::make_unique<Recorder>(track, gps, options, ports);
        recorder->ArmTimers();
    }

    void Feed(const std::string& bytes) { gps.Feed(bytes.data(), bytes.size()); }

    // Runs `seconds` of time; at each whole second `second(s)` gives the
    // receiver's bytes (empty for silence). Ticks after data at equal times.
    void Run(int seconds, const std::function<std::string(int)>& second) {
        const int point = log.plans.back().pointMs;
        for (int step = 0; step < seconds * 10; ++step) {
            nowMs += 100;
            if (nowMs % 1000 == 0) Feed(second(static_cast<int>(nowMs / 1000)));
            if (nowMs % 400 == 0) recorder->OnCollectionTick();
            if (nowMs % point == 0) recorder->OnPointTick();
        }
    }
};

}  // namespace trakomer::testing
