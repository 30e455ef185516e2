// The Windows file stage's search for a new name, over files that behave as Windows' do.

#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <functional>
#include <string>

#include "../../win32/gdi_capture.h"
#include "temp_files_like_windows.h"

namespace frametake {
namespace {

using testing::TempFilesLikeWindows;

const std::uint8_t kPixel[3] = {10, 20, 30};

struct FolderCase {
    const char* name;
    std::function<void(TempFilesLikeWindows&)> arrange;
    bool saved;
    std::uint32_t number;  // of the .png made, when saved
    int creates;           // CreateFileA calls the search made
};

class TemporaryFolder : public ::testing::TestWithParam<FolderCase> {};

// Whatever the folder holds, the search takes only a free name, removes only the .tmp it made,
// and leaves every earlier entry as it was.
TEST_P(TemporaryFolder, TakesAFreeNameAndLeavesEverythingElse) {
    const FolderCase& c = GetParam();
    TempFilesLikeWindows files;
    c.arrange(files);
    const auto earlier = files.entries;
    char path[kMaxPath] = {};

    EXPECT_EQ(saveCaptureFile(files, kPixel, 1, 1, path), c.saved);

    EXPECT_EQ(files.creates, c.creates);
    auto after = files.entries;
    if (c.saved) {
        EXPECT_EQ(path, files.nameOf(c.number, "png"));
        EXPECT_FALSE(after[path].bytes.empty());
        after.erase(path);
    }
    EXPECT_EQ(after.size(), earlier.size()) << "a .tmp of this call is left, or another's is gone";
    for (const auto& [name, entry] : earlier) {
        EXPECT_EQ(after[name].bytes, entry.bytes) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemporaryFolder,
    ::testing::Values(
        FolderCase{"Empty", [](TempFilesLikeWindows&) {}, true, 0x1A3, 1},
        FolderCase{"EarlierCapturesTakeTheNextNumbers",
                   [](TempFilesLikeWindows& f) {
                       for (std::uint32_t n = 0x1A3; n < 0x1A6; ++n) {
                           f.addFile(f.nameOf(n, "png"), "earlier");
                       }
                   },
                   true, 0x1A6, 4},
        FolderCase{"AFolderNamedLikeThePngIsPassedOver",
                   [](TempFilesLikeWindows& f) {
                       f.entries[f.nameOf(0x1A3, "png")] = {true, "", 0};
                   },
                   true, 0x1A4, 2},
        FolderCase{"AFolderThatDeniesWritingEndsTheSearchAtOnce",
                   [](TempFilesLikeWindows& f) { f.pngDenied = true; }, false, 0, 1},
        // Wine answers a taken name without creating it: the other program's .tmp stays.
        FolderCase{"EveryTmpNameTakenByOthers",
                   [](TempFilesLikeWindows& f) {
                       for (std::uint32_t n = 1; n <= 0xFFFF; ++n) {
                           f.addFile(f.nameOf(n), "");
                       }
                       f.everyNumberTakenAnswersAnyway = true;
                   },
                   true, 0x1A3, 1}),
    testkit::CaseName{});

}  // namespace
}  // namespace frametake
