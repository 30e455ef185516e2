#pragma once
// Windows of KDE Plasma's KWin, native and XWayland alike, through KWin's scripting interface
// on the session bus, which any client of the session may use: a script loaded for the call
// (org.kde.kwin.Scripting.loadScript, then run) lists the windows or acts on one, and answers
// with a method call back to this connection; it is unloaded and its file deleted afterwards.
// Titles are matched here, as on X11; a script carries only KWin's own window ids and this
// connection's bus name, checked before use, never the caller's text. An action counts as
// done when the script reports, after making the change, the state asked for (not minimized,
// the active window, ...). Boxes: KWin keeps them on every window (-2).

#include <sessionkit/session_bus.h>

#include <optional>
#include <string>
#include <vector>

#include "../core/window_system.h"
#include "kwin_report.h"

namespace paneknob {

class KWinWindows final : public WindowSystem {
public:
    KWinWindows();
    // Whether KWin runs on the session bus.
    [[nodiscard]] bool usable();

    std::optional<Window> findTopLevelWindow(const char* title) override;
    bool removeBoxes(Window window) override;
    bool minimize(Window window) override;
    bool showWithoutActivating(Window window) override;
    bool restoreAndActivate(Window window) override;

private:
    // Runs `body` as a script whose `report(text)` comes back here; the text, or nothing.
    std::optional<std::string> run(const std::string& body);
    bool act(Window window, const char* change, const char* confirmed);

    sessionkit::dbus::SessionBus bus_;
    std::vector<KWinWindow> windows_;
};

}  // namespace paneknob
