#include "TemporaryFolder.h"

#include <algorithm>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/share/AppleEventDescriptor.h>
#include <kvnfcpx/share/AssetCollectionError.h>
#include <kvnfcpx/share/FCPShareAsset.h>
#include <kvnfcpx/share/FCPShareDocument.h>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kvnfcpx::AppleEventDescriptor;
using kvnfcpx::FCPShareAsset;
using kvnfcpx::FCPShareDocument;
using kvnfcpx::FileURL;
using kvnfcpx::fourCharCode;
using kvnfcpx::ScriptValue;
using Dictionary = ScriptValue::Dictionary;
using testing::ElementsAre;

std::vector<std::string> traceLines(const koltutils::ScopedLogCapture& capture) {
    std::vector<std::string> lines;
    for (const auto& line : capture.lines()) {
        if (line.rfind("Ⓜ️ ", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The counters belong to the process, so the numbers are read relative to the first object made
// here (ctest runs each test in a process of its own, where that first object is number 1).
long numberAfter(const std::string& text, const std::string& prefix) {
    EXPECT_EQ(text.rfind(prefix, 0), 0U) << text;
    return std::stol(text.substr(prefix.size()));
}

TEST(SAMObject, CountsUniqueIDsAndNamesPerProcessAcrossThreads) {
    const auto prefix = "SSO-" + std::to_string(getpid()) + "-";
    const auto first = FCPShareAsset::create();
    const auto second = FCPShareAsset::create();
    const long n = numberAfter(first->uniqueID(), prefix);
    EXPECT_EQ(second->uniqueID(), prefix + std::to_string(n + 1));
    const long m = numberAfter(first->name(), "Untitled ");
    EXPECT_EQ(second->name(), "Untitled " + std::to_string(m + 1));

    std::vector<std::string> ids(400);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&ids, t] {
            for (std::size_t i = 0; i < 100; ++i) {
                ids[t * 100 + i] = kvnfcpx::SAMObject::calculateNewUniqueID();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::set<std::string> distinct(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), 400U);
    EXPECT_EQ(kvnfcpx::SAMObject::calculateNewUniqueID(), prefix + std::to_string(n + 402));
}

TEST(FCPShareAsset, InitFromAFileChoosesExtensionsByTheFileKind) {
    const auto mp4 = FCPShareAsset::createWithURL("/shares/clip.mp4");
    EXPECT_EQ(mp4->principalURL(), fs::path("/shares/clip"));
    EXPECT_EQ(mp4->folderLocation(), fs::path("/shares"));
    EXPECT_EQ(mp4->name(), "clip");
    EXPECT_EQ(mp4->mediaExtension(), "mp4");
    EXPECT_EQ(mp4->descExtension(), "fcpxml");
    EXPECT_EQ(mp4->mediaFile(), fs::path("/shares/clip.mp4"));
    EXPECT_EQ(mp4->descFile(), fs::path("/shares/clip.fcpxml"));

    const auto description = FCPShareAsset::createWithURL("/shares/clip.fcpxml");
    EXPECT_EQ(description->mediaExtension(), "mov");
    EXPECT_EQ(description->descExtension(), "fcpxml");

    const auto audio = FCPShareAsset::createWithURL("/shares/take.2.wav");
    EXPECT_EQ(audio->name(), "take.2");
    EXPECT_FALSE(audio->hasMedia());
    EXPECT_FALSE(audio->hasDescription());
    EXPECT_EQ(audio->mediaFile(), std::nullopt);
    EXPECT_EQ(audio->duration(), "n/a");
    EXPECT_EQ(audio->frameDuration(), "n/a");
    EXPECT_EQ(audio->frameSize(), FCPShareAsset::Size{});

    EXPECT_FALSE(FCPShareAsset::isMediaExtension("MOV"));
    EXPECT_EQ(FCPShareAsset::create()->principalURL(), std::nullopt);
}

TEST(FCPShareAsset, LocationInfoAndDictionariesFollowWhatIsSet) {
    const auto asset = FCPShareAsset::create("clip", "/shares", "mov", std::nullopt);
    EXPECT_EQ(
        asset->locationInfo(),
        (Dictionary{{"folder", FileURL{"/shares"}}, {"basename", "clip"}, {"hasMedia", true}}));
    EXPECT_EQ(
        asset->libraryInfo(),
        (Dictionary{{"folder", FileURL{"/shares"}}, {"basename", "clip"}, {"hasArchive", false}}));
    asset->setDescExtension("fcpxml");
    EXPECT_EQ(asset->libraryInfo().at("hasDescription"), ScriptValue(true));

    // A data option needs a dictionary to land in; metadata makes its own.
    asset->setDataOption("x", "k");
    EXPECT_EQ(asset->dataOptions(), std::nullopt);
    asset->setDataOptions(Dictionary{});
    asset->setDataOption("x", "k");
    EXPECT_EQ(asset->dataOptionForKey("k"), ScriptValue("x"));
    asset->addMetadata("S1", "com.apple.proapps.share.id");
    asset->addMetadata(3, "com.apple.proapps.share.episodeNumber");
    EXPECT_EQ(asset->shareID(), ScriptValue("S1"));
    EXPECT_EQ(asset->episodeNumber(), ScriptValue(3));
    EXPECT_EQ(asset->episodeID(), std::nullopt);
}

TEST(FCPShareDocument, AddsByLocationAndURLIntoOneAssetPerBaseName) {
    const auto document = FCPShareDocument::create();
    const Dictionary editorMetadata{{"com.apple.proapps.share.id", "A"}, {"kept", "old"}};
    const auto first = document->addAssetAtURL("/shares/clip.mov", false, editorMetadata,
                                               Dictionary{{"quality", "high"}});
    const auto second = document->addAssetAtURL("/shares/clip.fcpxml", false,
                                                Dictionary{{"com.apple.proapps.share.id", "B"}},
                                                Dictionary{{"roles", "all"}});
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, first);
    ASSERT_EQ(document->assets().size(), 1U);
    const auto asset = document->assets().front();
    EXPECT_EQ(asset->mediaExtension(), "mov");
    EXPECT_EQ(asset->descExtension(), "fcpxml");
    EXPECT_EQ(asset->metadata(), (Dictionary{{"com.apple.proapps.share.id", "B"},
                                             {"com.korvane.KVN.managedAsset", "1"},
                                             {"kept", "old"}}));
    EXPECT_EQ(asset->dataOptions(), (Dictionary{{"quality", "high"}, {"roles", "all"}}));
    EXPECT_EQ(asset->container(), document);
    EXPECT_EQ(asset->containerProperty(), "assets");

    // The location only says "hasMedia", so an mp4 is recorded as a movie.
    EXPECT_EQ(document->addAssetAtURL("/shares/other.mp4", false, std::nullopt, std::nullopt), 1);
    EXPECT_EQ(document->assets()[1]->mediaExtension(), "mov");

    // A location that sets a flag to false clears that file.
    document->addAssetAtLocation(
        Dictionary{{"folder", FileURL{"/shares"}}, {"basename", "clip"}, {"hasMedia", false}},
        false, std::nullopt, std::nullopt);
    EXPECT_EQ(asset->mediaExtension(), std::nullopt);
    EXPECT_EQ(asset->descExtension(), "fcpxml");
    EXPECT_EQ(document->assetIndexForLocation(Dictionary{{"basename", "clip"}}), -1);
}

TEST(FCPShareDocument, PositionsFollowInsertionsAndRemovals) {
    const auto document = FCPShareDocument::create();
    const auto a = FCPShareAsset::create("a", "/f", "mov", std::nullopt);
    const auto b = FCPShareAsset::create("b", "/f", "mov", std::nullopt);
    const auto c = FCPShareAsset::create("c", "/f", "mov", std::nullopt);
    document->insertInAssets(a);
    document->insertInAssets(b); // at the front
    document->insertInAssets(c, 2);
    EXPECT_EQ(document->assetIndexForURL("/f/b"), 0);
    EXPECT_EQ(document->assetIndexForURL("/f/a"), 1);
    EXPECT_EQ(document->assetIndexForUniqueID(c->uniqueID()), 2);
    EXPECT_EQ(document->assetURLAtIndex(2), fs::path("/f/c"));

    document->removeAsset(b);
    EXPECT_EQ(document->assetIndexForURL("/f/b"), -1);
    EXPECT_EQ(document->assetIndexForUniqueID(b->uniqueID()), -1);
    EXPECT_EQ(document->assetIndexForURL("/f/a"), 0);
    EXPECT_EQ(document->assetIndexForUniqueID(c->uniqueID()), 1);

    const auto specifier = c->objectSpecifier();
    ASSERT_TRUE(specifier);
    EXPECT_EQ(document->indicesOfObjectsByEvaluatingObjectSpecifier(*specifier),
              std::vector<long>{1});
    auto unknown = *specifier;
    unknown.uniqueID = "SSO-0-0";
    EXPECT_EQ(document->indicesOfObjectsByEvaluatingObjectSpecifier(unknown), std::vector<long>{});
    unknown.key = "documents";
    EXPECT_EQ(document->indicesOfObjectsByEvaluatingObjectSpecifier(unknown), std::nullopt);

    // The asset's specifier sits under the document's, and its bus path keeps to what a bus path
    // element allows.
    EXPECT_EQ(specifier->key, "assets");
    EXPECT_EQ(specifier->containerClassDescription, "FCPShareDocument");
    EXPECT_EQ(*specifier->containerSpecifier, document->objectSpecifier());
    auto busName = [](std::string id) {
        std::replace(id.begin(), id.end(), '-', '_');
        return id;
    };
    EXPECT_EQ(specifier->busPath(), "/com/korvane/velotrack/documents/" +
                                        busName(document->uniqueID()) + "/assets/" +
                                        busName(c->uniqueID()));
    EXPECT_EQ(FCPShareAsset::create()->objectSpecifier(), std::nullopt);
}

TEST(FCPShareDocument, AssetCollectionFilesRoundTripAndRefuseOtherTypes) {
    kvnfcpx::testing::TemporaryFolder folder;
    const auto document = FCPShareDocument::create();
    document->addAssetAtURL(folder.path() / "one.mov", false, std::nullopt, std::nullopt);
    document->addAssetAtURL(folder.path() / "two words.mov", false, std::nullopt, std::nullopt);
    const auto data = document->dataOfType("Asset Collection");
    EXPECT_EQ(data, "file://" + (folder.path() / "one.mov").string() + "\nfile://" +
                        (folder.path() / "two%20words.mov").string());

    const auto file = folder.write("Shared Today.assets", data);
    const auto read = FCPShareDocument::createWithContentsOfURL(file, "Asset Collection");
    EXPECT_EQ(read->name(), "Shared Today");
    ASSERT_EQ(read->assets().size(), 2U);
    EXPECT_EQ(read->assets()[0]->principalURL(), document->assets()[0]->principalURL());
    EXPECT_EQ(read->assets()[1]->principalURL(), document->assets()[1]->principalURL());
    EXPECT_EQ(read->assetIndexForURL(folder.path() / "two words"), 1);

    for (const auto& [attempt, code] : std::vector<std::pair<std::function<void()>, int>>{
             {[&] { (void)document->dataOfType("public.text"); }, 304},
             {[&] { read->readFromData(data, "public.text"); }, 204}}) {
        try {
            attempt();
            ADD_FAILURE() << "no error for code " << code;
        } catch (const kvnfcpx::AssetCollectionError& error) {
            EXPECT_EQ(error.code(), code);
            EXPECT_EQ(error.domain(), "SimpleAssetManaer");
        }
    }
    EXPECT_EQ(read->assets().size(), 2U);
}

TEST(AppleEventDescriptor, ObjectValuesByType) {
    EXPECT_EQ(AppleEventDescriptor::int32(7).objectValue(), ScriptValue(7));
    EXPECT_EQ(AppleEventDescriptor::int16(-3).objectValue(), ScriptValue(-3));
    EXPECT_EQ(AppleEventDescriptor::uint32(4000000000U).objectValue(), ScriptValue(0));
    EXPECT_EQ(AppleEventDescriptor::int64(-70000).objectValue(), ScriptValue(-70000));
    EXPECT_EQ(AppleEventDescriptor::text("naïve").objectValue(), ScriptValue("naïve"));
    EXPECT_EQ(AppleEventDescriptor::fileURL(FileURL{"/a b/c.mov"}).objectValue(),
              ScriptValue(FileURL{"/a b/c.mov"}));
    EXPECT_EQ(AppleEventDescriptor(AppleEventDescriptor::typeFileURL, {'x'}).objectValue(),
              std::nullopt);

    koltutils::ScopedLogCapture capture;
    const AppleEventDescriptor legacyText(fourCharCode("TEXT"), {'h', 'i'});
    EXPECT_EQ(legacyText.objectValue(), ScriptValue(kvnfcpx::ScriptData{'h', 'i'}));
    ASSERT_EQ(traceLines(capture).size(), 1U);
    EXPECT_THAT(traceLines(capture)[0],
                testing::EndsWith(":objectValue Creating NSData for AE desc type TEXT."));
}

TEST(AppleEventDescriptor, RecordsAndListsConvertBothWays) {
    auto fields = AppleEventDescriptor::list();
    fields.append(AppleEventDescriptor::text("name"));
    fields.append(AppleEventDescriptor::text("Trailer"));
    fields.append(AppleEventDescriptor::boolean(true)); // a key without text: pair skipped
    fields.append(AppleEventDescriptor::text("skipped"));
    fields.append(AppleEventDescriptor::text("count"));
    fields.append(AppleEventDescriptor::int32(2));
    fields.append(AppleEventDescriptor::text("dangling")); // no value: ignored
    auto record = AppleEventDescriptor::record();
    record.setParam(AppleEventDescriptor::keyASUserRecordFields, fields);
    EXPECT_EQ(record.objectValue(), ScriptValue(Dictionary{{"name", "Trailer"}, {"count", 2}}));

    // Writing a record turns every value into text; lists keep their elements' own forms.
    const auto written = AppleEventDescriptor::withObject(
        Dictionary{{"count", 2}, {"list", ScriptValue::List{"a", 1}}});
    EXPECT_EQ(written.objectValue(), ScriptValue(Dictionary{{"count", "2"}, {"list", "(a, 1)"}}));
    const auto list = AppleEventDescriptor::withObject(
        ScriptValue::List{"a", FileURL{"/x"}, Dictionary{{"k", true}}});
    EXPECT_EQ(list.objectValue(),
              ScriptValue(ScriptValue::List{"a", FileURL{"/x"}, Dictionary{{"k", "1"}}}));
    EXPECT_EQ(AppleEventDescriptor::withObject(7).descriptorType(),
              AppleEventDescriptor::typeUnicodeText);
}

// Movies made with the ffmpeg program, read back as the asset loads them.
class ShareAssetMedia : public testing::Test {
protected:
    fs::path makeMovie(const std::string& name, const std::string& arguments) const {
        const auto file = folder.path() / name;
        const auto command = "ffmpeg -v error -y " + arguments + " '" + file.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return file;
    }
    kvnfcpx::testing::TemporaryFolder folder;
};

TEST_F(ShareAssetMedia, ReadsHeaderDurationsFrameDurationsAndSizes) {
    makeMovie("pal.mov", "-f lavfi -i testsrc=size=320x240:rate=25 -t 2 -c:v mpeg4");
    makeMovie("ntsc.mp4", "-f lavfi -i testsrc=size=640x360:rate=30000/1001 -frames:v 30 "
                          "-c:v mpeg4 -video_track_timescale 30000");
    makeMovie("film.mkv", "-f lavfi -i testsrc=size=160x120:rate=24 -t 1 -c:v mpeg4");
    makeMovie("tone.mov", "-f lavfi -i sine=duration=1 -c:a aac");

    struct Expected {
        std::string file, duration, frameDuration;
        FCPShareAsset::Size size;
    };
    for (const auto& expected : std::vector<Expected>{
             {"pal.mov", "2000/1000s", "512/12800s", {320, 240}},
             // 30000 / 29.97003f is 1001 in float arithmetic; the header's 1001 ms is exact.
             {"ntsc.mp4", "1001/1000s", "1001/30000s", {640, 360}},
             // Not a QuickTime file: the demuxer's microseconds; 1000 / 24 truncates to 41.
             {"film.mkv", "1000000/1000000s", "41/1000s", {160, 120}},
             {"tone.mov", "1000/1000s", "n/a", {0, 0}}}) {
        const auto asset = FCPShareAsset::create(
            fs::path(expected.file).stem().string(), folder.path(),
            fs::path(expected.file).extension().string().substr(1), std::nullopt);
        EXPECT_EQ(asset->duration(), "0/0s") << expected.file;
        asset->loadMedia();
        EXPECT_TRUE(asset->mediaLoaded()) << expected.file;
        EXPECT_EQ(asset->duration(), expected.duration) << expected.file;
        EXPECT_EQ(asset->frameDuration(), expected.frameDuration) << expected.file;
        EXPECT_EQ(asset->frameSize(), expected.size) << expected.file;
    }
}

TEST_F(ShareAssetMedia, LoadingThroughTheDocumentReadsMediaAndDescription) {
    makeMovie("clip.mov", "-f lavfi -i testsrc=size=320x240:rate=25 -t 1 -c:v mpeg4");
    folder.write("clip.fcpxml", "<fcpxml version=\"1.10\"/>");
    folder.write("broken.fcpxml", "<fcpxml");
    const auto document = FCPShareDocument::create();
    document->addAssetAtURL(folder.path() / "clip.mov", true, std::nullopt, std::nullopt);
    const auto index =
        document->addAssetAtURL(folder.path() / "clip.fcpxml", true, std::nullopt, std::nullopt);
    const auto asset = document->assets()[static_cast<std::size_t>(index)];
    EXPECT_TRUE(asset->mediaLoaded());
    ASSERT_TRUE(asset->descriptionLoaded());
    EXPECT_EQ(asset->duration(), "1000/1000s");

    const auto brokenIndex =
        document->addAssetAtURL(folder.path() / "broken.fcpxml", true, std::nullopt, std::nullopt);
    const auto broken = document->assets()[static_cast<std::size_t>(brokenIndex)];
    EXPECT_FALSE(broken->descriptionLoaded());
    // The movie is missing: nothing loads and the duration is not available.
    EXPECT_FALSE(broken->mediaLoaded());
    EXPECT_EQ(broken->duration(), "n/a");
}

} // namespace
