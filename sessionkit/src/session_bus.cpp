#include <sessionkit/session_bus.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace sessionkit::dbus {
namespace {

// Where the session bus listens: "" when this desktop has none to reach without launching one.
std::string sessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr) {
        const std::string given = address;
        return given.find("autolaunch:") == std::string::npos ? given : std::string();
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] != '/') {
        return {};
    }
    const std::string socket = std::string(runtime) + "/bus";
    struct stat status {};
    if (::stat(socket.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode)) {
        return {};
    }
    const ownkit::Owned<char*, &dbus_free> escaped(dbus_address_escape_value(socket.c_str()));
    return escaped ? std::string("unix:path=") + escaped.get() : std::string();
}

Message busCall(const char* member) {
    return Message(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                                DBUS_INTERFACE_DBUS, member));
}

}  // namespace

SessionBus::SessionBus(Clock::time_point deadline) : deadline_(deadline) {
    const std::string address = sessionBusAddress();
    if (address.empty()) {
        return;
    }
    DBusError error;
    dbus_error_init(&error);
    connection_ = dbus_connection_open_private(address.c_str(), &error);
    dbus_error_free(&error);
    if (connection_ == nullptr) {
        return;
    }
    dbus_connection_set_exit_on_disconnect(connection_, FALSE);
    // libdbus waits on the bus's side of the handshake without a limit inside its blocking
    // calls: it is driven here, each wait bounded, before the first of them.
    while (!dbus_connection_get_is_authenticated(connection_)) {
        const int left = millisecondsLeft();
        if (left <= 0 || !dbus_connection_read_write(connection_, left)) {
            break;
        }
    }
    const Message hello = busCall("Hello");
    const Message welcome =
        hello && dbus_connection_get_is_authenticated(connection_) ? call(hello.get()) : Message();
    const char* name = nullptr;
    if (welcome &&
        dbus_message_get_args(welcome.get(), nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID) &&
        dbus_bus_set_unique_name(connection_, name)) {
        uniqueName_ = name;
        return;
    }
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
    connection_ = nullptr;
}

SessionBus::~SessionBus() {
    if (connection_ != nullptr) {
        dbus_connection_close(connection_);
        dbus_connection_unref(connection_);
    }
}

bool SessionBus::passesDescriptors() const {
    return ok() && dbus_connection_can_send_type(connection_, DBUS_TYPE_UNIX_FD);
}

int SessionBus::millisecondsLeft(Clock::time_point until) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::min(until, deadline_) - Clock::now())
                          .count();
    return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

Message SessionBus::call(DBusMessage* call, std::string* error) {
    const int left = millisecondsLeft();
    if (connection_ == nullptr || left <= 0) {
        return {};
    }
    DBusError failure;
    dbus_error_init(&failure);
    Message reply(dbus_connection_send_with_reply_and_block(connection_, call, left, &failure));
    if (error != nullptr && dbus_error_is_set(&failure)) {
        *error = failure.name;
    }
    dbus_error_free(&failure);
    return reply;
}

void SessionBus::send(DBusMessage* message) {
    if (connection_ == nullptr || !dbus_connection_send(connection_, message, nullptr)) {
        return;
    }
    // Written out before the deadline, or not at all (dbus_connection_flush has no limit).
    while (dbus_connection_has_messages_to_send(connection_)) {
        const int left = millisecondsLeft();
        if (left <= 0 || !dbus_connection_read_write(connection_, left)) {
            return;
        }
    }
}

bool SessionBus::hasOwner(const char* name) {
    const Message ask = busCall("NameHasOwner");
    if (!ask || !dbus_message_append_args(ask.get(), DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) {
        return false;
    }
    const Message reply = call(ask.get());
    dbus_bool_t owned = FALSE;
    return reply &&
           dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_BOOLEAN, &owned,
                                 DBUS_TYPE_INVALID) &&
           owned;
}

bool SessionBus::listen(const std::string& rule) {
    const Message add = busCall("AddMatch");
    const char* text = rule.c_str();
    return add && dbus_message_append_args(add.get(), DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID) &&
           call(add.get());
}

Message SessionBus::waitForSignal(const char* interface, const char* member,
                                  const std::string& path) {
    return waitFor(DBUS_MESSAGE_TYPE_SIGNAL, interface, member, path, deadline_);
}

Message SessionBus::waitForCall(const char* interface, const char* member, const std::string& path,
                                Clock::time_point until) {
    Message call = waitFor(DBUS_MESSAGE_TYPE_METHOD_CALL, interface, member, path, until);
    if (call && !dbus_message_get_no_reply(call.get())) {
        const Message reply(dbus_message_new_method_return(call.get()));
        if (reply) {
            send(reply.get());
        }
    }
    return call;
}

Message SessionBus::waitFor(int type, const char* interface, const char* member,
                            const std::string& path, Clock::time_point until) {
    while (connection_ != nullptr) {
        Message message(dbus_connection_pop_message(connection_));
        if (!message) {
            const int left = millisecondsLeft(until);
            if (left <= 0 || !dbus_connection_read_write(connection_, left)) {
                return {};
            }
            continue;
        }
        if (dbus_message_is_signal(message.get(), DBUS_INTERFACE_LOCAL, "Disconnected")) {
            return {};
        }
        const char* to = dbus_message_get_path(message.get());
        const char* of = dbus_message_get_interface(message.get());
        const char* named = dbus_message_get_member(message.get());
        if (dbus_message_get_type(message.get()) == type && to != nullptr && path == to &&
            of != nullptr && std::strcmp(of, interface) == 0 && named != nullptr &&
            std::strcmp(named, member) == 0) {
            return message;
        }
    }
    return {};
}

void appendEntry(DBusMessageIter& dictionary, const char* key, int type, const void* value) {
    DBusMessageIter entry;
    DBusMessageIter variant;
    const char signature[2] = {static_cast<char>(type), '\0'};
    dbus_message_iter_open_container(&dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, static_cast<const void*>(&key));
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
    dbus_message_iter_append_basic(&variant, type, value);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(&dictionary, &entry);
}

std::optional<Variant> readVariant(DBusMessageIter& variant) {
    Variant read;
    read.type = dbus_message_iter_get_arg_type(&variant);
    DBusBasicValue value{};
    switch (read.type) {
        case DBUS_TYPE_STRING:
        case DBUS_TYPE_OBJECT_PATH:
            dbus_message_iter_get_basic(&variant, &value);
            read.text = value.str;
            return read;
        case DBUS_TYPE_BOOLEAN:
        case DBUS_TYPE_UINT32:
        case DBUS_TYPE_INT32:
            dbus_message_iter_get_basic(&variant, &value);
            read.number = value.u32;
            return read;
        case DBUS_TYPE_UINT64:
        case DBUS_TYPE_INT64:
            dbus_message_iter_get_basic(&variant, &value);
            read.number = value.u64;
            return read;
        case DBUS_TYPE_DOUBLE:
            dbus_message_iter_get_basic(&variant, &value);
            read.real = value.dbl;
            return read;
        default:
            return std::nullopt;
    }
}

}  // namespace sessionkit::dbus
