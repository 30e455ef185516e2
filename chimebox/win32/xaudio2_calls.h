#pragma once
// The COM, loader and XAudio2 calls that a player makes on Windows, as a table:
// xaudio2_platform.cpp fills it with the system itself, the unit tests with a scripted fake.

#include <ownkit/owned.h>

#include <atomic>
#include <cstdint>

#include "../core/audio_platform.h"

namespace chimebox {

struct MasteringVoiceArgs {
    std::uint32_t inputChannels = 0;    // default channel count
    std::uint32_t inputSampleRate = 0;  // default rate
    std::uint32_t flags = 0;
    std::uint32_t streamCategory = 0;  // AudioCategory_GameEffects is 6
};

struct SourceVoiceArgs {
    const void* format = nullptr;  // WAVEFORMATEX, possibly unaligned
    std::uint32_t flags = 0;
    float maxFrequencyRatio = 0.0f;
};

inline constexpr float kDefaultFrequencyRatio = 2.0f;  // XAUDIO2_DEFAULT_FREQ_RATIO
inline constexpr std::uint32_t kProcessor1 = 1;
inline constexpr std::uint32_t kNtddiWin10Fe = 0x0A00000A;
inline constexpr std::uint32_t kAudioCategoryGameEffects = 6;

class XAudio2Calls {
public:
    using Module = ownkit::OpaqueHandle<struct ModuleTag>;
    using EntryPoint = ownkit::OpaqueHandle<struct EntryPointTag>;
    using Engine = AudioPlatform::Engine;
    using Voice = AudioPlatform::Voice;

    virtual ~XAudio2Calls() = default;

    // CoInitializeEx(COINIT_MULTITHREADED) and CoUninitialize on the calling thread.
    [[nodiscard]] virtual HRESULT joinApartment() = 0;
    virtual void leaveApartment() = 0;

    // xaudio2_9.dll from the system directory, its entry points, GetLastError.
    [[nodiscard]] virtual Module loadEngineLibrary() = 0;
    [[nodiscard]] virtual EntryPoint findEntryPoint(Module module, const char* name) = 0;
    [[nodiscard]] virtual Win32Error lastError() = 0;
    [[nodiscard]] virtual HRESULT callVersionedFactory(EntryPoint factory, Engine& engine,
                                                       std::uint32_t flags, std::uint32_t processor,
                                                       std::uint32_t ntddiVersion) = 0;
    [[nodiscard]] virtual HRESULT callFactory(EntryPoint factory, Engine& engine,
                                              std::uint32_t flags, std::uint32_t processor) = 0;

    [[nodiscard]] virtual HRESULT createMasteringVoice(Engine engine, Voice& voice,
                                                       const MasteringVoiceArgs& args) = 0;
    virtual void releaseEngine(Engine engine) = 0;
    virtual void destroyVoice(Voice voice) = 0;

    [[nodiscard]] virtual HRESULT createSourceVoice(Engine engine, Voice& voice,
                                                    const SourceVoiceArgs& args) = 0;
    [[nodiscard]] virtual HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                                                     const PacketTable* packets) = 0;
    [[nodiscard]] virtual HRESULT start(Voice voice, std::uint32_t flags,
                                        std::uint32_t operationSet) = 0;
    // BuffersQueued of the voice's state (GetState with flags 0).
    [[nodiscard]] virtual std::uint32_t buffersQueued(Voice voice) = 0;
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
    // Whether this is Wine's XAudio2: GetProcAddress of ntdll's "wine_get_version".
    [[nodiscard]] virtual bool runsOnWine() = 0;
};

// The process-wide cache of the engine library: filled by the first engine creation that gets
// as far as loading, never unloaded. No lock: two first calls may both load (loading is
// counted) and store the same values. The entry points are stored before the module, which is
// published with release order; a reader that sees the module (acquire) sees its entry points
// too, and a failed load publishes nothing, so the next call tries again.
struct EngineLibraryCache {
    std::atomic<XAudio2Calls::Module> module{nullptr};
    std::atomic<XAudio2Calls::EntryPoint> versioned{nullptr};
    std::atomic<XAudio2Calls::EntryPoint> plain{nullptr};
};

}  // namespace chimebox
