#include "libproxy_platform.h"

#include <dlfcn.h>
#include <link.h>
#include <ownkit/owned.h>
#include <proxy.h>
#include <textkit/unicode.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "desktop_proxy.h"
#include "proxy_address.h"

namespace waypost {
namespace {

// Marks a loaded object that belongs to JavaScriptCore or to a libproxy PAC runner as never to
// be unloaded.
int pinScriptEngine(dl_phdr_info* object, std::size_t, void*) {
    const std::string_view name = object->dlpi_name != nullptr ? object->dlpi_name : "";
    if (name.find("javascriptcore") != std::string_view::npos ||
        name.find("pacrunner_") != std::string_view::npos) {
        if (void* pinned = ::dlopen(object->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) {
            ::dlclose(pinned);  // the handle goes; the object stays
        }
    }
    return 0;
}

// Freeing a factory unloads the PAC runner it loaded, while JavaScriptCore's collector thread
// may still be running in that code: the process would crash now and then (libproxy issue 209).
// Whatever a PAC script loaded stays loaded for the life of the process.
void freeFactory(pxProxyFactory* factory) {
    ::dl_iterate_phdr(&pinScriptEngine, nullptr);
    px_proxy_factory_free(factory);
}

using Factory = ownkit::Owned<pxProxyFactory*, &freeFactory>;
using SharedFactory = std::shared_ptr<Factory>;

// The process's factory, kept between queries so that libproxy reads its configuration, starts
// its helpers and fetches a PAC script once, not for every query. libproxy lets one query at a
// time into a factory; a query that outlives its wait retires the factory it is stuck in, so
// that the next query makes a fresh one instead of queueing behind it. A retired factory is
// freed by the last query to let go of it. The kept one is never freed: at exit, a script
// engine thread may still run in it.
std::mutex factoryLock;
SharedFactory* keptFactory = new SharedFactory;

SharedFactory factoryForQuery() {
    {
        const std::lock_guard hold(factoryLock);
        if (*keptFactory) {
            return *keptFactory;
        }
    }
    // Made outside the lock: a query that makes one waits for nobody else's.
    Factory fresh(px_proxy_factory_new());
    if (!fresh) {
        return nullptr;
    }
    auto made = std::make_shared<Factory>(std::move(fresh));
    const std::lock_guard hold(factoryLock);
    if (!*keptFactory) {
        *keptFactory = std::move(made);
    }
    return *keptFactory;  // another query's, when it kept one first (ours is freed after the lock)
}

void retireFactory(const SharedFactory& stuck) {
    const std::lock_guard hold(factoryLock);
    if (stuck && *keptFactory == stuck) {
        keptFactory->reset();
    }
}

// The desktop's manual proxy (GNOME's or KDE's settings, read here); nothing in other modes or
// elsewhere, where libproxy answers.
std::optional<ProxyResult> desktopAnswer(const std::string& address) {
    std::optional<ManualProxySettings> settings;
    switch (desktopFamily(std::getenv("XDG_CURRENT_DESKTOP"), std::getenv("DESKTOP_SESSION"),
                          std::getenv("GNOME_DESKTOP_SESSION_ID"))) {
        case DesktopFamily::gnome:
            settings = readGnomeProxySettings();
            break;
        case DesktopFamily::kde:
            settings = readKdeProxySettings();
            break;
        case DesktopFamily::other:
            break;
    }
    return settings ? manualAnswer(*settings, address) : std::nullopt;
}

using ProxyList = ownkit::Owned<char**, &px_proxy_factory_free_proxies>;

}  // namespace

void readLibproxyAnswer(const char* const* proxies, ProxyResult& result) {
    for (const char* const* entry = proxies; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view proxy(*entry);
        const std::size_t scheme = proxy.find("://");
        if (scheme == std::string_view::npos) {
            continue;
        }
        const std::string_view name = proxy.substr(0, scheme);
        const std::string_view address = proxyAddressOf(proxy.substr(scheme + 3));
        if (name == "direct" || address.empty()) {
            break;
        }
        HostPort proxyAt = splitHostPort(address);
        result.host =
            name.substr(0, 5) == "socks" ? "socks=" + proxyAt.host : std::move(proxyAt.host);
        result.port = proxyAt.port;
        return;
    }
    result.direct = true;
}

namespace {

std::atomic<int> lateQueryCount{0};

// One query, shared by its thread and the caller; whichever lets go last frees it.
struct Query {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    bool abandoned = false;
    bool factoryMissing = false;
    std::vector<std::string> proxies;
    std::optional<ProxyResult> desktop;  // the desktop's own answer, in place of libproxy's
    SharedFactory factory;               // the factory the query asks, once it has one

    // On the query's own thread: the desktop's manual proxy, else
    // libproxy's answer, copied out before its list is freed.
    void run(const std::string& address) noexcept {
        bool missing = false;
        std::vector<std::string> answer;
        std::optional<ProxyResult> fromDesktop;
        try {
            fromDesktop = desktopAnswer(address);
            const SharedFactory asked = fromDesktop ? nullptr : factoryForQuery();
            missing = !fromDesktop && !asked;
            if (asked) {
                {
                    const std::lock_guard hold(lock);
                    factory = asked;
                }
                const ProxyList list(px_proxy_factory_get_proxies(asked->get(), address.c_str()));
                for (char** entry = list.get(); entry != nullptr && *entry != nullptr; ++entry) {
                    answer.emplace_back(*entry);
                }
            }
        } catch (...) {
            missing = true;  // no memory to hold the answer: as if libproxy could not start
        }
        SharedFactory used;  // let go after the lock: the last holder frees a retired factory
        std::unique_lock hold(lock);
        used = std::move(factory);
        if (abandoned) {
            hold.unlock();
            used.reset();  // freed before the program may see no late query and exit
            --lateQueryCount;
            return;
        }
        factoryMissing = missing;
        proxies = std::move(answer);
        desktop = std::move(fromDesktop);
        done = true;
        ended.notify_all();
    }
};

}  // namespace

int lateQueries() {
    return lateQueryCount.load();
}

bool LibproxySource::proxyFor(const char* url, ProxyResult& result, std::FILE* errors) {
    if (lateQueryCount.load() >= kMaxLateQueries) {
        result.direct = true;  // as a script that fails: no proxy
        return true;
    }
    auto query = std::make_shared<Query>();
    std::thread thread;
    try {
        thread =
            std::thread([query, address = textkit::utf8Replacing(url)] { query->run(address); });
    } catch (const std::system_error&) {
        throw std::bad_alloc();  // no thread: as out of memory, a failed answer
    }
    std::unique_lock hold(query->lock);
    if (!query->ended.wait_for(hold, kQueryLimit, [&] { return query->done; })) {
        query->abandoned = true;
        ++lateQueryCount;
        const SharedFactory stuck = query->factory;
        hold.unlock();
        thread.detach();
        retireFactory(stuck);
        result.direct = true;  // as a script that fails: no proxy
        return true;
    }
    hold.unlock();
    thread.join();
    if (query->factoryMissing) {
        std::fputs(kCannotStartMessage, errors);
        return false;
    }
    if (query->desktop) {
        result = *query->desktop;
        return true;
    }
    std::vector<const char*> list;
    for (const std::string& entry : query->proxies) {
        list.push_back(entry.c_str());
    }
    list.push_back(nullptr);
    readLibproxyAnswer(list.data(), result);  // no answer at all: no proxy
    return true;
}

}  // namespace waypost
