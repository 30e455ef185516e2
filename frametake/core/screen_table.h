#pragma once
// The process-wide monitor table and the count requests that rebuild it.
//
// A count request starts one worker that enumerates in the requested DPI mode and publishes a
// new table, and waits for it at most 500 ms. A request that stops waiting clears the table and
// answers 0; its worker runs on, and when it ends late its result is dropped: each request has a
// generation number and only the worker of the current generation may publish. A lock guards
// the table, so no export reads or frees a table that a worker is replacing.
// The exports are meant to be called one at a time; the lock only orders them against workers.

#include <cstdint>
#include <memory>
#include <mutex>

#include "screen_info.h"
#include "screen_platform.h"

namespace frametake {

inline constexpr std::uint32_t kCountWaitMilliseconds = 500;

class ScreenTable {
public:
    // Enumerates in `mode` and answers the number of records now published: the new count, the
    // previous count when the enumeration failed in time, or 0 (table cleared) when the worker
    // could not start or did not end in time.
    [[nodiscard]] std::int32_t countScreens(ScreenPlatform& platform, DpiMode mode);

    // Copies record `index` into `out` field by field (bytes 12 to 15 untouched); an index
    // outside the table, or a null `out`, writes nothing.
    void copyScreen(std::int32_t index, void* out) const;

    [[nodiscard]] std::int32_t count() const;

private:
    struct Job;
    static void runWorker(void* job);
    void publish(std::uint64_t generation, std::unique_ptr<ScreenInfo[]> records,
                 std::int32_t count);

    mutable std::mutex lock_;
    std::unique_ptr<ScreenInfo[]> records_;
    std::int32_t count_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace frametake
