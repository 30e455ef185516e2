// The process-wide table of plays per engine (engine_plays.h).

#include "engine_plays.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace chimebox {
namespace {

struct EngineUse {
    AudioPlatform::Engine engine = nullptr;
    unsigned plays = 0;
    bool handedOver = false;
    AudioPlatform::Voice masteringVoice = nullptr;
};

std::mutex tableLock;
std::vector<EngineUse>& table() {
    static std::vector<EngineUse> uses;
    return uses;
}

std::vector<EngineUse>::iterator find(AudioPlatform::Engine engine) {
    return std::find_if(table().begin(), table().end(),
                        [engine](const EngineUse& use) { return use.engine == engine; });
}

}  // namespace

EnginePlay::EnginePlay(AudioPlatform& audio, AudioPlatform::Engine engine) noexcept
    : audio_(audio), engine_(engine) {
    const std::lock_guard hold(tableLock);
    const auto use = find(engine);
    if (use != table().end()) {
        recorded_ = !use->handedOver;  // a released engine takes no new play's record
        use->plays += recorded_ ? 1 : 0;
        return;
    }
    try {
        table().push_back({engine, 1, false, nullptr});
        recorded_ = true;
    } catch (const std::bad_alloc&) {
        recorded_ = false;
    }
}

EnginePlay::~EnginePlay() {
    if (!recorded_) {
        return;
    }
    EngineUse left;
    {
        const std::lock_guard hold(tableLock);
        const auto use = find(engine_);
        if (--use->plays > 0) {
            return;
        }
        left = *use;
        table().erase(use);
    }
    if (left.handedOver) {
        if (left.masteringVoice != nullptr) {
            audio_.destroyVoice(left.masteringVoice);
        }
        audio_.releaseEngine(left.engine);
    }
}

bool EnginePlay::released() const noexcept {
    if (!recorded_) {
        return false;
    }
    const std::lock_guard hold(tableLock);
    return find(engine_)->handedOver;
}

bool anyEnginePlays() noexcept {
    const std::lock_guard hold(tableLock);
    return !table().empty();
}

bool handOverToPlays(AudioPlatform::Engine engine, AudioPlatform::Voice masteringVoice) noexcept {
    const std::lock_guard hold(tableLock);
    const auto use = find(engine);
    if (use == table().end() || use->handedOver) {
        return false;
    }
    use->handedOver = true;
    use->masteringVoice = masteringVoice;
    return true;
}

}  // namespace chimebox
