#pragma once
// The proxy a desktop's own settings name by hand, read in this process: GNOME's
// (org.gnome.system.proxy in GSettings) on the GNOME family of sessions, KDE's (kioslaverc) on
// Plasma. libproxy reads them only through plugins a system may lack (GSettings, KConfig), only
// for the sessions it recognises (GNOME's when DESKTOP_SESSION is "gnome" or
// GNOME_DESKTOP_SESSION_ID is set; not Ubuntu's, Budgie's, Cinnamon's, Unity's or Pantheon's),
// and with a helper process a query. Other modes (none, PAC, WPAD, the environment) are left
// to libproxy.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../core/proxy_result.h"

namespace waypost {

struct DesktopProxy {
    std::string host;  // empty: not set
    std::int32_t port = 0;
};

// The settings a manual decision reads.
struct ManualProxySettings {
    bool manual = false;    // false: another mode, left to libproxy
    bool reversed = false;  // KDE: the exceptions are the only hosts that take the proxy
    DesktopProxy http, https, ftp, socks;
    std::vector<std::string> exceptions;  // GNOME's ignore-hosts, KDE's NoProxyFor
};

enum class DesktopFamily { other, gnome, kde };

// Which settings a session keeps its proxy in, from its own variables (null: unset):
// XDG_CURRENT_DESKTOP (a ':'-separated list) naming KDE, or GNOME, Unity, Budgie, X-Cinnamon or
// Pantheon; else DESKTOP_SESSION "gnome" or GNOME_DESKTOP_SESSION_ID set.
[[nodiscard]] DesktopFamily desktopFamily(const char* currentDesktop, const char* desktopSession,
                                          const char* gnomeSessionId);

// The answer for `url` under manual settings, as GNOME's own resolver and the JDK's system
// proxies give it: a host among the exceptions goes direct ("example.com", ".example.com" and
// "*.example.com" each cover the domain and every name under it; an address itself; "a.b.c.d/n"
// an IPv4 range), or with `reversed` only such a host takes a proxy; else the proxy of the URL's
// scheme (http, https, ftp), else the SOCKS proxy, else direct. Nothing when not manual.
[[nodiscard]] std::optional<ProxyResult> manualAnswer(const ManualProxySettings& settings,
                                                      std::string_view url);

// Reads org.gnome.system.proxy through GIO (loaded at run time, "libgio-2.0.so.0"); nothing
// when GIO or the schema is missing. GIO reads its settings backend (dconf, or the keyfile
// that GSETTINGS_BACKEND=keyfile names) in this process.
[[nodiscard]] std::optional<ManualProxySettings> readGnomeProxySettings();

// KDE's [Proxy Settings] from the text of a kioslaverc: ProxyType 1 is manual; a proxy is
// "scheme://host port" or "scheme://host:port" (user information dropped; 8080 without a port);
// NoProxyFor is a comma-separated list; ReversedException true or 1 reverses it.
[[nodiscard]] ManualProxySettings parseKioslaverc(std::string_view text);

// Reads $XDG_CONFIG_HOME/kioslaverc (else ~/.config/kioslaverc); nothing when it cannot be read.
[[nodiscard]] std::optional<ManualProxySettings> readKdeProxySettings();

}  // namespace waypost
