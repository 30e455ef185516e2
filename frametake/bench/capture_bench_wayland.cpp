// Linux capture cost benchmark on a Wayland session (not a test), run by scripts/bench on the
// sway bench: the desktop-like picture shown as the first output's wallpaper (swaybg, at scale
// 1 the picture's own size), captured whole through libframetake.so and the compositor's
// screencopy, against the encode-and-write of the same pixels with the capture's own encoder.
// Medians of the rounds, and their ratio.

#include <frametake.h>
#include <lodepng.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "desktop_picture.h"

namespace {

using namespace frametake::bench;

bool sway(const std::string& command) {
    return std::system(("swaymsg " + command + " >/dev/null").c_str()) == 0;
}

}  // namespace

int main() {
    const std::vector<std::uint8_t> picture = desktopPicture();
    // The compositor's user reads the wallpaper: a folder of its own that anyone may enter.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "frametake-bench";
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0755);
    const std::filesystem::path wallpaper = folder / "desktop.png";
    if (lodepng_encode24_file(wallpaper.c_str(), picture.data(), kWidth, kHeight) != 0 ||
        ::chmod(wallpaper.c_str(), 0644) != 0 ||
        !sway("output HEADLESS-1 scale 1 position 0 0 bg " + wallpaper.string() + " stretch")) {
        std::fprintf(stderr, "cannot show the picture\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));  // swaybg draws it
    ScreenInfo primary{};
    bool found = false;
    for (std::int32_t i = 0; i < getScreenCount(); ++i) {
        getScreen(i, &primary);
        found = found || (primary.boundsX == 0 && primary.boundsY == 0);
        if (found) {
            break;
        }
    }
    if (!found) {
        std::fprintf(stderr, "no monitor at the origin\n");
        return 1;
    }

    const int raced = raceAgainstLodePng(primary, picture, folder / "reference.png");
    std::filesystem::remove_all(folder);
    return raced;
}
