#pragma once
// The process-wide monitor table and the count requests that rebuild it.
//
// A count request asks the platform for the monitors in the requested DPI mode and publishes a
// new table from its answer. A request the system did not answer in time clears the table and
// answers 0. A lock guards the table, so no export reads or frees a table that a request is
// replacing. The exports are meant to be called one at a time; overlapping requests each
// publish a whole table, and the last one to finish stays.

#include <cstdint>
#include <memory>
#include <mutex>

#include "screen_info.h"
#include "screen_platform.h"

namespace frametake {

class ScreenTable {
public:
    // Lists the monitors in `mode` and answers the number of records now published: the new
    // count, the previous count when the listing failed (or no memory held the new table), or
    // 0 (table cleared) when the system did not answer in time.
    [[nodiscard]] std::int32_t countScreens(ScreenPlatform& platform, DpiMode mode);

    // Copies record `index` into `out` field by field (bytes 12 to 15 untouched); an index
    // outside the table, or a null `out`, writes nothing.
    void copyScreen(std::int32_t index, void* out) const;

    [[nodiscard]] std::int32_t count() const;

private:
    mutable std::mutex lock_;
    std::unique_ptr<ScreenInfo[]> records_;
    std::int32_t count_ = 0;
};

}  // namespace frametake
