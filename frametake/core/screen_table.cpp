#include "screen_table.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace frametake {
namespace {

ScreenInfo recordOf(const MonitorArea& monitor) {
    ScreenInfo record{};
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
    return record;
}

}  // namespace

std::int32_t ScreenTable::countScreens(ScreenPlatform& platform, DpiMode mode) {
    std::vector<MonitorArea> monitors;
    Listing listing = Listing::failed;
    try {
        listing = platform.listMonitors(mode, monitors);
    } catch (const std::bad_alloc&) {
        listing = Listing::failed;
    }
    if (listing == Listing::unanswered) {
        const std::lock_guard guard(lock_);
        records_.reset();
        count_ = 0;
        return 0;
    }
    if (listing != Listing::listed ||
        monitors.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return count();
    }
    std::unique_ptr<ScreenInfo[]> records(new (std::nothrow) ScreenInfo[monitors.size()]);
    if (!records) {
        return count();
    }
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        records[i] = recordOf(monitors[i]);
    }
    const auto counted = static_cast<std::int32_t>(monitors.size());
    const std::lock_guard guard(lock_);
    records_ = std::move(records);
    count_ = counted;
    return counted;
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
