// The monitor listing over user32's monitor enumeration and kernel32 threads.

#include <windows.h>

#include "../core/platforms.h"
#include "monitor_calls.h"
#include "pinned_worker.h"
#include "worker_listing.h"

namespace frametake {
namespace {

DWORD WINAPI runWorker(LPVOID start);

struct Kernel {
    // A reference on the module that holds this code.
    static void* pinModule() {
        HMODULE module = nullptr;
        const BOOL pinned = ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                                 reinterpret_cast<LPCWSTR>(&runWorker), &module);
        return pinned != FALSE ? module : nullptr;
    }
    static void unpinModule(void* module) { ::FreeLibrary(static_cast<HMODULE>(module)); }
    static void* createThread(PinnedWorkerStart* start) {
        return ::CreateThread(nullptr, 0, &runWorker, start, 0, nullptr);
    }
    [[noreturn]] static void exitThreadUnpinning(void* module) {
        ::FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
    }
};

DWORD WINAPI runWorker(LPVOID start) {
    Kernel kernel;
    runPinnedWorker(kernel, static_cast<PinnedWorkerStart*>(start));
    return 0;
}

struct Visit {
    MonitorCalls::MonitorVisit visit;
    void* context;
};

BOOL CALLBACK visitMonitor(HMONITOR monitor, HDC, LPRECT area, LPARAM visit) {
    const auto& v = *reinterpret_cast<const Visit*>(visit);
    MonitorArea found;
    found.handle = reinterpret_cast<std::uintptr_t>(monitor);
    found.left = area->left;
    found.top = area->top;
    found.right = area->right;
    found.bottom = area->bottom;
    v.visit(found, v.context);
    return TRUE;
}

class SystemMonitorCalls final : public MonitorCalls {
public:
    Worker startWorker(WorkerProc proc, void* argument) override {
        Kernel kernel;
        return reinterpret_cast<Worker>(startPinnedWorker(kernel, proc, argument));
    }
    bool waitForWorker(Worker worker, std::uint32_t milliseconds) override {
        return ::WaitForSingleObject(reinterpret_cast<HANDLE>(worker), milliseconds) ==
               WAIT_OBJECT_0;
    }
    void closeWorker(Worker worker) override { ::CloseHandle(reinterpret_cast<HANDLE>(worker)); }

    void useDpiMode(DpiMode mode) override {
        ::SetThreadDpiAwarenessContext(mode == DpiMode::unaware
                                           ? DPI_AWARENESS_CONTEXT_UNAWARE
                                           : DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    bool enumerateMonitors(MonitorVisit visit, void* context) override {
        Visit v{visit, context};
        return ::EnumDisplayMonitors(nullptr, nullptr, &visitMonitor,
                                     reinterpret_cast<LPARAM>(&v)) != FALSE;
    }
};

}  // namespace

ScreenPlatform& systemScreenPlatform() {
    // Never destroyed: a worker left running by a timed-out request may still use the calls.
    static auto* const calls = new SystemMonitorCalls();
    static auto* const listing = new WorkerListing(*calls);
    return *listing;
}

}  // namespace frametake
