// Lists the monitors as frametake.dll describes them, in both DPI modes, one line a record:
//   <mode> <index> handle=<h> x=<x> y=<y> width=<w> height=<h>
// Used by the demo and by the tests that change the system's DPI (a new process reads it).

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "screen_info.h"

namespace {

template <typename Function>
Function entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

int main() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HMODULE library =
        ::LoadLibraryW((std::filesystem::path(self).parent_path() / L"frametake.dll").c_str());
    if (library == nullptr) {
        std::printf("cannot load frametake.dll (error %lu)\n", ::GetLastError());
        return 1;
    }
    const auto countEx = entry<std::int32_t (*)(std::uint8_t)>(library, "getScreenCountEx");
    const auto getScreen =
        entry<void (*)(std::int32_t, frametake::ScreenInfo*)>(library, "getScreen");
    for (const std::uint8_t unaware : {std::uint8_t{0}, std::uint8_t{1}}) {
        const char* mode = unaware != 0 ? "unaware" : "aware";
        const std::int32_t count = countEx(unaware);
        std::printf("%s count=%d\n", mode, count);
        for (std::int32_t i = 0; i < count; ++i) {
            frametake::ScreenInfo info{};
            getScreen(i, &info);
            std::printf("%s %d handle=%d x=%.0f y=%.0f width=%d height=%d\n", mode, i,
                        info.monitorHandle, info.boundsX, info.boundsY, info.width, info.height);
        }
    }
    return 0;
}
