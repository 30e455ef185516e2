#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <vector>

#include "wayland_geometry.h"

namespace frametake::wayland {
namespace {

struct AreaCase {
    const char* name;
    Output output;
    Output origin;
    MonitorArea aware;    // device pixels
    MonitorArea unaware;  // logical units
};

class WaylandArea : public ::testing::TestWithParam<AreaCase> {};

TEST_P(WaylandArea, IsDevicePixelsOrLogicalUnits) {
    const AreaCase& c = GetParam();
    const auto same = [](const MonitorArea& a, const MonitorArea& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(monitorArea(c.output, c.origin, DpiMode::perMonitorAware), c.aware));
    EXPECT_TRUE(same(monitorArea(c.output, c.origin, DpiMode::unaware), c.unaware));
    EXPECT_EQ(monitorArea(c.output, c.origin, DpiMode::unaware).handle, c.output.name);
}

// name, mode w h, transform, logical x y w h, scale
const Output kAtOrigin{7, 1920, 1080, 0, 0, 0, 1920, 1080};

INSTANTIATE_TEST_SUITE_P(
    Table, WaylandArea,
    ::testing::Values(
        AreaCase{"ScaleOne", kAtOrigin, kAtOrigin, {0, 0, 0, 1920, 1080}, {0, 0, 0, 1920, 1080}},
        AreaCase{"ScaleTwo",
                 {7, 1920, 1080, 0, 0, 0, 960, 540},
                 kAtOrigin,
                 {0, 0, 0, 1920, 1080},
                 {0, 0, 0, 960, 540}},
        AreaCase{"FractionalScaleRightOfTheOrigin",
                 {8, 1920, 1080, 0, 1920, 0, 1280, 720},
                 kAtOrigin,
                 {0, 2880, 0, 4800, 1080},
                 {0, 1920, 0, 3200, 720}},
        AreaCase{"TurnedByNinetyDegrees",
                 {9, 1920, 1080, 1, 0, 0, 1080, 1920},
                 kAtOrigin,
                 {0, 0, 0, 1080, 1920},
                 {0, 0, 0, 1080, 1920}},
        AreaCase{"LeftOfAnOriginElsewhere",
                 {9, 1280, 1024, 0, 0, 0, 1280, 1024},
                 {7, 1920, 1080, 0, 1280, 0, 1920, 1080},
                 {0, -1280, 0, 0, 1024},
                 {0, -1280, 0, 0, 1024}},
        // GNOME's default layout: logical rectangles in device pixels, the factor apart.
        AreaCase{"DevicePixelLayoutRightOfTheOrigin",
                 {8, 3200, 1800, 0, 1920, 0, 3200, 1800, 2},
                 kAtOrigin,
                 {0, 1920, 0, 5120, 1800},
                 {0, 960, 0, 2560, 900}},
        // A compositor's coordinates far outside a record's range are clamped, not wrapped.
        AreaCase{"HostileCoordinatesClamped",
                 {9, 2000000000, 100, 0, 2000000000, 0, 1, 100},
                 {7, 1, 1, 0, -2000000000, 0, 1, 1},
                 {0, 2147483647, 0, 2147483647, 100},
                 {0, 2147483647, 0, 2147483647, 100}}),
    testkit::CaseName{});

TEST(WaylandOrigin, IsTheOutputAtZeroElseTheTopLeftMost) {
    const std::vector<Output> withZero{{1, 10, 10, 0, 100, 0, 10, 10},
                                       {2, 10, 10, 0, 0, 0, 10, 10}};
    EXPECT_EQ(originOutput(withZero).name, 2u);
    const std::vector<Output> without{{1, 10, 10, 0, 50, 5, 10, 10},
                                      {2, 10, 10, 0, 90, 5, 10, 10},
                                      {3, 10, 10, 0, -20, 30, 10, 10}};
    EXPECT_EQ(originOutput(without).name, 1u);
}

TEST(WaylandOutput, WithoutAModeOrALogicalSizeIsIncomplete) {
    EXPECT_TRUE(complete(kAtOrigin));
    Output noMode = kAtOrigin;
    noMode.modeWidth = 0;
    Output noLogicalSize = kAtOrigin;
    noLogicalSize.logicalHeight = -1;
    EXPECT_FALSE(complete(noMode));
    EXPECT_FALSE(complete(noLogicalSize));
}

}  // namespace
}  // namespace frametake::wayland
