#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "speech/audio_player.h"
#include "speech/flite_voice.h"
#include "speech/speech_output.h"
#include "tests/speech/speech_test_util.h"

namespace trakomer::speech {
namespace {

using testing::ReadBytes;
using testing::ScopedEnv;
using testing::TempFolder;
using Ms = std::chrono::milliseconds;

const char* const kLongSentence =
    "Good evening, this sentence is long enough to be cut off by the next one.";

// The samples Flite makes for text, as they would reach the audio device.
std::vector<char> ReferenceSamples(const TempFolder& folder, const std::string& text) {
    std::string path = folder.File("reference.wav");
    FliteVoice voice;
    EXPECT_TRUE(voice.SynthesizeToFile(text, path));
    LoadedWave wave(path);
    std::remove(path.c_str());
    EXPECT_TRUE(wave.Valid());
    if (!wave.Valid()) return {};
    auto data = reinterpret_cast<const char*>(wave.Data());
    return {data, data + wave.Bytes()};
}

bool Contains(const std::vector<char>& haystack, const std::vector<char>& needle) {
    return !needle.empty() &&
           std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
               haystack.end();
}

// Length of 16-bit mono samples at the voice's 8000 Hz.
int64_t BytesToMs(size_t bytes) { return static_cast<int64_t>(bytes) * 1000 / (2 * 8000); }

int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - since).count();
}

// Runs the disk audio driver writing to a file in the folder; the file is
// complete once the output object is gone.
struct DiskAudio {
    explicit DiskAudio(const TempFolder& folder)
        : file(folder.File("heard.raw")),
          driver("SDL_AUDIODRIVER", "disk"),
          output("SDL_DISKAUDIOFILE", file) {}
    std::string file;
    ScopedEnv driver;
    ScopedEnv output;
};

TEST(FliteVoiceTest, RegisteredWithTheProgramsProsody) {
    FliteVoice voice;
    ASSERT_TRUE(voice.Ready());
    EXPECT_STREQ(voice.Name(), "cmu_us_kal_diphone");
    EXPECT_FLOAT_EQ(voice.Feature("int_f0_target_mean"), 130.0f);
    EXPECT_FLOAT_EQ(voice.Feature("int_f0_target_stddev"), 11.0f);
    EXPECT_FLOAT_EQ(voice.Feature("duration_stretch"), 0.8f);
}

TEST(SpeechOutputTest, SpokenSentenceReachesTheDeviceWhole) {
    TempFolder folder;
    std::vector<char> expected = ReferenceSamples(folder, "Distance");
    {
        DiskAudio disk(folder);
        Settings settings;
        SpeechOutput output(settings, folder.Path());
        output.Speak("Distance", true);
    }
    EXPECT_TRUE(Contains(ReadBytes(folder.File("heard.raw")), expected));
    EXPECT_TRUE(folder.NamesStartingWith("FLT").empty());
}

TEST(SpeechOutputTest, SecondRequestCutsTheFirst) {
    TempFolder folder;
    std::vector<char> first = ReferenceSamples(folder, "Press start button");
    std::vector<char> second = ReferenceSamples(folder, "Speed");
    {
        DiskAudio disk(folder);
        Settings settings;
        SpeechOutput output(settings, folder.Path());
        output.Speak("Press start button", false);
        output.Speak("Speed", false);
        // Long enough for both sentences, had the first not been cut.
        std::this_thread::sleep_for(Ms(BytesToMs(first.size() + second.size()) + 300));
    }
    std::vector<char> heard = ReadBytes(folder.File("heard.raw"));
    EXPECT_TRUE(Contains(heard, second));
    EXPECT_FALSE(Contains(heard, first));
    EXPECT_TRUE(folder.NamesStartingWith("FLT").empty());
}

// Counts files created in a folder while a request runs.
int FilesCreatedWhile(const std::string& folder, const std::function<void()>& action) {
    int fd = inotify_init1(IN_NONBLOCK);
    if (fd < 0) return -1;
    inotify_add_watch(fd, folder.c_str(), IN_CREATE);
    action();
    int created = 0;
    alignas(inotify_event) char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + got;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            if (event->mask & IN_CREATE) ++created;
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(fd);
    return created;
}

TEST(SpeechOutputTest, VoiceSwitchDecidesWhetherAnythingHappens) {
    struct Case {
        int voice;
        int filesCreated;
        bool heard;
    };
    for (Case c : {Case{0, 0, false}, Case{1, 1, true}}) {
        SCOPED_TRACE(c.voice);
        TempFolder folder;
        TempFolder audioFolder;
        {
            DiskAudio disk(audioFolder);
            Settings settings;
            settings.mVoice = c.voice;
            SpeechOutput output(settings, folder.Path());
            EXPECT_EQ(FilesCreatedWhile(folder.Path(), [&] { output.Speak("Battery", true); }),
                      c.filesCreated);
        }
        EXPECT_EQ(!ReadBytes(audioFolder.File("heard.raw")).empty(), c.heard);
        EXPECT_TRUE(folder.NamesStartingWith("FLT").empty());
    }
}

TEST(SpeechOutputTest, WaitingBlocksForTheSoundAndNotWaitingDoesNot) {
    TempFolder folder;
    std::vector<char> samples = ReferenceSamples(folder, kLongSentence);
    const int64_t soundMs = BytesToMs(samples.size());
    ASSERT_GT(soundMs, 1500);

    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    Settings settings;
    SpeechOutput output(settings, folder.Path());
    auto start = std::chrono::steady_clock::now();
    output.Speak(kLongSentence, true);
    EXPECT_GE(ElapsedMs(start), soundMs);

    start = std::chrono::steady_clock::now();
    output.Speak(kLongSentence, false);
    EXPECT_LT(ElapsedMs(start), soundMs / 2);
    EXPECT_TRUE(folder.NamesStartingWith("FLT").empty());
}

TEST(SpeechOutputTest, WithoutAudioDeviceRequestsAreLostQuickly) {
    TempFolder folder;
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    Settings settings;
    SpeechOutput output(settings, folder.Path());
    auto start = std::chrono::steady_clock::now();
    output.Speak(kLongSentence, true);
    output.Speak(kLongSentence, true);
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_TRUE(folder.NamesStartingWith("FLT").empty());
    EXPECT_EQ(output.PlayAlarm(folder.File("none.wav"), true), 0);
}

TEST(SpeechOutputTest, PlayingLeavesStopSignalsToTheProgram) {
    TempFolder folder;
    DiskAudio disk(folder);
    Settings settings;
    SpeechOutput output(settings, folder.Path());
    output.Speak("Stop", true);
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
}

TEST(SpeechOutputTest, AlarmPlaysAWaveFileWhateverTheVoiceSwitch) {
    TempFolder folder;
    std::vector<char> expected = ReferenceSamples(folder, "Alarm");
    FliteVoice voice;
    ASSERT_TRUE(voice.SynthesizeToFile("Alarm", folder.File("alarm.wav")));
    {
        DiskAudio disk(folder);
        Settings settings;
        settings.mVoice = 0;
        SpeechOutput output(settings, folder.Path());
        EXPECT_EQ(output.PlayAlarm(folder.File("missing.wav"), true), 0);
        EXPECT_EQ(output.PlayAlarm(folder.File("alarm.wav"), true), 1);
    }
    EXPECT_TRUE(Contains(ReadBytes(folder.File("heard.raw")), expected));
}

}  // namespace
}  // namespace trakomer::speech
