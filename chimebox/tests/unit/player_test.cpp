#include <gtest/gtest.h>
#include <hostkit/jni_host.h>
#include <hostkit/riff_writer.h>
#include <testkit/case_name.h>

#include <testkit/failing_allocations.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fake_audio.h"
#include "fake_files.h"
#include "java_object.h"
#include "player.h"

namespace chimebox {
namespace {

using namespace hostkit::riff;
using testing::FakeAudioPlatform;
using testing::FakeFileSystem;
using Calls = std::vector<std::string>;

constexpr HRESULT kChangedMode = static_cast<HRESULT>(0x80010106u);

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() {
        jvm.defineClass(kExceptionClass, {});
        playerClass =
            jvm.defineClass("org/halvex/xaudio/WavPlayer", {kEngineField, kMasteringVoiceField});
        player = jvm.newObject(playerClass);
    }

    ~PlayerTest() override {
        // Whatever a test left in the object is given back, so the fake can check its books.
        if (jvm.longField(player, kEngineField) != 0 ||
            jvm.longField(player, kMasteringVoiceField) != 0) {
            releasePlayer(jvm.env(), player, audio);
        }
        EXPECT_EQ(jvm.pinnedStrings(), 0u);
    }

    void initialize() { initializePlayer(jvm.env(), player, audio); }
    void release() { releasePlayer(jvm.env(), player, audio); }
    void play(const std::u16string& path) {
        playFile(jvm.env(), player, jvm.newString(path), audio, files);
    }

    std::optional<std::string> thrown() {
        const auto exception = jvm.takeException();
        if (!exception) {
            return std::nullopt;
        }
        EXPECT_EQ(exception->className, kExceptionClass);
        return exception->message;
    }

    jlong engineField() { return jvm.longField(player, kEngineField); }
    jlong voiceField() { return jvm.longField(player, kMasteringVoiceField); }

    // Playback tests start from a ready object without going through initialize.
    void makeReady() {
        jvm.setLongField(player, kEngineField, reinterpret_cast<std::intptr_t>(audio.makeEngine()));
        jvm.setLongField(player, kMasteringVoiceField,
                         reinterpret_cast<std::intptr_t>(audio.makeVoice()));
    }

