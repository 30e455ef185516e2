#include "screen_table.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace frametake {
namespace {

void countMonitor(const MonitorArea&, void* context) {
    ++*static_cast<std::int32_t*>(context);
}

// The filling pass writes at most as many records as the counting pass made room for.
struct Filling {
    ScreenInfo* records;
    std::int32_t capacity;
    std::int32_t filled;
};

void fillMonitor(const MonitorArea& monitor, void* context) {
    auto& filling = *static_cast<Filling*>(context);
    if (filling.filled >= filling.capacity) {
        return;
    }
    ScreenInfo& record = filling.records[filling.filled++];
    // 32-bit differences (wrapping, never undefined), then exact doubles.
    const auto width = static_cast<std::int32_t>(std::int64_t{monitor.right} - monitor.left);
    const auto height = static_cast<std::int32_t>(std::int64_t{monitor.bottom} - monitor.top);
    record.monitorHandle = static_cast<std::int32_t>(static_cast<std::uint32_t>(monitor.handle));
    record.width = width;
    record.height = height;
    record.boundsX = monitor.left;
    record.boundsY = monitor.top;
    record.boundsWidth = width;
    record.boundsHeight = height;
}

}  // namespace

// What a worker needs; owned by the worker once it runs (freed by it at its end).
struct ScreenTable::Job {
    ScreenTable* table;
    ScreenPlatform* platform;
    DpiMode mode;
    std::uint64_t generation;
};

void ScreenTable::runWorker(void* argument) {
    const std::unique_ptr<Job> job(static_cast<Job*>(argument));
    ScreenPlatform& platform = *job->platform;
    platform.useDpiMode(job->mode);

    std::int32_t counted = 0;
    if (!platform.enumerateMonitors(&countMonitor, &counted) || counted < 0) {
        return;
    }
    if (static_cast<std::uint64_t>(counted) >
        std::numeric_limits<std::size_t>::max() / sizeof(ScreenInfo)) {
        return;
    }
    std::unique_ptr<ScreenInfo[]> records(new (std::nothrow)
                                              ScreenInfo[static_cast<std::size_t>(counted)]);
    if (!records) {
        return;
    }
    Filling filling{records.get(), counted, 0};
    if (!platform.enumerateMonitors(&fillMonitor, &filling)) {
        return;
    }
    // Monitors that went away between the passes leave records unfilled: only filled ones count.
    job->table->publish(job->generation, std::move(records), filling.filled);
}

void ScreenTable::publish(std::uint64_t generation, std::unique_ptr<ScreenInfo[]> records,
                          std::int32_t count) {
    const std::lock_guard guard(lock_);
    if (generation != generation_) {
        return;  // its request stopped waiting; the new array is dropped
    }
    records_ = std::move(records);
    count_ = count;
}

std::int32_t ScreenTable::countScreens(ScreenPlatform& platform, DpiMode mode) {
    std::uint64_t generation = 0;
    {
        const std::lock_guard guard(lock_);
        generation = ++generation_;
    }
    auto clear = [this] {
        const std::lock_guard guard(lock_);
        ++generation_;  // a worker still running may no longer publish
        records_.reset();
        count_ = 0;
        return 0;
    };

    std::unique_ptr<Job> job(new (std::nothrow) Job{this, &platform, mode, generation});
    if (!job) {
        return clear();
    }
    using WorkerOwner = ownkit::Owned<ScreenPlatform::Worker, &ScreenPlatform::closeWorker>;
    WorkerOwner worker(&platform, platform.startWorker(&ScreenTable::runWorker, job.get()));
    if (!worker) {
        return clear();
    }
    (void)job.release();  // the worker owns its job now
    const bool ended = platform.waitForWorker(worker.get(), kCountWaitMilliseconds);
    worker.reset();
    if (!ended) {
        return clear();
    }
    return count();
}

std::int32_t ScreenTable::count() const {
    const std::lock_guard guard(lock_);
    return count_;
}

void ScreenTable::copyScreen(std::int32_t index, void* out) const {
    const std::lock_guard guard(lock_);
    if (out == nullptr || index < 0 || index >= count_) {
        return;
    }
    const ScreenInfo& record = records_[static_cast<std::size_t>(index)];
    // Field by field, so that the caller's bytes 12 to 15 stay as they were.
    auto* bytes = static_cast<unsigned char*>(out);
    std::memcpy(bytes + offsetof(ScreenInfo, monitorHandle), &record.monitorHandle, 4);
    std::memcpy(bytes + offsetof(ScreenInfo, width), &record.width, 4);
    std::memcpy(bytes + offsetof(ScreenInfo, height), &record.height, 4);
    std::memcpy(bytes + offsetof(ScreenInfo, boundsX), &record.boundsX, 8);
    std::memcpy(bytes + offsetof(ScreenInfo, boundsY), &record.boundsY, 8);
    std::memcpy(bytes + offsetof(ScreenInfo, boundsWidth), &record.boundsWidth, 8);
    std::memcpy(bytes + offsetof(ScreenInfo, boundsHeight), &record.boundsHeight, 8);
}

}  // namespace frametake
