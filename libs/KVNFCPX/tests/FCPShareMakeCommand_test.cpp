#include "TemporaryFolder.h"

#include <any>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/share/FCPShareMakeCommand.h>
#include <platform/NotificationCenter.h>

namespace {

namespace fs = std::filesystem;
using kvnfcpx::FCPShareAsset;
using kvnfcpx::FCPShareDocument;
using kvnfcpx::FCPShareDocumentController;
using kvnfcpx::FCPShareMakeCommand;
using kvnfcpx::ScriptValue;
using Dictionary = ScriptValue::Dictionary;
using testing::ElementsAre;
using testing::HasSubstr;

// The log lines of the command, without the objects' trace lines and with the line numbers
// left out ("FCPShare.cpp:function:text").
std::vector<std::string> commandLines(const koltutils::ScopedLogCapture& capture) {
    std::vector<std::string> lines;
    for (const auto& line : capture.lines()) {
        if (line.rfind("Ⓜ️ ", 0) == 0) {
            continue;
        }
        const auto close = line.find("):");
        const auto number = line.find(':', close + 2);
        lines.push_back(line.substr(0, close + 2) + line.substr(number + 1));
    }
    return lines;
}

Dictionary makeArguments(Dictionary properties) {
    return Dictionary{
        {"ObjectClass", static_cast<std::int64_t>(FCPShareMakeCommand::assetClassCode)},
        {"KeyDictionary", std::move(properties)}};
}

class ShareMake : public testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        FCPShareMakeCommand::setDestinationFolder(std::nullopt);
        FCPShareMakeCommand::setShowsSavePanel(true);
        FCPShareMakeCommand::setSavePanel(panel);
        token = platform::NotificationCenter::defaultCenter().addObserver(
            FCPShareMakeCommand::assetCreatedNotification, [this](const std::any& object) {
                posted.push_back(std::any_cast<std::shared_ptr<FCPShareAsset>>(object));
            });
    }
    void TearDown() override {
        platform::NotificationCenter::defaultCenter().removeObserver(token);
        FCPShareMakeCommand::setSavePanel(nullptr);
    }

    std::optional<kvnfcpx::ObjectAddress> make(FCPShareMakeCommand& command) {
        return command.performDefaultImplementation();
    }

    kvnfcpx::testing::TemporaryFolder home;
    fs::path documents() const { return home.path() / "Documents"; }
    std::shared_ptr<platform::ScriptedSavePanel> panel =
        std::make_shared<platform::ScriptedSavePanel>();
    FCPShareDocumentController controller;
    std::vector<std::shared_ptr<FCPShareAsset>> posted;
    platform::NotificationCenter::Token token = 0;
};

TEST_F(ShareMake, NeverInteractUsesTheDocumentsFolderAndFillsTheFirstDocument) {
    const Dictionary metadata{{"com.apple.proapps.share.id", "S-1"}};
    koltutils::ScopedLogCapture capture;
    FCPShareMakeCommand first(makeArguments({{"name", "Trailer"}, {"metadata", metadata}}),
                              FCPShareMakeCommand::neverInteract, controller);
    const auto specifier = make(first);
    ASSERT_TRUE(specifier);
    EXPECT_EQ(first.scriptErrorNumber(), 0);
    EXPECT_TRUE(panel->requests().empty());
    const auto asset = first.createdAsset();
    EXPECT_EQ(asset->mediaFile(), documents() / "Trailer.mov");
    EXPECT_EQ(asset->descFile(), std::nullopt);
    EXPECT_EQ(asset->shareID(), ScriptValue("S-1"));
    EXPECT_EQ(asset->metadata()->at("com.korvane.KVN.managedAsset"), ScriptValue("1"));
    EXPECT_EQ(*specifier, *asset->objectSpecifier());
    EXPECT_EQ(first.resumedResult(), specifier);
    EXPECT_TRUE(fs::is_directory(documents()));
    EXPECT_THAT(posted, ElementsAre(asset));
    EXPECT_THAT(
        commandLines(capture),
        ElementsAre("FCPShare.cpp:performDefaultImplementation():commandDescription "
                    "<FCPShareMakeCommand: make, interaction level 0x10> theArguments " +
                        ScriptValue(makeArguments({{"name", "Trailer"}, {"metadata", metadata}}))
                            .description(),
                    "FCPShare.cpp:performDefaultImplementation():Don't show UI",
                    "FCPShare.cpp:createAsset(document:metadata:dataOptions:at:):making "
                    "asset at " +
                        (documents() / "Trailer.mov").string()));

    // A second command without a name: three documents in all, both assets in the first.
    FCPShareMakeCommand second(makeArguments({{"name", 5}}), FCPShareMakeCommand::neverInteract,
                               controller);
    ASSERT_TRUE(make(second));
    EXPECT_EQ(second.createdAsset()->mediaFile(), documents() / "Untitled.mov");
    const auto all = controller.documents();
    ASSERT_EQ(all.size(), 3U);
    const auto firstDocument = std::dynamic_pointer_cast<FCPShareDocument>(all[0]);
    ASSERT_EQ(firstDocument->assets().size(), 2U);
    EXPECT_EQ(firstDocument->assets()[1], second.createdAsset());
    EXPECT_TRUE(std::dynamic_pointer_cast<FCPShareDocument>(all[1])->assets().empty());
    EXPECT_EQ(posted.size(), 2U);
}

