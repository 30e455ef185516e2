#include "window_control.h"

#include <memory>
#include <new>

namespace paneknob {

WindowSystem::Window findWindowByTitle(WindowSystem& platform, const char* title) {
    if (title == nullptr) {
        return nullptr;
    }
    const std::unique_ptr<char16_t[]> buffer(new (std::nothrow) char16_t[kTitleCapacity]);
    if (!buffer) {
        return nullptr;
    }
    if (platform.convertTitle(title, buffer.get(), kTitleCapacity) <= 0) {
        return nullptr;
    }
    return platform.findTopLevelWindow(buffer.get());
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
