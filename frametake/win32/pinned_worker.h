#pragma once
// A count request's worker that keeps its module loaded for its whole life. A request that
// stops waiting returns while the worker may still run; if the caller then unloads the DLL,
// the worker would run on in unmapped code. So the worker holds a module reference, taken
// before the thread starts and given back by the thread itself as it exits
// (FreeLibraryAndExitThread), after the job has run in an inner scope, since that call skips
// the destructors of the frame it is called from. A thread that fails to start gives the
// reference back at once.
//
// Written over a table of the kernel calls (`Kernel`: pinModule, unpinModule, createThread,
// exitThreadUnpinning), so that the order is tested without Windows.

#include <memory>
#include <new>

#include "monitor_calls.h"

namespace frametake {

struct PinnedWorkerStart {
    MonitorCalls::WorkerProc proc;
    void* argument;
    void* module;  // the reference the thread gives back as it exits
};

// The started thread, or null (with the reference given back) when it could not start.
template <typename Kernel>
[[nodiscard]] void* startPinnedWorker(Kernel& kernel, MonitorCalls::WorkerProc proc,
                                      void* argument) {
    void* module = kernel.pinModule();
    if (module == nullptr) {
        return nullptr;
    }
    auto* start = new (std::nothrow) PinnedWorkerStart{proc, argument, module};
    void* thread = start != nullptr ? kernel.createThread(start) : nullptr;
    if (thread == nullptr) {
        delete start;
        kernel.unpinModule(module);
    }
    return thread;
}

// The thread's body. On Windows exitThreadUnpinning does not return.
template <typename Kernel>
void runPinnedWorker(Kernel& kernel, PinnedWorkerStart* start) {
    void* module = nullptr;
    {
        const std::unique_ptr<PinnedWorkerStart> owned(start);
        module = owned->module;
        owned->proc(owned->argument);
    }
    kernel.exitThreadUnpinning(module);
}

}  // namespace frametake
