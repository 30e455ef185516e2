// The player's engine over FAudio, the XAudio2-compatible engine, loaded at run time from
// "libFAudio.so.0" on the first engine creation and never unloaded. A library that cannot be
// loaded answers "module not found" and is tried again by the next creation; one that lacks a
// function a play needs stays loaded and answers "procedure not found". FAudio asks nothing of
// the calling thread.

#include <FAudio.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "../core/audio_platform.h"
#include "../core/format_tags.h"
#include "../core/little_endian.h"
#include "../core/source_format.h"
#include "wma_decoder.h"

namespace chimebox {
namespace {

// The codes the messages carry for the two ways the library can fail.
constexpr HRESULT kModuleNotFound = hresultFromWin32(Win32Error{126});
// The first processor, as a player has always asked its engine for (FAudio takes any value).
constexpr FAudioProcessor kFirstProcessor = 1;

// XMA2, which FAudio as built by distributions cannot decode: it would take such a buffer and
// play silence. WMA is decoded here instead (wma_decoder.h) and played as float samples.
bool undecodable(std::uint16_t tag) {
    return tag == tags::kXma2;
}

// The largest buffer an XAudio2 voice takes (XAUDIO2_MAX_BUFFER_BYTES).
constexpr std::uint64_t kMaxBufferBytes = 0x80000000u;

// A float format block of the stream's channels and rate, for the decoded samples.
FAudioWaveFormatEx floatFormat(const WmaStream& stream) {
    FAudioWaveFormatEx format{};
    format.wFormatTag = tags::kIeeeFloat;
    format.nChannels = stream.channels;
    format.nSamplesPerSec = stream.rate;
    format.wBitsPerSample = 32;
    format.nBlockAlign = static_cast<std::uint16_t>(stream.channels * sizeof(float));
    format.nAvgBytesPerSec = stream.rate * format.nBlockAlign;
    return format;
}

// How many frames the packet table counts: its last entry, in bytes of 16-bit samples.
std::uint64_t tableFrames(const PacketTable& packets, std::uint16_t channels) {
    const auto* last = static_cast<const std::uint8_t*>(packets.cumulativeBytes) +
                       std::size_t{packets.packetCount - 1} * 4;
    return read32(last) / (2u * channels);
}

// What a voice made for a WMA stream holds: the stream, and its samples once decoded (read by
// the engine until the voice is destroyed).
struct WmaVoice {
    WmaStream stream;
    std::vector<float> samples;
};

// FAudio mixes at most 8 channels a voice: its default mix matrices stop there, and a source
// voice of more channels reads past them (a 56-channel file crashed it). XAudio2's
// documentation states no such limit, so this rule is this engine's alone.
constexpr std::uint16_t kMaxMixChannels = 8;
bool beyondMixer(const void* format) {
    return read16(static_cast<const std::uint8_t*>(format) + 2) > kMaxMixChannels;
}

template <typename Function>
Function symbol(void* module, const char* name) {
    void* found = ::dlsym(module, name);
    Function function = nullptr;
    std::memcpy(&function, &found, sizeof(function));
    return function;
}

// The FAudio functions a play needs, resolved from the loaded library. Two first initialize
// calls may resolve them at once; both store the same values, so each pointer is atomic.
struct FAudioFunctions {
    template <typename Function>
    using Slot = std::atomic<Function>;

    Slot<decltype(&FAudioCreate)> create{nullptr};
    Slot<decltype(&FAudio_CreateMasteringVoice8)> createMasteringVoice{nullptr};
    Slot<decltype(&FAudio_Release)> release{nullptr};
    Slot<decltype(&FAudioVoice_DestroyVoice)> destroyVoice{nullptr};
    Slot<decltype(&FAudio_CreateSourceVoice)> createSourceVoice{nullptr};
    Slot<decltype(&FAudioSourceVoice_SubmitSourceBuffer)> submit{nullptr};
    Slot<decltype(&FAudioSourceVoice_Start)> start{nullptr};
    Slot<decltype(&FAudioSourceVoice_GetState)> getState{nullptr};

    void resolve(void* module) {
        resolveOne(create, module, "FAudioCreate");
        resolveOne(createMasteringVoice, module, "FAudio_CreateMasteringVoice8");
        resolveOne(release, module, "FAudio_Release");
        resolveOne(destroyVoice, module, "FAudioVoice_DestroyVoice");
        resolveOne(createSourceVoice, module, "FAudio_CreateSourceVoice");
        resolveOne(submit, module, "FAudioSourceVoice_SubmitSourceBuffer");
        resolveOne(start, module, "FAudioSourceVoice_Start");
        resolveOne(getState, module, "FAudioSourceVoice_GetState");
    }
    [[nodiscard]] bool complete() const {
        return create.load() && createMasteringVoice.load() && release.load() &&
               destroyVoice.load() && createSourceVoice.load() && submit.load() && start.load() &&
               getState.load();
    }

private:
    template <typename Function>
    static void resolveOne(Slot<Function>& slot, void* module, const char* name) {
        slot.store(symbol<Function>(module, name));
    }
};

// FAudio's objects behind the platform's handle types, and back.
FAudio* engineOf(AudioPlatform::Engine handle) {
    return reinterpret_cast<FAudio*>(handle);
}
template <typename Object>
Object* objectOf(AudioPlatform::Voice handle) {
    return reinterpret_cast<Object*>(handle);
}

class FAudioPlatform final : public AudioPlatform {
public:
    HRESULT readyThread() override { return kOk; }
    void releaseThread() override {}