TEST_F(ShareMake, ArgumentFailuresAnswerAsTheScriptingLayerExpects) {
    struct Case {
        std::optional<Dictionary> arguments;
        int error;
        std::string line;
    };
    const std::vector<Case> cases{
        {std::nullopt, 0,
         "🚩 FCPShare.cpp:performDefaultImplementation():evaluatedArguments is nil"},
        {Dictionary{{"ObjectClass", 1}}, -1715,
         "🚩 FCPShare.cpp:performDefaultImplementation():Invalid KeyDictionary specified"},
        {Dictionary{{"ObjectClass", 1}, {"KeyDictionary", "name"}}, -1715,
         "🚩 FCPShare.cpp:performDefaultImplementation():Invalid KeyDictionary specified"},
        {Dictionary{{"KeyDictionary", Dictionary{}}}, -1715,
         "🚩 FCPShare.cpp:performDefaultImplementation():No ObjectClass specified"},
        {Dictionary{{"ObjectClass", "KVas"}, {"KeyDictionary", Dictionary{}}}, 0,
         "🚩 FCPShare.cpp:performDefaultImplementation():isAsset is false"},
        {Dictionary{{"ObjectClass", 0x646f6375}, {"KeyDictionary", Dictionary{}}}, 0,
         "🚩 FCPShare.cpp:performDefaultImplementation():isAsset is false"},
    };
    for (const auto& each : cases) {
        koltutils::ScopedLogCapture capture;
        FCPShareMakeCommand command(each.arguments, FCPShareMakeCommand::neverInteract, controller);
        EXPECT_EQ(make(command), std::nullopt);
        EXPECT_EQ(command.scriptErrorNumber(), each.error);
        const auto lines = commandLines(capture);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), each.line);
    }
    EXPECT_TRUE(controller.documents().empty());
    EXPECT_TRUE(posted.empty());
}

// A document of another kind first in the controller.
class ForeignDocument : public kvnfcpx::ScriptDocument {
public:
    std::string className() const override { return "NSDocument"; }
    std::string uniqueID() const override { return "foreign"; }
};

TEST_F(ShareMake, AForeignFirstDocumentMakesNothing) {
    controller.addDocument(std::make_shared<ForeignDocument>());
    koltutils::ScopedLogCapture capture;
    FCPShareMakeCommand command(makeArguments({}), FCPShareMakeCommand::neverInteract, controller);
    EXPECT_EQ(make(command), std::nullopt);
    EXPECT_EQ(command.scriptErrorNumber(), 0);
    EXPECT_EQ(commandLines(capture).back(),
              "🚩 FCPShare.cpp:performDefaultImplementation():currentDocument is nil");
    EXPECT_EQ(controller.documents().size(), 1U);
}

