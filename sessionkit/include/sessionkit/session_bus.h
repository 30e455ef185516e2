#pragma once
// One call's connection to the desktop's session bus, through libdbus, whose every wait ends by
// the call's deadline: the bus's greeting, each method call and the wait for a signal. A bus
// or service that stalls costs the caller no more than the deadline.
//
// The bus is $DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus when that socket exists;
// never one launched for the call (libdbus's autolaunch would start a daemon).

#include <dbus/dbus.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include <ownkit/owned.h>

namespace sessionkit::dbus {

using Clock = std::chrono::steady_clock;
using Message = ownkit::Owned<DBusMessage*, &dbus_message_unref>;

// What one entry of an a{sv} dictionary holds, for the value kinds read here.
struct Variant {
    int type = DBUS_TYPE_INVALID;
    std::uint64_t number = 0;  // u, i (as its bits), b, t
    double real = 0;           // d
    std::string text;          // s, o
};

class SessionBus {
public:
    explicit SessionBus(Clock::time_point deadline);
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    ~SessionBus();

    // Whether the bus answered its greeting: the connection is usable.
    [[nodiscard]] bool ok() const { return connection_ != nullptr; }
    [[nodiscard]] bool passesDescriptors() const;
    // The bus's name for this connection, ":1.42".
    [[nodiscard]] const std::string& uniqueName() const { return uniqueName_; }
    [[nodiscard]] Clock::time_point deadline() const { return deadline_; }

    // Sends `call` and waits for its reply until the deadline: null on an error reply (its
    // name then in `error`), on no reply, or on a broken connection.
    [[nodiscard]] Message call(DBusMessage* call, std::string* error = nullptr);
    // Sends `message` without waiting for any reply.
    void send(DBusMessage* message);
    // Whether a service owns `name` on the bus (without starting one).
    [[nodiscard]] bool hasOwner(const char* name);
    // Receives signals matching `rule` (an AddMatch rule) from now on.
    [[nodiscard]] bool listen(const std::string& rule);
    // The first signal `member` of `interface` sent from object `path`, waited for until the
    // deadline; other messages are dropped. Null at the deadline or when the bus goes.
    [[nodiscard]] Message waitForSignal(const char* interface, const char* member,
                                        const std::string& path);
    // The first call of method `member` of `interface` made to this connection's object `path`,
    // waited for until `until` (at most the deadline) and answered with an empty reply; null
    // as above.
    [[nodiscard]] Message waitForCall(const char* interface, const char* member,
                                      const std::string& path, Clock::time_point until);

private:
    [[nodiscard]] int millisecondsLeft(Clock::time_point until) const;
    [[nodiscard]] int millisecondsLeft() const { return millisecondsLeft(deadline_); }
    [[nodiscard]] Message waitFor(int type, const char* interface, const char* member,
                                  const std::string& path, Clock::time_point until);

    Clock::time_point deadline_;
    DBusConnection* connection_ = nullptr;
    std::string uniqueName_;
};

// Appends an a{sv} entry holding one basic value (`type` its D-Bus type code).
void appendEntry(DBusMessageIter& dictionary, const char* key, int type, const void* value);
// Calls visit(key, value) for each entry of the a{sv} at `iterator` whose value is a basic type;
// false when the argument is not an a{sv}.
template <typename Visit>
bool readDictionary(DBusMessageIter& iterator, Visit&& visit);
[[nodiscard]] std::optional<Variant> readVariant(DBusMessageIter& variant);

template <typename Visit>
bool readDictionary(DBusMessageIter& iterator, Visit&& visit) {
    if (dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_ARRAY ||
        dbus_message_iter_get_element_type(&iterator) != DBUS_TYPE_DICT_ENTRY) {
        return false;
    }
    DBusMessageIter entries;
    dbus_message_iter_recurse(&iterator, &entries);
    while (dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        const char* key = nullptr;
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) {
            return false;
        }
        dbus_message_iter_get_basic(&entry, static_cast<void*>(&key));
        dbus_message_iter_next(&entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) {
            return false;
        }
        DBusMessageIter value;
        dbus_message_iter_recurse(&entry, &value);
        if (const auto read = readVariant(value)) {
            visit(std::string(key), *read);
        }
        dbus_message_iter_next(&entries);
    }
    return true;
}

}  // namespace sessionkit::dbus
