#include "xmltree/XMLDocument.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace xmltree {
namespace {

XMLElement::Predicate named(std::string name) {
    return [name](const XMLElement& element) { return element.name() == name; };
}

std::string nested(int depth) {
    std::string xml;
    for (int level = 0; level < depth; ++level) {
        xml += "<e>";
    }
    for (int level = 0; level < depth; ++level) {
        xml += "</e>";
    }
    return xml;
}

// Runs `load` and returns the reason of the parsingFailed error it must throw.
template <typename Load> std::string parsingFailure(Load&& load) {
    try {
        load();
    } catch (const XMLError& error) {
        EXPECT_EQ(error.code(), XMLErrorCode::parsingFailed);
        return error.reason();
    }
    ADD_FAILURE() << "expected parsingFailed";
    return {};
}

TEST(XMLDocument, ValueIsTheTextBeforeTheFirstChildTrimmedWhenTheElementEnds) {
    auto document = XMLDocument::fromText("<r>"
                                          "<spaced> x </spaced>"
                                          "<blank>   </blank>"
                                          "<empty/><closed></closed>"
                                          "<mixed>t1<b/>t2</mixed>"
                                          "<lead>\n  t1 <b/></lead>"
                                          "<unicode>\xC2\xA0x\xE3\x80\x80\n</unicode>"
                                          "<pieces>a&amp;b&#x41;</pieces>"
                                          "<cdata><![CDATA[hidden]]></cdata>"
                                          "<around>p<![CDATA[hidden]]>q</around>"
                                          "</r>");
    auto r = document->root();
    EXPECT_EQ(r->child("spaced")->value(), "x");
    EXPECT_EQ(r->child("blank")->value(), "");
    EXPECT_EQ(r->child("empty")->value(), std::nullopt);
    EXPECT_EQ(r->child("closed")->value(), std::nullopt);
    EXPECT_EQ(r->child("mixed")->value(), "t1");
    // Trimming reaches only the element that is current when it ends, i.e. one without children.
    EXPECT_EQ(r->child("lead")->value(), "\n  t1 ");
    EXPECT_EQ(r->child("unicode")->value(), "x");
    EXPECT_EQ(r->child("pieces")->value(), "a&bA");
    EXPECT_EQ(r->child("cdata")->value(), std::nullopt);
    EXPECT_EQ(r->child("around")->value(), "pq");

    XMLOptions untrimmed = XMLOptions::standard();
    untrimmed.parserSettings.shouldTrimWhitespace = false;
    EXPECT_EQ(XMLDocument::fromText("<a> x </a>", untrimmed)->root()->value(), " x ");
}

TEST(XMLDocument, HoldsTopLevelElementsWithAttributesKeptExactly) {
    auto document = XMLDocument::fromBytes(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fcpxml>\n"
        "<fcpxml version=\"1.11\" name=\" spaced \"><resources/><library/></fcpxml>");
    EXPECT_EQ(document->name(), "XMLDocument");
    EXPECT_EQ(document->options(), XMLOptions::standard());
    auto root = document->root();
    EXPECT_EQ(root->name(), "fcpxml");
    EXPECT_EQ(root->parent(), document);
    EXPECT_EQ(root->attribute("version"), "1.11");
    EXPECT_EQ(root->attribute("name"), " spaced ");
    ASSERT_EQ(root->children().size(), 2u);
    EXPECT_EQ(root->children()[1]->name(), "library");
    EXPECT_EQ(root->count(), 1u);

    document->loadBytes("<other/>");
    ASSERT_EQ(document->children().size(), 1u) << "loading replaces the previous elements";
    EXPECT_EQ(document->root()->name(), "other");
}

TEST(XMLDocument, RootOfADocumentWithoutElementsIsAnErrorElement) {
    auto root = XMLDocument::create()->root();
    EXPECT_EQ(root->name(), "Error");
    EXPECT_EQ(root->error(), XMLErrorCode::rootElementMissing);
    EXPECT_EQ(root->parent(), nullptr);
}

TEST(XMLDocument, NamespaceProcessingKeepsLocalElementNamesAndPrefixedAttributes) {
    const char* xml =
        R"(<x:a xmlns:x="urn:x" xmlns:l="urn:l" l:href="h" plain="p" l:aVeryLongLocalName="v"/>)";
    auto asWritten = XMLDocument::fromText(xml)->root();
    EXPECT_EQ(asWritten->name(), "x:a");
    EXPECT_EQ(asWritten->attribute("xmlns:x"), "urn:x");

    XMLOptions options = XMLOptions::standard();
    options.parserSettings.shouldProcessNamespaces = true;
    auto processed = XMLDocument::fromText(xml, options)->root();
    EXPECT_EQ(processed->name(), "a");
    EXPECT_EQ(
        processed->attributes(),
        (XMLElement::Attributes{{"l:href", "h"}, {"plain", "p"}, {"l:aVeryLongLocalName", "v"}}));
}

TEST(XMLDocument, MalformedOrUndecodableInputFailsWithTheReadersReason) {
    EXPECT_EQ(parsingFailure([] { XMLDocument::fromBytes("<a><b></a>"); }),
              "mismatched tag at line 1, column 8");
    EXPECT_EQ(parsingFailure([] { XMLDocument::fromBytes(""); }),
              "no element found at line 1, column 0");
    EXPECT_EQ(parsingFailure([] { XMLDocument::fromBytes("<a>\xC3\x28</a>"); }),
              "not well-formed (invalid token) at line 1, column 3");
    EXPECT_EQ(parsingFailure([] { XMLDocument::fromText("<a>\xED\xA0\x80</a>"); }),
              "the text is not valid UTF-8");

    XMLOptions latin1 = XMLOptions::standard();
    latin1.documentHeader.encoding = "iso-8859-1";
    EXPECT_EQ(parsingFailure([&] { XMLDocument::fromText("<a/>", latin1); }),
              "text cannot be converted to the encoding \"iso-8859-1\"");
    latin1.documentHeader.encoding = "UTF8";
    EXPECT_NO_THROW(XMLDocument::fromText("<a/>", latin1));
}

TEST(XMLDocument, EntityDeclarationsAreRefused) {
    const char* billionLaughs = R"(<?xml version="1.0"?>
<!DOCTYPE lolz [
 <!ENTITY lol "lol">
 <!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">
 <!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">
 <!ENTITY lol4 "&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;">
]>
<lolz>&lol4;</lolz>)";
    EXPECT_EQ(parsingFailure([&] { XMLDocument::fromText(billionLaughs); }),
              "entity declarations are not accepted (entity \"lol\") at line 3, column 14");
}

