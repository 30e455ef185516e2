// Portable UTF-8 <-> UTF-16 conversions for platforms without a system converter.
// Ill-formed parts become U+FFFD: in UTF-8 each maximal ill-formed subpart (the Unicode
// recommendation, which the Windows converter follows), in UTF-16 each unpaired surrogate.

#include "text_convert.h"

namespace waypost {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t cp) {
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::u16string utf8ToWide(const char* text) {
    std::u16string out;
    if (text == nullptr) {
        return out;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        const unsigned char lead = *p++;
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        int trail = 0;
        char32_t cp = 0;
        // The first continuation byte's range rules out overlong forms, surrogates and values
        // above U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            cp = lead & 0x0Fu;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            cp = lead & 0x07u;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            out.push_back(kReplacement);
            continue;
        }
        bool complete = true;
        for (int k = 0; k < trail; ++k, low = 0x80, high = 0xBF) {
            // The terminating NUL fails this test, so the walk never passes it.
            if (*p < low || *p > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (*p++ & 0x3Fu);
        }
        if (complete) {
            appendUtf16(out, cp);
        } else {
            out.push_back(kReplacement);
        }
    }
    return out;
}

std::string wideToUtf8(const char16_t* text) {
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        if (isHighSurrogate(p[0]) && isLowSurrogate(p[1])) {
            appendUtf8(out,
                       0x10000 + ((char32_t{p[0]} - 0xD800) << 10) + (char32_t{p[1]} - 0xDC00));
            ++p;
        } else if (isHighSurrogate(*p) || isLowSurrogate(*p)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, *p);
        }
    }
    return out;
}

}  // namespace waypost
