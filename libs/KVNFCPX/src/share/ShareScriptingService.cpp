#include "kvnfcpx/share/ShareScriptingService.h"

#include "kvnfcpx/share/AppleEventDescriptor.h"
#include "kvnfcpx/share/FCPShareMakeCommand.h"

#include <gio/gio.h>
#include <koltutils/Log.h>
#include <limits>
#include <platform/NotificationCenter.h>
#include <set>

namespace kvnfcpx {

namespace {

constexpr const char* introspection = R"(<node>
  <interface name="com.korvane.velotrack.Scripting">
    <method name="Make">
      <arg name="arguments" type="a{sv}" direction="in"/>
      <arg name="interactionLevel" type="u" direction="in"/>
      <arg name="asset" type="o" direction="out"/>
    </method>
    <signal name="AssetCreated">
      <arg name="asset" type="o"/>
    </signal>
  </interface>
  <interface name="com.korvane.velotrack.Document">
    <property name="name" type="s" access="read"/>
    <property name="uniqueID" type="s" access="read"/>
  </interface>
  <interface name="com.korvane.velotrack.Asset">
    <property name="name" type="s" access="read"/>
    <property name="uniqueID" type="s" access="read"/>
    <property name="folder" type="s" access="read"/>
    <property name="basename" type="s" access="read"/>
    <property name="mediaFile" type="s" access="read"/>
    <property name="descFile" type="s" access="read"/>
    <property name="hasMedia" type="b" access="read"/>
    <property name="hasDescription" type="b" access="read"/>
    <property name="shareID" type="s" access="read"/>
    <property name="episodeID" type="s" access="read"/>
    <property name="episodeNumber" type="s" access="read"/>
    <property name="duration" type="s" access="read"/>
    <property name="frameDuration" type="s" access="read"/>
    <property name="frameSize" type="s" access="read"/>
    <property name="locationInfo" type="a{sv}" access="read"/>
  </interface>
</node>)";

GDBusNodeInfo* nodeInfo() {
    static GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(introspection, nullptr);
    return info;
}

GDBusInterfaceInfo* interfaceInfo(const char* name) {
    return g_dbus_node_info_lookup_interface(nodeInfo(), name);
}

// From the bus into the scripting descriptors, as the scripting layer receives them.
AppleEventDescriptor descriptorFromVariant(GVariant* value) {
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(value);
        auto descriptor = descriptorFromVariant(inner);
        g_variant_unref(inner);
        return descriptor;
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE("a{sv}"))) {
        auto fields = AppleEventDescriptor::list();
        GVariantIter iter;
        g_variant_iter_init(&iter, value);
        const char* key = nullptr;
        GVariant* item = nullptr;
        while (g_variant_iter_next(&iter, "{&sv}", &key, &item)) {
            fields.append(AppleEventDescriptor::text(key));
            fields.append(descriptorFromVariant(item));
            g_variant_unref(item);
        }
        auto record = AppleEventDescriptor::record();
        record.setParam(AppleEventDescriptor::keyASUserRecordFields, std::move(fields));
        return record;
    }
    if (g_variant_is_container(value)) {
        auto list = AppleEventDescriptor::list();
        GVariantIter iter;
        g_variant_iter_init(&iter, value);
        while (GVariant* item = g_variant_iter_next_value(&iter)) {
            list.append(descriptorFromVariant(item));
            g_variant_unref(item);
        }
        return list;
    }
    switch (g_variant_classify(value)) {
    case G_VARIANT_CLASS_STRING:
    case G_VARIANT_CLASS_OBJECT_PATH:
    case G_VARIANT_CLASS_SIGNATURE:
        return AppleEventDescriptor::text(g_variant_get_string(value, nullptr));
    case G_VARIANT_CLASS_BOOLEAN:
        return AppleEventDescriptor::boolean(g_variant_get_boolean(value) != 0);
    case G_VARIANT_CLASS_BYTE:
        return AppleEventDescriptor::int16(g_variant_get_byte(value));
    case G_VARIANT_CLASS_INT16:
        return AppleEventDescriptor::int16(g_variant_get_int16(value));
    case G_VARIANT_CLASS_UINT16:
        return AppleEventDescriptor::uint16(g_variant_get_uint16(value));
    case G_VARIANT_CLASS_INT32:
        return AppleEventDescriptor::int32(g_variant_get_int32(value));
    case G_VARIANT_CLASS_UINT32:
        return AppleEventDescriptor::uint32(g_variant_get_uint32(value));
    case G_VARIANT_CLASS_INT64:
        return AppleEventDescriptor::int64(g_variant_get_int64(value));
    case G_VARIANT_CLASS_UINT64:
        return AppleEventDescriptor::uint64(g_variant_get_uint64(value));
    case G_VARIANT_CLASS_DOUBLE:
        return AppleEventDescriptor::real(g_variant_get_double(value));
    default:
        return AppleEventDescriptor(fourCharCode("null"), {});
    }
}

