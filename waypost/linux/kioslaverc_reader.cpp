// KDE's proxy settings, read from kioslaverc as KConfig writes it: "[Proxy Settings]", then
// "Key=Value" lines (a key may carry a "[$e]" or locale suffix; '#' starts a comment).

#include <cstdlib>
#include <fstream>

#include "../core/port_text.h"
#include "desktop_proxy.h"
#include "proxy_address.h"

namespace waypost {
namespace {

constexpr std::size_t kMaxBytes = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "http://user:pw@gate 3128", "http://gate:3128/" or "gate": the host and port (8080 without
// one); the user information never.
DesktopProxy proxyOf(std::string_view value) {
    if (const std::size_t scheme = value.find("://"); scheme != std::string_view::npos) {
        value = value.substr(scheme + 3);
    }
    const std::string_view address = proxyAddressOf(value);
    const std::size_t space = address.find(' ');
    HostPort proxyAt = splitHostPort(address.substr(0, space));
    if (space != std::string_view::npos) {  // KDE's own form: the port after a space
        proxyAt.port = readLeadingInteger(address.substr(space + 1));
    }
    if (proxyAt.host.empty()) {
        return {};
    }
    return {std::move(proxyAt.host), proxyAt.port};
}

std::vector<std::string> listOf(std::string_view value) {
    std::vector<std::string> items;
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (const std::string_view item = trimmed(value.substr(0, comma)); !item.empty()) {
            items.emplace_back(item);
        }
        value = comma == std::string_view::npos ? std::string_view{} : value.substr(comma + 1);
    }
    return items;
}

void take(ManualProxySettings& settings, std::string_view key, std::string_view value) {
    if (key == "ProxyType") {
        settings.manual = value == "1";
    } else if (key == "ReversedException") {
        settings.reversed = value == "true" || value == "1";
    } else if (key == "NoProxyFor") {
        settings.exceptions = listOf(value);
    } else if (key == "httpProxy" || key == "httpsProxy" || key == "ftpProxy" ||
               key == "socksProxy") {
        DesktopProxy& proxy = key == "httpProxy"    ? settings.http
                              : key == "httpsProxy" ? settings.https
                              : key == "ftpProxy"   ? settings.ftp
                                                    : settings.socks;
        proxy = proxyOf(value);
    }
}

}  // namespace

ManualProxySettings parseKioslaverc(std::string_view text) {
    ManualProxySettings settings;
    bool inGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inGroup = line == "[Proxy Settings]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos) {
            const std::string_view key = trimmed(line.substr(0, equals));
            take(settings, key.substr(0, key.find('[')), trimmed(line.substr(equals + 1)));
        }
    }
    return settings;
}

std::optional<ManualProxySettings> readKdeProxySettings() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string path;
    if (configHome != nullptr && configHome[0] == '/') {
        path = std::string(configHome) + "/kioslaverc";
    } else if (home != nullptr && home[0] == '/') {
        path = std::string(home) + "/.config/kioslaverc";
    } else {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string text;  // KConfig's own files are a few kilobytes
    char chunk[4096];
    while (text.size() < kMaxBytes && file.read(chunk, sizeof chunk).gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
    }
    return parseKioslaverc(text);
}

}  // namespace waypost
