#include "TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <string>
#include <vector>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testing::TemporaryFolder;
using Kind = Asset::MediaRep::Kind;

// Answers every bookmark with a fixed location and remembers what it was asked.
class ScriptedBookmarkResolver final : public BookmarkResolver {
public:
    explicit ScriptedBookmarkResolver(std::optional<koltutils::URL> answer)
        : answer_(std::move(answer)) {}

    std::optional<koltutils::URL> resolve(std::span<const std::uint8_t> data) const override {
        asked.emplace_back(data.begin(), data.end());
        return answer_;
    }

    mutable std::vector<std::vector<std::uint8_t>> asked;

private:
    std::optional<koltutils::URL> answer_;
};

FCPXMLDescription load(const std::string& version, const std::string& resources,
                       bool validateMedia = false,
                       const BookmarkResolver& resolver = BookmarkResolver::platform()) {
    return FCPXMLDescription::fromText("<fcpxml version=\"" + version + "\"><resources>" +
                                           resources + "</resources></fcpxml>",
                                       validateMedia, resolver);
}

auto assetWithId(const std::string& id) {
    return ::testing::Property(&koltutils::SharedValue<Asset>::get,
                               ::testing::Field(&Asset::id, id));
}

// A copy: the descriptions these tests load are temporaries.
Asset onlyAsset(const FCPXMLDescription& description) {
    EXPECT_THAT(description.resources->assets, SizeIs(1));
    return description.resources->assets.at(0).get();
}

TEST(FCPXMLDescriptionResources, ChoosesTheMediaRepresentationByVersion) {
    const std::string proxyFirst = R"(<asset id="a1" src="file:///asset.mov">
        <media-rep kind="proxy-media" src="file:///proxy.mov"/>
        <media-rep kind="original-media" src="file:///original.mov" sig="S1"/></asset>)";
    const auto modern = onlyAsset(load("1.10", proxyFirst)).mediaRep;
    EXPECT_EQ(modern.kind, Kind::originalMedia);
    EXPECT_EQ(modern.src, "file:///original.mov");
    EXPECT_EQ(modern.sig, "S1");
    EXPECT_EQ(modern.url, koltutils::URL::fromString("file:///original.mov"));
    // Before 1.9 the asset element itself holds the location.
    EXPECT_EQ(onlyAsset(load("1.8", proxyFirst)).mediaRep.src, "file:///asset.mov");

    const auto proxyOnly = onlyAsset(load("1.9", R"(<asset id="a1">
        <media-rep kind="proxy-media" src="file:///proxy.mov"/></asset>)"))
                               .mediaRep;
    EXPECT_EQ(proxyOnly.kind, Kind::proxyMedia);
    EXPECT_EQ(proxyOnly.src, "file:///proxy.mov");

    const auto onAsset = onlyAsset(load("1.9", R"(<asset id="a1" src="media/clip.wav"/>)"));
    EXPECT_EQ(onAsset.mediaRep.kind, Kind::originalMedia);
    EXPECT_EQ(onAsset.mediaRep.src, "media/clip.wav");
    ASSERT_TRUE(onAsset.mediaRep.url);
    EXPECT_EQ(onAsset.mediaRep.url->path(), "media/clip.wav");
    EXPECT_FALSE(onlyAsset(load("1.9", R"(<asset id="a1" src="not a url"/>)")).mediaRep.url);
}

