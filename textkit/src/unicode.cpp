#include "textkit/unicode.h"

namespace textkit {
namespace {

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A lead byte's sequence: its length, its bits, and the range its first continuation byte must
// lie in (which rules out overlong forms, surrogates and values above U+10FFFF).
struct Lead {
    std::size_t length = 0;  // 0: not a lead byte
    char32_t bits = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

Lead leadOf(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2, byte & 0x1Fu};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return {3, byte & 0x0Fu, static_cast<unsigned char>(byte == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(byte == 0xED ? 0x9F : 0xBF)};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return {4, byte & 0x07u, static_cast<unsigned char>(byte == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(byte == 0xF4 ? 0x8F : 0xBF)};
    }
    return {};
}

}  // namespace

Step decodeUtf8At(std::string_view text, std::size_t at) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (first < 0x80) {
        return {first, 1, true};
    }
    Lead lead = leadOf(first);
    if (lead.length == 0) {
        return {kReplacement, 1, false};
    }
    char32_t point = lead.bits;
    for (std::size_t k = 1; k < lead.length; ++k, lead.low = 0x80, lead.high = 0xBF) {
        if (at + k >= text.size()) {
            return {kReplacement, k, false};
        }
        const auto next = static_cast<unsigned char>(text[at + k]);
        if (next < lead.low || next > lead.high) {
            return {kReplacement, k, false};
        }
        point = (point << 6) | (next & 0x3Fu);
    }
    return {point, lead.length, true};
}

Step decodeUtf16At(std::u16string_view text, std::size_t at) {
    const char32_t unit = text[at];
    if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1])) {
        return {0x10000 + ((unit - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00), 2, true};
    }
    if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
        return {unit, 1, false};
    }
    return {unit, 1, true};
}

void appendUtf8(std::string& out, char32_t point) {
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (point < 0x80) {
        byte(point);
    } else if (point < 0x800) {
        byte(0xC0 | (point >> 6));
        byte(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        byte(0xE0 | (point >> 12));
        byte(0x80 | ((point >> 6) & 0x3F));
        byte(0x80 | (point & 0x3F));
    } else {
        byte(0xF0 | (point >> 18));
        byte(0x80 | ((point >> 12) & 0x3F));
        byte(0x80 | ((point >> 6) & 0x3F));
        byte(0x80 | (point & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t point) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

namespace {

// Every step of `decode` over `text`, each ill-formed part as U+FFFD.
template <typename Out, typename Text, typename Decode, typename Append>
Out replacing(Text text, Decode decode, Append append) {
    Out out;
    for (std::size_t at = 0; at < text.size();) {
        const Step step = decode(text, at);
        append(out, step.valid ? step.point : kReplacement);
        at += step.length;
    }
    return out;
}

// Every step of `decode` over `text` as code points; nothing when a part is ill-formed.
template <typename Text, typename Decode>
std::optional<std::u32string> strictly(Text text, Decode decode) {
    std::u32string points;
    for (std::size_t at = 0; at < text.size();) {
        const Step step = decode(text, at);
        if (!step.valid) {
            return std::nullopt;
        }
        points.push_back(step.point);
        at += step.length;
    }
    return points;
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view text) {
    return replacing<std::u16string>(text, &decodeUtf8At, &appendUtf16);
}

std::string utf16ToUtf8(std::u16string_view text) {
    return replacing<std::string>(text, &decodeUtf16At, &appendUtf8);
}

std::string utf8Replacing(std::string_view text) {
    return replacing<std::string>(text, &decodeUtf8At, &appendUtf8);
}

std::optional<std::u32string> utf8ToCodePoints(std::string_view text) {
    return strictly(text, &decodeUtf8At);
}

std::optional<std::u32string> utf16ToCodePoints(std::u16string_view text) {
    return strictly(text, &decodeUtf16At);
}

std::string utf16UnitsToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        appendUtf8(out, unit);
    }
    return out;
}

}  // namespace textkit
