#include "koltutils/ProcessHandler.h"

#include "koltutils/DescribedError.h"
#include "koltutils/Log.h"
#include "koltutils/UTF8.h"
#include "platform/Process.h"

namespace koltutils {

ProcessHandler::ProcessHandler(std::filesystem::path url, std::vector<std::string> args,
                               DispatchQoS qos)
    : process_(std::make_shared<platform::Process>(
          std::move(url), std::move(args),
          platform::Process::Options{{}, std::nullopt, caseOf(qos).niceness})),
      qos_(qos) {}

ProcessHandler::~ProcessHandler() = default;

std::string ProcessHandler::run() {
    std::string result;
    try {
        process_->launch();
    } catch (const platform::ProcessLaunchError& error) {
        throw DescribedError(error.what());
    } catch (const std::logic_error&) {
        throw DescribedError("The process has already run");
    }
    const auto termination = process_->waitUntilExit();
    // Output first, error output second, whatever order the tool wrote them in.
    for (const auto* text : {&termination.standardOutput, &termination.standardError}) {
        if (UTF8::isValid(*text)) {
            result += *text;
            result += '\n';
        }
    }
    return result;
}

void ProcessHandler::cancel() {
    if (!process_->terminate()) {
        KOLT_LOG_ERROR("cancel()", "Process isn't running");
    }
}

int ProcessHandler::taskQualityOfService() const noexcept {
    return koltutils::taskQualityOfService(qos_);
}

bool ProcessHandler::isRunning() const {
    return process_->isRunning();
}

} // namespace koltutils
