// The caller's text in the environment's character set (locale_text.h).

#include "locale_text.h"

#include <langinfo.h>
#include <locale.h>

#include <bit>
#include <cstring>

namespace paneknob::x11 {

using Locale = ownkit::Owned<locale_t, &::freelocale>;

Conversion openConversion(const char* to, const char* from) {
    const iconv_t conversion = ::iconv_open(to, from);
    return Conversion(conversion == reinterpret_cast<iconv_t>(-1) ? nullptr : conversion);
}

std::string environmentCharset() {
    Locale locale(::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0)));
    if (!locale) {
        locale.reset(::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0)));
    }
    return locale ? ::nl_langinfo_l(CODESET, locale.get()) : "ANSI_X3.4-1968";
}

std::optional<std::u32string> fromEnvironmentCharset(const char* text) {
    constexpr const char* kUtf32 =
        std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
    const Conversion conversion = openConversion(kUtf32, environmentCharset().c_str());
    if (!conversion) {
        return std::nullopt;
    }
    const std::size_t length = std::strlen(text);
    // No character takes less than one byte, so one code point a byte always fits.
    std::u32string points(length, U'\0');
    char* in = const_cast<char*>(text);
    std::size_t inLeft = length;
    char* out = reinterpret_cast<char*>(points.data());
    std::size_t outLeft = points.size() * sizeof(char32_t);
    if (::iconv(conversion.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        ::iconv(conversion.get(), nullptr, nullptr, &out, &outLeft) ==
            static_cast<std::size_t>(-1)) {
        return std::nullopt;  // not in the character set
    }
    points.resize(points.size() - outLeft / sizeof(char32_t));
    return points;
}

}  // namespace paneknob::x11
