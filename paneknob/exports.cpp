// The C exports of paneknob.dll and libpaneknob.so: a title in the process's 8-bit character set
// in, an int32 code out (0 done, -1 no such window, -2 restoreAndActivate could not activate).

#include <paneknob.h>

#include <cstdint>

#include "core/platforms.h"
#include "core/window_control.h"

extern "C" {

std::int32_t setWindowFlags(const char* title) {
    return paneknob::runWithSystemPlatform(&paneknob::setWindowFlags, title);
}

std::int32_t minimize(const char* title) {
    return paneknob::runWithSystemPlatform(&paneknob::minimize, title);
}

std::int32_t restore(const char* title) {
    return paneknob::runWithSystemPlatform(&paneknob::restore, title);
}

std::int32_t restoreAndActivate(const char* title) {
    return paneknob::runWithSystemPlatform(&paneknob::restoreAndActivate, title);
}

}  // extern "C"
