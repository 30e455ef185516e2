// chimebox.dll for real under Wine: Wine's XAudio2, COM and file system, with the sound going
// into the bench's ALSA file sink.
#include <gtest/gtest.h>
#include <hostkit/wave_files.h>
#include <objbase.h>
#include <testkit/case_name.h>
#include <testkit/hostile_formats.h>

#include <chrono>
#include <thread>
#include <vector>

#include "chimebox_harness.h"

namespace chimebox::wine {
namespace {

using Clock = std::chrono::steady_clock;
namespace wave = hostkit::wave;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(ChimeboxLifecycle, InitializeStoresBothHandlesAndReleaseClearsThem) {
    JavaSide java;
    java.initialize();
    EXPECT_EQ(java.thrown(), std::nullopt);
    EXPECT_NE(java.field("xAudioRef"), 0);
    EXPECT_NE(java.field("xAudioMasteringVoiceRef"), 0);
    java.release();
    EXPECT_EQ(java.thrown(), std::nullopt);
    EXPECT_EQ(java.field("xAudioRef"), 0);
    EXPECT_EQ(java.field("xAudioMasteringVoiceRef"), 0);
    java.release();
    EXPECT_EQ(java.thrown(), std::nullopt);
}

struct SoundCase {
    const char* name;
    hostkit::riff::Bytes file;
    double seconds;  // how long the sound lasts, loop included
};

class ChimeboxPlays : public ::testing::TestWithParam<SoundCase> {};

TEST_P(ChimeboxPlays, ReturnsAfterTheSoundAndTheSinkHeardIt) {
    const SoundCase& c = GetParam();
    TempSoundFile file(c.file);
    JavaSide java;
    clearSoundSink();
    java.initialize();
    ASSERT_EQ(java.thrown(), std::nullopt);

    const auto start = Clock::now();
    java.play(file.path());
    const double took = secondsSince(start);
    java.release();

    EXPECT_EQ(java.thrown(), std::nullopt);
    // The file sink over the null device has no clock of its own: Wine drains it about 1.5
    // times faster than real time. What the sink heard is exact; the wait is only bounded.
    EXPECT_GE(took, c.seconds * 0.5);
    EXPECT_LE(took, c.seconds + 2.0);
    const SinkReport sink = readSoundSink();
    ASSERT_TRUE(sink.found) << "nothing reached the sound sink";
    EXPECT_NEAR(sink.audibleSeconds, c.seconds, 0.1)
        << sink.rate << " Hz, " << sink.channels << " channels, " << sink.bits << " bits";
}

const wave::Tone kOneSecond{22050, 1, 1.0, 440.0};

INSTANTIATE_TEST_SUITE_P(
    Formats, ChimeboxPlays,
    ::testing::Values(SoundCase{"Pcm16", wave::pcm(kOneSecond, 16), 1.0},
                      SoundCase{"Pcm8", wave::pcm(kOneSecond, 8), 1.0},
                      SoundCase{"Pcm16Stereo48k", wave::pcm({48000, 2, 1.0, 330.0}, 16), 1.0},
                      SoundCase{"IeeeFloat", wave::ieeeFloat(kOneSecond), 1.0},
                      SoundCase{"ExtensiblePcm", wave::extensiblePcm16(kOneSecond), 1.0},
                      // 44 blocks of 500 frames.
                      SoundCase{"Adpcm", wave::adpcmNoise(22050, 1.0), 22000.0 / 22050},
                      // Frames 11025..22049 (the second half) are heard twice.
                      SoundCase{"LoopedPcm", wave::loopedPcm16(kOneSecond, 11025, 22049), 1.5}),
    testkit::CaseName{});

// Wine's XAudio2 is built on FAudio, which crashes or plays forever on these; XAudio2 documents
// each as invalid for a source voice or its buffer.
std::vector<testkit::wave::HostileFormat> documentedHostileFormats() {
    std::vector<testkit::wave::HostileFormat> formats = testkit::wave::hostileFormats();
    std::erase_if(formats,
                  [](const testkit::wave::HostileFormat& format) { return !format.documented; });
    return formats;
}

class ChimeboxHostileFormat : public ::testing::TestWithParam<testkit::wave::HostileFormat> {};

TEST_P(ChimeboxHostileFormat, IsRefusedBeforeASourceVoiceExists) {
    TempSoundFile file(GetParam().file);
    JavaSide java;
    java.initialize();
    ASSERT_EQ(java.thrown(), std::nullopt);
    java.play(file.path());
    EXPECT_EQ(java.thrown(), GetParam().refusal);
    java.release();
}

INSTANTIATE_TEST_SUITE_P(Table, ChimeboxHostileFormat,
                         ::testing::ValuesIn(documentedHostileFormats()), testkit::CaseName{});

// Wine's XAudio2 crashes on every WMA Pro source voice: under Wine a well-formed one is refused
// like an invalid format, and the host lives on.
TEST(ChimeboxWmaPro, IsRefusedUnderWineInsteadOfCrashingTheHost) {
    namespace hostile = testkit::wave::hostile;
    TempSoundFile file(hostile::xwma(hostile::wmaFormat(0x0162, 2, 16),
                                     hostile::packetTable({4096, 8192, 12288, 16384})));
    JavaSide java;
    java.initialize();
    java.play(file.path());
    EXPECT_EQ(java.thrown(), testkit::wave::kRefusedVoice);
    java.release();
}

TEST(ChimeboxMessages, PlayBeforeInitializeNamesTheEngineField) {
    JavaSide java;
    java.play(L"C:\\does\\not\\matter.wav");
    EXPECT_EQ(java.thrown(), "Failed to play, xAudioRef not initialized");
}

TEST(ChimeboxMessages, MissingFileGivesItsCodeAndPath) {
    JavaSide java;
    java.initialize();
    java.play(L"C:\\no such folder\\caf\u00e9.wav");
    EXPECT_EQ(java.thrown(),
              "Failed reading WAV file: -0X7FF8FFFD (C:\\no such folder\\caf\xc3\xa9.wav)");
    java.play(L"C:\\missing.wav");
    EXPECT_EQ(java.thrown(), "Failed reading WAV file: -0X7FF8FFFE (C:\\missing.wav)");
    java.release();
}

TEST(ChimeboxMessages, MalformedFileGivesTheReaderCode) {
    TempSoundFile file(
        hostkit::riff::riff("WAVE", hostkit::riff::chunk("data", hostkit::riff::zeros(40))));
    JavaSide java;
    java.initialize();
    java.play(file.path());
    const std::string path = file.path().string();
    EXPECT_EQ(java.thrown(), "Failed reading WAV file: -0X7FFFBFFB (" + path + ")");
    java.release();
}

TEST(ChimeboxMessages, ClassWithoutEngineFieldStoresNothing) {
    JavaSide java;
    java.player = java.jvm.newObject(java.jvm.defineClass("Partial", {"xAudioMasteringVoiceRef"}));
    java.initialize();
    EXPECT_EQ(java.thrown(), "Cannot find long JNI field: xAudioRef");
    EXPECT_EQ(java.field("xAudioMasteringVoiceRef"), 0);
    // The failed call left the apartment: this thread joins it afresh.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
}

TEST(ChimeboxMessages, SingleThreadedApartmentRefusesTheEngine) {
    JavaSide java;
    std::optional<std::string> message;
    std::thread caller([&] {
        ASSERT_GE(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), 0);
        java.initialize();
        message = java.thrown();
        ::CoUninitialize();
    });
    caller.join();
    EXPECT_EQ(message, "Failed to init COM: -0X7FFEFEFA");
    EXPECT_EQ(java.field("xAudioRef"), 0);
    EXPECT_EQ(java.field("xAudioMasteringVoiceRef"), 0);
}

TEST(ChimeboxPlayback, TwoThreadsPlayOnOneObjectAtOnce) {
    TempSoundFile first(wave::pcm({22050, 1, 0.5, 440.0}, 16));
    TempSoundFile second(wave::pcm({22050, 1, 0.5, 660.0}, 16));
    JavaSide java;
    java.initialize();
    ASSERT_EQ(java.thrown(), std::nullopt);
    std::optional<std::string> otherMessage;
    std::thread other([&] {
        java.play(second.path());
        otherMessage = java.thrown();
    });
    java.play(first.path());
    other.join();
    EXPECT_EQ(java.thrown(), std::nullopt);
    EXPECT_EQ(otherMessage, std::nullopt);
    java.release();
}

}  // namespace
}  // namespace chimebox::wine
