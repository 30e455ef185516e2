#pragma once
// The proxy a GNOME-family desktop sets by hand (org.gnome.system.proxy in GSettings), for the
// sessions whose GNOME settings libproxy does not read: it takes GNOME's settings only when
// DESKTOP_SESSION is "gnome" or GNOME_DESKTOP_SESSION_ID is set, while Ubuntu's, Budgie's,
// Cinnamon's, Unity's and Pantheon's sessions name themselves in XDG_CURRENT_DESKTOP alone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../core/proxy_result.h"

namespace waypost {

struct GnomeProxy {
    std::string host;  // empty: not set
    std::int32_t port = 0;
};

// The settings a manual decision reads (mode "manual"; other modes are left to libproxy).
struct GnomeProxySettings {
    bool manual = false;
    GnomeProxy http, https, ftp, socks;
    std::vector<std::string> ignoreHosts;
};

// Whether the session's own variables name a desktop that keeps its proxy in
// org.gnome.system.proxy while libproxy would not read it: XDG_CURRENT_DESKTOP (a ':'-separated
// list) names GNOME, Unity, Budgie, X-Cinnamon or Pantheon, and neither DESKTOP_SESSION=gnome nor
// GNOME_DESKTOP_SESSION_ID is set. Null variables are unset.
[[nodiscard]] bool gnomeSettingsMissedByLibproxy(const char* currentDesktop,
                                                 const char* desktopSession,
                                                 const char* gnomeSessionId);

// The answer for `url` under manual settings, as GNOME's own resolver and the JDK's system
// proxies give it: a host in ignore-hosts goes direct; else the proxy of the URL's scheme (http,
// https, ftp), else the SOCKS proxy, else direct. Nothing when the settings are not manual.
[[nodiscard]] std::optional<ProxyResult> gnomeManualAnswer(const GnomeProxySettings& settings,
                                                           std::string_view url);

// Reads org.gnome.system.proxy through GIO (loaded at run time, "libgio-2.0.so.0"); nothing
// when GIO or the schema is missing. GIO reads its settings backend (dconf, or the keyfile
// that GSETTINGS_BACKEND=keyfile names) in this process.
[[nodiscard]] std::optional<GnomeProxySettings> readGnomeProxySettings();

}  // namespace waypost
