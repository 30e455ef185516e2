// The engine's half of a play: the format check, the source voice, the buffer, the wait.

#include "sound_play.h"

#include "audio_owners.h"
#include "source_format.h"

namespace chimebox {
namespace {

constexpr std::uint32_t kPollMilliseconds = 10;

AudioBuffer describeBuffer(const WaveFileData& data) {
    AudioBuffer buffer;
    buffer.flags = kEndOfStream;
    buffer.audioBytes = data.audioDataBytes;
    buffer.audioData = data.audioData;
    buffer.formatTag = encodingTagOf(data.waveFormat);
    if (data.loopLength != 0) {
        buffer.loopBegin = data.loopStart;
        buffer.loopLength = data.loopLength;
        buffer.loopCount = 1;  // the region is heard twice
    }
    return buffer;
}

}  // namespace

PlayOutcome playSound(AudioPlatform& audio, AudioPlatform::Engine engine, const WaveFileData& data,
                      std::uint32_t maxPolls, const std::function<bool()>& stopWaiting) {
    // A format or buffer the engine documents as invalid never reaches it: not every engine
    // checks. Each is refused with the step at which the engine refuses it.
    if (const HRESULT checked = checkSourceFormat(data.waveFormat); failed(checked)) {
        return {PlayOutcome::Step::kSourceVoice, checked};
    }
    const bool withPackets = data.seekTable != nullptr;
    if (const HRESULT checked = checkSourceBuffer(data); failed(checked)) {
        return {PlayOutcome::Step::kSubmit, checked, withPackets};
    }
    AudioPlatform::Voice created = nullptr;
    if (const HRESULT result = audio.createSourceVoice(engine, created, data.waveFormat);
        failed(result) || created == nullptr) {
        return {PlayOutcome::Step::kSourceVoice, failed(result) ? result : kFail};
    }
    VoiceOwner voice(&audio, created);

    const AudioBuffer buffer = describeBuffer(data);
    const PacketTable packets{data.seekTable, data.seekTableEntries};
    if (const HRESULT submitted =
            audio.submitSourceBuffer(voice.get(), buffer, withPackets ? &packets : nullptr);
        failed(submitted)) {
        return {PlayOutcome::Step::kSubmit, submitted, withPackets};
    }

    if (failed(audio.start(voice.get()))) {
        return {};  // nothing raised; the voice is destroyed and the bytes freed
    }
    std::uint32_t polls = 0;
    for (bool running = true; running;) {
        running = audio.buffersQueued(voice.get()) > 0;
        audio.sleepMilliseconds(kPollMilliseconds);
        running = running && (maxPolls == kUnboundedPolls || ++polls < maxPolls) &&
                  !(stopWaiting && stopWaiting());
    }
    return {};
}

}  // namespace chimebox
