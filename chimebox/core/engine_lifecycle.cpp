// initialize and release: COM membership, the engine library cache, the engine and its
// mastering voice.

#include <atomic>
#include <optional>
#include <utility>

#include "audio_owners.h"
#include "java_object.h"
#include "messages.h"
#include "player.h"

namespace chimebox {
namespace {

// A handle as the Java object's long field holds it, and back.
template <typename Handle>
jlong toField(Handle handle) {
    return static_cast<jlong>(reinterpret_cast<std::intptr_t>(handle));
}
template <typename Handle>
Handle fromField(jlong value) {
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(value));
}

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

// Loads the engine library and looks up its entry points into the cache, module last. A
// library without either entry point is cached too: later calls find it and call nothing.
HRESULT loadIntoCache(AudioPlatform& audio, EngineLibraryCache& cache,
                      AudioPlatform::Module& module) {
    module = audio.loadEngineLibrary();
    if (module == nullptr) {
        return orFailure(hresultFromWin32(audio.lastError()), nullptr);
    }
    AudioPlatform::EntryPoint plain = nullptr;
    const AudioPlatform::EntryPoint versioned =
        audio.findEntryPoint(module, "XAudio2CreateWithVersionInfo");
    HRESULT result = kOk;
    if (versioned == nullptr) {
        plain = audio.findEntryPoint(module, "XAudio2Create");
        if (plain == nullptr) {
            result = orFailure(hresultFromWin32(audio.lastError()), nullptr);
        }
    }
    cache.versioned.store(versioned, std::memory_order_relaxed);
    cache.plain.store(plain, std::memory_order_relaxed);
    cache.module.store(module, std::memory_order_release);
    return result;
}

}  // namespace

HRESULT createEngine(AudioPlatform& audio, EngineLibraryCache& cache,
                     AudioPlatform::Engine& engine) {
    if (AudioPlatform::Module module = cache.module.load(std::memory_order_acquire);
        module == nullptr) {
        if (const HRESULT loaded = loadIntoCache(audio, cache, module); failed(loaded)) {
            return loaded;
        }
    }
    if (const auto versioned = cache.versioned.load(std::memory_order_relaxed)) {
        const HRESULT result =
            audio.callVersionedFactory(versioned, engine, 0, kProcessor1, kNtddiWin10Fe);
        return orFailure(result, engine);
    }
    if (const auto plain = cache.plain.load(std::memory_order_relaxed)) {
        const HRESULT result = audio.callFactory(plain, engine, 0, kProcessor1);
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
    EngineOwner engine(&audio, created);

    AudioPlatform::Voice createdVoice = nullptr;
    const MasteringVoiceArgs args{0, 0, 0, kAudioCategoryGameEffects};
    const HRESULT mastering = audio.createMasteringVoice(engine.get(), createdVoice, args);
    if (const HRESULT result = orFailure(mastering, createdVoice); failed(result)) {
        engine.reset();
        apartment.leave();
        throwAudioPlayerException(env, messages::masteringVoiceFailed(result));
        return;
    }
    VoiceOwner voice(&audio, createdVoice);

    // Both fields are found before either is written: an object that cannot hold the pair
    // holds neither, and the call gives back all it made before raising.
    const jfieldID engineField = findLongField(env, self, kEngineField);
    const jfieldID voiceField =
        engineField != nullptr ? findLongField(env, self, kMasteringVoiceField) : nullptr;
    if (voiceField == nullptr) {
        voice.reset();
        engine.reset();
        apartment.leave();
        raiseMissingField(env, engineField == nullptr ? kEngineField : kMasteringVoiceField);
        return;
    }
    // From here the object owns the engine, the voice and the apartment membership.
    env->SetLongField(self, engineField, toField(engine.release()));
    env->SetLongField(self, voiceField, toField(voice.release()));
    apartment.keep();
}

void releasePlayer(JNIEnv* env, jobject self, AudioPlatform& audio) {
    // A missing field ends the JNI work at its raise; the apartment is left all the same.
    const ApartmentMembership apartment(audio);
    const std::optional<jlong> voice = getNativeHandle(env, self, kMasteringVoiceField);
    if (!voice) {
        return;
    }
    if (*voice != 0) {
        audio.destroyVoice(fromField<AudioPlatform::Voice>(*voice));
        if (!setNativeHandle(env, self, kMasteringVoiceField, 0)) {
            return;
        }
    }
    const std::optional<jlong> engine = getNativeHandle(env, self, kEngineField);
    if (engine && *engine != 0) {
        audio.releaseEngine(fromField<AudioPlatform::Engine>(*engine));
        static_cast<void>(setNativeHandle(env, self, kEngineField, 0));
    }
}

}  // namespace chimebox
