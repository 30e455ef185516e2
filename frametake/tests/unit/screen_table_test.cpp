#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <thread>

#include <testkit/failing_allocations.h>

#include "fake_screens.h"
#include "screen_table.h"

namespace frametake {
namespace {

using testing::FakeScreenPlatform;

const MonitorArea kPrimary{0x10001, 0, 0, 1920, 1080};
const MonitorArea kLeft{0x7FFF'0000'0002ull, -1280, 100, 0, 1124};

// A caller's record filled with a pattern, to see which bytes a call wrote.
struct CallerRecord {
    std::array<unsigned char, 48> bytes;
    CallerRecord() { bytes.fill(0xA5); }
    [[nodiscard]] bool untouched() const {
        for (const unsigned char b : bytes) {
            if (b != 0xA5) {
                return false;
            }
        }
        return true;
    }
    [[nodiscard]] ScreenInfo record() const {
        ScreenInfo info;
        std::memcpy(&info, bytes.data(), sizeof(info));
        return info;
    }
};

TEST(ScreenTable, PublishesOneRecordPerMonitor) {
    FakeScreenPlatform platform;
    platform.passes = {{kPrimary, kLeft}};
    ScreenTable table;

    ASSERT_EQ(table.countScreens(platform, DpiMode::unaware), 2);

    EXPECT_EQ(platform.modes, std::vector<DpiMode>{DpiMode::unaware});
    CallerRecord out;
    table.copyScreen(1, out.bytes.data());
    const ScreenInfo left = out.record();
    EXPECT_EQ(left.monitorHandle, 2);  // the handle's high half is dropped
    EXPECT_EQ(left.width, 1280);
    EXPECT_EQ(left.height, 1024);
    EXPECT_EQ(left.boundsX, -1280.0);
    EXPECT_EQ(left.boundsY, 100.0);
    EXPECT_EQ(left.boundsWidth, 1280.0);
    EXPECT_EQ(left.boundsHeight, 1024.0);
    // Bytes 12 to 15 are never written.
    EXPECT_EQ(std::memcmp(out.bytes.data() + 12, "\xA5\xA5\xA5\xA5", 4), 0);
}

TEST(ScreenTable, IndexOutsideTheTableWritesNothing) {
    FakeScreenPlatform platform;
    platform.passes = {{kPrimary}};
    ScreenTable table;
    ASSERT_EQ(table.countScreens(platform, DpiMode::perMonitorAware), 1);
    for (const std::int32_t index : {-1, 1, 2147483647, -2147483647 - 1}) {
        CallerRecord out;
        table.copyScreen(index, out.bytes.data());
        EXPECT_TRUE(out.untouched()) << "index " << index;
    }
    table.copyScreen(0, nullptr);
}

struct FailureCase {
    const char* name;
    void (*script)(FakeScreenPlatform&);
    std::int32_t answer;
    std::int32_t countAfter;
};

class FailedRequest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedRequest, KeepsOrClearsThePreviousTable) {
    FakeScreenPlatform first;
    first.passes = {{kPrimary, kLeft}};
    ScreenTable table;
    ASSERT_EQ(table.countScreens(first, DpiMode::perMonitorAware), 2);

    FakeScreenPlatform second;
    second.passes = {{kPrimary}};
    GetParam().script(second);
    EXPECT_EQ(table.countScreens(second, DpiMode::perMonitorAware), GetParam().answer);
    second.openGate();
    second.joinWorkers();

