#include "user32_windows.h"

#include <memory>
#include <new>

namespace paneknob {

std::optional<WindowSystem::Window> User32Windows::findTopLevelWindow(const char* title) {
    const std::unique_ptr<char16_t[]> buffer(new (std::nothrow) char16_t[kTitleCapacity]);
    if (!buffer || user32_.convertTitle(title, buffer.get(), kTitleCapacity) <= 0) {
        return Window{nullptr};
    }
    return user32_.findTopLevelWindow(buffer.get());
}

}  // namespace paneknob
