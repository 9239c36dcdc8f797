#include "Commands.h"
#include "Companion.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <koltutils/Describe.h>
#include <koltutils/DescribedError.h>
#include <kvnfcpx/FCPUtilities.h>
#include <kvnfcpx/share/AssetCollectionError.h>
#include <kvnfcpx/share/FCPShareDocument.h>
#include <kvnfcpx/share/FCPShareMakeCommand.h>
#include <kvnfcpx/share/ShareScriptingService.h>
#include <nlohmann/json.hpp>
#include <platform/RunLoop.h>
#include <pthread.h>
#include <thread>

namespace velotrack::cli {

namespace {

// Runs one share-destination operation, turning its failures into one line on stderr.
template <class Operation> void reportingFailures(Operation&& operation) {
    try {
        operation();
    } catch (const koltutils::DescribedError& error) {
        std::cerr << error.what() << '\n';
        throw CLI::RuntimeError(1);
    } catch (const std::filesystem::filesystem_error& error) {
        std::cerr << error.what() << '\n';
        throw CLI::RuntimeError(1);
    }
}

void addDestinationCommands(CLI::App& share) {
    share.add_subcommand("where", "Prints where the share destination is (or would be) installed")
        ->callback([] {
            reportingFailures([] {
                const auto url = kvnfcpx::FCPUtilities::shareDestinationURL();
                if (!url) {
                    std::cerr << "The share destination is missing from the resource bundle\n";
                    throw CLI::RuntimeError(1);
                }
                std::cout << url->string() << '\n';
            });
        });
    share.add_subcommand("install", "Installs the share destination unless it is already there")
        ->callback([] {
            reportingFailures([] {
                kvnfcpx::FCPUtilities::installShareDestination();
                if (const auto url = kvnfcpx::FCPUtilities::shareDestinationURL()) {
                    std::cout << "installed: " << url->string() << '\n';
                }
            });
        });
    share.add_subcommand("remove", "Removes the installed share destination, if any")->callback([] {
        reportingFailures([] {
            kvnfcpx::FCPUtilities::removeShareDestination();
            std::cout << "removed: "
                      << (kvnfcpx::FCPUtilities::shareDestinationsFolder() / "KVN H.264.fcpxdest")
                             .string()
                      << '\n';
        });
    });
}

struct MakeOptions {
    std::optional<std::string> name;
    std::vector<std::string> metadata;
    std::vector<std::string> dataOptions;
    std::string interaction = "never";
    std::optional<std::string> classCode;
    bool inProcess = false;
    std::optional<std::string> destination;
};

// "key=value" items into a dictionary; a missing "=" is an input error.
kvnfcpx::ScriptValue::Dictionary pairsOf(const std::vector<std::string>& items,
                                         const char* option) {
    kvnfcpx::ScriptValue::Dictionary dictionary;
    for (const auto& item : items) {
        const auto equals = item.find('=');
        if (equals == std::string::npos) {
            std::cerr << option << " expects <key>=<value>, got " << item << '\n';
            throw CLI::RuntimeError(1);
        }
        dictionary.insert_or_assign(item.substr(0, equals), item.substr(equals + 1));
    }
    return dictionary;
}

std::uint32_t interactionLevelOf(const std::string& name) {
    if (name == "never") {
        return kvnfcpx::FCPShareMakeCommand::neverInteract;
    }
    if (name == "may") {
        return kvnfcpx::FCPShareMakeCommand::canInteract;
    }
    if (name == "always") {
        return kvnfcpx::FCPShareMakeCommand::alwaysInteract;
    }
    return kvnfcpx::FCPShareMakeCommand::canSwitchLayer;
}

kvnfcpx::ScriptValue::Dictionary makeArguments(const MakeOptions& options) {
    kvnfcpx::ScriptValue::Dictionary properties;
    if (options.name) {
        properties["name"] = *options.name;
    }
    if (!options.metadata.empty()) {
        properties["metadata"] = pairsOf(options.metadata, "--metadata");
    }
    if (!options.dataOptions.empty()) {
        properties["dataOptions"] = pairsOf(options.dataOptions, "--data-option");
    }
    kvnfcpx::ScriptValue classCode =
        static_cast<std::int64_t>(kvnfcpx::FCPShareMakeCommand::assetClassCode);
    if (options.classCode) {
        // A whole number goes as a number; anything else as the text it is, which the command
        // does not take for a class.
        try {
            std::size_t used = 0;
            const long long number = std::stoll(*options.classCode, &used);
            classCode = used == options.classCode->size()
                            ? kvnfcpx::ScriptValue(std::int64_t{number})
                            : kvnfcpx::ScriptValue(*options.classCode);
        } catch (const std::exception&) {
            classCode = *options.classCode;
        }
    }
    return {{"ObjectClass", classCode}, {"KeyDictionary", properties}};
}

void printMade(const std::string& asset, const std::string& mediaFile,
               const std::string& document) {
    std::cout << "asset: " << asset << "\nmediaFile: " << mediaFile << "\ndocument: " << document
              << '\n';
}

void scriptError(int number, const std::string& reason) {
    std::cerr << "error: " << number << '\n' << reason << '\n';
    throw CLI::RuntimeError(1);
}

// The command inside the tool, with a document controller of its own. The tool has no windows,
// so the default location is always taken.
void makeInProcess(const MakeOptions& options) {
    if (options.destination) {
        kvnfcpx::FCPShareMakeCommand::setDestinationFolder(
            std::filesystem::absolute(*options.destination));
    }
    kvnfcpx::FCPShareMakeCommand::setShowsSavePanel(false);
    kvnfcpx::FCPShareDocumentController controller;
    kvnfcpx::FCPShareMakeCommand command(
        makeArguments(options), static_cast<std::int32_t>(interactionLevelOf(options.interaction)),
        controller);
    const auto specifier = command.performDefaultImplementation();
    if (command.scriptErrorNumber() != 0) {
        scriptError(command.scriptErrorNumber(), command.scriptErrorString());
    }
    const auto asset = command.createdAsset();
    if (!specifier || !asset) {
        printMade("", "", "");
        return;
    }
    const auto container = asset->container();
    printMade(specifier->description(), asset->mediaFile().value_or("").string(),
              container ? container->uniqueID() : "");
}

// The command sent to the running application; the answer's properties are read back.
void makeOverTheBus(const MakeOptions& options) {
    std::string error;
    auto client = kvnfcpx::ShareScriptingClient::connect(std::nullopt, error);
    kvnfcpx::ShareScriptingClient::MakeReply reply;
    if (client) {
        reply = client->make(makeArguments(options), interactionLevelOf(options.interaction));
        if (reply.failure) {
            error = *reply.failure;
        }
    }
    if (!client || reply.failure) {
        std::cerr << "Velotrack is not reachable on the session bus (" << error << ")\n";
        throw CLI::RuntimeError(1);
    }
    if (reply.scriptError) {
        const auto& message = reply.scriptError->message;
        const auto colon = message.find(": ");
        scriptError(reply.scriptError->number,
                    colon == std::string::npos ? message : message.substr(colon + 2));
    }
    const auto path = reply.objectPath.value_or("/");
    if (path == "/") {
        printMade(path, "", "");
        return;
    }
    const auto asset =
        client->properties(path, kvnfcpx::ShareScriptingService::assetInterfaceName, error);
    const auto documentPath = path.substr(0, path.rfind("/assets/"));
    const auto document = client->properties(
        documentPath, kvnfcpx::ShareScriptingService::documentInterfaceName, error);
    if (!asset || !document) {
        std::cerr << "Cannot read the new asset's properties (" << error << ")\n";
        throw CLI::RuntimeError(1);
    }
    printMade(path, asset->at("mediaFile").description(), document->at("uniqueID").description());
}

void addMakeCommand(CLI::App& share) {
    auto options = std::make_shared<MakeOptions>();
    auto* make = share.add_subcommand(
        "make", "Asks Velotrack for a new share asset, as the editor does when it shares");
    make->add_option("--name", options->name, "The asset's name (the movie's base name)");
    make->add_option("--metadata", options->metadata, "Share metadata, <key>=<value>");
    make->add_option("--data-option", options->dataOptions, "Data options, <key>=<value>");
    make->add_option("--interaction", options->interaction, "Interaction level (default never)")
        ->check(CLI::IsMember({"never", "may", "always", "switch"}));
    make->add_option("--class-code", options->classCode,
                     "The class to make, as a number (default the asset class 'KVas')");
    auto* inProcess =
        make->add_flag("--in-process", options->inProcess,
                       "Runs the command inside this tool instead of the application");
    make->add_option("--destination", options->destination,
                     "With --in-process: the folder the movie goes to")
        ->needs(inProcess);
    make->callback([options] {
        if (options->inProcess) {
            makeInProcess(*options);
        } else {
            makeOverTheBus(*options);
        }
    });
}

std::string orNone(const std::optional<std::string>& text) {
    return text.value_or("none");
}

void addAssetCommand(CLI::App& share) {
    auto file = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    auto* command = share.add_subcommand(
        "asset", "The share asset made from a file, with its media and description loaded");
    command->add_option("file", *file, "A movie (mov, mp4) or description (fcpxml)")->required();
    command->add_flag("--json", *json, "One JSON object");
    command->callback([file, json] {
        const auto asset = kvnfcpx::FCPShareAsset::createWithURL(std::filesystem::absolute(*file));
        asset->loadMedia();
        asset->loadDescription();
        const auto size = asset->frameSize();
        const auto principal = asset->principalURL().value_or("").string();
        if (*json) {
            nlohmann::ordered_json object;
            object["name"] = asset->name();
            object["principalURL"] = principal;
            object["mediaExtension"] = asset->mediaExtension()
                                           ? nlohmann::ordered_json(*asset->mediaExtension())
                                           : nlohmann::ordered_json();
            object["descExtension"] = asset->descExtension()
                                          ? nlohmann::ordered_json(*asset->descExtension())
                                          : nlohmann::ordered_json();
            object["duration"] = asset->duration();
            object["frameDuration"] = asset->frameDuration();
            object["frameSize"] = {{"width", size.width}, {"height", size.height}};
            std::cout << object.dump(2) << '\n';
            return;
        }
        std::cout << "name: " << asset->name() << "\nprincipalURL: " << principal
                  << "\nmediaExtension: " << orNone(asset->mediaExtension())
                  << "\ndescExtension: " << orNone(asset->descExtension())
                  << "\nduration: " << asset->duration()
                  << "\nframeDuration: " << asset->frameDuration()
                  << "\nframeSize: " << koltutils::describe(size.width) << "x"
                  << koltutils::describe(size.height) << '\n';
    });
}

void addCollectionCommand(CLI::App& share) {
    auto file = std::make_shared<std::string>();
    auto* command = share.add_subcommand(
        "collection", "The media files of an \"Asset Collection\" document, one per line");
    command->add_option("file", *file, "The document")->required();
    command->callback([file] {
        try {
            const auto document = kvnfcpx::FCPShareDocument::createWithContentsOfURL(
                *file, kvnfcpx::FCPShareDocument::typeName);
            for (const auto& asset : document->assets()) {
                std::cout << asset->mediaFile().value_or("").string() << '\n';
            }
        } catch (const std::filesystem::filesystem_error& error) {
            std::cerr << "Cannot read " << *file << ": " << error.code().message() << '\n';
            throw CLI::RuntimeError(1);
        }
    });
}

// Serves the application's scripting interface without its window until SIGINT or SIGTERM.
void addServeCommand(CLI::App& share) {
    auto* command = share.add_subcommand(
        "serve", "Serves Velotrack's scripting interface on the session bus, without a window");
    command->callback([] {
        sigset_t stopping;
        sigemptyset(&stopping);
        sigaddset(&stopping, SIGINT);
        sigaddset(&stopping, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
        kvnfcpx::FCPShareMakeCommand::setShowsSavePanel(false);
        kvnfcpx::ShareScriptingService service;
        std::string error;
        if (!service.start(std::nullopt, &error)) {
            std::cerr << "Cannot serve on the session bus: " << error << '\n';
            throw CLI::RuntimeError(1);
        }
        std::cout << "serving " << kvnfcpx::ShareScriptingService::busName << std::endl;
        std::thread waiter([stopping] {
            int received = 0;
            sigwait(&stopping, &received);
            platform::RunLoop::stop();
        });
        platform::RunLoop::run();
        waiter.join();
        service.stop();
    });
}

} // namespace

void addShareCommand(CLI::App& app) {
    auto* share = app.add_subcommand("share", std::string(shareSummary));
    share->require_subcommand(1);
    addDestinationCommands(*share);
    addMakeCommand(*share);
    addAssetCommand(*share);
    addCollectionCommand(*share);
    addServeCommand(*share);
}

} // namespace velotrack::cli