// From the object world onto the bus (for the client's arguments and dictionary properties).
GVariant* variantFromValue(const ScriptValue& value) {
    if (const auto* text = value.text()) {
        return g_variant_new_string(text->c_str());
    }
    if (const auto* flag = value.boolean()) {
        return g_variant_new_boolean(*flag ? TRUE : FALSE);
    }
    if (const auto* number = value.integer()) {
        if (*number >= std::numeric_limits<std::int32_t>::min() &&
            *number <= std::numeric_limits<std::int32_t>::max()) {
            return g_variant_new_int32(static_cast<std::int32_t>(*number));
        }
        if (*number > 0 && *number <= std::numeric_limits<std::uint32_t>::max()) {
            return g_variant_new_uint32(static_cast<std::uint32_t>(*number));
        }
        return g_variant_new_int64(*number);
    }
    if (const auto* number = value.real()) {
        return g_variant_new_double(*number);
    }
    if (const auto* url = value.fileURL()) {
        return g_variant_new_string(url->path.c_str());
    }
    if (const auto* list = value.list()) {
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("av"));
        for (const auto& item : *list) {
            g_variant_builder_add(&builder, "v", variantFromValue(item));
        }
        return g_variant_builder_end(&builder);
    }
    if (const auto* dictionary = value.dictionary()) {
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
        for (const auto& [key, item] : *dictionary) {
            g_variant_builder_add(&builder, "{sv}", key.c_str(), variantFromValue(item));
        }
        return g_variant_builder_end(&builder);
    }
    const auto& bytes = *value.data();
    return g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), 1);
}

// Back from the bus into the object world (the client's reading of properties).
ScriptValue valueFromVariant(GVariant* value) {
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(value);
        auto result = valueFromVariant(inner);
        g_variant_unref(inner);
        return result;
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE("a{sv}"))) {
        ScriptValue::Dictionary dictionary;
        GVariantIter iter;
        g_variant_iter_init(&iter, value);
        const char* key = nullptr;
        GVariant* item = nullptr;
        while (g_variant_iter_next(&iter, "{&sv}", &key, &item)) {
            dictionary.insert_or_assign(key, valueFromVariant(item));
            g_variant_unref(item);
        }
        return dictionary;
    }
    switch (g_variant_classify(value)) {
    case G_VARIANT_CLASS_BOOLEAN:
        return g_variant_get_boolean(value) != 0;
    case G_VARIANT_CLASS_INT32:
        return std::int64_t{g_variant_get_int32(value)};
    case G_VARIANT_CLASS_UINT32:
        return std::int64_t{g_variant_get_uint32(value)};
    case G_VARIANT_CLASS_INT64:
        return std::int64_t{g_variant_get_int64(value)};
    case G_VARIANT_CLASS_STRING:
    case G_VARIANT_CLASS_OBJECT_PATH:
        return std::string(g_variant_get_string(value, nullptr));
    default: {
        gchar* text = g_variant_print(value, FALSE);
        std::string printed = text;
        g_free(text);
        return printed;
    }
    }
}

std::string textOf(const std::optional<ScriptValue>& value) {
    return value ? value->description() : std::string();
}

std::string pathText(const std::optional<std::filesystem::path>& path) {
    return path ? path->string() : std::string();
}

GVariant* assetProperty(const FCPShareAsset& asset, const std::string& name) {
    if (name == "hasMedia") {
        return g_variant_new_boolean(asset.hasMedia() ? TRUE : FALSE);
    }
    if (name == "hasDescription") {
        return g_variant_new_boolean(asset.hasDescription() ? TRUE : FALSE);
    }
    if (name == "locationInfo") {
        return variantFromValue(asset.locationInfo());
    }
    std::string text;
    if (name == "name" || name == "basename") {
        text = asset.name();
    } else if (name == "uniqueID") {
        text = asset.uniqueID();
    } else if (name == "folder") {
        text = pathText(asset.folderLocation());
    } else if (name == "mediaFile") {
        text = pathText(asset.mediaFile());
    } else if (name == "descFile") {
        text = pathText(asset.descFile());
    } else if (name == "shareID") {
        text = textOf(asset.shareID());
    } else if (name == "episodeID") {
        text = textOf(asset.episodeID());
    } else if (name == "episodeNumber") {
        text = textOf(asset.episodeNumber());
    } else if (name == "duration") {
        text = asset.duration();
    } else if (name == "frameDuration") {
        text = asset.frameDuration();
    } else if (name == "frameSize") {
        const auto size = asset.frameSize();
        text =
            "{" + koltutils::describe(size.width) + ", " + koltutils::describe(size.height) + "}";
    } else {
        return nullptr;
    }
    return g_variant_new_string(text.c_str());
}

} // namespace

