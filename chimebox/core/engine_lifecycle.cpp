// initialize and release: COM membership, the engine library cache, the engine and its
// mastering voice.

#include <memory>
#include <utility>

#include "java_object.h"
#include "messages.h"
#include "player.h"

namespace chimebox {
namespace {

jlong toField(void* handle) {
    return static_cast<jlong>(reinterpret_cast<std::intptr_t>(handle));
}
void* fromField(jlong value) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(value));
}

struct EngineRelease {
    AudioPlatform* audio;
    void operator()(void* engine) const noexcept { audio->releaseEngine(engine); }
};
using EngineOwner = std::unique_ptr<void, EngineRelease>;

// The calling thread's membership in the apartment, given back unless kept.
class ApartmentMembership {
public:
    explicit ApartmentMembership(AudioPlatform& audio) : audio_(&audio) {}
    ApartmentMembership(const ApartmentMembership&) = delete;
    ApartmentMembership& operator=(const ApartmentMembership&) = delete;
    ~ApartmentMembership() { leave(); }

    void leave() noexcept {
        if (audio_ != nullptr) {
            std::exchange(audio_, nullptr)->leaveApartment();
        }
    }
    // The membership now belongs to the object; release() ends it.
    void keep() noexcept { audio_ = nullptr; }

private:
    AudioPlatform* audio_;
};

// A platform that reports success without a result still fails: nothing may go on without it.
HRESULT orFailure(HRESULT result, const void* produced) {
    return !failed(result) && produced == nullptr ? kFail : result;
}

}  // namespace

HRESULT createEngine(AudioPlatform& audio, EngineLibraryCache& cache,
                     AudioPlatform::Engine& engine) {
    if (cache.module == nullptr) {
        const AudioPlatform::Module module = audio.loadEngineLibrary();
        if (module == nullptr) {
            return orFailure(hresultFromWin32(audio.lastError()), nullptr);
        }
        cache.module = module;
        cache.versioned = audio.findEntryPoint(module, "XAudio2CreateWithVersionInfo");
        if (cache.versioned == nullptr) {
            cache.plain = audio.findEntryPoint(module, "XAudio2Create");
            if (cache.plain == nullptr) {
                return orFailure(hresultFromWin32(audio.lastError()), nullptr);
            }
        }
    }
    if (cache.versioned != nullptr) {
        const HRESULT result =
            audio.callVersionedFactory(cache.versioned, engine, 0, kProcessor1, kNtddiWin10Fe);
        return orFailure(result, engine);
    }
    if (cache.plain != nullptr) {
        const HRESULT result = audio.callFactory(cache.plain, engine, 0, kProcessor1);
        return orFailure(result, engine);
    }
    // An earlier call loaded a library that has neither entry point.
    return kProcNotFound;
}

void initializePlayer(JNIEnv* env, jobject self, AudioPlatform& audio, EngineLibraryCache& cache) {
    if (const HRESULT joined = audio.joinApartment(); failed(joined)) {
        throwAudioPlayerException(env, messages::comInitFailed(joined));
        return;
    }
    ApartmentMembership apartment(audio);

    AudioPlatform::Engine created = nullptr;
    if (const HRESULT result = createEngine(audio, cache, created); failed(result)) {
        apartment.leave();
        throwAudioPlayerException(env, messages::engineInitFailed(result));
        return;
    }
    EngineOwner engine(created, EngineRelease{&audio});

    AudioPlatform::Voice voice = nullptr;
    const MasteringVoiceArgs args{0, 0, 0, kAudioCategoryGameEffects};
    const HRESULT mastering = audio.createMasteringVoice(engine.get(), voice, args);
    if (const HRESULT result = orFailure(mastering, voice); failed(result)) {
        engine.reset();
        apartment.leave();
        throwAudioPlayerException(env, messages::masteringVoiceFailed(result));
        return;
    }

    // Both stores are attempted; from here the object owns the engine, the voice and the
    // apartment membership.
    setNativeHandle(env, self, kEngineField, toField(engine.release()));
    setNativeHandle(env, self, kMasteringVoiceField, toField(voice));
    apartment.keep();
}

void releasePlayer(JNIEnv* env, jobject self, AudioPlatform& audio) {
    if (const jlong voice = getNativeHandle(env, self, kMasteringVoiceField); voice != 0) {
        audio.destroyVoice(fromField(voice));
        setNativeHandle(env, self, kMasteringVoiceField, 0);
    }
    if (const jlong engine = getNativeHandle(env, self, kEngineField); engine != 0) {
        audio.releaseEngine(fromField(engine));
        setNativeHandle(env, self, kEngineField, 0);
    }
    audio.leaveApartment();
}

}  // namespace chimebox
