#pragma once
// captureScreen: a rectangle of one monitor, as a PNG file in the temporary directory.
//
// The returned path belongs to the library and stays valid until the next capture that reaches
// the file stage; a failure returns the static empty string. Captures are made one at a time
// (no lock): a caller that overlaps them may read a path that a later capture has replaced,
// never a freed one (ownkit/published.h).

#include <ownkit/published.h>

#include <cstdint>

#include "capture_platform.h"
#include "screen_info.h"

namespace frametake {

inline constexpr char kNoCapture[] = "";

class ScreenCapture {
public:
    // The rectangle (x, y, width, height) is relative to the top-left corner of `screen`
    // (boundsX, boundsY). A null screen, a width or height of 0 or less, an origin outside the
    // 32-bit range, or a picture whose buffer would not fit a signed 32-bit size fails before
    // anything is created.
    [[nodiscard]] const char* capture(CapturePlatform& platform, const ScreenInfo* screen,
                                      std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height);

    // The last successful capture's path, or null.
    [[nodiscard]] const char* lastCapturePath() const { return lastCapturePath_.get(); }

private:
    // Publishes a copy of `name` (kCapturePathRoom bytes) as the last path; the copy, or null when
    // it cannot be allocated (the last path is none then).
    const char* storePath(const char* name);

    ownkit::Published<char> lastCapturePath_;
};

}  // namespace frametake
