#pragma once
// What playback needs from the platform's audio engine and COM, in the engine's own terms
// (XAudio2 2.9 on Windows; an XAudio2-compatible engine elsewhere). Engine and voice handles are
// the engine's own interface pointers, opaque here; the Java object stores them as integers.
//
// Threads: the JNI natives call these on the calling Java thread; several plays may use one
// engine from several threads at once, as the engine allows.

#include <ownkit/owned.h>

#include <atomic>
#include <cstdint>

#include "hresult.h"

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

// One buffer of the whole sound, as the engine's XAUDIO2_BUFFER describes it.
struct AudioBuffer {
    std::uint32_t flags = 0;
    std::uint32_t audioBytes = 0;
    const std::uint8_t* audioData = nullptr;
    std::uint32_t playBegin = 0;
    std::uint32_t playLength = 0;
    std::uint32_t loopBegin = 0;
    std::uint32_t loopLength = 0;
    std::uint32_t loopCount = 0;
    // The voice's format tag (the sub-format's, for an extensible format). Not part of the
    // engine's description: an engine that cannot decode some formats refuses them by it.
    std::uint16_t formatTag = 0;
};

// Copies `buffer` into an engine's own buffer description (XAUDIO2_BUFFER, FAudioBuffer), whose
// fields carry the same names; no context pointer is passed.
template <typename Description>
[[nodiscard]] Description describeForEngine(const AudioBuffer& buffer) {
    Description description{};
    description.Flags = buffer.flags;
    description.AudioBytes = buffer.audioBytes;
    description.pAudioData = buffer.audioData;
    description.PlayBegin = buffer.playBegin;
    description.PlayLength = buffer.playLength;
    description.LoopBegin = buffer.loopBegin;
    description.LoopLength = buffer.loopLength;
    description.LoopCount = buffer.loopCount;
    description.pContext = nullptr;
    return description;
}

// The packet table of an xWMA buffer (XAUDIO2_BUFFER_WMA).
struct PacketTable {
    const void* cumulativeBytes = nullptr;  // 32-bit entries, possibly unaligned
    std::uint32_t packetCount = 0;
};

inline constexpr std::uint32_t kEndOfStream = 0x40;
inline constexpr std::uint32_t kProcessor1 = 1;
inline constexpr std::uint32_t kNtddiWin10Fe = 0x0A00000A;
inline constexpr std::uint32_t kAudioCategoryGameEffects = 6;

class AudioPlatform {
public:
    // Each kind of handle is a type of its own; the adapters cast their objects to and from it.
    using Module = ownkit::OpaqueHandle<struct ModuleTag>;
    using EntryPoint = ownkit::OpaqueHandle<struct EntryPointTag>;
    using Engine = ownkit::OpaqueHandle<struct EngineTag>;
    using Voice = ownkit::OpaqueHandle<struct VoiceTag>;

    virtual ~AudioPlatform() = default;

    // COM on the calling thread: the multithreaded apartment, and leaving it.
    [[nodiscard]] virtual HRESULT joinApartment() = 0;
    virtual void leaveApartment() = 0;

    // The engine library from the system directory, its entry points, the last error code.
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
    // `packets` is null for a buffer without a packet table.
    [[nodiscard]] virtual HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                                                     const PacketTable* packets) = 0;
    [[nodiscard]] virtual HRESULT start(Voice voice, std::uint32_t flags,
                                        std::uint32_t operationSet) = 0;
    // BuffersQueued of the voice's state (GetState with flags 0).
    [[nodiscard]] virtual std::uint32_t buffersQueued(Voice voice) = 0;
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
};

// The process-wide cache of the engine library: filled by the first initialize that gets as far
// as loading, never unloaded. No lock: two first calls may both load (loading is counted) and
// store the same values. The entry points are stored before the module, which is published
// with release order; a reader that sees the module (acquire) sees its entry points too, and
// a failed load publishes nothing, so the next call tries again.
struct EngineLibraryCache {
    std::atomic<AudioPlatform::Module> module{nullptr};
    std::atomic<AudioPlatform::EntryPoint> versioned{nullptr};
    std::atomic<AudioPlatform::EntryPoint> plain{nullptr};
};

// The running platform's engine adapter, defined by its adapter source.
[[nodiscard]] AudioPlatform& systemAudioPlatform();

}  // namespace chimebox
