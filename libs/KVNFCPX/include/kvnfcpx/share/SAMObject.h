#pragma once

#include "kvnfcpx/share/AppleEventDescriptor.h"
#include "kvnfcpx/share/ObjectAddress.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kvnfcpx {

class FCPShareDocument;

// The base of the share scripting objects: a unique ID, a name and the container that holds the
// object. Every object made in a process gets the next unique ID ("SSO-<pid>-<n>") and the next
// name ("Untitled <n>"); both counters start at 1 and are safe across threads.
//
// The container is held weakly: the document owns its assets, and documents stay in the document
// controller for the life of the process, so the asset never outlives the document it names.
class SAMObject {
public:
    SAMObject();
    virtual ~SAMObject() = default;
    SAMObject(const SAMObject&) = delete;
    SAMObject& operator=(const SAMObject&) = delete;

    static std::string calculateNewUniqueID();
    static long calculateNameCounter();

    std::shared_ptr<FCPShareDocument> container() const;
    void setContainer(const std::shared_ptr<FCPShareDocument>& container);
    std::string containerProperty() const;
    void setContainerProperty(std::string property);

    std::string uniqueID() const;
    std::string name() const;
    void setName(std::string name);

    // The class name scripting knows the object by.
    virtual std::string className() const { return "SAMObject"; }
    // "<class name: unique ID>".
    std::string description() const;

    // A unique-ID specifier under the container's own specifier; none without a container.
    std::optional<ObjectAddress> objectSpecifier() const;
    // The descriptor withObject() makes from the object (the text of its description).
    AppleEventDescriptor scriptingSpecifierDescriptor() const;

protected:
    mutable std::mutex mutex_;

private:
    std::weak_ptr<FCPShareDocument> container_;
    std::string containerProperty_;
    std::string uniqueID_;
    std::string name_;
};

} // namespace kvnfcpx