    HRESULT createEngine(Engine& engine) override {
        if (const HRESULT loaded = loadLibrary(); failed(loaded)) {
            return loaded;
        }
        FAudio* created = nullptr;
        const auto result =
            static_cast<HRESULT>(functions_.create.load()(&created, 0, kFirstProcessor));
        engine = reinterpret_cast<Engine>(created);
        return result;
    }

    // The default channel count and rate, for game effects.
    HRESULT createMasteringVoice(Engine engine, Voice& voice) override {
        FAudioMasteringVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(functions_.createMasteringVoice.load()(
            engineOf(engine), &created, FAUDIO_DEFAULT_CHANNELS, FAUDIO_DEFAULT_SAMPLERATE, 0,
            nullptr, nullptr, FAudioStreamCategory_GameEffects));
        voice = reinterpret_cast<Voice>(created);
        return result;
    }
    void releaseEngine(Engine engine) override { functions_.release.load()(engineOf(engine)); }
    void destroyVoice(Voice voice) override {
        functions_.destroyVoice.load()(objectOf<FAudioVoice>(voice));
        const std::lock_guard hold(wmaLock_);
        wmaVoices_.erase(voice);
    }

    HRESULT createSourceVoice(Engine engine, Voice& voice, const void* waveFormat) override {
        if (beyondMixer(waveFormat)) {
            return kInvalidCall;
        }
        const std::optional<WmaStream> wma = wmaStreamOf(waveFormat);
        const FAudioWaveFormatEx decoded = wma ? floatFormat(*wma) : FAudioWaveFormatEx{};
        const auto* format = wma ? &decoded : static_cast<const FAudioWaveFormatEx*>(waveFormat);
        FAudioSourceVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(functions_.createSourceVoice.load()(
            engineOf(engine), &created, format, 0, FAUDIO_DEFAULT_FREQ_RATIO, nullptr, nullptr,
            nullptr));
        voice = reinterpret_cast<Voice>(created);
        if (wma && !failed(result) && created != nullptr) {
            try {
                const std::lock_guard hold(wmaLock_);
                wmaVoices_[voice] = std::make_unique<WmaVoice>(WmaVoice{*wma, {}});
            } catch (const std::bad_alloc&) {
                functions_.destroyVoice.load()(objectOf<FAudioVoice>(voice));
                voice = nullptr;
                return kOutOfMemory;
            }
        }
        return result;
    }
    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                               const PacketTable* packets) override {
        WmaVoice* wma = wmaVoiceOf(voice);
        // Refused rather than played as silence, so that the caller hears of it.
        if ((packets != nullptr) != (wma != nullptr) || undecodable(buffer.formatTag)) {
            return kInvalidCall;
        }
        auto description = describeForEngine<FAudioBuffer>(buffer);
        if (wma != nullptr) {
            if (const HRESULT decoded = decode(*wma, buffer, *packets); failed(decoded)) {
                return decoded;
            }
            description.pAudioData = reinterpret_cast<const std::uint8_t*>(wma->samples.data());
            description.AudioBytes =
                static_cast<std::uint32_t>(wma->samples.size() * sizeof(float));
        }
        return static_cast<HRESULT>(
            functions_.submit.load()(objectOf<FAudioSourceVoice>(voice), &description, nullptr));
    }
    HRESULT start(Voice voice) override {
        return static_cast<HRESULT>(
            functions_.start.load()(objectOf<FAudioSourceVoice>(voice), 0, FAUDIO_COMMIT_NOW));
    }
    std::uint32_t buffersQueued(Voice voice) override {
        FAudioVoiceState state{};
        functions_.getState.load()(objectOf<FAudioSourceVoice>(voice), &state, 0);
        return state.BuffersQueued;
    }
    void sleepMilliseconds(std::uint32_t milliseconds) override { ::usleep(milliseconds * 1000u); }

private:
    WmaVoice* wmaVoiceOf(Voice voice) {
        const std::lock_guard hold(wmaLock_);
        const auto found = wmaVoices_.find(voice);
        return found != wmaVoices_.end() ? found->second.get() : nullptr;
    }

    // The buffer's packets decoded into the voice's samples: as many frames as the table counts.
    static HRESULT decode(WmaVoice& wma, const AudioBuffer& buffer, const PacketTable& packets) {
        const std::uint64_t frames = tableFrames(packets, wma.stream.channels);
        const bool wholePackets =
            std::uint64_t{packets.packetCount} * wma.stream.packetBytes == buffer.audioBytes;
        if (!wholePackets || frames == 0 ||
            frames * wma.stream.channels * sizeof(float) > kMaxBufferBytes) {
            return kInvalidCall;
        }
        return decodeWma(wma.stream, {buffer.audioData, buffer.audioBytes},
                         static_cast<std::uint32_t>(frames), wma.samples);
    }

    // The library loaded once, its functions resolved before it counts as loaded.
    HRESULT loadLibrary() {
        const std::lock_guard hold(loading_);
        if (module_ == nullptr) {
            void* module = ::dlopen("libFAudio.so.0", RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr) {
                return kModuleNotFound;
            }
            functions_.resolve(module);
            module_ = module;
        }
        return functions_.complete() ? kOk : kProcNotFound;
    }

    std::mutex loading_;
    void* module_ = nullptr;
    FAudioFunctions functions_;
    std::mutex wmaLock_;
    std::map<Voice, std::unique_ptr<WmaVoice>> wmaVoices_;
};

}  // namespace

AudioPlatform& systemAudioPlatform() {
    static FAudioPlatform platform;
    return platform;
}

}  // namespace chimebox
