// The XAudio2 calls of xaudio2_calls.h over COM and XAudio2 2.9 itself, loaded at run time from
// the system directory, under the engine sequence of xaudio2_engine.h.

#include <objbase.h>
#include <windows.h>
#include <xaudio2.h>

#include "../core/player.h"
#include "xaudio2_engine.h"

namespace chimebox {
namespace {

static_assert(sizeof(long) == sizeof(HRESULT), "Windows HRESULT is 32 bits");

using VersionedFactory = ::HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR, DWORD);
using PlainFactory = ::HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);

// The engine's objects behind the platform's handle types, and back. A voice handle holds the
// voice's own interface pointer (mastering or source); IXAudio2Voice is its first base.
template <typename Handle, typename Object>
Handle handleOf(Object* object) {
    return reinterpret_cast<Handle>(object);
}
IXAudio2* engineOf(XAudio2Calls::Engine handle) {
    return reinterpret_cast<IXAudio2*>(handle);
}
IXAudio2Voice* voiceOf(XAudio2Calls::Voice handle) {
    return reinterpret_cast<IXAudio2Voice*>(handle);
}
IXAudio2SourceVoice* sourceOf(XAudio2Calls::Voice handle) {
    return reinterpret_cast<IXAudio2SourceVoice*>(handle);
}

class SystemXAudio2Calls final : public XAudio2Calls {
public:
    HRESULT joinApartment() override { return ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void leaveApartment() override { ::CoUninitialize(); }

    Module loadEngineLibrary() override {
        return handleOf<Module>(
            ::LoadLibraryExW(L"xaudio2_9.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    EntryPoint findEntryPoint(Module module, const char* name) override {
        return reinterpret_cast<EntryPoint>(
            ::GetProcAddress(reinterpret_cast<HMODULE>(module), name));
    }
    Win32Error lastError() override { return Win32Error{::GetLastError()}; }

    HRESULT callVersionedFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                                 std::uint32_t processor, std::uint32_t ntddiVersion) override {
        IXAudio2* created = nullptr;
        const ::HRESULT result = reinterpret_cast<VersionedFactory>(factory)(
            &created, flags, static_cast<XAUDIO2_PROCESSOR>(processor), ntddiVersion);
        engine = handleOf<Engine>(created);
        return result;
    }
    HRESULT callFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                        std::uint32_t processor) override {
        IXAudio2* created = nullptr;
        const ::HRESULT result = reinterpret_cast<PlainFactory>(factory)(
            &created, flags, static_cast<XAUDIO2_PROCESSOR>(processor));
        engine = handleOf<Engine>(created);
        return result;
    }

    HRESULT createMasteringVoice(Engine engine, Voice& voice,
                                 const MasteringVoiceArgs& args) override {
        IXAudio2MasteringVoice* created = nullptr;
        const ::HRESULT result = engineOf(engine)->CreateMasteringVoice(
            &created, args.inputChannels, args.inputSampleRate, args.flags, nullptr, nullptr,
            static_cast<AUDIO_STREAM_CATEGORY>(args.streamCategory));
        voice = handleOf<Voice>(created);
        return result;
    }
    void releaseEngine(Engine engine) override { engineOf(engine)->Release(); }
    void destroyVoice(Voice voice) override { voiceOf(voice)->DestroyVoice(); }

    HRESULT createSourceVoice(Engine engine, Voice& voice, const SourceVoiceArgs& args) override {
        IXAudio2SourceVoice* created = nullptr;
        const ::HRESULT result = engineOf(engine)->CreateSourceVoice(
            &created, static_cast<const WAVEFORMATEX*>(args.format), args.flags,
            args.maxFrequencyRatio, nullptr, nullptr, nullptr);
        voice = handleOf<Voice>(created);
        return result;
    }

    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& buffer,
                               const PacketTable* packets) override {
        const auto description = describeForEngine<XAUDIO2_BUFFER>(buffer);
        if (packets == nullptr) {
            return sourceOf(voice)->SubmitSourceBuffer(&description, nullptr);
        }
        XAUDIO2_BUFFER_WMA table{};
        table.pDecodedPacketCumulativeBytes = static_cast<const UINT32*>(packets->cumulativeBytes);
        table.PacketCount = packets->packetCount;
        return sourceOf(voice)->SubmitSourceBuffer(&description, &table);
    }
    HRESULT start(Voice voice, std::uint32_t flags, std::uint32_t operationSet) override {
        return sourceOf(voice)->Start(flags, operationSet);
    }
    std::uint32_t buffersQueued(Voice voice) override {
        XAUDIO2_VOICE_STATE state{};
        sourceOf(voice)->GetState(&state, 0);
        return state.BuffersQueued;
    }
    bool runsOnWine() override {
        return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    }
    void sleepMilliseconds(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

AudioPlatform& systemAudioPlatform() {
    static SystemXAudio2Calls calls;
    // Filled by the first initialize that loads the engine library.
    static EngineLibraryCache cache;
    static XAudio2Engine engine(calls, cache);
    return engine;
}

}  // namespace chimebox
