// initialize and release: the calling thread made ready for the engine, the engine and its
// mastering voice.

#include <atomic>
#include <optional>
#include <utility>

#include "audio_owners.h"
#include "engine_plays.h"
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

// The calling thread's readiness for the engine, given back unless kept.
class ThreadReadiness {
public:
    explicit ThreadReadiness(AudioPlatform& audio) : audio_(&audio) {}
    ThreadReadiness(const ThreadReadiness&) = delete;
    ThreadReadiness& operator=(const ThreadReadiness&) = delete;
    ~ThreadReadiness() { leave(); }

    void leave() noexcept {
        if (audio_ != nullptr) {
            std::exchange(audio_, nullptr)->releaseThread();
        }
    }
    // The membership now belongs to the object; release() ends it.
    void keep() noexcept { audio_ = nullptr; }

private:
    AudioPlatform* audio_;
};

}  // namespace

void initializePlayer(JNIEnv* env, jobject self, AudioPlatform& audio) {
    if (const HRESULT readied = audio.readyThread(); failed(readied)) {
        throwAudioPlayerException(env, messages::comInitFailed(readied));
        return;
    }
    ThreadReadiness readiness(audio);

    AudioPlatform::Engine created = nullptr;
    const HRESULT engineResult = audio.createEngine(created);
    if (const HRESULT result = orFailure(engineResult, created); failed(result)) {
        readiness.leave();
        throwAudioPlayerException(env, messages::engineInitFailed(result));
        return;
    }
    EngineOwner engine(&audio, created);

    AudioPlatform::Voice createdVoice = nullptr;
    const HRESULT mastering = audio.createMasteringVoice(engine.get(), createdVoice);
    if (const HRESULT result = orFailure(mastering, createdVoice); failed(result)) {
        engine.reset();
        readiness.leave();
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
        readiness.leave();
        raiseMissingField(env, engineField == nullptr ? kEngineField : kMasteringVoiceField);
        return;
    }
    // From here the object owns the engine, the voice and the thread's readiness.
    env->SetLongField(self, engineField, toField(engine.release()));
    env->SetLongField(self, voiceField, toField(voice.release()));
    readiness.keep();
}

void releasePlayer(JNIEnv* env, jobject self, AudioPlatform& audio) {
    // A missing field ends the JNI work at its raise; the thread is released all the same.
    const ThreadReadiness readiness(audio);
    const std::optional<jlong> voice = getNativeHandle(env, self, kMasteringVoiceField);
    if (!voice) {
        return;
    }
    // Plays still running on this engine (a breach of the contract) take the engine over.
    if (anyEnginePlays()) {
        const std::optional<jlong> engine = getNativeHandle(env, self, kEngineField);
        if (engine && *engine != 0 &&
            handOverToPlays(fromField<AudioPlatform::Engine>(*engine),
                            fromField<AudioPlatform::Voice>(*voice))) {
            static_cast<void>(setNativeHandle(env, self, kMasteringVoiceField, 0) &&
                              setNativeHandle(env, self, kEngineField, 0));
            return;
        }
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