    hostkit::JniHost jvm;
    FakeAudioPlatform audio;
    FakeFileSystem files;
    jclass playerClass;
    jobject player;
};

// ---- initialize -------------------------------------------------------------------------

struct InitializeCase {
    const char* name;
    std::function<void(FakeAudioPlatform&)> script;
    std::optional<std::string> message;
    Calls calls;
};

class Initialize : public PlayerTest, public ::testing::WithParamInterface<InitializeCase> {};

TEST_P(Initialize, StoresBothHandlesOrUndoesItself) {
    const InitializeCase& c = GetParam();
    c.script(audio);

    initialize();

    EXPECT_EQ(thrown(), c.message);
    EXPECT_EQ(audio.calls(), c.calls);
    if (c.message) {
        EXPECT_EQ(engineField(), 0);
        EXPECT_EQ(voiceField(), 0);
        EXPECT_EQ(audio.apartmentDepth(), 0);
    } else {
        EXPECT_NE(engineField(), 0);
        EXPECT_NE(voiceField(), 0);
        EXPECT_EQ(audio.apartmentDepth(), 1);
        EXPECT_EQ(audio.masteringArgs.inputChannels, 0u);
        EXPECT_EQ(audio.masteringArgs.inputSampleRate, 0u);
        EXPECT_EQ(audio.masteringArgs.flags, 0u);
        EXPECT_EQ(audio.masteringArgs.streamCategory, 6u);
    }
}

const Calls kLoadVersioned{"CoInitializeEx", "LoadLibrary",
                           "GetProcAddress XAudio2CreateWithVersionInfo"};
const Calls kLoadPlain{"CoInitializeEx", "LoadLibrary",
                       "GetProcAddress XAudio2CreateWithVersionInfo",
                       "GetProcAddress XAudio2Create"};

Calls plus(Calls calls, std::initializer_list<std::string> more) {
    calls.insert(calls.end(), more);
    return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Initialize,
    ::testing::Values(
        InitializeCase{"VersionedFactory", [](FakeAudioPlatform&) {}, std::nullopt,
                       plus(kLoadVersioned, {"XAudio2CreateWithVersionInfo 0 1 167772170",
                                             "CreateMasteringVoice"})},
        InitializeCase{"PlainFactoryWhenVersionedMissing",
                       [](FakeAudioPlatform& a) { a.exportsVersioned = false; }, std::nullopt,
                       plus(kLoadPlain, {"XAudio2Create 0 1", "CreateMasteringVoice"})},
        InitializeCase{"ApartmentOfAnotherMode",
                       [](FakeAudioPlatform& a) { a.apartmentResult = kChangedMode; },
                       "Failed to init COM: -0X7FFEFEFA", Calls{"CoInitializeEx"}},
        InitializeCase{"AlreadyInApartmentIsSuccess",
                       [](FakeAudioPlatform& a) { a.apartmentResult = 1; }, std::nullopt,
                       plus(kLoadVersioned, {"XAudio2CreateWithVersionInfo 0 1 167772170",
                                             "CreateMasteringVoice"})},
        InitializeCase{"LibraryMissing", [](FakeAudioPlatform& a) { a.libraryLoads = false; },
                       "Failed to init XAudio2 engine: -0X7FF8FF82",
                       Calls{"CoInitializeEx", "LoadLibrary", "CoUninitialize"}},
        InitializeCase{"LibraryFailsWithoutErrorCode",
                       [](FakeAudioPlatform& a) {
                           a.libraryLoads = false;
                           a.loadError = 0;
                       },
                       "Failed to init XAudio2 engine: -0X7FFFBFFB",
                       Calls{"CoInitializeEx", "LoadLibrary", "CoUninitialize"}},
        InitializeCase{"NoEntryPoint",
                       [](FakeAudioPlatform& a) { a.exportsVersioned = a.exportsPlain = false; },
                       "Failed to init XAudio2 engine: -0X7FF8FF81",
                       plus(kLoadPlain, {"CoUninitialize"})},
        InitializeCase{
            "FactoryFails", [](FakeAudioPlatform& a) { a.factoryResult = kOutOfMemory; },
            "Failed to init XAudio2 engine: -0X7FF8FFF2",
            plus(kLoadVersioned, {"XAudio2CreateWithVersionInfo 0 1 167772170", "CoUninitialize"})},
        InitializeCase{
            "MasteringVoiceFails",
            [](FakeAudioPlatform& a) { a.masteringResult = static_cast<HRESULT>(0x88890008u); },
            "Failed creating mastering voice: -0X7776FFF8",
            plus(kLoadVersioned, {"XAudio2CreateWithVersionInfo 0 1 167772170",
                                  "CreateMasteringVoice", "Release", "CoUninitialize"})}),
    testkit::CaseName{});

TEST_F(PlayerTest, LibraryIsLoadedOncePerProcess) {
    initialize();
    release();
    initialize();
    EXPECT_EQ(thrown(), std::nullopt);
    const Calls calls = audio.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "LoadLibrary"), 1);
    EXPECT_EQ(calls.back(), "CreateMasteringVoice");
}

TEST_F(PlayerTest, FailedLoadIsTriedAgain) {
    audio.libraryLoads = false;
    initialize();
    ASSERT_TRUE(thrown());
    audio.libraryLoads = true;
    initialize();
    EXPECT_EQ(thrown(), std::nullopt);
    const Calls calls = audio.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "LoadLibrary"), 2);
}

TEST_F(PlayerTest, LibraryWithoutEntryPointsIsNeverCalled) {
    audio.exportsVersioned = audio.exportsPlain = false;
    initialize();
    ASSERT_TRUE(thrown());
    initialize();
    EXPECT_EQ(thrown(), "Failed to init XAudio2 engine: -0X7FF8FF81");
    const Calls calls = audio.calls();
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"CoInitializeEx", "CoUninitialize"}));
    EXPECT_EQ(audio.apartmentDepth(), 0);
}

