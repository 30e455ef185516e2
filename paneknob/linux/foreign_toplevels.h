#pragma once
// Windows of a wlroots compositor (sway, Hyprland, labwc), native and XWayland alike, through
// wlr-foreign-toplevel-management: each window's title and state as the compositor reports
// them, and its requests to minimize, restore and activate. An action counts as done only when
// the compositor reports the state asked for, waited for at most kStateWait (sway ignores
// minimize requests: they answer false and nothing changes). The protocol has no way to take a
// window's boxes away: that is done over X11 (XWayland) to the X11 window of the same title, and
// a native window's boxes stay (false).

#include <sessionkit/wayland_connection.h>

#include <memory>
#include <string>
#include <vector>

#include "../core/window_system.h"

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct wl_seat;

namespace paneknob {

// One window as the compositor last described it.
struct Toplevel {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    std::string title;  // UTF-8, as sent
    bool minimized = false;
    bool maximized = false;
    bool activated = false;
    bool closed = false;
};

class ForeignToplevels final : public WindowSystem {
public:
    // Connects to the compositor; usable() tells whether it offers the protocol.
    ForeignToplevels();
    ~ForeignToplevels() override;

    [[nodiscard]] sessionkit::wayland::Reached connect();
    [[nodiscard]] bool usable() const { return manager_ != nullptr; }

    std::optional<Window> findTopLevelWindow(const char* title) override;
    bool removeBoxes(Window window) override;
    bool minimize(Window window) override;
    bool showWithoutActivating(Window window) override;
    bool restoreAndActivate(Window window) override;

private:
    static void announced(void* data, zwlr_foreign_toplevel_manager_v1*,
                          zwlr_foreign_toplevel_handle_v1* handle);
    bool waitFor(const Toplevel& toplevel, bool (*reached)(const Toplevel&));

    sessionkit::wayland::Connection connection_;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::vector<std::unique_ptr<Toplevel>> toplevels_;
    std::string title_;  // the caller's, as asked for
};

}  // namespace paneknob
