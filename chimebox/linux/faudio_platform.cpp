// AudioPlatform over FAudio, the XAudio2-compatible engine, loaded at run time from
// "libFAudio.so.0". The engine library cache and its failure rules are the core's, as on
// Windows; this adapter maps the XAudio2 entry point names onto FAudio's and resolves the
// voice functions from the same library. COM has no counterpart here: joining the apartment
// succeeds and does nothing.

#include <FAudio.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

#include "../core/player.h"

namespace chimebox {
namespace {

constexpr std::uint32_t kModNotFound = 126;   // ERROR_MOD_NOT_FOUND
constexpr std::uint32_t kProcNotFound = 127;  // ERROR_PROC_NOT_FOUND
constexpr HRESULT kXAudio2InvalidCall =
    static_cast<HRESULT>(0x88960001u);  // XAUDIO2_E_INVALID_CALL

// The FAudio functions a play needs, resolved once from the loaded library.
struct FAudioFunctions {
    decltype(&FAudio_CreateMasteringVoice8) createMasteringVoice = nullptr;
    decltype(&FAudio_Release) release = nullptr;
    decltype(&FAudioVoice_DestroyVoice) destroyVoice = nullptr;
    decltype(&FAudio_CreateSourceVoice) createSourceVoice = nullptr;
    decltype(&FAudioSourceVoice_SubmitSourceBuffer) submit = nullptr;
    decltype(&FAudioSourceVoice_Start) start = nullptr;
    decltype(&FAudioSourceVoice_GetState) getState = nullptr;

    [[nodiscard]] bool complete() const {
        return createMasteringVoice && release && destroyVoice && createSourceVoice && submit &&
               start && getState;
    }
};

template <typename Function>
Function symbol(void* module, const char* name) {
    void* found = ::dlsym(module, name);
    Function function = nullptr;
    std::memcpy(&function, &found, sizeof(function));
    return function;
}

FAudio* engineOf(void* handle) {
    return static_cast<FAudio*>(handle);
}

class FAudioPlatform final : public AudioPlatform {
public:
    HRESULT joinApartment() override { return kOk; }
    void leaveApartment() override {}

    Module loadEngineLibrary() override {
        void* module = ::dlopen("libFAudio.so.0", RTLD_NOW | RTLD_LOCAL);
        error_ = module != nullptr ? 0 : kModNotFound;
        if (module != nullptr) {
            functions_.createMasteringVoice = symbol<decltype(functions_.createMasteringVoice)>(
                module, "FAudio_CreateMasteringVoice8");
            functions_.release = symbol<decltype(functions_.release)>(module, "FAudio_Release");
            functions_.destroyVoice =
                symbol<decltype(functions_.destroyVoice)>(module, "FAudioVoice_DestroyVoice");
            functions_.createSourceVoice =
                symbol<decltype(functions_.createSourceVoice)>(module, "FAudio_CreateSourceVoice");
            functions_.submit =
                symbol<decltype(functions_.submit)>(module, "FAudioSourceVoice_SubmitSourceBuffer");
            functions_.start =
                symbol<decltype(functions_.start)>(module, "FAudioSourceVoice_Start");
            functions_.getState =
                symbol<decltype(functions_.getState)>(module, "FAudioSourceVoice_GetState");
        }
        return module;
    }

    // FAudio has no versioned factory; its FAudioCreate is the plain one.
    EntryPoint findEntryPoint(Module module, const char* name) override {
        if (std::strcmp(name, "XAudio2Create") != 0 || !functions_.complete()) {
            error_ = kProcNotFound;
            return nullptr;
        }
        void* found = ::dlsym(module, "FAudioCreate");
        error_ = found != nullptr ? 0 : kProcNotFound;
        return found;
    }
    std::uint32_t lastError() override { return error_; }

    HRESULT callVersionedFactory(EntryPoint, Engine&, std::uint32_t, std::uint32_t,
                                 std::uint32_t) override {
        return kProcNotFound;  // never handed out by findEntryPoint
    }
    HRESULT callFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                        std::uint32_t processor) override {
        decltype(&FAudioCreate) create = nullptr;
        std::memcpy(&create, &factory, sizeof(create));
        FAudio* created = nullptr;
        const auto result = static_cast<HRESULT>(create(&created, flags, processor));
        engine = created;
        return result;
    }

    HRESULT createMasteringVoice(Engine engine, Voice& voice,
                                 const MasteringVoiceArgs& args) override {
        FAudioMasteringVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(functions_.createMasteringVoice(
            engineOf(engine), &created, args.inputChannels, args.inputSampleRate, args.flags,
            nullptr, nullptr, static_cast<FAudioStreamCategory>(args.streamCategory)));
        voice = created;
        return result;
    }
    void releaseEngine(Engine engine) override { functions_.release(engineOf(engine)); }
    void destroyVoice(Voice voice) override {
        functions_.destroyVoice(static_cast<FAudioVoice*>(voice));
    }

    HRESULT createSourceVoice(Engine engine, Voice& voice, const SourceVoiceArgs& args) override {
        FAudioSourceVoice* created = nullptr;
        const auto result = static_cast<HRESULT>(functions_.createSourceVoice(
            engineOf(engine), &created, static_cast<const FAudioWaveFormatEx*>(args.format),
            args.flags, args.maxFrequencyRatio, nullptr, nullptr, nullptr));
        voice = created;
        return result;
    }
    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                               const PacketTable* packets) override {
        // The FAudio this library is built for has no WMA or XMA2 decoder: it would take the
        // buffer and play silence. A buffer with a packet table is refused instead, so that the
        // caller hears of it.
        if (packets != nullptr) {
            return kXAudio2InvalidCall;
        }
        const auto description = describeForEngine<FAudioBuffer>(buffer);
        return static_cast<HRESULT>(
            functions_.submit(static_cast<FAudioSourceVoice*>(voice), &description, nullptr));
    }
    HRESULT start(Voice voice, std::uint32_t flags, std::uint32_t operationSet) override {
        return static_cast<HRESULT>(
            functions_.start(static_cast<FAudioSourceVoice*>(voice), flags, operationSet));
    }
    std::uint32_t buffersQueued(Voice voice) override {
        FAudioVoiceState state{};
        functions_.getState(static_cast<FAudioSourceVoice*>(voice), &state, 0);
        return state.BuffersQueued;
    }
    void sleepMilliseconds(std::uint32_t milliseconds) override { ::usleep(milliseconds * 1000u); }

private:
    FAudioFunctions functions_;
    std::uint32_t error_ = 0;  // read right after the failed call, on the same thread
};

}  // namespace

AudioPlatform& systemAudioPlatform() {
    static FAudioPlatform platform;
    return platform;
}

}  // namespace chimebox
