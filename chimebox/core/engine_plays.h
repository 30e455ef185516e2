#pragma once
// The plays under way on each engine. A release while plays run on the same engine breaks the
// caller's contract (no release during a play); it must still neither leave those plays
// waiting forever on a voice of a released engine nor release the engine under them. So a
// release that finds plays on its engine hands its mastering voice and the engine over: the
// release returns at once with both fields 0, each play stops waiting at its next poll (its
// sound cut short) and destroys its voice, and the last play to leave destroys the mastering
// voice and releases the engine.
// Threads: any; one process-wide table under a lock. No allocation failure escapes: a play
// that cannot be entered in the table plays as if none were recorded.

#include "audio_platform.h"

namespace chimebox {

// One play on `engine`, recorded for its lifetime.
class EnginePlay {
public:
    EnginePlay(AudioPlatform& audio, AudioPlatform::Engine engine) noexcept;
    EnginePlay(const EnginePlay&) = delete;
    EnginePlay& operator=(const EnginePlay&) = delete;
    // Leaves the table; the last play of a handed-over engine tears it down.
    ~EnginePlay();

    // True once a release has handed the engine over: the play stops waiting.
    [[nodiscard]] bool released() const noexcept;

private:
    AudioPlatform& audio_;
    AudioPlatform::Engine engine_;
    bool recorded_ = false;
};

// Whether plays are recorded on any engine: a release reads its engine's field only then.
[[nodiscard]] bool anyEnginePlays() noexcept;

// Hands `engine` and its `masteringVoice` over to the plays running on it; false (nothing
// done) when none runs, and the release tears them down itself.
[[nodiscard]] bool handOverToPlays(AudioPlatform::Engine engine,
                                   AudioPlatform::Voice masteringVoice) noexcept;

}  // namespace chimebox
