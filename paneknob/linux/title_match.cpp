#include "title_match.h"

#include <locale.h>
#include <textkit/unicode.h>
#include <wctype.h>

namespace paneknob::x11 {
namespace {

// The lower case of a code point in C.UTF-8, a locale every glibc carries.
char32_t lower(char32_t point) {
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (unicode != static_cast<locale_t>(0)) {
        return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(point), unicode));
    }
    return point >= U'A' && point <= U'Z' ? point + (U'a' - U'A') : point;
}

// Latin-1 bytes are the first 256 code points.
std::u32string latin1(std::string_view bytes) {
    std::u32string text;
    for (const char byte : bytes) {
        text.push_back(static_cast<unsigned char>(byte));
    }
    return text;
}

}  // namespace

std::optional<std::u32string> decodeTitle(std::string_view bytes, TitleEncoding encoding) {
    switch (encoding) {
        case TitleEncoding::utf8:
            return textkit::utf8ToCodePoints(bytes);
        case TitleEncoding::latin1:
            return latin1(bytes);
        case TitleEncoding::compoundText:
            for (const char byte : bytes) {
                if (static_cast<unsigned char>(byte) >= 0x80 || byte == '\x1B') {
                    return std::nullopt;  // other character sets are switched in with ESC
                }
            }
            return latin1(bytes);
    }
    return std::nullopt;
}

bool sameTitle(std::u32string_view a, std::u32string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace paneknob::x11
