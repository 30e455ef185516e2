// The engine's half of a play: the format check, the source voice, the buffer, the wait.

#include "sound_play.h"

#include "audio_owners.h"
#include "format_tags.h"
#include "little_endian.h"
#include "source_format.h"

namespace chimebox {
namespace {

constexpr std::uint32_t kPollMilliseconds = 10;

// The tag that names the voice's encoding: the sub-format's for an extensible format.
std::uint16_t formatTagOf(const void* waveFormat) {
    constexpr std::size_t kSubFormatOffset = 24;
    const auto* format = static_cast<const std::uint8_t*>(waveFormat);
    const std::uint16_t tag = read16(format);
    return tag == tags::kExtensible ? read16(format + kSubFormatOffset) : tag;
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

PlayOutcome playSound(AudioPlatform& audio, AudioPlatform::Engine engine, const WaveFileData& data,
                      std::uint32_t maxPolls) {
    // A format the engine documents as invalid never reaches it: not every engine checks.
    if (const HRESULT checked = checkSourceFormat(data.waveFormat); failed(checked)) {
        return {PlayOutcome::Step::kSourceVoice, checked};
    }
    AudioPlatform::Voice created = nullptr;
    if (const HRESULT result = audio.createSourceVoice(engine, created, data.waveFormat);
        failed(result) || created == nullptr) {
        return {PlayOutcome::Step::kSourceVoice, failed(result) ? result : kFail};
    }
    VoiceOwner voice(&audio, created);

    const AudioBuffer buffer = describeBuffer(data);
    const bool withPackets = data.seekTable != nullptr;
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
        running = running && (maxPolls == kUnboundedPolls || ++polls < maxPolls);
    }
    return {};
}

}  // namespace chimebox
