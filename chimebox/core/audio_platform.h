#pragma once
// What a player asks of the platform's audio engine, in the player's words: the calling thread
// made ready for the engine, an engine, its mastering voice, and a source voice that plays one
// buffer (XAudio2 2.9 on Windows; FAudio, its compatible engine, elsewhere). How the platform
// finds and starts its engine is its own business. Engine and voice handles are the engine's
// own objects, opaque here; the Java object stores them as integers.
//
// Threads: the JNI natives call these on the calling Java thread; several plays may use one
// engine from several threads at once, as the engine allows.

#include <ownkit/owned.h>

#include <cstdint>

#include "hresult.h"

namespace chimebox {

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

class AudioPlatform {
public:
    // Each kind of handle is a type of its own; the adapters cast their objects to and from it.
    using Engine = ownkit::OpaqueHandle<struct EngineTag>;
    using Voice = ownkit::OpaqueHandle<struct VoiceTag>;

    virtual ~AudioPlatform() = default;

    // What the engine needs of the calling thread from a player's initialize until its release
    // (a failure is reported before anything else is made); readyThread's success is undone by
    // exactly one releaseThread, on the same thread.
    [[nodiscard]] virtual HRESULT readyThread() = 0;
    virtual void releaseThread() = 0;

    // A new engine, or the code that says why there is none (a success without an engine is
    // the caller's to treat as failure).
    [[nodiscard]] virtual HRESULT createEngine(Engine& engine) = 0;
    // The engine's mastering voice: the default channel count and rate, for game effects.
    [[nodiscard]] virtual HRESULT createMasteringVoice(Engine engine, Voice& voice) = 0;
    virtual void releaseEngine(Engine engine) = 0;
    virtual void destroyVoice(Voice voice) = 0;

    // A source voice for sounds in `format` (a WAVEFORMATEX, possibly unaligned), which may be
    // played at up to twice their rate.
    [[nodiscard]] virtual HRESULT createSourceVoice(Engine engine, Voice& voice,
                                                    const void* format) = 0;
    // `packets` is null for a buffer without a packet table.
    [[nodiscard]] virtual HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                                                     const PacketTable* packets) = 0;
    // Starts the voice at once.
    [[nodiscard]] virtual HRESULT start(Voice voice) = 0;
    // How many buffers the voice still holds.
    [[nodiscard]] virtual std::uint32_t buffersQueued(Voice voice) = 0;
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
};

// The running platform's engine adapter, defined by its adapter source.
[[nodiscard]] AudioPlatform& systemAudioPlatform();

}  // namespace chimebox
