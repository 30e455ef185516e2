#include "textkit/percent.h"

namespace textkit {
namespace {

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::string> decodePercent(std::string_view text) {
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char next = text[at];
        if (next == '%') {
            const int high = at + 2 < text.size() ? hexValue(text[at + 1]) : -1;
            const int low = high >= 0 ? hexValue(text[at + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            next = static_cast<char>(high * 16 + low);
            at += 2;
        }
        if (next == '\0') {
            return std::nullopt;
        }
        decoded += next;
    }
    return decoded;
}

}  // namespace textkit
