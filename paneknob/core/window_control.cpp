#include "window_control.h"

#include <memory>
#include <new>

namespace paneknob {

WindowPlatform::Window findWindowByTitle(WindowPlatform& platform, const char* title) {
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

std::int32_t setWindowFlags(WindowPlatform& platform, const char* title) {
    const WindowPlatform::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    const std::int64_t style = platform.style(window);
    platform.setStyle(window, style & ~(kMinimizeBox | kMaximizeBox));
    platform.refreshFrame(window, kRefreshFrameFlags);
    return kDone;
}

std::int32_t minimize(WindowPlatform& platform, const char* title) {
    const WindowPlatform::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    platform.show(window, kShowMinimize);
    return kDone;
}

std::int32_t restore(WindowPlatform& platform, const char* title) {
    const WindowPlatform::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    platform.show(window, kShowNoActivate);
    return kDone;
}

std::int32_t restoreAndActivate(WindowPlatform& platform, const char* title) {
    const WindowPlatform::Window window = findWindowByTitle(platform, title);
    if (window == nullptr) {
        return kNoWindow;
    }
    platform.show(window, kShowRestore);
    if (platform.bringToForeground(window)) {
        return kDone;
    }
    return platform.activate(window) != nullptr ? kDone : kNotActivated;
}

}  // namespace paneknob