TEST(XMLDocument, ExternalEntitiesAreNeverRead) {
    auto secretFile = std::filesystem::temp_directory_path() / "xmltree-external-entity.txt";
    std::ofstream(secretFile) << "SECRET";
    auto dtdFile = std::filesystem::temp_directory_path() / "xmltree-external-subset.dtd";
    std::ofstream(dtdFile) << "<!ENTITY e SYSTEM \"" << secretFile.string() << "\">";

    XMLOptions resolving = XMLOptions::standard();
    resolving.parserSettings.shouldResolveExternalEntities = true;
    const std::string generalEntity =
        "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + secretFile.string() + "\">]><a>&e;</a>";
    const std::string parameterEntity =
        "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + dtdFile.string() + "\"> %p;]><a>&e;</a>";
    EXPECT_FALSE(parsingFailure([&] { XMLDocument::fromText(generalEntity, resolving); }).empty());
    EXPECT_FALSE(
        parsingFailure([&] { XMLDocument::fromText(parameterEntity, resolving); }).empty());

    // An external subset is not fetched, so the entity it would declare stays unknown.
    const std::string externalSubset = "<!DOCTYPE a SYSTEM \"" + dtdFile.string() + "\"><a>&e;</a>";
    auto root = XMLDocument::fromText(externalSubset, resolving)->root();
    EXPECT_EQ(root->value().value_or("").find("SECRET"), std::string::npos);

    std::filesystem::remove(secretFile);
    std::filesystem::remove(dtdFile);
}

TEST(XMLDocument, NestingBeyondTheDepthLimitIsRefused) {
    constexpr int limit = static_cast<int>(XMLOptions::defaultMaximumDepth);
    EXPECT_NO_THROW(XMLDocument::fromBytes(nested(limit)));
    EXPECT_EQ(parsingFailure([&] { XMLDocument::fromBytes(nested(limit + 1)); }),
              "elements nested deeper than 10000 levels at line 1, column 30000");

    XMLOptions shallow = XMLOptions::standard();
    shallow.parserSettings.maximumDepth = 2;
    EXPECT_EQ(parsingFailure([&] { XMLDocument::fromBytes("<a><b><c/></b></a>", shallow); }),
              "elements nested deeper than 2 levels at line 1, column 6");
}

TEST(XMLDocument, HundredThousandLevelsAreReadWalkedAndReleasedWhenTheLimitAllows) {
    constexpr int depth = 100'000;
    XMLOptions deep = XMLOptions::standard();
    deep.parserSettings.maximumDepth = depth;
    auto document =
        XMLDocument::fromBytes(nested(depth - 1).insert((depth - 1) * 3, "<leaf>v</leaf>"), deep);
    EXPECT_EQ(document->firstDescendant(named("leaf"))->value(), "v");
    EXPECT_EQ(document->allDescendants(named("e")).size(), static_cast<std::size_t>(depth - 1));
    document.reset();
}

TEST(XMLDocument, ReadsEveryFinalCutProSample) {
    const std::filesystem::path samples =
        std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples/";
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "sample folder not found: " << samples;
    }
    int read = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(samples)) {
        if (entry.path().extension() != ".fcpxml") {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        auto root = XMLDocument::fromBytes(bytes)->root();
        EXPECT_EQ(root->name(), "fcpxml") << entry.path();
        EXPECT_TRUE(root->attribute("version").has_value()) << entry.path();
        EXPECT_TRUE(root->hasDescendant(named("resources"))) << entry.path();
        ++read;
    }
    EXPECT_GE(read, 20);
}

} // namespace
} // namespace xmltree
