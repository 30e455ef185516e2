// play: read the file, one source voice, one buffer, poll until it is used up.

#include <cstring>
#include <optional>
#include <string>

#include "audio_owners.h"
#include "java_object.h"
#include "messages.h"
#include "player.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

constexpr float kMaxFrequencyRatio = 2.0f;  // XAUDIO2_DEFAULT_FREQ_RATIO
constexpr std::uint32_t kPollMilliseconds = 10;

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

// The tag that names the voice's encoding: the sub-format's for an extensible format.
std::uint16_t formatTagOf(const void* waveFormat) {
    constexpr std::uint16_t kExtensible = 0xFFFE;
    const auto* format = static_cast<const std::uint8_t*>(waveFormat);
    std::uint16_t tag = 0;
    std::memcpy(&tag, format, sizeof(tag));
    if (tag == kExtensible) {
        std::memcpy(&tag, format + 24, sizeof(tag));  // SubFormat's first bytes
    }
    return tag;
}

AudioBuffer describeBuffer(const WaveFileData& data) {
    AudioBuffer buffer;
    buffer.flags = kEndOfStream;
    buffer.audioBytes = data.audioDataBytes;
    buffer.audioData = data.audioData;
    buffer.formatTag = formatTagOf(data.waveFormat);
    if (data.loopLength != 0) {
        buffer.loopBegin = data.loopStart;
        buffer.loopLength = data.loopLength;
        buffer.loopCount = 1;  // the region is heard twice
    }
    return buffer;
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

    AudioPlatform::Voice created = nullptr;
    const SourceVoiceArgs args{data.waveFormat, 0, kMaxFrequencyRatio};
    const auto engineHandle =
        reinterpret_cast<AudioPlatform::Engine>(static_cast<std::intptr_t>(*engine));
    if (const HRESULT result = audio.createSourceVoice(engineHandle, created, args);
        failed(result) || created == nullptr) {
        throwAudioPlayerException(env,
                                  messages::sourceVoiceFailed(failed(result) ? result : kFail));
        return;
    }
    VoiceOwner voice(&audio, created);

    const AudioBuffer buffer = describeBuffer(data);
    const bool withPackets = data.seekTable != nullptr;
    const PacketTable packets{data.seekTable, data.seekTableEntries};
    if (const HRESULT submitted =
            audio.submitSourceBuffer(voice.get(), buffer, withPackets ? &packets : nullptr);
        failed(submitted)) {
        voice.reset();
        throwAudioPlayerException(env, messages::submitFailed(submitted, withPackets));
        return;
    }

    if (failed(audio.start(voice.get(), 0, 0))) {
        return;  // nothing raised; the voice is destroyed and the bytes freed
    }
    for (bool running = true; running;) {
        running = audio.buffersQueued(voice.get()) > 0;
        audio.sleepMilliseconds(kPollMilliseconds);
    }
}

}  // namespace chimebox