struct ShareScriptingService::Impl {
    explicit Impl(FCPShareDocumentController& owner) : controller(owner) {}

    FCPShareDocumentController& controller;
    GDBusConnection* connection = nullptr;
    std::vector<guint> registrations;
    std::set<std::string> exported;
    std::map<std::string, std::weak_ptr<FCPShareAsset>> assets;
    std::map<std::string, std::weak_ptr<FCPShareDocument>> documents;
    platform::NotificationCenter::Token observer = 0;

    void registerObject(const std::string& path, const char* interface,
                        const GDBusInterfaceVTable* vtable) {
        if (!exported.insert(path + "#" + interface).second) {
            return;
        }
        GError* error = nullptr;
        const guint id = g_dbus_connection_register_object(
            connection, path.c_str(), interfaceInfo(interface), vtable, this, nullptr, &error);
        if (id == 0) {
            KOLT_LOG_ERROR("registerObject", path, error != nullptr ? error->message : "");
            g_clear_error(&error);
            return;
        }
        registrations.push_back(id);
    }

    // Every document and asset of the controller becomes an object on the bus.
    void exportObjects() {
        for (const auto& each : controller.documents()) {
            const auto document = std::dynamic_pointer_cast<FCPShareDocument>(each);
            if (!document) {
                continue;
            }
            const auto specifier = document->objectSpecifier();
            const auto documentPath = specifier.busPath();
            documents[documentPath] = document;
            registerObject(documentPath, documentInterfaceName, &documentVTable);
            for (const auto& asset : document->assets()) {
                if (const auto assetSpecifier = asset->objectSpecifier()) {
                    const auto path = assetSpecifier->busPath();
                    assets[path] = asset;
                    registerObject(path, assetInterfaceName, &assetVTable);
                }
            }
        }
    }

    static void handleMethod(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                             const gchar* method, GVariant* parameters,
                             GDBusMethodInvocation* invocation, gpointer userData) {
        auto* self = static_cast<Impl*>(userData);
        if (g_strcmp0(method, "Make") != 0) {
            g_dbus_method_invocation_return_error(
                invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD, "No method %s", method);
            return;
        }
        GVariant* arguments = g_variant_get_child_value(parameters, 0);
        guint32 level = 0;
        g_variant_get_child(parameters, 1, "u", &level);
        const auto evaluated = descriptorFromVariant(arguments).objectValue();
        g_variant_unref(arguments);
        const auto* dictionary = evaluated ? evaluated->dictionary() : nullptr;
        FCPShareMakeCommand command(dictionary ? std::optional(*dictionary) : std::nullopt,
                                    static_cast<std::int32_t>(level), self->controller);
        const auto result = command.performDefaultImplementation();
        self->exportObjects();
        if (command.scriptErrorNumber() != 0) {
            const auto message =
                std::to_string(command.scriptErrorNumber()) + ": " + command.scriptErrorString();
            g_dbus_method_invocation_return_dbus_error(invocation, scriptErrorName,
                                                       message.c_str());
            return;
        }
        const auto path = result ? result->busPath() : std::string("/");
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
    }

    static GVariant* getAssetProperty(GDBusConnection*, const gchar*, const gchar* path,
                                      const gchar*, const gchar* property, GError** error,
                                      gpointer userData) {
        auto* self = static_cast<Impl*>(userData);
        const auto found = self->assets.find(path);
        const auto asset = found == self->assets.end() ? nullptr : found->second.lock();
        GVariant* value = asset ? assetProperty(*asset, property) : nullptr;
        if (value == nullptr) {
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s",
                        property);
        }
        return value;
    }

    static GVariant* getDocumentProperty(GDBusConnection*, const gchar*, const gchar* path,
                                         const gchar*, const gchar* property, GError** error,
                                         gpointer userData) {
        auto* self = static_cast<Impl*>(userData);
        const auto found = self->documents.find(path);
        const auto document = found == self->documents.end() ? nullptr : found->second.lock();
        if (document && g_strcmp0(property, "name") == 0) {
            return g_variant_new_string(document->name().c_str());
        }
        if (document && g_strcmp0(property, "uniqueID") == 0) {
            return g_variant_new_string(document->uniqueID().c_str());
        }
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
        return nullptr;
    }

    static constexpr GDBusInterfaceVTable rootVTable{handleMethod, nullptr, nullptr, {}};
    static constexpr GDBusInterfaceVTable assetVTable{nullptr, getAssetProperty, nullptr, {}};
    static constexpr GDBusInterfaceVTable documentVTable{nullptr, getDocumentProperty, nullptr, {}};
};