TEST_F(PlayerTest, SecondInitializeOverwritesBothFields) {
    initialize();
    const jlong firstEngine = engineField();
    const jlong firstVoice = voiceField();
    initialize();
    EXPECT_EQ(thrown(), std::nullopt);
    EXPECT_NE(engineField(), firstEngine);
    EXPECT_NE(voiceField(), firstVoice);
    // The first pair is unreachable for the object now; give it back for the fake's books.
    audio.destroyVoice(
        reinterpret_cast<AudioPlatform::Voice>(static_cast<std::intptr_t>(firstVoice)));
    audio.releaseEngine(
        reinterpret_cast<AudioPlatform::Engine>(static_cast<std::intptr_t>(firstEngine)));
    release();
    release();
}

// A class that cannot hold the pair gets neither; the call gives back all it made (the fake's
// books and the JVM stand-in's trap on calls with an exception pending check the rest).
TEST_F(PlayerTest, ClassMissingAFieldStoresNothingAndReleasesAll) {
    const std::pair<const char*, const char*> cases[] = {{kMasteringVoiceField, kEngineField},
                                                         {kEngineField, kMasteringVoiceField}};
    for (const auto& [kept, missing] : cases) {
        player = jvm.newObject(jvm.defineClass(std::string("Only_") + kept, {kept}));
        initialize();
        EXPECT_EQ(thrown(), std::string("Cannot find long JNI field: ") + missing);
        EXPECT_EQ(jvm.longField(player, kept), 0);
        const Calls calls = audio.calls();
        EXPECT_EQ(Calls(calls.end() - 3, calls.end()),
                  (Calls{"DestroyVoice", "Release", "CoUninitialize"}));
        EXPECT_EQ(audio.apartmentDepth(), 0);
    }
}

// Two first initialize calls at once: the second must not find the library cached without its
// entry points while the first is still looking them up.
TEST_F(PlayerTest, ConcurrentFirstCallsBothCreateAnEngine) {
    std::promise<void> secondDone;
    const std::shared_future<void> gate = secondDone.get_future().share();
    std::atomic<int> lookups{0};
    audio.beforeEntryPointLookup = [&] {
        if (lookups.fetch_add(1) == 0) {
            gate.wait();
        }
    };
    AudioPlatform::Engine first = nullptr;
    AudioPlatform::Engine second = nullptr;
    HRESULT firstResult = kFail;
    std::thread early([&] { firstResult = createEngine(audio, audio.cache, first); });
    while (lookups.load() == 0) {
        std::this_thread::yield();
    }
    const HRESULT secondResult = createEngine(audio, audio.cache, second);
    secondDone.set_value();
    early.join();
    EXPECT_EQ(secondResult, kOk);
    EXPECT_EQ(firstResult, kOk);
    for (AudioPlatform::Engine engine : {first, second}) {
        if (engine != nullptr) {
            audio.releaseEngine(engine);
        }
    }
}

TEST_F(PlayerTest, FieldsMayLiveInASuperclass) {
    const jclass sub = jvm.defineClass("Sub", {}, playerClass);
    player = jvm.newObject(sub);
    initialize();
    EXPECT_EQ(thrown(), std::nullopt);
    EXPECT_NE(engineField(), 0);
    EXPECT_NE(voiceField(), 0);
}

// ---- release ----------------------------------------------------------------------------

TEST_F(PlayerTest, ReleaseDestroysVoiceThenEngineThenLeavesApartment) {
    initialize();
    const std::size_t before = audio.calls().size();
    release();
    const Calls calls = audio.calls();
    EXPECT_EQ(Calls(calls.begin() + static_cast<long>(before), calls.end()),
              (Calls{"DestroyVoice", "Release", "CoUninitialize"}));
    EXPECT_EQ(engineField(), 0);
    EXPECT_EQ(voiceField(), 0);
    EXPECT_EQ(audio.apartmentDepth(), 0);
    EXPECT_EQ(thrown(), std::nullopt);
}

TEST_F(PlayerTest, ReleaseOfAnEmptyObjectOnlyLeavesTheApartment) {
    release();
    release();
    EXPECT_EQ(audio.calls(), (Calls{"CoUninitialize", "CoUninitialize"}));
    EXPECT_EQ(thrown(), std::nullopt);
}

// ---- play -------------------------------------------------------------------------------

