#include "kwin_report.h"

#include <algorithm>
#include <optional>

namespace paneknob {
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

// encodeURIComponent's output decoded; nothing for a malformed escape or a NUL.
std::optional<std::string> decodeComponent(std::string_view text) {
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

}  // namespace

std::vector<KWinWindow> parseWindowReport(std::string_view report) {
    std::vector<KWinWindow> windows;
    while (!report.empty()) {
        const std::size_t end = std::min(report.find('\n'), report.size());
        const std::string_view line = report.substr(0, end);
        report.remove_prefix(std::min(end + 1, report.size()));
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || !isWindowId(line.substr(0, tab))) {
            continue;
        }
        if (auto caption = decodeComponent(line.substr(tab + 1))) {
            windows.push_back({std::string(line.substr(0, tab)), std::move(*caption)});
        }
    }
    return windows;
}

bool isWindowId(std::string_view id) {
    constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (id.size() != kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (kShape[i] == 'x' ? hexValue(id[i]) < 0 : id[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

bool isUniqueBusName(std::string_view name) {
    return name.size() > 1 && name.size() < 256 && name[0] == ':' &&
           std::all_of(name.begin() + 1, name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

}  // namespace paneknob
