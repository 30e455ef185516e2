// The monitor listing of a Linux desktop: a Wayland compositor's outputs on a Wayland session,
// else RandR 1.5 monitors on X11.
//
// Which session: desktop_session.h. Either listing's every wait ends by kListingMilliseconds.
//
// X11: the per-monitor mode reports device pixels, the unaware mode the same rectangles scaled
// by 96 / Xft.dpi. Wayland: see wayland_geometry.h.

#include <chrono>

#include <sessionkit/desktop_session.h>
#include "../core/platforms.h"
#include "randr_monitors.h"
#include "wayland_monitors.h"

namespace frametake {
using sessionkit::Backend;
using sessionkit::chosenBackend;

namespace {

constexpr std::chrono::milliseconds kLimit{kListingMilliseconds};

Listing listOverX11(DpiMode mode, std::vector<MonitorArea>& areas) {
    const x11kit::Connection connection(kLimit);
    const auto monitors = connection.ok() ? x11::listMonitors(connection) : std::nullopt;
    if (!monitors) {
        return std::chrono::steady_clock::now() >= connection.deadline() ? Listing::unanswered
                                                                         : Listing::failed;
    }
    const double dpi = mode == DpiMode::unaware ? x11::serverDpi(connection) : x11::kLogicalDpi;
    const x11::Point origin = x11::desktopOrigin(*monitors);
    for (const x11::RootMonitor& monitor : *monitors) {
        areas.push_back(x11::desktopArea(monitor, origin, mode, dpi));
    }
    return Listing::listed;
}

Listing placed(const std::vector<wayland::Output>& outputs, DpiMode mode,
               std::vector<MonitorArea>& areas) {
    const wayland::Output& origin = wayland::originOutput(outputs);
    for (const wayland::Output& output : outputs) {
        areas.push_back(wayland::monitorArea(output, origin, mode));
    }
    return Listing::listed;
}

class LinuxScreenPlatform final : public ScreenPlatform {
public:
    Listing listMonitors(DpiMode mode, std::vector<MonitorArea>& areas) override {
        const Backend backend = chosenBackend();
        if (backend == Backend::x11) {
            return listOverX11(mode, areas);
        }
        std::vector<wayland::Output> outputs;
        switch (wayland::listOutputs(kLimit, outputs)) {
            case wayland::Reached::done:
                return placed(outputs, mode, areas);
            case wayland::Reached::failed:
            case wayland::Reached::refused:
                return Listing::failed;
            case wayland::Reached::unanswered:
                return Listing::unanswered;
            case wayland::Reached::notConnected:
                break;
        }
        return backend == Backend::wayland ? Listing::failed : listOverX11(mode, areas);
    }
};

}  // namespace

ScreenPlatform& systemScreenPlatform() {
    static LinuxScreenPlatform platform;
    return platform;
}

}  // namespace frametake
