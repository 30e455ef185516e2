#pragma once
// One loaded sound played on an engine: its format checked, one source voice, the whole sound
// as one buffer, polled until the engine has used it up, the voice destroyed. No JNI: the play
// native maps the outcome onto its messages, and the playback fuzz target drives this with a
// bounded wait.

#include <cstdint>
#include <functional>

#include "audio_platform.h"
#include "wave_reader.h"

namespace chimebox {

// Which step failed, with the code it gave; kPlayed when the voice played (or its start
// failed, which a play reports as nothing).
struct PlayOutcome {
    enum class Step { kPlayed, kSourceVoice, kSubmit };
    Step step = Step::kPlayed;
    HRESULT result = kOk;
    bool withPacketTable = false;  // the submitted buffer carried a packet table
};

inline constexpr std::uint32_t kUnboundedPolls = 0;

// `data` describes bytes that the caller keeps until this returns. `maxPolls` bounds the wait
// (kUnboundedPolls: until the engine reports no buffer queued, as a play waits); so does
// `stopWaiting`, asked after each poll (a release that handed the engine over).
[[nodiscard]] PlayOutcome playSound(AudioPlatform& audio, AudioPlatform::Engine engine,
                                    const WaveFileData& data,
                                    std::uint32_t maxPolls = kUnboundedPolls,
                                    const std::function<bool()>& stopWaiting = {});

}  // namespace chimebox
