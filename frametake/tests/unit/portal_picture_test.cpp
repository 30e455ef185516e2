#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "picture_placement.h"
#include "portal_file.h"

namespace frametake::wayland {
namespace {

struct UriCase {
    const char* name;
    const char* uri;
    std::optional<std::string> path;
};

class PortalUri : public ::testing::TestWithParam<UriCase> {};

TEST_P(PortalUri, IsALocalAbsolutePathOrNothing) {
    EXPECT_EQ(localPathOfUri(GetParam().uri), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortalUri,
    ::testing::Values(UriCase{"Plain", "file:///home/a/Screenshot.png", "/home/a/Screenshot.png"},
                      UriCase{"Localhost", "file://localhost/tmp/s.png", "/tmp/s.png"},
                      UriCase{"EscapesDecoded",
                              "file:///home/a/Bilder/Bildschirmfoto%20%C3%A4%3F.png",
                              "/home/a/Bilder/Bildschirmfoto \xC3\xA4?.png"},
                      UriCase{"OtherHost", "file://elsewhere/tmp/s.png", std::nullopt},
                      UriCase{"OtherScheme", "https://example.org/s.png", std::nullopt},
                      UriCase{"NoPath", "file://", std::nullopt},
                      UriCase{"EscapedNul", "file:///tmp/s%00.png", std::nullopt},
                      UriCase{"CutEscape", "file:///tmp/s%4", std::nullopt},
                      UriCase{"BadEscape", "file:///tmp/s%G1", std::nullopt},
                      UriCase{"Query", "file:///tmp/s.png?x", std::nullopt},
                      UriCase{"ParentStep", "file:///home/a/%2E%2E/b/s.png", std::nullopt}),
    testkit::CaseName{});

// A bottom-up 32-bit picture of the area (10,20)-(13,22) placed into a wanted rectangle that
// only partly overlaps it: its rows turn over, its bytes reorder, and the rest stays as it was.
TEST(PicturePlacement, CopiesOnlyTheOverlapInTopDownRgb) {
    const std::vector<std::uint8_t> bgrx{
        // bottom row first: (10,21) (11,21) (12,21), then (10,20) (11,20) (12,20)
        1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 11, 12, 13, 0, 14, 15, 16, 0, 17, 18, 19, 0};
    const PictureView picture{bgrx.data(), 3, 2, 12, kBgrx, true};
    std::vector<std::uint8_t> rgb(2 * 3 * 3, 0xEE);  // wanted: (11,19)-(13,22)
    placeInto(picture, {0, 10, 20, 13, 22}, {11, 19, 13, 22}, rgb.data());
    const std::vector<std::uint8_t> expected{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,  // y 19
                                             16,   15,   14,   19,   18,   17,    // y 20
                                             6,    5,    4,    9,    8,    7};    // y 21
    EXPECT_EQ(rgb, expected);
}

}  // namespace
}  // namespace frametake::wayland
