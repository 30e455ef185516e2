// ScreenPlatform over user32's monitor enumeration and kernel32 threads.

#include <windows.h>

#include <new>

#include "../core/platforms.h"
#include "../core/screen_platform.h"

namespace frametake {
namespace {

struct WorkerStart {
    ScreenPlatform::WorkerProc proc;
    void* argument;
};

DWORD WINAPI runWorker(LPVOID start) {
    const WorkerStart work = *static_cast<WorkerStart*>(start);
    delete static_cast<WorkerStart*>(start);
    work.proc(work.argument);
    return 0;
}

struct Visit {
    ScreenPlatform::MonitorVisit visit;
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

class Win32ScreenPlatform final : public ScreenPlatform {
public:
    Worker startWorker(WorkerProc proc, void* argument) override {
        auto* start = new (std::nothrow) WorkerStart{proc, argument};
        if (start == nullptr) {
            return nullptr;
        }
        const HANDLE thread = ::CreateThread(nullptr, 0, &runWorker, start, 0, nullptr);
        if (thread == nullptr) {
            delete start;
        }
        return thread;
    }
    bool waitForWorker(Worker worker, std::uint32_t milliseconds) override {
        return ::WaitForSingleObject(worker, milliseconds) == WAIT_OBJECT_0;
    }
    void closeWorker(Worker worker) override { ::CloseHandle(worker); }

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
    static Win32ScreenPlatform platform;
    return platform;
}

}  // namespace frametake
