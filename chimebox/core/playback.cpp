// play: read the file, one source voice, one buffer, poll until it is used up.

#include <memory>
#include <optional>
#include <string>

#include "java_object.h"
#include "messages.h"
#include "player.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

constexpr float kMaxFrequencyRatio = 2.0f;  // XAUDIO2_DEFAULT_FREQ_RATIO
constexpr std::uint32_t kPollMilliseconds = 10;

struct VoiceDestroy {
    AudioPlatform* audio;
    void operator()(void* voice) const noexcept { audio->destroyVoice(voice); }
};
using SourceVoice = std::unique_ptr<void, VoiceDestroy>;

// The path's characters up to its first NUL. The length bounds the copy: JNI does not promise
// a terminator after the characters it returns. Nothing for a null string or a failed copy.
std::optional<std::u16string> copyPath(JNIEnv* env, jstring path) {
    if (path == nullptr) {
        return std::nullopt;
    }
    const jsize length = env->GetStringLength(path);
    const jchar* chars = env->GetStringChars(path, nullptr);
    if (chars == nullptr) {
        return std::nullopt;
    }
    std::u16string copy;
    for (jsize i = 0; i < length && chars[i] != 0; ++i) {
        copy.push_back(static_cast<char16_t>(chars[i]));
    }
    env->ReleaseStringChars(path, chars);
    return copy;
}

AudioBuffer describeBuffer(const WaveFileData& data) {
    AudioBuffer buffer;
    buffer.flags = kEndOfStream;
    buffer.audioBytes = data.audioDataBytes;
    buffer.audioData = data.audioData;
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

    const jlong engine = getNativeHandle(env, self, kEngineField);
    const jlong masteringVoice = getNativeHandle(env, self, kMasteringVoiceField);
    if (engine == 0) {
        throwAudioPlayerException(env, messages::notInitialized(kEngineField));
        return;
    }
    if (masteringVoice == 0) {
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
    const auto engineHandle = reinterpret_cast<void*>(static_cast<std::intptr_t>(engine));
    if (const HRESULT result = audio.createSourceVoice(engineHandle, created, args);
        failed(result) || created == nullptr) {
        throwAudioPlayerException(env,
                                  messages::sourceVoiceFailed(failed(result) ? result : kFail));
        return;
    }
    SourceVoice voice(created, VoiceDestroy{&audio});

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
