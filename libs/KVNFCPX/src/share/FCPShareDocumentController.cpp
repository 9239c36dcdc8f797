#include "kvnfcpx/share/FCPShareDocumentController.h"

namespace kvnfcpx {

FCPShareDocumentController& FCPShareDocumentController::shared() {
    static FCPShareDocumentController controller;
    return controller;
}

std::vector<std::shared_ptr<ScriptDocument>> FCPShareDocumentController::documents() const {
    std::lock_guard lock(mutex_);
    return documents_;
}

void FCPShareDocumentController::addDocument(std::shared_ptr<ScriptDocument> document) {
    std::lock_guard lock(mutex_);
    documents_.push_back(std::move(document));
}

} // namespace kvnfcpx
