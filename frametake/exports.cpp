// The C exports of frametake.dll and libframetake.so, over whichever platform adapters the
// library is linked with. The monitor table and the last capture path are process-wide and
// deliberately never destroyed: nothing is released at unload.

#include <frametake.h>

#include <cstdint>

#include "core/capture.h"
#include "core/platforms.h"
#include "core/screen_table.h"

namespace {

frametake::ScreenTable& screenTable() {
    static auto* const table = new frametake::ScreenTable();
    return *table;
}

frametake::ScreenCapture& screenCapture() {
    static auto* const capture = new frametake::ScreenCapture();
    return *capture;
}

std::int32_t countScreens(frametake::DpiMode mode) noexcept {
    try {
        return screenTable().countScreens(frametake::systemScreenPlatform(), mode);
    } catch (...) {
        return 0;  // only a failed lock or allocation can get here
    }
}

}  // namespace

extern "C" {

std::int32_t getScreenCount(void) {
    return countScreens(frametake::DpiMode::perMonitorAware);
}

std::int32_t getScreenCountEx(std::uint8_t unaware) {
    return countScreens(unaware != 0 ? frametake::DpiMode::unaware
                                     : frametake::DpiMode::perMonitorAware);
}

void getScreen(std::int32_t index, ScreenInfo* info) {
    try {
        screenTable().copyScreen(index, info);
    } catch (...) {
        // nothing written
    }
}

const char* captureScreen(const ScreenInfo* screen, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height) {
    try {
        return screenCapture().capture(frametake::systemCapturePlatform(), screen, x, y, width,
                                       height);
    } catch (...) {
        return frametake::kNoCapture;
    }
}

}  // extern "C"
