#pragma once
// What monitor enumeration needs from the platform: a worker thread that can be waited for with
// a time-out, the worker's DPI mode, and a walk over the monitors.

#include <ownkit/owned.h>

#include <cstdint>

namespace frametake {

enum class DpiMode {
    perMonitorAware,  // rectangles in physical pixels
    unaware,          // rectangles in 96-DPI logical units
};

// One monitor as the platform reports it: a handle and its rectangle in virtual-desktop
// coordinates (the primary monitor's top-left corner is 0, 0).
struct MonitorArea {
    std::uint64_t handle = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

class ScreenPlatform {
public:
    using Worker = ownkit::OpaqueHandle<struct WorkerTag>;
    using WorkerProc = void (*)(void* argument);
    using MonitorVisit = void (*)(const MonitorArea& monitor, void* context);

    virtual ~ScreenPlatform() = default;

    // Starts `proc(argument)` on a new thread at once; null when no thread could be created.
    [[nodiscard]] virtual Worker startWorker(WorkerProc proc, void* argument) = 0;
    // True when the worker ended within `milliseconds`; false on time-out or failure.
    [[nodiscard]] virtual bool waitForWorker(Worker worker, std::uint32_t milliseconds) = 0;
    virtual void closeWorker(Worker worker) = 0;

    // On the calling thread only (a worker): measure rectangles in `mode`.
    virtual void useDpiMode(DpiMode mode) = 0;
    // Visits every display monitor; false when the enumeration failed.
    [[nodiscard]] virtual bool enumerateMonitors(MonitorVisit visit, void* context) = 0;
};

}  // namespace frametake
