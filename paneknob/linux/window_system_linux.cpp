// Which window system a call of libpaneknob.so works through. On a Wayland session whose
// compositor offers wlr-foreign-toplevel-management (the wlroots compositors), that protocol;
// on KWin's Wayland session, KWin's scripting interface; both list native and XWayland windows
// alike and report what the compositor did. Anywhere else (X11, or another Wayland compositor,
// whose X11 windows XWayland shows), EWMH over X11. HALVEX_DESKTOP_BACKEND=x11 takes the X11 path
// alone. A Wayland compositor that does not answer the lookup makes the call answer -3, as an X
// server that does not answer does.

#include <sessionkit/desktop_session.h>

#include <memory>

#include "../core/platforms.h"
#include "foreign_toplevels.h"
#include "kwin_windows.h"
#include "x11_windows.h"

namespace paneknob {

std::shared_ptr<WindowSystem> windowSystemForCall() {
    if (sessionkit::chosenBackend() != sessionkit::Backend::x11) {
        auto toplevels = std::make_shared<ForeignToplevels>();
        const sessionkit::wayland::Reached reached = toplevels->connect();
        // A compositor that stalls or breaks the connection is asked no further: the call
        // answers that it could not find out (its lookup fails within the same limit).
        if (toplevels->usable() || (reached != sessionkit::wayland::Reached::done &&
                                    reached != sessionkit::wayland::Reached::notConnected)) {
            return toplevels;
        }
        if (reached == sessionkit::wayland::Reached::done) {  // a Wayland session: KWin's?
            auto kwin = std::make_shared<KWinWindows>();
            if (kwin->usable()) {
                return kwin;
            }
        }
    }
    return std::make_shared<X11Windows>();
}

}  // namespace paneknob