ShareScriptingService::ShareScriptingService(FCPShareDocumentController& controller)
    : impl_(std::make_unique<Impl>(controller)) {}

ShareScriptingService::~ShareScriptingService() {
    stop();
}

bool ShareScriptingService::isRunning() const {
    return impl_->connection != nullptr;
}

bool ShareScriptingService::start(const std::optional<std::string>& address, std::string* error) {
    if (isRunning()) {
        return true;
    }
    auto fail = [&](GError* reason, const std::string& fallback) {
        const std::string text = reason != nullptr ? reason->message : fallback;
        g_clear_error(&reason);
        KOLT_LOG_ERROR("start(address:)", text);
        if (error != nullptr) {
            *error = text;
        }
        stop();
        return false;
    };
    GError* reason = nullptr;
    if (address) {
        impl_->connection = g_dbus_connection_new_for_address_sync(
            address->c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &reason);
    } else {
        impl_->connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &reason);
    }
    if (impl_->connection == nullptr) {
        return fail(reason, "no session bus");
    }
    g_dbus_connection_set_exit_on_close(impl_->connection, FALSE);
    const guint root = g_dbus_connection_register_object(
        impl_->connection, scriptingRootPath, interfaceInfo(interfaceName), &Impl::rootVTable,
        impl_.get(), nullptr, &reason);
    if (root == 0) {
        return fail(reason, "cannot export the application object");
    }
    impl_->registrations.push_back(root);
    impl_->exportObjects();

    // The name is taken at once, so a caller that sees start() succeed can be called.
    GVariant* reply = g_dbus_connection_call_sync(
        impl_->connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", busName, 4U /* no queue */), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &reason);
    if (reply == nullptr) {
        return fail(reason, "cannot take the bus name");
    }
    guint32 answer = 0;
    g_variant_get(reply, "(u)", &answer);
    g_variant_unref(reply);
    if (answer != 1 && answer != 4) {
        return fail(nullptr, std::string(busName) + " is owned by another process");
    }

    auto* impl = impl_.get();
    impl_->observer = platform::NotificationCenter::defaultCenter().addObserver(
        FCPShareMakeCommand::assetCreatedNotification, [impl](const std::any& object) {
            const auto* asset = std::any_cast<std::shared_ptr<FCPShareAsset>>(&object);
            if (impl->connection == nullptr || asset == nullptr || !*asset) {
                return;
            }
            const auto specifier = (*asset)->objectSpecifier();
            if (!specifier) {
                return;
            }
            impl->exportObjects();
            g_dbus_connection_emit_signal(
                impl->connection, nullptr, scriptingRootPath, interfaceName, "AssetCreated",
                g_variant_new("(o)", specifier->busPath().c_str()), nullptr);
        });
    return true;
}

void ShareScriptingService::stop() {
    if (impl_->observer != 0) {
        platform::NotificationCenter::defaultCenter().removeObserver(impl_->observer);
        impl_->observer = 0;
    }
    if (impl_->connection == nullptr) {
        return;
    }
    for (const auto id : impl_->registrations) {
        g_dbus_connection_unregister_object(impl_->connection, id);
    }
    impl_->registrations.clear();
    impl_->exported.clear();
    g_dbus_connection_flush_sync(impl_->connection, nullptr, nullptr);
    if (impl_->connection != nullptr) {
        g_dbus_connection_close_sync(impl_->connection, nullptr, nullptr);
    }
    g_clear_object(&impl_->connection);
}

struct ShareScriptingClient::Impl {
    GDBusConnection* connection = nullptr;
    std::vector<guint> subscriptions;
    ~Impl() {
        for (const auto id : subscriptions) {
            g_dbus_connection_signal_unsubscribe(connection, id);
        }
        if (connection != nullptr) {
            g_dbus_connection_close_sync(connection, nullptr, nullptr);
        }
        g_clear_object(&connection);
    }
};

