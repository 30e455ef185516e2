#pragma once
// Owners of the engine's objects inside one native call: each gives its object back through the
// platform that made it, unless released to the Java object's fields.

#include <ownkit/owned.h>

#include "audio_platform.h"

namespace chimebox {

using EngineOwner = ownkit::Owned<AudioPlatform::Engine, &AudioPlatform::releaseEngine>;
using VoiceOwner = ownkit::Owned<AudioPlatform::Voice, &AudioPlatform::destroyVoice>;

}  // namespace chimebox
