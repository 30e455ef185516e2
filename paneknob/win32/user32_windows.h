#pragma once
// The title lookup and the four window actions in user32's terms: the style bits of the two boxes
// cleared and the frame refreshed, ShowWindow commands, SetForegroundWindow and then
// SetActiveWindow.

#include "../core/window_system.h"
#include "user32_calls.h"

namespace paneknob {

class User32Windows final : public WindowSystem {
public:
    explicit User32Windows(User32Calls& user32) : user32_(user32) {}

    // The title converted from the active code page into a buffer of kTitleCapacity units,
    // then FindWindowW's lookup. A title that cannot be converted or needs more than
    // kTitleCapacity units, or no memory for the buffer, finds nothing. The buffer is released
    // before this returns.
    Window findTopLevelWindow(const char* title) override;
    // Clears the minimize and maximize boxes (every other style bit kept) and refreshes the
    // frame without moving, resizing, restacking or activating the window.
    void removeBoxes(Window window) override {
        const std::int64_t style = user32_.style(window);
        user32_.setStyle(window, style & ~(kMinimizeBox | kMaximizeBox));
        user32_.refreshFrame(window, kRefreshFrameFlags);
    }
    bool minimize(Window window) override {
        user32_.show(window, kShowMinimize);
        return true;  // ShowWindow's answer is the earlier visibility, not success
    }
    void showWithoutActivating(Window window) override { user32_.show(window, kShowNoActivate); }
    // Restores it and brings it to the foreground, else makes it the active window.
    bool restoreAndActivate(Window window) override {
        user32_.show(window, kShowRestore);
        return user32_.bringToForeground(window) || user32_.activate(window) != nullptr;
    }

private:
    User32Calls& user32_;
};

}  // namespace paneknob