TEST_F(ShareMake, PermittedLevelsAskThroughTheSavePanel) {
    const auto chosen = home.path() / "Chosen" / "Cut.mov";
    panel->enqueue(chosen);
    panel->enqueue(std::nullopt);
    FCPShareMakeCommand asked(makeArguments({{"name", "Cut"}}), FCPShareMakeCommand::canInteract,
                              controller);
    ASSERT_TRUE(make(asked));
    EXPECT_EQ(asked.createdAsset()->mediaFile(), chosen);
    ASSERT_EQ(panel->requests().size(), 1U);
    const auto request = panel->requests()[0];
    EXPECT_EQ(request.title, "Save exported files from Final Cut Pro...");
    EXPECT_EQ(request.directory, documents()); // the Documents folder itself: no "Imports"
    EXPECT_EQ(request.nameFieldStringValue, "Cut");
    EXPECT_THAT(request.allowedContentTypes, ElementsAre("com.apple.quicktime-movie"));
    EXPECT_TRUE(request.canCreateDirectories);

    // Cancelled: -1708, resumed without a result, no notification.
    FCPShareMakeCommand cancelled(makeArguments({{"name", "Cut"}}),
                                  FCPShareMakeCommand::alwaysInteract, controller);
    EXPECT_EQ(make(cancelled), std::nullopt);
    EXPECT_EQ(cancelled.scriptErrorNumber(), -1708);
    EXPECT_FALSE(cancelled.isSuspended());
    EXPECT_EQ(cancelled.resumedResult(), std::nullopt);
    EXPECT_EQ(posted.size(), 1U);

    // With the panel switched off a permitted level takes the default location, logging nothing
    // about the interface.
    FCPShareMakeCommand::setShowsSavePanel(false);
    koltutils::ScopedLogCapture capture;
    FCPShareMakeCommand quiet(makeArguments({{"name", "Quiet"}}),
                              FCPShareMakeCommand::canSwitchLayer, controller);
    ASSERT_TRUE(make(quiet));
    EXPECT_EQ(quiet.createdAsset()->mediaFile(), documents() / "Quiet.mov");
    for (const auto& line : commandLines(capture)) {
        EXPECT_THAT(line, testing::Not(HasSubstr("Don't show UI")));
    }
    EXPECT_EQ(panel->requests().size(), 2U);
}

TEST_F(ShareMake, DestinationFolderOverridesAndTheImportsSubfolder) {
    // A missing override: the default location creates it; the panel starts in it as it is.
    const auto missing = home.path() / "Exports" / "New";
    FCPShareMakeCommand::setDestinationFolder(missing);
    FCPShareMakeCommand noPanel(makeArguments({{"name", "A"}}), -1, controller);
    EXPECT_EQ(noPanel.requestURL("A"), std::nullopt);
    EXPECT_EQ(panel->requests().back().directory, missing);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(noPanel.createDefaultURL("A"), missing / "A.mov");
    EXPECT_TRUE(fs::is_directory(missing));

    // An existing override: the panel starts in its "Imports", made when missing.
    noPanel.requestURL("A");
    EXPECT_EQ(panel->requests().back().directory, missing / "Imports");
    EXPECT_TRUE(fs::is_directory(missing / "Imports"));

    // A default folder that cannot be made: the file-system error is logged, -1708.
    const auto blocked = home.write("file", "x") / "sub";
    FCPShareMakeCommand::setDestinationFolder(blocked);
    koltutils::ScopedLogCapture capture;
    FCPShareMakeCommand failing(makeArguments({}), FCPShareMakeCommand::neverInteract, controller);
    EXPECT_EQ(make(failing), std::nullopt);
    EXPECT_EQ(failing.scriptErrorNumber(), -1708);
    EXPECT_THAT(commandLines(capture).back(),
                testing::StartsWith("🚩 FCPShare.cpp:createDefaultURL(named:):"));

    // Without any home there is no destination at all.
    FCPShareMakeCommand::setDestinationFolder(std::nullopt);
    unsetenv("HOME");
    capture.clear();
    EXPECT_EQ(failing.createDefaultURL("A"), std::nullopt);
    EXPECT_EQ(commandLines(capture).back(),
              "🚩 FCPShare.cpp:createDefaultURL(named:):No destination to import to");
}

TEST_F(ShareMake, DocumentsFolderFollowsTheUserDirectoriesFile) {
    home.write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(FCPShareMakeCommand::destinationFolder(), home.path() / "Dokumente");
    FCPShareMakeCommand::setDestinationFolder("/elsewhere");
    EXPECT_EQ(FCPShareMakeCommand::destinationFolder(), fs::path("/elsewhere"));
}

} // namespace