    EXPECT_EQ(table.count(), GetParam().countAfter);
    CallerRecord out;
    table.copyScreen(1, out.bytes.data());
    EXPECT_EQ(out.untouched(), GetParam().countAfter < 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailedRequest,
    ::testing::Values(FailureCase{"CountingPassFails",
                                  [](FakeScreenPlatform& p) { p.passFails = {true}; }, 2, 2},
                      FailureCase{"FillingPassFails",
                                  [](FakeScreenPlatform& p) {
                                      p.passFails = {false, true};
                                  },
                                  2, 2},
                      FailureCase{"ThreadCannotStart",
                                  [](FakeScreenPlatform& p) { p.threadStarts = false; }, 0, 0},
                      FailureCase{"WorkerLateDoesNotPublish",
                                  [](FakeScreenPlatform& p) {
                                      p.waitTimesOut = true;
                                      p.holdWorker = true;
                                  },
                                  0, 0}),
    testkit::CaseName{});

TEST(ScreenTable, LateWorkerCannotReplaceTheNextRequestsTable) {
    ScreenTable table;
    FakeScreenPlatform slow;
    slow.passes = {{kPrimary, kLeft}};
    slow.waitTimesOut = true;
    slow.holdWorker = true;
    ASSERT_EQ(table.countScreens(slow, DpiMode::perMonitorAware), 0);

    FakeScreenPlatform quick;
    quick.passes = {{kPrimary}};
    ASSERT_EQ(table.countScreens(quick, DpiMode::perMonitorAware), 1);

    slow.openGate();
    slow.joinWorkers();
    EXPECT_EQ(table.count(), 1);
    CallerRecord out;
    table.copyScreen(0, out.bytes.data());
    EXPECT_EQ(out.record().width, 1920);
}

// Requests from two threads, one of them leaving late workers behind, while a third thread
// reads: every record read is a whole one (run under ThreadSanitizer too).
TEST(ScreenTable, RequestsLateWorkersAndReadersAtOnce) {
    ScreenTable table;
    std::atomic<bool> done{false};
    auto requests = [&](bool late) {
        for (int i = 0; i < 40; ++i) {
            FakeScreenPlatform platform;
            platform.passes = {{kPrimary, kLeft}};
            platform.waitTimesOut = late;
            static_cast<void>(table.countScreens(platform, DpiMode::perMonitorAware));
        }
    };
    std::thread prompt(requests, false);
    std::thread tardy(requests, true);
    std::thread reader([&] {
        while (!done.load()) {
            CallerRecord out;
            table.copyScreen(1, out.bytes.data());
            EXPECT_TRUE(out.untouched() || out.record().boundsX == -1280.0);
        }
    });
    prompt.join();
    tardy.join();
    done.store(true);
    reader.join();
}

TEST(ScreenTable, MonitorAddedBetweenPassesIsNotWritten) {
    FakeScreenPlatform platform;
    platform.passes = {{kPrimary}, {kPrimary, kLeft, kLeft}};
    ScreenTable table;
    EXPECT_EQ(table.countScreens(platform, DpiMode::perMonitorAware), 1);
}

TEST(ScreenTable, MonitorRemovedBetweenPassesIsNotCounted) {
    FakeScreenPlatform platform;
    platform.passes = {{kPrimary, kLeft}, {kLeft}};
    ScreenTable table;
    EXPECT_EQ(table.countScreens(platform, DpiMode::perMonitorAware), 1);
    CallerRecord out;
    table.copyScreen(0, out.bytes.data());
    EXPECT_EQ(out.record().boundsX, -1280.0);
}

TEST(ScreenTable, NoMonitorsPublishesAnEmptyTable) {
    FakeScreenPlatform first;
    first.passes = {{kPrimary}};
    ScreenTable table;
    ASSERT_EQ(table.countScreens(first, DpiMode::perMonitorAware), 1);
    FakeScreenPlatform none;
    EXPECT_EQ(table.countScreens(none, DpiMode::perMonitorAware), 0);
    CallerRecord out;
    table.copyScreen(0, out.bytes.data());
    EXPECT_TRUE(out.untouched());
}

// No memory to send a worker answers as a worker that cannot start: the table is cleared.
TEST(ScreenTable, NoMemoryForTheWorkerClearsTheTable) {
    FakeScreenPlatform first;
    first.passes = {{kPrimary}};
    ScreenTable table;
    ASSERT_EQ(table.countScreens(first, DpiMode::perMonitorAware), 1);
    FakeScreenPlatform second;
    std::int32_t answer = -1;
    {
        const testkit::FailingAllocations failing;
        answer = table.countScreens(second, DpiMode::perMonitorAware);
    }
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(second.workersStarted, 0);
    EXPECT_EQ(table.count(), 0);
}

// A platform that runs out of memory while listing (the X11 one grows its list) answers as a
// failed listing: the table stays.
TEST(ScreenTable, PlatformOutOfMemoryKeepsTheTable) {
    FakeScreenPlatform first;
    first.passes = {{kPrimary, kLeft}};
    ScreenTable table;
    ASSERT_EQ(table.countScreens(first, DpiMode::perMonitorAware), 2);
    struct Exhausted final : ScreenPlatform {
        Listing listMonitors(DpiMode, std::vector<MonitorArea>&) override {
            throw std::bad_alloc();
        }
    } exhausted;
    EXPECT_EQ(table.countScreens(exhausted, DpiMode::perMonitorAware), 2);
}

}  // namespace
}  // namespace frametake
