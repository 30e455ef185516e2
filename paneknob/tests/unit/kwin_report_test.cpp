// What KWin's scripts report, read without a bus: the listing of windows, and the only texts a
// script is ever given (KWin's window ids, this connection's bus name).

#include <gtest/gtest.h>

#include "kwin_report.h"

namespace paneknob {
namespace {

constexpr const char* kId = "{f34b05d5-9bc9-43bc-81f6-cf99eeb671d1}";

TEST(KWinReport, ListsWellFormedLinesWithTheirCaptionsDecoded) {
    const std::string report = std::string(kId) + "\tX%20Red\n" +  // plain
                               kId + "\t%C3%84%0A%09\n" +          // UTF-8, newline, tab
                               "{not-an-id}\tEvil\n" + kId + "\tCut%4\n" + kId + "\tNul%00\n" +
                               "no tab at all\n" + kId + "\t";  // empty caption, no newline
    const std::vector<KWinWindow> windows = parseWindowReport(report);
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[0].caption, "X Red");
    EXPECT_EQ(windows[1].caption, "\xC3\x84\n\t");
    EXPECT_EQ(windows[2].caption, "");
    EXPECT_EQ(windows[0].id, kId);
}

TEST(KWinReport, OnlyIdsAndBusNamesOfTheirShapeGoIntoAScript) {
    EXPECT_TRUE(isWindowId(kId));
    for (const char* id :
         {"", "{f34b05d5-9bc9-43bc-81f6-cf99eeb671d}", "{f34b05d5-9bc9-43bc-81f6-cf99eeb671d1}\"",
          "f34b05d5-9bc9-43bc-81f6-cf99eeb671d1xx", "{f34b05d5-9bc9-43bc-81f6-cf99eeb671\"+}"}) {
        EXPECT_FALSE(isWindowId(id)) << id;
    }
    EXPECT_TRUE(isUniqueBusName(":1.42"));
    for (const char* name : {"", ":", "org.kde.KWin", ":1.42\"", ":1.4 2"}) {
        EXPECT_FALSE(isUniqueBusName(name)) << name;
    }
}

}  // namespace
}  // namespace paneknob
