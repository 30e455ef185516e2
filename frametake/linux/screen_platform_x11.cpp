// ScreenPlatform over RandR 1.5 monitors, with std::thread workers.
//
// X has no DPI awareness contexts: the mode is the worker's own (a thread-local set by
// useDpiMode). The per-monitor mode reports device pixels, the unaware mode the same rectangles
// scaled by 96 / Xft.dpi. Each enumeration opens its own connection, so a worker left behind
// by a timed-out request shares nothing with the next one.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "../core/platforms.h"
#include "randr_monitors.h"

namespace frametake {
namespace {

thread_local DpiMode workerMode = DpiMode::perMonitorAware;

// Shared by the worker thread and the waiter; whichever lets go last frees it.
struct WorkerState {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
};

struct WorkerHandle {
    std::shared_ptr<WorkerState> state;
    std::thread thread;
};

class X11ScreenPlatform final : public ScreenPlatform {
public:
    Worker startWorker(WorkerProc proc, void* argument) override {
        try {
            auto handle = std::make_unique<WorkerHandle>();
            handle->state = std::make_shared<WorkerState>();
            handle->thread = std::thread([state = handle->state, proc, argument] {
                try {
                    proc(argument);
                } catch (...) {
                    // out of memory while enumerating: nothing published
                }
                const std::lock_guard hold(state->lock);
                state->done = true;
                state->ended.notify_all();
            });
            return reinterpret_cast<Worker>(handle.release());
        } catch (...) {
            return nullptr;  // no thread, or no memory for its state
        }
    }
    bool waitForWorker(Worker worker, std::uint32_t milliseconds) override {
        WorkerState& state = *reinterpret_cast<WorkerHandle*>(worker)->state;
        std::unique_lock hold(state.lock);
        return state.ended.wait_for(hold, std::chrono::milliseconds(milliseconds),
                                    [&] { return state.done; });
    }
    // A worker still running goes on detached; it holds its own share of the state.
    void closeWorker(Worker worker) override {
        const std::unique_ptr<WorkerHandle> handle(reinterpret_cast<WorkerHandle*>(worker));
        bool done = false;
        {
            const std::lock_guard hold(handle->state->lock);
            done = handle->state->done;
        }
        if (done) {
            handle->thread.join();
        } else {
            handle->thread.detach();
        }
    }

    void useDpiMode(DpiMode mode) override { workerMode = mode; }

    bool enumerateMonitors(MonitorVisit visit, void* context) override {
        // The count request waits 500 ms for the worker: a worker still waiting on the server
        // past that answers nobody, so its connection ends there too.
        const x11kit::Connection connection(std::chrono::milliseconds{500});
        if (!connection.ok()) {
            return false;
        }
        const auto monitors = x11::listMonitors(connection);
        if (!monitors) {
            return false;
        }
        const double dpi =
            workerMode == DpiMode::unaware ? x11::serverDpi(connection) : x11::kLogicalDpi;
        const x11::Point origin = x11::desktopOrigin(*monitors);
        for (const x11::RootMonitor& monitor : *monitors) {
            visit(x11::desktopArea(monitor, origin, workerMode, dpi), context);
        }
        return true;
    }
};

}  // namespace

ScreenPlatform& systemScreenPlatform() {
    // Never destroyed: a worker left running by a timed-out request may still use it at exit.
    static auto* const platform = new X11ScreenPlatform();
    return *platform;
}

}  // namespace frametake
