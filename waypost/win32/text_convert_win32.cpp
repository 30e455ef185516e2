// UTF-8 <-> UTF-16 through the system converter: size first, then the conversion, flags 0 so
// that ill-formed input becomes U+FFFD instead of failing.

#include <windows.h>

#include "text_convert.h"

namespace waypost {

std::u16string utf8ToWide(const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return {};
    }
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (units <= 1) {
        return {};
    }
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    const int written =
        ::MultiByteToWideChar(CP_UTF8, 0, text, -1, reinterpret_cast<wchar_t*>(out.data()), units);
    out.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return out;
}

std::string wideToUtf8(const char16_t* text) {
    if (text == nullptr || text[0] == u'\0') {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    const int written =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), bytes, nullptr, nullptr);
    out.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return out;
}

}  // namespace waypost
