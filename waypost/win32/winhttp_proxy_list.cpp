#include "winhttp_proxy_list.h"

#include <string>

#include "../core/port_text.h"
#include "text_convert.h"

namespace waypost {
namespace {

// The entry the list's owner meant for plain HTTP: after the first "http=", else after the
// first "https=", else the first entry. Prefixes are matched anywhere, case-sensitively.
std::u16string_view chooseEntry(std::u16string_view list) {
    std::size_t start = 0;
    if (const auto http = list.find(u"http="); http != std::u16string_view::npos) {
        start = http + 5;
    } else if (const auto https = list.find(u"https="); https != std::u16string_view::npos) {
        start = https + 6;
    }
    const std::u16string_view rest = list.substr(start);
    return rest.substr(0, rest.find(u';'));
}

}  // namespace

void parseProxyList(const char16_t* list, ProxyResult& result) {
    // Copied first: the platform's string is released independently of the result.
    const std::u16string copy = list != nullptr ? std::u16string(list) : std::u16string();
    const std::u16string_view entry = chooseEntry(copy);

    const std::size_t colon = entry.rfind(u':');
    if (colon == std::u16string_view::npos) {
        result.host = wideToUtf8(std::u16string(entry).c_str());
        result.port = kPortWithoutColon;
        return;
    }
    result.host = wideToUtf8(std::u16string(entry.substr(0, colon)).c_str());
    result.port = readLeadingInteger(entry.substr(colon + 1));
}

}  // namespace waypost
