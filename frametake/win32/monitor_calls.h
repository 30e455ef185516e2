#pragma once
// The kernel and user32 calls that the monitor listing makes on Windows, as a table:
// screen_platform_win32.cpp fills it with the system itself, the unit tests with a scripted
// fake whose workers are threads of the test.

#include <ownkit/owned.h>

#include <cstdint>

#include "../core/screen_platform.h"

namespace frametake {

class MonitorCalls {
public:
    using Worker = ownkit::OpaqueHandle<struct WorkerTag>;
    using WorkerProc = void (*)(void* argument);
    using MonitorVisit = void (*)(const MonitorArea& monitor, void* context);

    virtual ~MonitorCalls() = default;

    // Starts `proc(argument)` on a new thread at once; null when no thread could be created.
    [[nodiscard]] virtual Worker startWorker(WorkerProc proc, void* argument) = 0;
    // True when the worker ended within `milliseconds`; false on time-out or failure.
    [[nodiscard]] virtual bool waitForWorker(Worker worker, std::uint32_t milliseconds) = 0;
    virtual void closeWorker(Worker worker) = 0;

    // On the calling thread only (a worker): SetThreadDpiAwarenessContext for `mode`.
    virtual void useDpiMode(DpiMode mode) = 0;
    // EnumDisplayMonitors over every display monitor; false when the enumeration failed.
    [[nodiscard]] virtual bool enumerateMonitors(MonitorVisit visit, void* context) = 0;
};

}  // namespace frametake