const Bytes kPcm =
    riff("WAVE", cat({chunk("fmt ", formatBase(1, 2, 44100, 16)), chunk("data", zeros(400))}));
const Bytes kLooped =
    riff("WAVE", cat({chunk("fmt ", formatBase(1, 2, 44100, 16)), chunk("data", zeros(400)),
                      chunk("smpl", smplBody({{0, 20, 69}}))}));
const Bytes kXwma =
    riff("XWMA", cat({chunk("fmt ", formatEx(0x0161, 2, 44100, 16, {}, 4)),
                      chunk("data", zeros(64)), chunk("dpds", cat({le32(4096), le32(8192)}))}));

const Bytes kWmaPro =
    riff("XWMA", cat({chunk("fmt ", formatEx(0x0162, 2, 44100, 16, {}, 4)),
                      chunk("data", zeros(64)), chunk("dpds", cat({le32(4096), le32(8192)}))}));

const Calls kPlayed{"CreateSourceVoice", "SubmitSourceBuffer", "Start 0 0", "GetState",
                    "Sleep 10",          "GetState",           "Sleep 10",  "GetState",
                    "Sleep 10",          "DestroyVoice"};

struct PlayCase {
    const char* name;
    std::function<void(FakeAudioPlatform&)> script;
    Bytes file;
    std::optional<std::string> message;
    Calls calls;
};

class Play : public PlayerTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(Play, RunsTheStagesInOrderAndCleansUp) {
    const PlayCase& c = GetParam();
    makeReady();
    c.script(audio);
    files.files[u"C:\\s\\a.wav"] = c.file;
    const std::size_t before = audio.calls().size();

    play(u"C:\\s\\a.wav");

