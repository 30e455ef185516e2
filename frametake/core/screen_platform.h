#pragma once
// What monitor enumeration asks of the platform: the monitors, measured in a DPI mode, within
// the time a count request waits. How the platform asks its system is its own business (a
// worker thread in the mode's DPI context on Windows, RandR on X11).

#include <cstdint>
#include <vector>

namespace frametake {

enum class DpiMode {
    perMonitorAware,  // rectangles in physical pixels
    unaware,          // rectangles in 96-DPI logical units
};

// How long a count request waits for the system's answer.
inline constexpr std::uint32_t kListingMilliseconds = 500;

// One monitor as the platform reports it: a handle and its rectangle in virtual-desktop
// coordinates (the primary monitor's top-left corner is 0, 0).
struct MonitorArea {
    std::uint64_t handle = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

enum class Listing {
    listed,      // the monitors are in the list
    failed,      // the system answered with a failure
    unanswered,  // no answer within kListingMilliseconds (or nobody could be sent to ask)
};

class ScreenPlatform {
public:
    virtual ~ScreenPlatform() = default;

    // The display monitors measured in `mode`, appended to `monitors` (empty on entry) when the
    // answer is Listing::listed; the list is unused otherwise. Returns within about
    // kListingMilliseconds. Running out of memory may throw std::bad_alloc.
    [[nodiscard]] virtual Listing listMonitors(DpiMode mode,
                                               std::vector<MonitorArea>& monitors) = 0;
};

}  // namespace frametake
