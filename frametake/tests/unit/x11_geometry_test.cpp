// The X11 adapters' arithmetic: desktop coordinates, 96-DPI scaling, Xft.dpi, clipping and the
// conversion of X image pixels.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "testkit/case_name.h"
#include "x11_geometry.h"

namespace frametake::x11 {
namespace {

// The bench's layout: a 1280 x 1024 monitor left of a 1920 x 1080 primary one.
const RootMonitor kLeft{357, 0, 0, 1280, 1024, false};
const RootMonitor kMain{358, 1280, 0, 1920, 1080, true};

TEST(DesktopOrigin, IsThePrimaryMonitorElseTheFirst) {
    EXPECT_EQ(desktopOrigin({kLeft, kMain}).x, 1280);
    RootMonitor notPrimary = kMain;
    notPrimary.primary = false;
    EXPECT_EQ(desktopOrigin({notPrimary, kLeft}).x, 1280);
    EXPECT_EQ(desktopOrigin({}).x, 0);
}

struct AreaCase {
    const char* name;
    RootMonitor monitor;
    DpiMode mode;
    double dpi;
    std::array<std::int32_t, 4> edges;  // left, top, right, bottom
};

class DesktopArea : public ::testing::TestWithParam<AreaCase> {};

TEST_P(DesktopArea, MovesToThePrimaryOriginAndScales) {
    const AreaCase& c = GetParam();
    const MonitorArea area = desktopArea(c.monitor, {1280, 0}, c.mode, c.dpi);
    EXPECT_EQ(area.handle, c.monitor.name);
    EXPECT_EQ((std::array{area.left, area.top, area.right, area.bottom}), c.edges);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, DesktopArea,
    ::testing::Values(
        AreaCase{"PrimaryDevicePixels", kMain, DpiMode::perMonitorAware, 144, {0, 0, 1920, 1080}},
        AreaCase{"LeftIsNegative", kLeft, DpiMode::perMonitorAware, 144, {-1280, 0, 0, 1024}},
        AreaCase{"PrimaryAt144Dpi", kMain, DpiMode::unaware, 144, {0, 0, 1280, 720}},
        // -1280 * 2/3 = -853.33: the shared edge stays at 0, the far edge rounds to -853
        AreaCase{"LeftAt144Dpi", kLeft, DpiMode::unaware, 144, {-853, 0, 0, 683}},
        AreaCase{"UnawareAt96DpiIsUnchanged", kLeft, DpiMode::unaware, 96, {-1280, 0, 0, 1024}},
        AreaCase{"FarEdgesStayInRange",
                 RootMonitor{1, 32767, 32767, 65535, 65535, false},
                 DpiMode::perMonitorAware,
                 96,
                 {31487, 32767, 97022, 98302}}),
    testkit::CaseName{});

struct DpiCase {
    const char* name;
    const char* resources;
    double dpi;
};

class XftDpi : public ::testing::TestWithParam<DpiCase> {};

TEST_P(XftDpi, ReadsTheResourceOrFallsBackTo96) {
    EXPECT_EQ(xftDpi(GetParam().resources), GetParam().dpi);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, XftDpi,
    ::testing::Values(
        DpiCase{"Unset", "", 96}, DpiCase{"Alone", "Xft.dpi:\t144\n", 144},
        DpiCase{"AmongOthers", "Xcursor.size:\t24\nXft.dpi:\t120\nXft.hinting:\t1\n", 120},
        DpiCase{"NoFinalNewline", "Xft.dpi: 192", 192},
        DpiCase{"Fractional", "Xft.dpi:\t110.5\n", 110.5},
        DpiCase{"LastOneWins", "Xft.dpi:\t120\nXft.dpi:\t144\n", 144},
        DpiCase{"OtherNameWithSameEnd", "Foo.Xft.dpi:\t144\n", 96},
        DpiCase{"Zero", "Xft.dpi:\t0\n", 96}, DpiCase{"Negative", "Xft.dpi:\t-96\n", 96},
        DpiCase{"NotANumber", "Xft.dpi:\tlarge\n", 96},
        DpiCase{"TrailingText", "Xft.dpi:\t144dpi\n", 96},
        DpiCase{"Infinite", "Xft.dpi:\tinf\n", 96}, DpiCase{"Tiny", "Xft.dpi:\t1e-300\n", 96}),
    testkit::CaseName{});

struct ClipCase {
    const char* name;
    std::int64_t start;
    std::int64_t length;
    Span span;
};

class Clip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clip, KeepsThePartOnTheRoot) {
    const Span span = clip(GetParam().start, GetParam().length, 3200);
    EXPECT_EQ(span.first, GetParam().span.first);
    EXPECT_EQ(span.count, GetParam().span.count);
}

INSTANTIATE_TEST_SUITE_P(Spans, Clip,
                         ::testing::Values(ClipCase{"Inside", 10, 100, {10, 100}},
                                           ClipCase{"OverTheLeftEdge", -10, 100, {0, 90}},
                                           ClipCase{"OverTheRightEdge", 3150, 100, {3150, 50}},
                                           ClipCase{"WhollyLeft", -500, 100, {0, 0}},
                                           ClipCase{"WhollyRight", 4000, 100, {3200, 0}},
                                           ClipCase{"Wider", -1, 4000, {0, 3200}}),
                         testkit::CaseName{});

struct PixelCase {
    const char* name;
    PixelLayout layout;
    std::vector<std::uint8_t> source;  // two pixels
    std::array<std::uint8_t, 6> bgr;
};

class ConvertPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(ConvertPixels, GivesRedGreenBlueBytes) {
    const PixelCase& c = GetParam();
    ASSERT_TRUE(supported(c.layout));
    std::array<std::uint8_t, 6> rgb{};
    convertPixels(c.layout, c.source.data(), 2, rgb.data());
    const std::array<std::uint8_t, 6> expected{c.bgr[2], c.bgr[1], c.bgr[0],
                                               c.bgr[5], c.bgr[4], c.bgr[3]};
    EXPECT_EQ(rgb, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ConvertPixels,
    ::testing::Values(PixelCase{"Depth24In32Bits",
                                {32, false, 0xFF0000, 0xFF00, 0xFF},
                                {0x30, 0x20, 0x10, 0x00, 0xFF, 0x00, 0x80, 0xAA},
                                {0x30, 0x20, 0x10, 0xFF, 0x00, 0x80}},
                      PixelCase{"MostSignificantByteFirst",
                                {32, true, 0xFF0000, 0xFF00, 0xFF},
                                {0x00, 0x10, 0x20, 0x30, 0xAA, 0x80, 0x00, 0xFF},
                                {0x30, 0x20, 0x10, 0xFF, 0x00, 0x80}},
                      PixelCase{"Packed24Bits",
                                {24, false, 0xFF0000, 0xFF00, 0xFF},
                                {0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
                                {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}},
                      // 5-6-5: full channels scale to 255, a middle green 32 of 63 to 130
                      PixelCase{"Rgb565",
                                {16, false, 0xF800, 0x07E0, 0x001F},
                                {0x1F, 0xF8, 0x00, 0x04},
                                {0xFF, 0x00, 0xFF, 0x00, 130, 0x00}},
                      PixelCase{"RedAndBlueSwapped",
                                {32, false, 0xFF, 0xFF00, 0xFF0000},
                                {0x10, 0x20, 0x30, 0x00, 0x01, 0x02, 0x03, 0x00},
                                {0x30, 0x20, 0x10, 0x03, 0x02, 0x01}}),
    testkit::CaseName{});

TEST(ConvertPixels, RefusesLayoutsItCannotRead) {
    EXPECT_FALSE(supported({4, false, 0x8, 0x4, 0x2}));
    EXPECT_FALSE(supported({16, false, 0xFF0000, 0xFF00, 0xFF}));
    EXPECT_TRUE(supported({8, false, 0xE0, 0x1C, 0x03}));
}

}  // namespace
}  // namespace frametake::x11
