// AudioPlatform over FAudio, the XAudio2-compatible engine, loaded at run time from
// "libFAudio.so.0". The engine library cache and its failure rules are the core's, as on
// Windows; this adapter maps the XAudio2 entry point names onto FAudio's and resolves the
// voice functions from the same library. COM has no counterpart here: joining the apartment
// succeeds and does nothing.

#include <FAudio.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "../core/audio_platform.h"
#include "../core/format_tags.h"
#include "../core/little_endian.h"
#include "../core/source_format.h"

namespace chimebox {
namespace {

// Win32 error codes, as lastError() reports them (not HRESULTs).
constexpr std::uint32_t kErrorModNotFound = 126;
constexpr std::uint32_t kErrorProcNotFound = 127;

// Format tags that FAudio as built by distributions cannot decode: it would take such a buffer
// and play silence.
bool undecodable(std::uint16_t tag) {
    return tag == tags::kWmaudio2 || tag == tags::kWmaudio3 || tag == tags::kXma2;
}

// FAudio decodes MS-ADPCM in mono and stereo only (an 8-channel file crashed it).
// XAudio2's documentation states no such limit, so this rule is this engine's alone.
constexpr std::uint16_t kMaxAdpcmChannels = 2;
bool beyondDecoder(const void* format) {
    const auto* bytes = static_cast<const std::uint8_t*>(format);
    return read16(bytes) == tags::kAdpcm && read16(bytes + 2) > kMaxAdpcmChannels;
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

    Slot<decltype(&FAudio_CreateMasteringVoice8)> createMasteringVoice{nullptr};
    Slot<decltype(&FAudio_Release)> release{nullptr};
    Slot<decltype(&FAudioVoice_DestroyVoice)> destroyVoice{nullptr};
    Slot<decltype(&FAudio_CreateSourceVoice)> createSourceVoice{nullptr};
    Slot<decltype(&FAudioSourceVoice_SubmitSourceBuffer)> submit{nullptr};
    Slot<decltype(&FAudioSourceVoice_Start)> start{nullptr};
    Slot<decltype(&FAudioSourceVoice_GetState)> getState{nullptr};

    void resolve(void* module) {
        resolveOne(createMasteringVoice, module, "FAudio_CreateMasteringVoice8");
        resolveOne(release, module, "FAudio_Release");
        resolveOne(destroyVoice, module, "FAudioVoice_DestroyVoice");
        resolveOne(createSourceVoice, module, "FAudio_CreateSourceVoice");
        resolveOne(submit, module, "FAudioSourceVoice_SubmitSourceBuffer");
        resolveOne(start, module, "FAudioSourceVoice_Start");
        resolveOne(getState, module, "FAudioSourceVoice_GetState");
    }
    [[nodiscard]] bool complete() const {
        return createMasteringVoice.load() && release.load() && destroyVoice.load() &&
               createSourceVoice.load() && submit.load() && start.load() && getState.load();
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
    HRESULT joinApartment() override { return kOk; }
    void leaveApartment() override {}

    Module loadEngineLibrary() override {
        void* module = ::dlopen("libFAudio.so.0", RTLD_NOW | RTLD_LOCAL);
        error_ = module != nullptr ? 0 : kErrorModNotFound;
        if (module != nullptr) {
            functions_.resolve(module);
        }
        return reinterpret_cast<Module>(module);
    }

    // FAudio has no versioned factory; its FAudioCreate is the plain one.
    EntryPoint findEntryPoint(Module module, const char* name) override {
        if (std::strcmp(name, "XAudio2Create") != 0 || !functions_.complete()) {
            error_ = kErrorProcNotFound;
            return nullptr;
        }
        void* found = ::dlsym(reinterpret_cast<void*>(module), "FAudioCreate");
        error_ = found != nullptr ? 0 : kErrorProcNotFound;
        return reinterpret_cast<EntryPoint>(found);
    }
    Win32Error lastError() override { return Win32Error{error_}; }

    HRESULT callVersionedFactory(EntryPoint, Engine&, std::uint32_t, std::uint32_t,
                                 std::uint32_t) override {
        return chimebox::kProcNotFound;  // never handed out by findEntryPoint
    }
    HRESULT callFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                        std::uint32_t processor) override {
        decltype(&FAudioCreate) create = nullptr;
        std::memcpy(&create, &factory, sizeof(create));
        FAudio* created = nullptr;
        const auto result = static_cast<HRESULT>(create(&created, flags, processor));
        engine = reinterpret_cast<Engine>(created);
        return result;
    }

    HRESULT createMasteringVoice(Engine engine, Voice& voice,
                                 const MasteringVoiceArgs& args) override {
        FAudioMasteringVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(functions_.createMasteringVoice.load()(
            engineOf(engine), &created, args.inputChannels, args.inputSampleRate, args.flags,
            nullptr, nullptr, static_cast<FAudioStreamCategory>(args.streamCategory)));
        voice = reinterpret_cast<Voice>(created);
        return result;
    }
    void releaseEngine(Engine engine) override { functions_.release.load()(engineOf(engine)); }
    void destroyVoice(Voice voice) override {
        functions_.destroyVoice.load()(objectOf<FAudioVoice>(voice));
    }

    HRESULT createSourceVoice(Engine engine, Voice& voice, const SourceVoiceArgs& args) override {
        if (beyondDecoder(args.format)) {
            return kInvalidCall;
        }
        const auto* format = static_cast<const FAudioWaveFormatEx*>(args.format);
        FAudioSourceVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(
            functions_.createSourceVoice.load()(engineOf(engine), &created, format, args.flags,
                                                args.maxFrequencyRatio, nullptr, nullptr, nullptr));
        voice = reinterpret_cast<Voice>(created);
        return result;
    }
    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                               const PacketTable* packets) override {
        // Refused rather than played as silence, so that the caller hears of it.
        if (packets != nullptr || undecodable(buffer.formatTag)) {
            return kInvalidCall;
        }
        const auto description = describeForEngine<FAudioBuffer>(buffer);
        return static_cast<HRESULT>(
            functions_.submit.load()(objectOf<FAudioSourceVoice>(voice), &description, nullptr));
    }
    HRESULT start(Voice voice, std::uint32_t flags, std::uint32_t operationSet) override {
        return static_cast<HRESULT>(
            functions_.start.load()(objectOf<FAudioSourceVoice>(voice), flags, operationSet));
    }
    std::uint32_t buffersQueued(Voice voice) override {
        FAudioVoiceState state{};
        functions_.getState.load()(objectOf<FAudioSourceVoice>(voice), &state, 0);
        return state.BuffersQueued;
    }
    void sleepMilliseconds(std::uint32_t milliseconds) override { ::usleep(milliseconds * 1000u); }

private:
    FAudioFunctions functions_;
    // Per thread, as GetLastError is: read right after the failed call, on the same thread.
    static thread_local std::uint32_t error_;
};

thread_local std::uint32_t FAudioPlatform::error_ = 0;

}  // namespace

AudioPlatform& systemAudioPlatform() {
    static FAudioPlatform platform;
    return platform;
}

}  // namespace chimebox
