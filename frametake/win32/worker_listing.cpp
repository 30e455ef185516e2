#include "worker_listing.h"

#include <ownkit/owned.h>

#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace frametake {
namespace {

// What a worker answers; the request and the worker each hold a share, so a worker left
// behind by a timed-out request still has it to write into.
struct Job {
    MonitorCalls* calls;
    DpiMode mode;
    bool listed = false;
    std::vector<MonitorArea> monitors;
};

void countMonitor(const MonitorArea&, void* context) {
    ++*static_cast<std::int32_t*>(context);
}

// The filling pass writes at most as many monitors as the counting pass counted (the list has
// room reserved for them, so no write allocates).
struct Filling {
    std::vector<MonitorArea>& monitors;
    std::size_t counted;
};

void fillMonitor(const MonitorArea& monitor, void* context) {
    auto& filling = *static_cast<Filling*>(context);
    if (filling.monitors.size() < filling.counted) {
        filling.monitors.push_back(monitor);
    }
}

void runWorker(void* argument) {
    const std::unique_ptr<std::shared_ptr<Job>> share(static_cast<std::shared_ptr<Job>*>(argument));
    Job& job = **share;
    MonitorCalls& calls = *job.calls;
    calls.useDpiMode(job.mode);
    std::int32_t counted = 0;
    if (!calls.enumerateMonitors(&countMonitor, &counted) || counted < 0) {
        return;
    }
    try {
        job.monitors.reserve(static_cast<std::size_t>(counted));
    } catch (...) {
        return;  // no memory for the list: nothing answered
    }
    Filling filling{job.monitors, static_cast<std::size_t>(counted)};
    job.listed = calls.enumerateMonitors(&fillMonitor, &filling);
}

}  // namespace

Listing WorkerListing::listMonitors(DpiMode mode, std::vector<MonitorArea>& monitors) {
    std::shared_ptr<Job> job;
    std::shared_ptr<Job>* workerShare = nullptr;
    try {
        job = std::make_shared<Job>(Job{&calls_, mode, false, {}});
        workerShare = new std::shared_ptr<Job>(job);
    } catch (const std::bad_alloc&) {
        return Listing::unanswered;  // as a worker that could not start
    }
    using WorkerOwner = ownkit::Owned<MonitorCalls::Worker, &MonitorCalls::closeWorker>;
    WorkerOwner worker(&calls_, calls_.startWorker(&runWorker, workerShare));
    if (!worker) {
        delete workerShare;
        return Listing::unanswered;
    }
    const bool ended = calls_.waitForWorker(worker.get(), kListingMilliseconds);
    worker.reset();
    if (!ended) {
        return Listing::unanswered;
    }
    if (!job->listed) {
        return Listing::failed;
    }
    monitors = std::move(job->monitors);
    return Listing::listed;
}

}  // namespace frametake
