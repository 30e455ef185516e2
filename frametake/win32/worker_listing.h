#pragma once
// The monitor listing in Windows' terms. A DPI awareness context belongs to a thread, so each
// listing starts a worker that takes the requested context and enumerates the monitors twice:
// once to count them, once to fill a list of that many (a monitor added between the passes is
// not written, one removed is not counted). The request waits for the worker at most
// kListingMilliseconds; a worker still running then goes on alone, and its answer, which it
// keeps in a share of its own, reaches nobody.

#include <vector>

#include "../core/screen_platform.h"
#include "monitor_calls.h"

namespace frametake {

class WorkerListing final : public ScreenPlatform {
public:
    explicit WorkerListing(MonitorCalls& calls) : calls_(calls) {}

    // Listing::unanswered when no worker could start or it did not end in time.
    Listing listMonitors(DpiMode mode, std::vector<MonitorArea>& monitors) override;

private:
    MonitorCalls& calls_;
};

}  // namespace frametake
