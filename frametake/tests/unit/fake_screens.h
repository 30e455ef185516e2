#pragma once
// Scripted monitor calls, under the Windows listing as the core sees it. Workers run on real
// threads; a test can hold a worker inside its enumeration (gate) and make the wait time out
// without waiting, to play a late worker.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "../../win32/worker_listing.h"

namespace frametake::testing {

class FakeScreenPlatform final : public MonitorCalls {
public:
    operator ScreenPlatform&() { return listing_; }

    // The monitors each enumeration pass reports, in order of passes; the last one repeats.
    std::vector<std::vector<MonitorArea>> passes{{}};
    std::vector<bool> passFails;  // per pass index; missing entries succeed
    bool threadStarts = true;
    bool waitTimesOut = false;  // the request stops waiting at once
    bool holdWorker = false;    // the worker waits at the gate before enumerating

    std::vector<DpiMode> modes;  // useDpiMode calls, in order
    int workersStarted = 0;
    int workersClosed = 0;

    ~FakeScreenPlatform() override {
        openGate();
        joinWorkers();
        EXPECT_EQ(workersStarted, workersClosed) << "a worker handle was not closed";
    }

    void openGate() {
        const std::lock_guard guard(lock_);
        gateOpen_ = true;
        gate_.notify_all();
    }
    void joinWorkers() {
        for (std::thread& worker : threads_) {
            if (worker.joinable()) {
                worker.join();
            }
        }
    }

    Worker startWorker(WorkerProc proc, void* argument) override {
        if (!threadStarts) {
            return nullptr;
        }
        ++workersStarted;
        threads_.emplace_back([this, proc, argument] {
            if (holdWorker) {
                std::unique_lock guard(lock_);
                gate_.wait(guard, [this] { return gateOpen_; });
            }
            proc(argument);
        });
        return reinterpret_cast<Worker>(&threads_.back());
    }
    bool waitForWorker(Worker worker, std::uint32_t milliseconds) override {
        EXPECT_EQ(milliseconds, 500u);
        if (waitTimesOut) {
            return false;
        }
        reinterpret_cast<std::thread*>(worker)->join();
        return true;
    }
    void closeWorker(Worker) override { ++workersClosed; }

    void useDpiMode(DpiMode mode) override {
        const std::lock_guard guard(lock_);
        modes.push_back(mode);
    }
    bool enumerateMonitors(MonitorVisit visit, void* context) override {
        std::size_t pass = 0;
        {
            const std::lock_guard guard(lock_);
            pass = pass_++;
        }
        if (pass < passFails.size() && passFails[pass]) {
            return false;
        }
        for (const MonitorArea& monitor : passes[std::min(pass, passes.size() - 1)]) {
            visit(monitor, context);
        }
        return true;
    }

private:
    std::mutex lock_;
    std::condition_variable gate_;
    bool gateOpen_ = false;
    std::size_t pass_ = 0;
    std::deque<std::thread> threads_;
    WorkerListing listing_{*this};
};

}  // namespace frametake::testing
