// Lists the monitors as frametake.dll (or libframetake.so) describes them, in both DPI modes,
// one line a record:
//   <mode> <index> handle=<h> x=<x> y=<y> width=<w> height=<h>
// With "--capture WIDTH HEIGHT" it then captures that rectangle of monitor 0 and prints the PNG's
// path and size. Used by the demo and by the tests that change the system's DPI (a new process
// reads it).

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <frametake.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

#if defined(_WIN32)
constexpr const char* kLibrary = "frametake.dll";
using Library = HMODULE;

Library load() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return ::LoadLibraryW((std::filesystem::path(self).parent_path() / L"frametake.dll").c_str());
}
void* symbol(Library library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(library, name));
}
#else
constexpr const char* kLibrary = "libframetake.so";
using Library = void*;

Library load() {
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / kLibrary;
    return ::dlopen(path.c_str(), RTLD_NOW);
}
void* symbol(Library library, const char* name) {
    return ::dlsym(library, name);
}
#endif

template <typename Function>
Function entry(Library library, const char* name) {
    return reinterpret_cast<Function>(symbol(library, name));
}

}  // namespace

int main(int argc, char** argv) {
    const Library library = load();
    if (library == nullptr) {
        std::printf("cannot load %s\n", kLibrary);
        return 1;
    }
    const auto countEx = entry<decltype(&::getScreenCountEx)>(library, "getScreenCountEx");
    const auto getScreen = entry<decltype(&::getScreen)>(library, "getScreen");
    const auto captureScreen = entry<decltype(&::captureScreen)>(library, "captureScreen");
    for (const std::uint8_t unaware : {std::uint8_t{0}, std::uint8_t{1}}) {
        const char* mode = unaware != 0 ? "unaware" : "aware";
        const std::int32_t count = countEx(unaware);
        std::printf("%s count=%d\n", mode, count);
        for (std::int32_t i = 0; i < count; ++i) {
            ScreenInfo info{};
            getScreen(i, &info);
            std::printf("%s %d handle=%d x=%.0f y=%.0f width=%d height=%d\n", mode, i,
                        info.monitorHandle, info.boundsX, info.boundsY, info.width, info.height);
        }
    }
    if (argc == 4 && std::string(argv[1]) == "--capture") {
        ScreenInfo primary{};
        countEx(0);
        getScreen(0, &primary);
        const int width = std::atoi(argv[2]);
        const int height = std::atoi(argv[3]);
        const std::string path = captureScreen(&primary, 0, 0, width, height);
        if (path.empty()) {
            std::printf("capture failed\n");
            return 1;
        }
        std::printf("captured %dx%d: %s (%llu bytes)\n", width, height, path.c_str(),
                    static_cast<unsigned long long>(std::filesystem::file_size(path)));
    }
    return 0;
}
