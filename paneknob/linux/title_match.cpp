#include "title_match.h"

#include <locale.h>
#include <wctype.h>

namespace paneknob::x11 {
namespace {

std::optional<std::u32string> decodeUtf8(std::string_view bytes) {
    std::u32string text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        char32_t point = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            point = lead & 0x1Fu;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            point = lead & 0x0Fu;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            point = lead & 0x07u;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + length > bytes.size()) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            point = (point << 6) | (next & 0x3Fu);
        }
        if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return std::nullopt;  // overlong, beyond Unicode, or a surrogate
        }
        text.push_back(point);
        i += length;
    }
    return text;
}

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
            return decodeUtf8(bytes);
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

std::optional<std::u32string> fromUtf16(const char16_t* text) {
    std::u32string points;
    for (; *text != u'\0'; ++text) {
        const char16_t unit = *text;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const char16_t low = text[1];
            if (low < 0xDC00 || low > 0xDFFF) {
                return std::nullopt;
            }
            points.push_back(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00));
            ++text;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return std::nullopt;
        } else {
            points.push_back(unit);
        }
    }
    return points;
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
