// libFuzzer target past the reader: whatever the reader accepts is played, as a play plays it
// (format check, source voice, buffer, start, polls), through the FAudio adapter on a real
// FAudio engine whose output is SDL's dummy driver. The wait is bounded to a few polls, so a
// sound of any length costs tens of milliseconds; the engine decodes on its own thread
// meanwhile, and a crash there is a finding like one here.

#include <cstdint>
#include <cstdlib>

#include "audio_owners.h"
#include "bytes_as_file.h"
#include "sound_play.h"
#include "wave_reader.h"

namespace {

using chimebox::AudioPlatform;

constexpr std::uint32_t kPollsPerInput = 3;

// One engine and mastering voice for the whole run, as one WavPlayer holds them.
struct Engine {
    AudioPlatform& audio = chimebox::systemAudioPlatform();
    AudioPlatform::Engine engine = nullptr;
    AudioPlatform::Voice mastering = nullptr;

    Engine() {
        chimebox::fuzz::require(!chimebox::failed(audio.createEngine(engine)) && engine != nullptr);
        chimebox::fuzz::require(!chimebox::failed(audio.createMasteringVoice(engine, mastering)));
    }
};

Engine& engine() {
    static Engine shared;
    return shared;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    static_cast<void>(engine());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    chimebox::fuzz::BytesAsFile file(data, size);
    chimebox::FileBytes bytes;
    chimebox::WaveFileData described{};
    if (chimebox::failed(chimebox::loadWaveFile(file, u"fuzz.wav", bytes, described))) {
        return 0;
    }
    Engine& shared = engine();
    static_cast<void>(chimebox::playSound(shared.audio, shared.engine, described, kPollsPerInput));
    return 0;
}
