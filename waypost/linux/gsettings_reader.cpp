// org.gnome.system.proxy read through GIO, loaded at run time so that the library needs GIO only
// on desktops that have it. The settings objects are made once per process and kept: a read of
// a kept object is a lookup in the backend's own copy (dconf's database, or the keyfile).

#include <dlfcn.h>

#include <cstring>
#include <mutex>

#include "desktop_proxy.h"

namespace waypost {
namespace {

// GIO's and GLib's functions as C declares them; the objects are opaque here.
struct Gio {
    void* (*sourceDefault)() = nullptr;
    void* (*sourceLookup)(void*, const char*, int) = nullptr;
    void (*schemaUnref)(void*) = nullptr;
    void* (*settingsNew)(const char*) = nullptr;
    void* (*getChild)(void*, const char*) = nullptr;
    char* (*getString)(void*, const char*) = nullptr;
    int (*getInt)(void*, const char*) = nullptr;
    char** (*getStrv)(void*, const char*) = nullptr;
    void (*free)(void*) = nullptr;
    void (*strfreev)(char**) = nullptr;

    template <typename Function>
    static bool resolve(void* module, const char* name, Function& function) {
        void* found = ::dlsym(module, name);
        std::memcpy(&function, &found, sizeof(function));
        return found != nullptr;
    }
    bool load() {
        void* module = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        return module != nullptr &&
               resolve(module, "g_settings_schema_source_get_default", sourceDefault) &&
               resolve(module, "g_settings_schema_source_lookup", sourceLookup) &&
               resolve(module, "g_settings_schema_unref", schemaUnref) &&
               resolve(module, "g_settings_new", settingsNew) &&
               resolve(module, "g_settings_get_child", getChild) &&
               resolve(module, "g_settings_get_string", getString) &&
               resolve(module, "g_settings_get_int", getInt) &&
               resolve(module, "g_settings_get_strv", getStrv) && resolve(module, "g_free", free) &&
               resolve(module, "g_strfreev", strfreev);
    }
};

constexpr const char* kSchema = "org.gnome.system.proxy";

// The kept objects: the schema's settings and its four children, or nothing.
struct Kept {
    Gio gio;
    void* root = nullptr;
    void* http = nullptr;
    void* https = nullptr;
    void* ftp = nullptr;
    void* socks = nullptr;

    bool make() {
        if (!gio.load()) {
            return false;
        }
        void* source = gio.sourceDefault();
        void* schema = source != nullptr ? gio.sourceLookup(source, kSchema, 1) : nullptr;
        if (schema == nullptr) {
            return false;  // g_settings_new would abort the process on a missing schema
        }
        gio.schemaUnref(schema);
        root = gio.settingsNew(kSchema);
        http = gio.getChild(root, "http");
        https = gio.getChild(root, "https");
        ftp = gio.getChild(root, "ftp");
        socks = gio.getChild(root, "socks");
        return root != nullptr && http != nullptr && https != nullptr && ftp != nullptr &&
               socks != nullptr;
    }

    std::string text(void* settings, const char* key) const {
        char* value = gio.getString(settings, key);
        std::string copy = value != nullptr ? value : "";
        gio.free(value);
        return copy;
    }
    DesktopProxy proxy(void* settings) const {
        return {text(settings, "host"), gio.getInt(settings, "port")};
    }
};

std::mutex keptLock;

// The kept objects, made at the first read and never freed (GIO may keep references of its
// own); null when GIO or the schema is missing, which is not asked again.
Kept* keptObjects() {
    static Kept* const kept = new Kept;
    static const bool usable = kept->make();
    return usable ? kept : nullptr;
}

}  // namespace

std::optional<ManualProxySettings> readGnomeProxySettings() {
    const std::lock_guard hold(keptLock);
    Kept* const kept = keptObjects();
    if (kept == nullptr) {
        return std::nullopt;
    }
    ManualProxySettings settings;
    settings.manual = kept->text(kept->root, "mode") == "manual";
    settings.http = kept->proxy(kept->http);
    settings.https = kept->proxy(kept->https);
    settings.ftp = kept->proxy(kept->ftp);
    settings.socks = kept->proxy(kept->socks);
    char** hosts = kept->gio.getStrv(kept->root, "ignore-hosts");
    for (char** host = hosts; host != nullptr && *host != nullptr; ++host) {
        settings.exceptions.emplace_back(*host);
    }
    kept->gio.strfreev(hosts);
    return settings;
}

}  // namespace waypost