ShareScriptingClient::ShareScriptingClient(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ShareScriptingClient::ShareScriptingClient(ShareScriptingClient&&) noexcept = default;
ShareScriptingClient::~ShareScriptingClient() = default;

std::unique_ptr<ShareScriptingClient>
ShareScriptingClient::connect(const std::optional<std::string>& address, std::string& error) {
    auto impl = std::make_unique<Impl>();
    GError* reason = nullptr;
    if (address) {
        impl->connection = g_dbus_connection_new_for_address_sync(
            address->c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &reason);
    } else {
        // A private connection: the shared session connection would outlive the client.
        gchar* sessionAddress =
            g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &reason);
        if (sessionAddress != nullptr) {
            impl->connection = g_dbus_connection_new_for_address_sync(
                sessionAddress,
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                  G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, &reason);
            g_free(sessionAddress);
        }
    }
    if (impl->connection == nullptr) {
        error = reason != nullptr ? reason->message : "no session bus";
        g_clear_error(&reason);
        return nullptr;
    }
    g_dbus_connection_set_exit_on_close(impl->connection, FALSE);
    return std::unique_ptr<ShareScriptingClient>(new ShareScriptingClient(std::move(impl)));
}

ShareScriptingClient::MakeReply ShareScriptingClient::make(const ScriptValue::Dictionary& arguments,
                                                           std::uint32_t interactionLevel) {
    MakeReply reply;
    GError* error = nullptr;
    GVariant* result = g_dbus_connection_call_sync(
        impl_->connection, ShareScriptingService::busName, scriptingRootPath,
        ShareScriptingService::interfaceName, "Make",
        g_variant_new("(@a{sv}u)", variantFromValue(arguments), interactionLevel),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, G_MAXINT, nullptr, &error);
    if (result == nullptr) {
        gchar* remote = g_dbus_error_get_remote_error(error);
        if (remote != nullptr && g_strcmp0(remote, ShareScriptingService::scriptErrorName) == 0) {
            g_dbus_error_strip_remote_error(error);
            const std::string message = error->message;
            int number = 0;
            try {
                number = std::stoi(message);
            } catch (const std::exception&) {
                number = 0;
            }
            reply.scriptError = ScriptError{number, message};
        } else {
            reply.failure = error->message;
        }
        g_free(remote);
        g_clear_error(&error);
        return reply;
    }
    const gchar* path = nullptr;
    g_variant_get(result, "(&o)", &path);
    reply.objectPath = path;
    g_variant_unref(result);
    return reply;
}

void ShareScriptingClient::subscribeAssetCreated(
    std::function<void(const std::string& objectPath)> observer) {
    using Observer = std::function<void(const std::string&)>;
    const guint id = g_dbus_connection_signal_subscribe(
        impl_->connection, nullptr, ShareScriptingService::interfaceName, "AssetCreated",
        scriptingRootPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
           GVariant* parameters, gpointer userData) {
            const gchar* path = nullptr;
            g_variant_get(parameters, "(&o)", &path);
            (*static_cast<Observer*>(userData))(path);
        },
        new Observer(std::move(observer)),
        [](gpointer userData) { delete static_cast<Observer*>(userData); });
    impl_->subscriptions.push_back(id);
    // The bus handles a connection's messages in order: once this answers, the match rule the
    // subscription added is in place.
    GVariant* reply = g_dbus_connection_call_sync(
        impl_->connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "GetId", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    if (reply != nullptr) {
        g_variant_unref(reply);
    }
}

std::optional<std::map<std::string, ShareScriptingClient::Property>>
ShareScriptingClient::properties(const std::string& objectPath, const std::string& interface,
                                 std::string& error) {
    GError* reason = nullptr;
    GVariant* result = g_dbus_connection_call_sync(
        impl_->connection, ShareScriptingService::busName, objectPath.c_str(),
        "org.freedesktop.DBus.Properties", "GetAll", g_variant_new("(s)", interface.c_str()),
        G_VARIANT_TYPE("(a{sv})"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &reason);
    if (result == nullptr) {
        error = reason->message;
        g_clear_error(&reason);
        return std::nullopt;
    }
    GVariant* dictionary = g_variant_get_child_value(result, 0);
    std::map<std::string, Property> properties;
    const auto read = valueFromVariant(dictionary);
    if (const auto* values = read.dictionary()) {
        properties.insert(values->begin(), values->end());
    }
    g_variant_unref(dictionary);
    g_variant_unref(result);
    return properties;
}

} // namespace kvnfcpx
