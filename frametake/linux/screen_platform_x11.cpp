// The monitor listing over RandR 1.5 monitors.
//
// The per-monitor mode reports device pixels, the unaware mode the same rectangles scaled by
// 96 / Xft.dpi. Each listing opens its own connection, whose every wait ends by
// kListingMilliseconds: a server that has not answered by then leaves the request unanswered.

#include <chrono>

#include "../core/platforms.h"
#include "randr_monitors.h"

namespace frametake {
namespace {

class X11ScreenPlatform final : public ScreenPlatform {
public:
    Listing listMonitors(DpiMode mode, std::vector<MonitorArea>& areas) override {
        const x11kit::Connection connection(std::chrono::milliseconds{kListingMilliseconds});
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
};

}  // namespace

ScreenPlatform& systemScreenPlatform() {
    static X11ScreenPlatform platform;
    return platform;
}

}  // namespace frametake
