#include "desktop_proxy.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace waypost {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The URL's scheme and host (lower case, IPv6 without brackets).
struct Target {
    std::string scheme, host;
};
Target targetOf(std::string_view url) {
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos) {
        return {};
    }
    std::string_view rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        rest = rest.substr(at + 1);
    }
    if (!rest.empty() && rest.front() == '[') {
        rest = rest.substr(1, rest.find(']') - 1);
    } else {
        rest = rest.substr(0, rest.find(':'));
    }
    return {lowered(url.substr(0, colon)), lowered(rest)};
}

bool inIpv4Range(const std::string& host, std::string_view range) {
    const std::size_t slash = range.find('/');
    in_addr address{};
    in_addr network{};
    const std::string base(range.substr(0, slash));
    if (slash == std::string_view::npos || ::inet_pton(AF_INET, host.c_str(), &address) != 1 ||
        ::inet_pton(AF_INET, base.c_str(), &network) != 1) {
        return false;
    }
    const int bits = std::atoi(std::string(range.substr(slash + 1)).c_str());
    if (bits < 0 || bits > 32) {
        return false;
    }
    const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
    return (ntohl(address.s_addr) & mask) == (ntohl(network.s_addr) & mask);
}

// "example.com", ".example.com" and "*.example.com" each match the domain and every name under
// it; an address matches itself; "a.b.c.d/n" an IPv4 range.
bool ignored(const std::string& host, const std::vector<std::string>& ignoreHosts) {
    for (const std::string& entry : ignoreHosts) {
        std::string pattern = lowered(entry);
        if (pattern.find('/') != std::string::npos) {
            if (inIpv4Range(host, pattern)) {
                return true;
            }
            continue;
        }
        if (pattern.rfind("*.", 0) == 0 || pattern.rfind('.', 0) == 0) {
            pattern.erase(0, pattern.find('.') + 1);
        }
        if (pattern.size() > 1 && pattern.front() == '[' && pattern.back() == ']') {
            pattern = pattern.substr(1, pattern.size() - 2);
        }
        const bool under =
            host.size() > pattern.size() &&
            host.compare(host.size() - pattern.size(), pattern.size(), pattern) == 0 &&
            host[host.size() - pattern.size() - 1] == '.';
        if (!pattern.empty() && (host == pattern || under)) {
            return true;
        }
    }
    return false;
}

bool namesDesktop(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (lowered(list.substr(0, colon)) == lowered(name)) {
            return true;
        }
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
    }
    return false;
}

}  // namespace

DesktopFamily desktopFamily(const char* currentDesktop, const char* desktopSession,
                            const char* gnomeSessionId) {
    if (currentDesktop != nullptr && namesDesktop(currentDesktop, "KDE")) {
        return DesktopFamily::kde;
    }
    for (const char* family : {"GNOME", "Unity", "Budgie", "X-Cinnamon", "Pantheon"}) {
        if (currentDesktop != nullptr && namesDesktop(currentDesktop, family)) {
            return DesktopFamily::gnome;
        }
    }
    const bool gnomeSession =
        desktopSession != nullptr && std::strcmp(desktopSession, "gnome") == 0;
    return gnomeSession || gnomeSessionId != nullptr ? DesktopFamily::gnome : DesktopFamily::other;
}

std::optional<ProxyResult> manualAnswer(const ManualProxySettings& settings, std::string_view url) {
    if (!settings.manual) {
        return std::nullopt;
    }
    const Target target = targetOf(url);
    ProxyResult result;
    if (target.host.empty() || ignored(target.host, settings.exceptions) != settings.reversed) {
        result.direct = true;
        return result;
    }
    const DesktopProxy* chosen = target.scheme == "http"    ? &settings.http
                                 : target.scheme == "https" ? &settings.https
                                 : target.scheme == "ftp"   ? &settings.ftp
                                                            : nullptr;
    if (chosen == nullptr || chosen->host.empty() || chosen->port <= 0) {
        chosen = &settings.socks;
        result.host = "socks=";
    }
    if (chosen->host.empty() || chosen->port <= 0) {
        result = {};
        result.direct = true;
        return result;
    }
    result.host += chosen->host;
    result.port = chosen->port;
    return result;
}

}  // namespace waypost