TEST(FCPXMLDescriptionResources, ReadsAssetAttributesExactly) {
    const auto asset = onlyAsset(load("1.11", R"(<wrapper><asset id="a1" src="file:///a.wav"
        start="3600s" duration="1001/24000s" hasAudio="1" hasVideo="true" audioSources="+1"
        audioChannels="2.0" audioRate="48000" name="ignored" uid="U"/></wrapper>)"));
    EXPECT_EQ(asset.id, "a1");
    EXPECT_TRUE(asset.hasAudio);
    EXPECT_FALSE(asset.hasVideo);
    EXPECT_EQ(asset.audioSources, 1);
    EXPECT_EQ(asset.audioChannels, std::nullopt);
    EXPECT_EQ(asset.audioRate, 48000.0);
    EXPECT_EQ(asset.name, std::nullopt);
    EXPECT_EQ(asset.uid, std::nullopt);
    EXPECT_EQ(asset.clipTime, (ClipTime{.start = timecode::CMTime::make(3600, 1),
                                        .duration = timecode::CMTime::make(1001, 24000),
                                        .clipItem = ClipItem::unknown}));
}

TEST(FCPXMLDescriptionResources, SkipsAssetsWithoutIdOrLocationAndSaysWhy) {
    koltutils::ScopedLogCapture capture;
    const auto description = load("1.10", R"(<asset src="file:///a.wav"/>
        <asset id="a2"><media-rep kind="original-media"/></asset>
        <asset id="a3" src="file:///c.wav"/>)");
    EXPECT_THAT(description.resources->assets, ElementsAre(assetWithId("a3")));
    EXPECT_THAT(capture.lines(),
                ElementsAre(EndsWith(":Invalid asset: missing id"),
                            EndsWith(":Element is missing required media-rep data")));
}

TEST(FCPXMLDescriptionResources, ValidatesMediaOnlyWhenAsked) {
    const TemporaryFolder folder;
    const auto present = folder.write("present.wav", "RIFF");
    const std::string assets = "<asset id=\"here\" src=\"file://" + present.string() + "\"/>" +
                               "<asset id=\"gone\" src=\"file:///no/such/gone.wav\"/>" +
                               "<asset id=\"nowhere\" src=\"not a url\"/>";

    koltutils::ScopedLogCapture capture;
    EXPECT_THAT(load("1.10", assets).resources->assets, SizeIs(3));
    EXPECT_THAT(capture.lines(), IsEmpty());

    const auto validated = load("1.10", assets, true);
    EXPECT_THAT(validated.resources->assets, ElementsAre(assetWithId("here")));
    EXPECT_THAT(capture.lines(), ElementsAre(EndsWith(":Missing media: /no/such/gone.wav"),
                                             EndsWith(":Missing media: ")));
}

TEST(FCPXMLDescriptionResources, FallsBackToTheBookmarkWhenTheSourceIsMissing) {
    const TemporaryFolder folder;
    const auto moved = folder.write("moved.wav", "RIFF");
    const auto movedURL = koltutils::URL::fileURL(moved);
    const auto withBookmark = [](const std::string& src, const std::string& bookmark) {
        return "<asset id=\"a1\"><media-rep kind=\"original-media\" src=\"" + src +
               "\"><bookmark>" + bookmark + "</bookmark></media-rep></asset>";
    };

    koltutils::ScopedLogCapture capture;
    const ScriptedBookmarkResolver finds(movedURL);
    const auto resolved =
        onlyAsset(load("1.10", withBookmark("file:///gone.wav", "Ym9vaw=="), true, finds)).mediaRep;
    EXPECT_EQ(resolved.src, movedURL.absoluteString());
    EXPECT_EQ(resolved.url, movedURL);
    EXPECT_EQ(resolved.bookmark, "Ym9vaw==");
    EXPECT_THAT(finds.asked, ElementsAre(std::vector<std::uint8_t>{'b', 'o', 'o', 'k'}));
    EXPECT_THAT(capture.lines(),
                ElementsAre(EndsWith(":resolved bookmark to " + movedURL.absoluteString())));

    // A source that exists is kept without asking; a resolved location that does not exist,
    // or a bookmark that does not decode, leaves the source as written.
    const auto kept =
        onlyAsset(load("1.10", withBookmark(movedURL.absoluteString(), "Ym9vaw=="), false, finds))
            .mediaRep;
    EXPECT_EQ(kept.src, movedURL.absoluteString());
    EXPECT_THAT(finds.asked, SizeIs(1));

    capture.clear();
    const ScriptedBookmarkResolver findsNothing(koltutils::URL::fromString("file:///nope.wav"));
    EXPECT_EQ(
        onlyAsset(load("1.10", withBookmark("file:///gone.wav", "Ym9vaw=="), false, findsNothing))
            .mediaRep.src,
        "file:///gone.wav");
    EXPECT_THAT(capture.lines(), IsEmpty());
    EXPECT_EQ(onlyAsset(load("1.10", withBookmark("file:///gone.wav", "not base64!"), false,
                             findsNothing))
                  .mediaRep.url,
              koltutils::URL::fromString("file:///gone.wav"));
    EXPECT_THAT(capture.lines(), ElementsAre(EndsWith(":Failed to resolve data string")));
}

TEST(FCPXMLDescriptionResources, ReadsFormatsMediaAndEffects) {
    const auto description = load("1.11", R"xml(
        <format id="r1" name="FFVideoFormat1080p2997" frameDuration="1001/30000s"
                width="1920" height="1080px" colorspace="1-1-1 (Rec. 709)"/>
        <format id="r2" colorSpace="1-1-1 (Rec. 709)"/>
        <format name="no id"/>
        <media id="m1" name="Compound"><sequence format="r1"/><other/></media>
        <media id="m2" uid="U2"/>
        <media name="no id"><sequence/></media>
        <effect id="e1" uid="FFAudioDucking" name="Ducking"/>
        <effect id="e2" name="no uid"/>
        <effect uid="no id"/>)xml");
    const Resources& resources = *description.resources;

    EXPECT_THAT(resources.formats, ElementsAre(Format{"r1", "FFVideoFormat1080p2997",
                                                      timecode::CMTime::make(1001, 30000), 1920.0,
                                                      std::nullopt, "1-1-1 (Rec. 709)"},
                                               Format{"r2", std::nullopt, std::nullopt,
                                                      std::nullopt, std::nullopt, std::nullopt}));
    ASSERT_THAT(resources.media, SizeIs(2));
    EXPECT_EQ(resources.media[0].name, "Compound");
    ASSERT_NE(resources.media[0].child, nullptr);
    EXPECT_EQ(resources.media[0].child->name(), "sequence");
    EXPECT_EQ(resources.media[0].child->attribute("format"), "r1");
    EXPECT_EQ(resources.media[1], (Media{"m2", "U2", std::nullopt, nullptr}));
    EXPECT_THAT(resources.effects, ElementsAre(Effect{"e1", "FFAudioDucking", "Ducking"}));
}

TEST(FCPXMLDescriptionResources, LooksUpTheFirstResourceWithAnId) {
    const auto description = load("1.10", R"(
        <asset id="a1" src="file:///first.wav"/><asset id="a1" src="file:///second.wav"/>
        <format id="f1" name="first"/><format id="f1" name="second"/>
        <media id="m1" name="first"/><media id="m1" name="second"/>
        <effect id="e1" uid="u" name="first"/><effect id="e1" uid="u" name="second"/>)");
    EXPECT_EQ(description.asset("a1")->mediaRep.src, "file:///first.wav");
    EXPECT_EQ(description.format("f1")->name, "first");
    EXPECT_EQ(description.media("m1")->name, "first");
    EXPECT_EQ(description.effect("e1")->name, "first");
    EXPECT_EQ(description.asset("a2"), nullptr);
    EXPECT_EQ(FCPXMLDescription{}.asset("a1"), nullptr);
}

TEST(FCPXMLDescriptionResources, IndexStaysCorrectWhenListsAreEditedByHand) {
    auto resources =
        load("1.10", R"(<effect id="e1" uid="u1"/><effect id="e2" uid="u2"/>)").resources.value();
    resources.effects.insert(resources.effects.begin(), Effect{"e2", "u0", std::nullopt});
    EXPECT_EQ(resources.findEffect("e2")->uid, "u0");
    resources.effects.push_back(Effect{"e3", "u3", std::nullopt});
    EXPECT_EQ(resources.findEffect("e3")->uid, "u3");
    resources.effects.erase(resources.effects.begin());
    resources.effects.erase(resources.effects.begin());
    EXPECT_EQ(resources.findEffect("e1"), nullptr);

    Resources byHand;
    byHand.assets.push_back(Asset{.id = "a1"});
    EXPECT_EQ(byHand.findAsset("a1"), &byHand.assets[0].get());

    // The index is not part of equality: a copy reindexed or not is the same value.
    Resources indexed = byHand;
    indexed.reindex();
    EXPECT_EQ(indexed, byHand);
}

} // namespace
} // namespace kvnfcpx
