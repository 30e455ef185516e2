#pragma once
// Owners of the engine's objects inside one native call: each gives its object back through the
// platform unless released to the Java object's fields.

#include <memory>

#include "audio_platform.h"

namespace chimebox {

struct EngineRelease {
    AudioPlatform* audio;
    void operator()(void* engine) const noexcept { audio->releaseEngine(engine); }
};
using EngineOwner = std::unique_ptr<void, EngineRelease>;

struct VoiceDestroy {
    AudioPlatform* audio;
    void operator()(void* voice) const noexcept { audio->destroyVoice(voice); }
};
using VoiceOwner = std::unique_ptr<void, VoiceDestroy>;

}  // namespace chimebox
