#include "window_control.h"

namespace paneknob {

WindowSystem::Window findWindowByTitle(WindowSystem& platform, const char* title) {
    return title != nullptr ? platform.findTopLevelWindow(title) : nullptr;
}

std::int32_t setWindowFlags(WindowSystem& platform, const char* title) {
    const WindowSystem::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    platform.removeBoxes(window);
    return kDone;
}

std::int32_t minimize(WindowSystem& platform, const char* title) {
    const WindowSystem::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    return platform.minimize(window) ? kDone : kNotMinimized;
}

std::int32_t restore(WindowSystem& platform, const char* title) {
    const WindowSystem::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    platform.showWithoutActivating(window);
    return kDone;
}

std::int32_t restoreAndActivate(WindowSystem& platform, const char* title) {
    const WindowSystem::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    return platform.restoreAndActivate(window) ? kDone : kNotActivated;
}

}  // namespace paneknob
