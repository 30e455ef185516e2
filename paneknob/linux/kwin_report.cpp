#include "kwin_report.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "textkit/percent.h"

namespace paneknob {

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
        if (auto caption = textkit::decodePercent(line.substr(tab + 1))) {
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
        if (kShape[i] == 'x' ? std::isxdigit(static_cast<unsigned char>(id[i])) == 0
                             : id[i] != kShape[i]) {
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
