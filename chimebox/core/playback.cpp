// play: the path, the handles, the file; then the engine's half (sound_play.h).

#include <optional>
#include <string>

#include "audio_owners.h"
#include "engine_plays.h"
#include "java_object.h"
#include "messages.h"
#include "player.h"
#include "sound_play.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

// Characters of a Java string, pinned until the owner goes.
class PinnedChars {
public:
    PinnedChars(JNIEnv* env, jstring text)
        : env_(env), text_(text), chars_(env->GetStringChars(text, nullptr)) {}
    PinnedChars(const PinnedChars&) = delete;
    PinnedChars& operator=(const PinnedChars&) = delete;
    ~PinnedChars() {
        if (chars_ != nullptr) {
            env_->ReleaseStringChars(text_, chars_);
        }
    }
    [[nodiscard]] const jchar* get() const { return chars_; }

private:
    JNIEnv* env_;
    jstring text_;
    const jchar* chars_;
};

// The path's characters up to its first NUL. The length bounds the copy: JNI does not promise
// a terminator after the characters it returns. Nothing for a null string or a failed copy
// (whose OutOfMemoryError is cleared: the caller raises its own message).
std::optional<std::u16string> copyPath(JNIEnv* env, jstring path) {
    if (path == nullptr) {
        return std::nullopt;
    }
    const jsize length = env->GetStringLength(path);
    const PinnedChars chars(env, path);
    if (chars.get() == nullptr) {
        if (env->ExceptionCheck() == JNI_TRUE) {
            env->ExceptionClear();
        }
        return std::nullopt;
    }
    std::u16string copy;
    for (jsize i = 0; i < length && chars.get()[i] != 0; ++i) {
        copy.push_back(static_cast<char16_t>(chars.get()[i]));
    }
    return copy;
}

}  // namespace

void playFile(JNIEnv* env, jobject self, jstring path, AudioPlatform& audio, FileSystem& files) {
    const std::optional<std::u16string> filePath = copyPath(env, path);

    const std::optional<jlong> engine = getNativeHandle(env, self, kEngineField);
    if (!engine) {
        return;
    }
    const std::optional<jlong> masteringVoice = getNativeHandle(env, self, kMasteringVoiceField);
    if (!masteringVoice) {
        return;
    }
    if (*engine == 0) {
        throwAudioPlayerException(env, messages::notInitialized(kEngineField));
        return;
    }
    if (*masteringVoice == 0) {
        throwAudioPlayerException(env, messages::notInitialized(kMasteringVoiceField));
        return;
    }

    // Released after the voice: the engine reads the sound straight from these bytes.
    FileBytes bytes;
    WaveFileData data{};
    const HRESULT loaded = loadWaveFile(files, filePath ? filePath->c_str() : nullptr, bytes, data);
    if (failed(loaded)) {
        throwAudioPlayerException(env, messages::readFailed(loaded, filePath.value_or(u"")));
        return;
    }

    const auto engineHandle =
        reinterpret_cast<AudioPlatform::Engine>(static_cast<std::intptr_t>(*engine));
    const EnginePlay recorded(audio, engineHandle);
    const PlayOutcome played =
        playSound(audio, engineHandle, data, kUnboundedPolls, [&] { return recorded.released(); });
    switch (played.step) {
        case PlayOutcome::Step::kSourceVoice:
            throwAudioPlayerException(env, messages::sourceVoiceFailed(played.result));
            return;
        case PlayOutcome::Step::kSubmit:
            throwAudioPlayerException(
                env, messages::submitFailed(played.result, played.withPacketTable));
            return;
        case PlayOutcome::Step::kPlayed:
            return;
    }
}

}  // namespace chimebox
