#pragma once

#include "kvnfcpx/share/ScriptDocument.h"

#include <memory>
#include <mutex>
#include <vector>

namespace kvnfcpx {

// The documents of the process, in the order they were added. `shared()` is the application's
// one controller; the share command takes the controller to work on, so tests and the
// command-line tool can use a controller of their own.
class FCPShareDocumentController {
public:
    static FCPShareDocumentController& shared();

    FCPShareDocumentController() = default;
    FCPShareDocumentController(const FCPShareDocumentController&) = delete;
    FCPShareDocumentController& operator=(const FCPShareDocumentController&) = delete;

    std::vector<std::shared_ptr<ScriptDocument>> documents() const;
    void addDocument(std::shared_ptr<ScriptDocument> document);

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<ScriptDocument>> documents_;
};

} // namespace kvnfcpx
