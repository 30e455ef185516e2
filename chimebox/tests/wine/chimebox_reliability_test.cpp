// Many lifecycles and many failed plays in one process leave memory and handles flat.
#include <gtest/gtest.h>
#include <hostkit/wave_files.h>
#include <objbase.h>
#include <testkit/win32/usage.h>

#include <xaudio2.h>

#include "chimebox_harness.h"

namespace chimebox::wine {
namespace {

using testkit::win32::handleCount;
using testkit::win32::privateBytes;

struct Growth {
    double bytes = 0;
    double handles = 0;
};

// What `rounds` runs of `round` add to the process, after a few runs to warm up.
template <typename Round>
Growth growthOf(int rounds, Round round) {
    for (int i = 0; i < 5; ++i) {
        round(i);
    }
    const std::size_t bytesBefore = privateBytes();
    const std::size_t handlesBefore = handleCount();
    for (int i = 0; i < rounds; ++i) {
        round(i);
    }
    return {static_cast<double>(privateBytes()) - static_cast<double>(bytesBefore),
            static_cast<double>(handleCount()) - static_cast<double>(handlesBefore)};
}

void expectFlat(const Growth& growth, const Growth& platformOwn = {}) {
    EXPECT_LT(growth.bytes - platformOwn.bytes, 2.0 * 1024 * 1024)
        << "private bytes grew by " << growth.bytes << ", the platform's own cycles by "
        << platformOwn.bytes;
    EXPECT_LE(growth.handles - platformOwn.handles, 8)
        << "handles grew by " << growth.handles << ", the platform's own cycles by "
        << platformOwn.handles;
}

// One engine lifecycle straight on the system's XAudio2, without chimebox: Wine 8 leaks three
// handles in each, which is the platform's cost, not ours.
void bareEngineCycle() {
    using Create = HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);
    static const auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(
        ::GetProcAddress(::LoadLibraryExW(L"xaudio2_9.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
                         "XAudio2Create")));
    ASSERT_GE(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), 0);
    IXAudio2* engine = nullptr;
    ASSERT_GE(create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR), 0);
    IXAudio2MasteringVoice* voice = nullptr;
    ASSERT_GE(
        engine->CreateMasteringVoice(&voice, 0, 0, 0, nullptr, nullptr, AudioCategory_GameEffects),
        0);
    voice->DestroyVoice();
    engine->Release();
    ::CoUninitialize();
}

TEST(ChimeboxReliability, TwoHundredLifecyclesLeaveNothingBehind) {
    TempSoundFile blip(hostkit::wave::pcm({22050, 1, 0.02, 880.0}, 16));
    JavaSide java;
    const Growth platformOwn = growthOf(200, [](int) { bareEngineCycle(); });
    const Growth ours = growthOf(200, [&](int) {
        java.initialize();
        java.play(blip.path());
        java.release();
        ASSERT_EQ(java.thrown(), std::nullopt);
    });
    expectFlat(ours, platformOwn);
}

// A class that cannot hold the engine: each failed initialize gives its engine back.
TEST(ChimeboxReliability, FailedStoresLeaveNoEngineBehind) {
    JavaSide java;
    java.player = java.jvm.newObject(java.jvm.defineClass("Partial", {"xAudioMasteringVoiceRef"}));
    const Growth platformOwn = growthOf(50, [](int) { bareEngineCycle(); });
    const Growth ours = growthOf(50, [&](int) {
        java.initialize();
        ASSERT_EQ(java.thrown(), "Cannot find long JNI field: xAudioRef");
    });
    expectFlat(ours, platformOwn);
}

TEST(ChimeboxReliability, AThousandFailedPlaysLeaveNothingBehind) {
    TempSoundFile malformed(hostkit::riff::riff(
        "WAVE",
        hostkit::riff::cat({hostkit::riff::chunk("fmt ", hostkit::riff::formatBase(1, 1, 8000, 16)),
                            hostkit::riff::chunkWithSize("data", 1000, {1, 2, 3})})));
    JavaSide java;
    java.initialize();
    ASSERT_EQ(java.thrown(), std::nullopt);
    expectFlat(growthOf(1000, [&](int i) {
        java.play(i % 2 == 0 ? malformed.path() : std::filesystem::path(L"C:\\missing\\x.wav"));
        ASSERT_TRUE(java.thrown());
    }));
    java.release();
}

}  // namespace
}  // namespace chimebox::wine
