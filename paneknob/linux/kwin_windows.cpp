#include "kwin_windows.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string_view>

#include "locale_text.h"
#include "title_match.h"
#include "x11_limits.h"

namespace paneknob {
namespace {

using sessionkit::dbus::Message;

constexpr const char* kReportPath = "/org/halvex/paneknob";
constexpr const char* kReportInterface = "org.halvex.paneknob.Report";
constexpr std::chrono::milliseconds kUnloadTime{250};

// Where a script's file goes: the user's runtime folder (KWin runs as the same user), else /tmp.
std::string scriptFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && runtime[0] == '/' ? std::string(runtime) + "/" : "/tmp/";
}

// A file of the call's own holding `text`, removed when it goes.
class ScriptFile {
public:
    explicit ScriptFile(const std::string& text) : path_(scriptFolder() + "paneknobXXXXXX.js") {
        const int file = ::mkstemps(path_.data(), 3);
        if (file < 0) {
            path_.clear();
            return;
        }
        std::string_view rest = text;
        while (!rest.empty()) {
            const ssize_t written = ::write(file, rest.data(), rest.size());
            if (written <= 0) {
                break;
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
        if (::close(file) != 0 || !rest.empty()) {
            ::unlink(path_.c_str());
            path_.clear();
        }
    }
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;
    ~ScriptFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

Message scriptingCall(const char* path, const char* interface, const char* member) {
    return Message(dbus_message_new_method_call("org.kde.KWin", path, interface, member));
}

// Lists the top-level windows: "id TAB caption" a line (a caption that cannot be encoded is
// left out).
constexpr std::string_view kListing = R"(var lines = [];
var clients = workspace.clientList();
for (var i = 0; i < clients.length; ++i) {
    var c = clients[i];
    if (!c.normalWindow && !c.dialog) continue;
    try { lines.push(String(c.internalId) + "\t" + encodeURIComponent(c.caption)); } catch (e) {}
}
report(lines.join("\n"));
)";

}  // namespace

KWinWindows::KWinWindows() : bus_(sessionkit::dbus::Clock::now() + kCallLimit) {}

bool KWinWindows::usable() {
    return bus_.ok() && isUniqueBusName(bus_.uniqueName()) && bus_.hasOwner("org.kde.KWin");
}

std::optional<std::string> KWinWindows::run(const std::string& body) {
    static std::atomic<unsigned> scripts{0};
    const std::string script = "function report(text) { callDBus(\"" + bus_.uniqueName() +
                               "\", \"" + kReportPath + "\", \"" + kReportInterface +
                               "\", \"report\", text); }\n" + body;
    const ScriptFile file(script);
    const std::string plugin =
        "paneknob-" + std::to_string(::getpid()) + "-" + std::to_string(++scripts);
    const Message load = scriptingCall("/Scripting", "org.kde.kwin.Scripting", "loadScript");
    const char* path = file.path().c_str();
    const char* name = plugin.c_str();
    if (file.path().empty() || !load ||
        !dbus_message_append_args(load.get(), DBUS_TYPE_STRING, &path, DBUS_TYPE_STRING, &name,
                                  DBUS_TYPE_INVALID)) {
        return std::nullopt;
    }
    const Message loaded = bus_.call(load.get());
    dbus_int32_t id = -1;
    std::optional<std::string> answer;
    if (loaded &&
        dbus_message_get_args(loaded.get(), nullptr, DBUS_TYPE_INT32, &id, DBUS_TYPE_INVALID) &&
        id >= 0) {
        // KWin numbers scripts by how many are loaded, so a number (and the object /NUMBER)
        // can still belong to another client's script: the script is started through start(),
        // which runs every loaded script not yet running, ours among them.
        const Message start = scriptingCall("/Scripting", "org.kde.kwin.Scripting", "start");
        if (start && bus_.call(start.get())) {
            // Time is kept for unloading the script, which may still be listening.
            const Message report = bus_.waitForCall(kReportInterface, "report", kReportPath,
                                                    bus_.deadline() - kUnloadTime);
            const char* text = nullptr;
            if (report && dbus_message_get_args(report.get(), nullptr, DBUS_TYPE_STRING, &text,
                                                DBUS_TYPE_INVALID)) {
                answer = text;
            }
        }
    }
    const Message unload = scriptingCall("/Scripting", "org.kde.kwin.Scripting", "unloadScript");
    if (unload &&
        dbus_message_append_args(unload.get(), DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) {
        dbus_message_set_no_reply(unload.get(), TRUE);
        bus_.send(unload.get());
    }
    return answer;
}

std::optional<WindowSystem::Window> KWinWindows::findTopLevelWindow(const char* title) {
    const std::optional<std::string> report = run(std::string(kListing));
    if (!report) {
        return std::nullopt;
    }
    windows_ = parseWindowReport(*report);
    const auto wanted = x11::fromEnvironmentCharset(title);
    if (!wanted) {
        return Window{nullptr};
    }
    for (KWinWindow& window : windows_) {
        const auto caption = x11::decodeTitle(window.caption, x11::TitleEncoding::utf8);
        if (caption && x11::sameTitle(*caption, *wanted)) {
            return reinterpret_cast<Window>(&window);
        }
    }
    return Window{nullptr};
}

// Runs `change` on the window (as `c`) and answers whether `confirmed` then holds, or comes to
// hold when KWin next activates a window (the activation of an X11 window completes only when
// its X client takes the focus), within the call's limit.
bool KWinWindows::act(Window window, const char* change, const char* confirmed) {
    const std::string& id = reinterpret_cast<const KWinWindow*>(window)->id;
    if (!isWindowId(id)) {
        return false;
    }
    const std::string body =
        "var c = null;\nvar clients = workspace.clientList();\n"
        "for (var i = 0; i < clients.length; ++i)\n"
        "    if (String(clients[i].internalId) === \"" +
        id + "\") c = clients[i];\n" + "function check() { if (" + confirmed +
        ") report(\"done\"); }\n" + "if (!c) report(\"gone\");\nelse { " + change +
        "\n    workspace.clientActivated.connect(check);\n    check(); }\n";
    const std::optional<std::string> report = run(body);
    return report && *report == "done";
}

// KWin keeps every window's boxes: it ignores the Motif functions of X11 windows, and no
// protocol takes a native window's away.
bool KWinWindows::removeBoxes(Window) {
    return false;
}

bool KWinWindows::minimize(Window window) {
    return act(window, "c.minimized = true;", "c.minimized");
}

bool KWinWindows::showWithoutActivating(Window window) {
    return act(window, "c.minimized = false;", "!c.minimized");
}

bool KWinWindows::restoreAndActivate(Window window) {
    return act(window,
               "if (!c.minimized) c.setMaximize(false, false); c.minimized = false; "
               "workspace.activeClient = c;",
               "!c.minimized && workspace.activeClient === c");
}

}  // namespace paneknob
