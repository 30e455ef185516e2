// The C exports of paneknob.dll and libpaneknob.so: a title in the process's 8-bit character set
// in, an int32 code out (0 done, -1 no such window, -2 not done, -3 no window system reached).

#include <paneknob.h>

#include <cstdint>
#include <memory>

#include "core/platforms.h"
#include "core/window_control.h"

namespace {

using Action = std::int32_t (*)(paneknob::WindowSystem& system, const char* title);

// One export call: the call's window system, then the action on it. No exception leaves it.
std::int32_t run(Action action, const char* title) noexcept {
    try {
        const std::shared_ptr<paneknob::WindowSystem> system = paneknob::windowSystemForCall();
        return action(*system, title);
    } catch (...) {
        return paneknob::kNoWindow;  // no memory or no thread for the call: no window found
    }
}

}  // namespace

extern "C" {

std::int32_t setWindowFlags(const char* title) {
    return run(&paneknob::setWindowFlags, title);
}

std::int32_t minimize(const char* title) {
    return run(&paneknob::minimize, title);
}

std::int32_t restore(const char* title) {
    return run(&paneknob::restore, title);
}

std::int32_t restoreAndActivate(const char* title) {
    return run(&paneknob::restoreAndActivate, title);
}

}  // extern "C"
