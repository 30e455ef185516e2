#pragma once
// What KWin's scripts report back, apart from any bus: the listing of windows, and the checks
// on what goes into a script.

#include <string>
#include <string_view>
#include <vector>

namespace paneknob {

struct KWinWindow {
    std::string id;       // KWin's internalId, "{8-4-4-4-12 hex digits}"
    std::string caption;  // UTF-8
};

// The listing script's report, one window a line: its id, a tab, and its caption as
// encodeURIComponent wrote it. Lines that do not parse are left out.
[[nodiscard]] std::vector<KWinWindow> parseWindowReport(std::string_view report);

// Whether `id` has the form of KWin's window ids, and `name` of a unique bus name (":1.42"):
// the only texts a script is given.
[[nodiscard]] bool isWindowId(std::string_view id);
[[nodiscard]] bool isUniqueBusName(std::string_view name);

}  // namespace paneknob
