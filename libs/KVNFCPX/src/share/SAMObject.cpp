#include "kvnfcpx/share/SAMObject.h"

#include "ShareTrace.h"
#include "kvnfcpx/share/FCPShareDocument.h"

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace kvnfcpx {

std::string SAMObject::calculateNewUniqueID() {
    static const int processID = static_cast<int>(getpid());
    static std::atomic<long> counter{0};
    const long number = ++counter;
    char text[64];
    std::snprintf(text, sizeof text, "SSO-%d-%ld", processID, number);
    KVN_SHARE_TRACE("calculateNewUniqueID", std::string("new unique id = '") + text + "'");
    return text;
}

long SAMObject::calculateNameCounter() {
    static std::atomic<long> counter{0};
    return ++counter;
}

SAMObject::SAMObject()
    : uniqueID_(calculateNewUniqueID()),
      name_("Untitled " + std::to_string(calculateNameCounter())) {}

std::shared_ptr<FCPShareDocument> SAMObject::container() const {
    std::lock_guard lock(mutex_);
    return container_.lock();
}

void SAMObject::setContainer(const std::shared_ptr<FCPShareDocument>& container) {
    std::lock_guard lock(mutex_);
    container_ = container;
}

std::string SAMObject::containerProperty() const {
    std::lock_guard lock(mutex_);
    return containerProperty_;
}

void SAMObject::setContainerProperty(std::string property) {
    std::lock_guard lock(mutex_);
    containerProperty_ = std::move(property);
}

std::string SAMObject::uniqueID() const {
    std::lock_guard lock(mutex_);
    return uniqueID_;
}

std::string SAMObject::name() const {
    std::lock_guard lock(mutex_);
    return name_;
}

void SAMObject::setName(std::string name) {
    KVN_SHARE_TRACE("setName:", "name = '" + name + "'");
    std::lock_guard lock(mutex_);
    name_ = std::move(name);
}

std::string SAMObject::description() const {
    // Appended rather than `"<" + className()`: GCC 12 at -O3 reports a false -Wrestrict inside
    // the inlined insertion of a literal before a temporary string.
    return std::string("<").append(className()).append(": ").append(uniqueID()).append(">");
}

std::optional<ObjectAddress> SAMObject::objectSpecifier() const {
    const auto holder = container();
    if (!holder) {
        KVN_SHARE_TRACE("objectSpecifier", "no container");
        return std::nullopt;
    }
    ObjectAddress specifier;
    specifier.containerClassDescription = holder->className();
    specifier.containerSpecifier = std::make_shared<const ObjectAddress>(holder->objectSpecifier());
    specifier.key = containerProperty();
    specifier.uniqueID = uniqueID();
    KVN_SHARE_TRACE("objectSpecifier", "specifier = " + specifier.description());
    return specifier;
}

AppleEventDescriptor SAMObject::scriptingSpecifierDescriptor() const {
    return AppleEventDescriptor::withObject(ScriptValue(description()));
}

} // namespace kvnfcpx
