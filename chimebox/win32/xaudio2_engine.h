#pragma once
// A player's engine in Windows' terms: the calling thread in COM's multithreaded apartment;
// xaudio2_9.dll loaded from the system directory once per process (EngineLibraryCache), its
// versioned factory called when it has one (processor 1, NTDDI_WIN10_FE), else its plain one;
// the mastering voice with the default channels and rate for game effects; source voices with no
// flags and the default frequency ratio. Wine's XAudio2 (FAudio inside Wine) jumps to address 0
// on its engine thread for every WMA Pro source voice, killing the host: there such a voice is
// refused as an invalid call. Windows' own XAudio2 decodes WMA Pro and is handed it.

#include "../core/audio_platform.h"
#include "../core/format_tags.h"
#include "../core/source_format.h"
#include "xaudio2_calls.h"

namespace chimebox {

// Creates an engine through the cached library, loading it first if needed.
[[nodiscard]] HRESULT createEngine(XAudio2Calls& calls, EngineLibraryCache& cache,
                                   AudioPlatform::Engine& engine);

class XAudio2Engine final : public AudioPlatform {
public:
    XAudio2Engine(XAudio2Calls& calls, EngineLibraryCache& cache) : calls_(calls), cache_(cache) {}

    HRESULT readyThread() override { return calls_.joinApartment(); }
    void releaseThread() override { calls_.leaveApartment(); }
    HRESULT createEngine(Engine& engine) override {
        return chimebox::createEngine(calls_, cache_, engine);
    }
    HRESULT createMasteringVoice(Engine engine, Voice& voice) override {
        return calls_.createMasteringVoice(engine, voice,
                                           MasteringVoiceArgs{0, 0, 0, kAudioCategoryGameEffects});
    }
    void releaseEngine(Engine engine) override { calls_.releaseEngine(engine); }
    void destroyVoice(Voice voice) override { calls_.destroyVoice(voice); }
    HRESULT createSourceVoice(Engine engine, Voice& voice, const void* format) override {
        if (encodingTagOf(format) == tags::kWmaudio3 && calls_.runsOnWine()) {
            return kInvalidCall;
        }
        return calls_.createSourceVoice(engine, voice,
                                        SourceVoiceArgs{format, 0, kDefaultFrequencyRatio});
    }
    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                               const PacketTable* packets) override {
        return calls_.submitSourceBuffer(voice, buffer, packets);
    }
    HRESULT start(Voice voice) override { return calls_.start(voice, 0, 0); }
    std::uint32_t buffersQueued(Voice voice) override { return calls_.buffersQueued(voice); }
    void sleepMilliseconds(std::uint32_t milliseconds) override {
        calls_.sleepMilliseconds(milliseconds);
    }

private:
    XAudio2Calls& calls_;
    EngineLibraryCache& cache_;
};

}  // namespace chimebox
