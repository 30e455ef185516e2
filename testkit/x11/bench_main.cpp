// main() of the X11 test programs: runs the tests on the display of the bench named by
// $X11_BENCH_DIR (see cmake/x11/x11-bench), with the bench's home, and no Wayland compositor
// (a path that names none), so the libraries take the X11 session.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (const char* bench = std::getenv("X11_BENCH_DIR"); bench != nullptr) {
        std::string display;
        std::ifstream(std::string(bench) + "/display") >> display;
        if (display.empty()) {
            std::fprintf(stderr, "no X11 bench running in %s\n", bench);
            return 1;
        }
        ::setenv("DISPLAY", (":" + display).c_str(), 1);
        ::setenv("HOME", (std::string(bench) + "/home").c_str(), 1);
        ::setenv("WAYLAND_DISPLAY", (std::string(bench) + "/no-compositor").c_str(), 1);
    }
    return RUN_ALL_TESTS();
}