    EXPECT_EQ(thrown(), c.message);
    const Calls calls = audio.calls();
    EXPECT_EQ(Calls(calls.begin() + static_cast<long>(before), calls.end()), c.calls);
    EXPECT_EQ(files.opened, files.closed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Play,
    ::testing::Values(
        PlayCase{"PlaysUntilNoBufferIsQueued", [](FakeAudioPlatform&) {}, kPcm, std::nullopt,
                 kPlayed},
        PlayCase{"ShortSoundStillPollsAndSleepsOnce",
                 [](FakeAudioPlatform& a) { a.pollsWhileQueued = 0; }, kPcm, std::nullopt,
                 Calls{"CreateSourceVoice", "SubmitSourceBuffer", "Start 0 0", "GetState",
                       "Sleep 10", "DestroyVoice"}},
        PlayCase{"UnreadableFile", [](FakeAudioPlatform&) {}, zeros(10),
                 "Failed reading WAV file: -0X7FFFBFFB (C:\\s\\a.wav)", Calls{}},
        PlayCase{"InvalidFormatNeverReachesTheEngine", [](FakeAudioPlatform&) {},
                 riff("WAVE", cat({chunk("fmt ", formatBase(1, 2, 44100, 16, 3)),
                                   chunk("data", zeros(400))})),
                 "Error -0X7769FFFF creating source voice", Calls{}},
        // Wine's XAudio2 crashes on every WMA Pro voice; Windows' decodes it.
        PlayCase{"WmaProUnderWineNeverReachesTheEngine",
                 [](FakeAudioPlatform& a) { a.wine = true; }, kWmaPro,
                 "Error -0X7769FFFF creating source voice", Calls{}},
        PlayCase{"WmaProOnWindowsIsPlayed", [](FakeAudioPlatform&) {}, kWmaPro, std::nullopt,
                 Calls{"CreateSourceVoice", "SubmitSourceBuffer+packets", "Start 0 0", "GetState",
                       "Sleep 10", "GetState", "Sleep 10", "GetState", "Sleep 10", "DestroyVoice"}},
        PlayCase{"SourceVoiceFails", [](FakeAudioPlatform& a) { a.sourceResult = kInvalidArg; },
                 kPcm, "Error -0X7FF8FFA9 creating source voice", Calls{"CreateSourceVoice"}},
        PlayCase{"SubmitFails", [](FakeAudioPlatform& a) { a.submitResult = kFail; }, kPcm,
                 "Error -0X7FFFBFFB submitting source buffer",
                 Calls{"CreateSourceVoice", "SubmitSourceBuffer", "DestroyVoice"}},
        PlayCase{"SubmitWithPacketsFails", [](FakeAudioPlatform& a) { a.submitResult = kFail; },
                 kXwma, "Error -0X7FFFBFFB submitting source buffer (xWMA)",
                 Calls{"CreateSourceVoice", "SubmitSourceBuffer+packets", "DestroyVoice"}},
        PlayCase{"StartFailsQuietly", [](FakeAudioPlatform& a) { a.startResult = kFail; }, kPcm,
                 std::nullopt,
                 Calls{"CreateSourceVoice", "SubmitSourceBuffer", "Start 0 0", "DestroyVoice"}}),
    testkit::CaseName{});

TEST_F(PlayerTest, PlainBufferDescribesTheWholeSoundOnce) {
    makeReady();
    files.files[u"a.wav"] = kPcm;
    play(u"a.wav");
    ASSERT_EQ(thrown(), std::nullopt);
    EXPECT_EQ(audio.buffer.flags, 0x40u);
    EXPECT_EQ(audio.buffer.audioBytes, 400u);
    EXPECT_EQ(audio.buffer.playBegin + audio.buffer.playLength, 0u);
    EXPECT_EQ(audio.buffer.loopBegin + audio.buffer.loopLength + audio.buffer.loopCount, 0u);
    EXPECT_FALSE(audio.packets);
    EXPECT_EQ(audio.sourceArgs.flags, 0u);
    EXPECT_EQ(audio.sourceArgs.maxFrequencyRatio, 2.0f);
}

TEST_F(PlayerTest, LoopRegionIsPlayedOneExtraTime) {
    makeReady();
    files.files[u"a.wav"] = kLooped;
    play(u"a.wav");
    ASSERT_EQ(thrown(), std::nullopt);
    EXPECT_EQ(audio.buffer.loopBegin, 20u);
    EXPECT_EQ(audio.buffer.loopLength, 50u);
    EXPECT_EQ(audio.buffer.loopCount, 1u);
}

TEST_F(PlayerTest, XwmaIsSubmittedWithItsPacketTable) {
    makeReady();
    files.files[u"a.xwma"] = kXwma;
    play(u"a.xwma");
    ASSERT_EQ(thrown(), std::nullopt);
    ASSERT_TRUE(audio.packets);
    EXPECT_EQ(audio.packets->packetCount, 2u);
    EXPECT_EQ(audio.packetEntries, (std::vector<std::uint32_t>{4096, 8192}));
    EXPECT_EQ(audio.buffer.loopCount, 0u);
}

struct NotReadyCase {
    const char* name;
    bool engine;
    bool voice;
    const char* message;
};

class PlayNotReady : public PlayerTest, public ::testing::WithParamInterface<NotReadyCase> {};

TEST_P(PlayNotReady, NamesTheMissingHandleAndLeavesTheFileAlone) {
    const NotReadyCase& c = GetParam();
    if (c.engine) {
        jvm.setLongField(player, kEngineField, 1);
    }
    if (c.voice) {
        jvm.setLongField(player, kMasteringVoiceField, 1);
    }
    files.files[u"a.wav"] = kPcm;
    play(u"a.wav");
    EXPECT_EQ(thrown(), c.message);
    EXPECT_EQ(files.opened, 0);
    EXPECT_TRUE(audio.calls().empty());
    jvm.setLongField(player, kEngineField, 0);
    jvm.setLongField(player, kMasteringVoiceField, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayNotReady,
    ::testing::Values(
        NotReadyCase{"NeitherHandle", false, false, "Failed to play, xAudioRef not initialized"},
        NotReadyCase{"OnlyTheVoice", false, true, "Failed to play, xAudioRef not initialized"},
        NotReadyCase{"OnlyTheEngine", true, false,
                     "Failed to play, xAudioMasteringVoiceRef not initialized"}),
    testkit::CaseName{});

struct PathCase {
    const char* name;
    std::u16string javaString;
    std::string message;
};

class PlayPath : public PlayerTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PlayPath, MissingFileMessageCarriesThePath) {
    makeReady();
    play(GetParam().javaString);
    EXPECT_EQ(thrown(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayPath,
    ::testing::Values(PathCase{"Plain", u"C:\\x\\missing.wav",
                               "Failed reading WAV file: -0X7FF8FFFE (C:\\x\\missing.wav)"},
                      PathCase{"EmbeddedNulEndsThePath", std::u16string(u"a.wav\0tail", 10),
                               "Failed reading WAV file: -0X7FF8FFFE (a.wav)"},
                      PathCase{
                          "OutsideBasicPlaneAsTwoSequences", u"\U0001F3B5.wav",
                          "Failed reading WAV file: -0X7FF8FFFE (\xed\xa0\xbc\xed\xbe\xb5.wav)"},
                      PathCase{"Empty", u"", "Failed reading WAV file: -0X7FF8FFFE ()"}),
    testkit::CaseName{});

TEST_F(PlayerTest, EmbeddedNulStillFindsTheFileBeforeIt) {
    makeReady();
    files.files[u"a.wav"] = kPcm;
    play(std::u16string(u"a.wav\0b.wav", 11));
    EXPECT_EQ(thrown(), std::nullopt);
    EXPECT_EQ(files.opened, 1);
}

TEST_F(PlayerTest, NullPathStringIsAnInvalidArgument) {
    makeReady();
    playFile(jvm.env(), player, nullptr, audio, files);
    EXPECT_EQ(thrown(), "Failed reading WAV file: -0X7FF8FFA9 ()");
}

TEST_F(PlayerTest, MissingFieldEndsThePlayAtItsMessage) {
    player = jvm.newObject(jvm.defineClass("Bare", {}));
    files.files[u"a.wav"] = kPcm;
    play(u"a.wav");
    EXPECT_EQ(thrown(), "Cannot find long JNI field: xAudioRef");
    EXPECT_EQ(files.opened, 0);
    release();
    EXPECT_EQ(thrown(), "Cannot find long JNI field: xAudioMasteringVoiceRef");
    EXPECT_EQ(audio.apartmentDepth(), -1);  // the release's leave still happens
}

TEST_F(PlayerTest, PathCopyOutOfMemoryGivesTheCharactersBack) {
    makeReady();
    const jstring path = jvm.newString(u"a-path-longer-than-the-inline-buffer.wav");
    {
        const testkit::FailingAllocations failing;
        EXPECT_THROW(playFile(jvm.env(), player, path, audio, files), std::bad_alloc);
    }
    EXPECT_EQ(jvm.pinnedStrings(), 0u);
}

TEST_F(PlayerTest, TwoThreadsPlayOnOneObjectAtOnce) {
    makeReady();
    files.files[u"a.wav"] = kPcm;
    std::thread other([this] { play(u"a.wav"); });
    play(u"a.wav");
    other.join();
    const Calls calls = audio.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateSourceVoice"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DestroyVoice"), 2);
    EXPECT_EQ(thrown(), std::nullopt);
}

// A release while a play runs (a breach of the contract): the play stops waiting and ends, the
// release returns with both fields 0, and the engine is torn down once, after the play's voice.
TEST_F(PlayerTest, ReleaseDuringAPlayEndsItAndTearsTheEngineDownAfterIt) {
    makeReady();
    files.files[u"a.wav"] = kPcm;
    audio.pollsWhileQueued = std::numeric_limits<int>::max();  // never drains by itself
    std::thread playing([this] { play(u"a.wav"); });
    auto polled = [this] {
        const Calls calls = audio.calls();
        return std::find(calls.begin(), calls.end(), "GetState") != calls.end();
    };
    while (!polled()) {
        std::this_thread::yield();
    }
    release();
    playing.join();
    EXPECT_EQ(jvm.longField(player, kEngineField), 0);
    EXPECT_EQ(jvm.longField(player, kMasteringVoiceField), 0);
    const Calls calls = audio.calls();
    const auto last = [&](const std::string& call) {
        return std::find(calls.rbegin(), calls.rend(), call).base();
    };
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DestroyVoice"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Release"), 1);
    EXPECT_LT(last("DestroyVoice"), last("Release"));
    EXPECT_EQ(thrown(), std::nullopt);
}

}  // namespace
}  // namespace chimebox
