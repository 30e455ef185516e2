#include "foreign_toplevels.h"

#include <cstring>

#include "locale_text.h"
#include "title_match.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "x11_limits.h"
#include "x11_windows.h"

namespace paneknob {
namespace {

using sessionkit::wayland::Clock;
using sessionkit::wayland::Reached;

constexpr std::uint32_t kManagerVersion = 2;
constexpr std::uint32_t kSeatVersion = 1;

Toplevel& toplevelOf(void* data) {
    return *static_cast<Toplevel*>(data);
}
void titled(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    toplevelOf(data).title = title;
}
void ignoreText(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void ignoreOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void stated(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    Toplevel& toplevel = toplevelOf(data);
    toplevel.minimized = toplevel.maximized = toplevel.activated = false;
    const auto* state = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
        toplevel.minimized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
        toplevel.maximized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MAXIMIZED;
        toplevel.activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    }
}
void described(void*, zwlr_foreign_toplevel_handle_v1*) {}
void closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    toplevelOf(data).closed = true;
}
void parented(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
constexpr zwlr_foreign_toplevel_handle_v1_listener kToplevelListener{
    titled, ignoreText, ignoreOutput, ignoreOutput, stated, described, closed, parented};

void finished(void*, zwlr_foreign_toplevel_manager_v1*) {}

Toplevel& of(WindowSystem::Window window) {
    return *reinterpret_cast<Toplevel*>(window);
}

}  // namespace

ForeignToplevels::ForeignToplevels() : connection_(Clock::now() + kCallLimit) {}

ForeignToplevels::~ForeignToplevels() {
    for (const auto& toplevel : toplevels_) {
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    }
    if (manager_ != nullptr) {
        zwlr_foreign_toplevel_manager_v1_destroy(manager_);
    }
}

void ForeignToplevels::announced(void* data, zwlr_foreign_toplevel_manager_v1*,
                                 zwlr_foreign_toplevel_handle_v1* handle) {
    auto& self = *static_cast<ForeignToplevels*>(data);
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, toplevel.get());
    self.toplevels_.push_back(std::move(toplevel));
}

Reached ForeignToplevels::connect() {
    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener{announced,
                                                                                finished};
    if (const Reached listed = connection_.listGlobals(); listed != Reached::done) {
        return listed;
    }
    for (const sessionkit::wayland::Global& global : connection_.globals()) {
        if (global.interface == zwlr_foreign_toplevel_manager_v1_interface.name &&
            manager_ == nullptr) {
            manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(connection_.bind(
                global, zwlr_foreign_toplevel_manager_v1_interface, kManagerVersion, false));
            zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &kManagerListener, this);
        }
    }
    seat_ = static_cast<wl_seat*>(connection_.bind(wl_seat_interface, kSeatVersion));
    return Reached::done;
}

std::optional<WindowSystem::Window> ForeignToplevels::findTopLevelWindow(const char* title) {
    // The windows arrive after the manager is bound, each with its title and state.
    if (!usable() || connection_.roundtrip() != Reached::done ||
        connection_.roundtrip() != Reached::done) {
        return std::nullopt;
    }
    title_ = title;
    const auto wanted = x11::fromEnvironmentCharset(title);
    if (!wanted) {
        return Window{nullptr};
    }
    for (const auto& toplevel : toplevels_) {
        const auto text = x11::decodeTitle(toplevel->title, x11::TitleEncoding::utf8);
        if (!toplevel->closed && text && x11::sameTitle(*text, *wanted)) {
            return reinterpret_cast<Window>(toplevel.get());
        }
    }
    return Window{nullptr};
}

bool ForeignToplevels::removeBoxes(Window) {
    return removeBoxesOfXWaylandWindow(title_.c_str());
}

bool ForeignToplevels::waitFor(const Toplevel& toplevel, bool (*reached)(const Toplevel&)) {
    const Reached answered = connection_.dispatchUntil(
        [&] { return toplevel.closed || reached(toplevel); }, Clock::now() + kStateWait);
    return answered == Reached::done && !toplevel.closed;
}

bool ForeignToplevels::minimize(Window window) {
    Toplevel& toplevel = of(window);
    if (!toplevel.minimized) {
        zwlr_foreign_toplevel_handle_v1_set_minimized(toplevel.handle);
    }
    return waitFor(toplevel, [](const Toplevel& t) { return t.minimized; });
}

bool ForeignToplevels::showWithoutActivating(Window window) {
    Toplevel& toplevel = of(window);
    if (toplevel.minimized) {
        zwlr_foreign_toplevel_handle_v1_unset_minimized(toplevel.handle);
    }
    return waitFor(toplevel, [](const Toplevel& t) { return !t.minimized; });
}

bool ForeignToplevels::restoreAndActivate(Window window) {
    Toplevel& toplevel = of(window);
    if (seat_ == nullptr) {
        return false;
    }
    const bool wasMaximized = !toplevel.minimized && toplevel.maximized;
    if (toplevel.minimized) {
        zwlr_foreign_toplevel_handle_v1_unset_minimized(toplevel.handle);
    } else if (wasMaximized) {
        zwlr_foreign_toplevel_handle_v1_unset_maximized(toplevel.handle);
    }
    zwlr_foreign_toplevel_handle_v1_activate(toplevel.handle, seat_);
    return wasMaximized
               ? waitFor(
                     toplevel,
                     [](const Toplevel& t) { return t.activated && !t.minimized && !t.maximized; })
               : waitFor(toplevel, [](const Toplevel& t) { return t.activated && !t.minimized; });
}

}  // namespace paneknob
