#pragma once
// The title lookup and the four window actions in user32's terms: the style bits of the two boxes
// cleared and the frame refreshed, ShowWindow commands, SetForegroundWindow and then
// SetActiveWindow. Each action first asks the window to answer (kAnswerMilliseconds): a window
// whose thread has stopped pumping messages is left as it is, and the action answers false,
// instead of waiting for it forever.

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
    std::optional<Window> findTopLevelWindow(const char* title) override;
    // Clears the minimize and maximize boxes (every other style bit kept) and refreshes the
    // frame without moving, resizing, restacking or activating the window.
    bool removeBoxes(Window window) override {
        if (!user32_.answers(window, kAnswerMilliseconds)) {
            return false;
        }
        const std::int64_t style = user32_.style(window);
        user32_.setStyle(window, style & ~(kMinimizeBox | kMaximizeBox));
        user32_.refreshFrame(window, kRefreshFrameFlags);
        return true;
    }
    // ShowWindow's answer is the earlier visibility, not success: only an unanswering window
    // fails.
    bool minimize(Window window) override { return show(window, kShowMinimize); }
    bool showWithoutActivating(Window window) override { return show(window, kShowNoActivate); }
    // Restores it and brings it to the foreground, else makes it the active window.
    bool restoreAndActivate(Window window) override {
        return show(window, kShowRestore) &&
               (user32_.bringToForeground(window) || user32_.activate(window) != nullptr);
    }

private:
    bool show(Window window, int command) {
        if (!user32_.answers(window, kAnswerMilliseconds)) {
            return false;
        }
        user32_.show(window, command);
        return true;
    }

    User32Calls& user32_;
};

}  // namespace paneknob
