#include "xmltree/XMLAttributes.h"
#include "xmltree/XMLDocument.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace xmltree {
namespace {

std::vector<std::string> names(const XMLAttributes& attributes) {
    std::vector<std::string> result;
    for (const auto& [name, value] : attributes) {
        result.emplace_back(name);
    }
    return result;
}

TEST(XMLAttributes, OneValuePerNameTheLastGivenInNameOrder) {
    const XMLAttributes attributes{{"start", "1s"}, {"ref", "r1"}, {"start", "2s"}, {"a", ""}};
    EXPECT_EQ(names(attributes), (std::vector<std::string>{"a", "ref", "start"}));
    EXPECT_EQ(attributes.find("start"), "2s");
    EXPECT_EQ(attributes.find("a"), "") << "an empty value is still a value";
    EXPECT_EQ(attributes.find("Start"), std::nullopt) << "names compare exactly";
    EXPECT_EQ(attributes.find("st"), std::nullopt);
    EXPECT_EQ(attributes.find("zz"), std::nullopt);
    EXPECT_EQ(XMLAttributes().find("a"), std::nullopt);

    EXPECT_EQ(attributes, (XMLAttributes{{"a", ""}, {"ref", "r1"}, {"start", "2s"}}))
        << "equality ignores the order the attributes were given in";
}

TEST(XMLAttributes, EditingKeepsTheSetOrderedAndUnique) {
    XMLAttributes attributes{{"m", "1"}};
    attributes.insert_or_assign("z", "2");
    attributes.insert_or_assign("b", "3");
    attributes.insert_or_assign("m", "4");
    EXPECT_EQ(attributes, (XMLAttributes{{"b", "3"}, {"m", "4"}, {"z", "2"}}));
    EXPECT_TRUE(attributes.erase("m"));
    EXPECT_FALSE(attributes.erase("m"));
    EXPECT_FALSE(attributes.contains("m"));
    EXPECT_EQ(names(attributes), (std::vector<std::string>{"b", "z"}));

    const XMLAttributes copy = attributes;
    attributes.insert_or_assign("b", std::string(300, 'x'));
    EXPECT_EQ(copy.find("b"), "3") << "a copy keeps its own text";
    EXPECT_EQ(attributes.find("b")->size(), 300u);
    EXPECT_EQ(attributes.find("z"), "2");
}

// Short recurring names are numbers in a shared table, long ones stay in the block, and the
// places are stored narrow below 32 KiB of text and wide above it: none of it may show.
TEST(XMLAttributes, SharedAndOwnNamesReadBackOnEitherSideOfTheNarrowPlaceLimit) {
    const std::string ownName(100, 'k');
    for (const std::size_t textSize :
         {std::size_t{120}, std::size_t{0x7FFE}, std::size_t{0x7FFF}, std::size_t{0x8000},
          std::size_t{0x8001}, std::size_t{70'000}}) {
        const std::string value(textSize - ownName.size() - 1, 'v');
        const XMLAttributes attributes{{"ref", "r"}, {ownName, value}, {"a", ""}};
        EXPECT_EQ(names(attributes), (std::vector<std::string>{"a", ownName, "ref"}));
        EXPECT_EQ(attributes.find("a"), "") << textSize;
        EXPECT_EQ(attributes.find(ownName), value) << textSize;
        EXPECT_EQ(attributes.find("ref"), "r") << textSize;
        EXPECT_EQ(attributes.find(std::string(99, 'k')), std::nullopt) << textSize;

        XMLAttributes edited = attributes;
        EXPECT_EQ(edited, attributes);
        edited.insert_or_assign("ref", "changed");
        EXPECT_EQ(edited, (XMLAttributes{{"a", ""}, {"ref", "changed"}, {ownName, value}}));
        EXPECT_NE(edited, attributes);
    }
}

TEST(XMLAttributes, AnElementWithThousandsOfAttributesIsReadAndSearched) {
    std::string xml = "<e";
    for (int i = 4000; i > 0; --i) {
        xml += " n" + std::to_string(i) + "=\"" + std::to_string(i * 2) + "\"";
    }
    xml += "/>";
    const auto root = XMLDocument::fromText(xml)->root();
    EXPECT_EQ(root->attributes().size(), 4000u);
    EXPECT_EQ(root->attribute("n1"), "2");
    EXPECT_EQ(root->attribute("n4000"), "8000");
    EXPECT_EQ(root->attribute("n4001"), std::nullopt);
}

} // namespace
} // namespace xmltree
