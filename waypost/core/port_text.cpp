#include "port_text.h"

#include <limits>

namespace waypost {
namespace {

template <typename Char>
bool isLeadingSpace(Char c) {
    return c == Char{' '} || (c >= Char{'\t'} && c <= Char{'\r'});
}

template <typename Char>
std::int32_t readLeadingIntegerOf(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && isLeadingSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == Char{'+'} || text[i] == Char{'-'})) {
        negative = text[i] == Char{'-'};
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is out of range.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= Char{'0'} && text[i] <= Char{'9'}; ++i) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (text[i] - Char{'0'});
        }
    }
    if (negative) {
        return magnitude >= limit ? std::numeric_limits<std::int32_t>::min()
                                  : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= limit ? std::numeric_limits<std::int32_t>::max()
                              : static_cast<std::int32_t>(magnitude);
}

}  // namespace

std::int32_t readLeadingInteger(std::u16string_view text) {
    return readLeadingIntegerOf(text);
}

std::int32_t readLeadingInteger(std::string_view text) {
    return readLeadingIntegerOf(text);
}

}  // namespace waypost
