// The C exports of paneknob.dll: a title in the active ANSI code page in, an int32 code out
// (0 done, -1 no such window, -2 restoreAndActivate could not activate).

#include <cstdint>

#include "../core/window_control.h"
#include "user32_platform.h"

extern "C" {

__declspec(dllexport) std::int32_t setWindowFlags(const char* title) {
    return paneknob::setWindowFlags(paneknob::systemWindowPlatform(), title);
}

__declspec(dllexport) std::int32_t minimize(const char* title) {
    return paneknob::minimize(paneknob::systemWindowPlatform(), title);
}

__declspec(dllexport) std::int32_t restore(const char* title) {
    return paneknob::restore(paneknob::systemWindowPlatform(), title);
}

__declspec(dllexport) std::int32_t restoreAndActivate(const char* title) {
    return paneknob::restoreAndActivate(paneknob::systemWindowPlatform(), title);
}

}  // extern "C"
