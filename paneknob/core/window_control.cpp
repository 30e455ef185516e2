#include "window_control.h"

namespace paneknob {
namespace {

// The window of `title` with `action` done to it, as a code.
template <typename Action>
std::int32_t actOn(WindowSystem& platform, const char* title, Action action) {
    const std::optional<WindowSystem::Window> window = findWindowByTitle(platform, title);
    if (!window) {
        return kUnreachable;
    }
    if (*window == nullptr) {
        return kNoWindow;
    }
    return action(*window) ? kDone : kNotDone;
}

}  // namespace

std::optional<WindowSystem::Window> findWindowByTitle(WindowSystem& platform, const char* title) {
    if (title == nullptr) {
        return WindowSystem::Window{nullptr};
    }
    return platform.findTopLevelWindow(title);
}

std::int32_t setWindowFlags(WindowSystem& platform, const char* title) {
    return actOn(platform, title, [&](auto window) { return platform.removeBoxes(window); });
}

std::int32_t minimize(WindowSystem& platform, const char* title) {
    return actOn(platform, title, [&](auto window) { return platform.minimize(window); });
}

std::int32_t restore(WindowSystem& platform, const char* title) {
    return actOn(platform, title,
                 [&](auto window) { return platform.showWithoutActivating(window); });
}

std::int32_t restoreAndActivate(WindowSystem& platform, const char* title) {
    return actOn(platform, title, [&](auto window) { return platform.restoreAndActivate(window); });
}

}  // namespace paneknob
