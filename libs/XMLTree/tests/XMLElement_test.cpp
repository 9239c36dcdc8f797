#include "xmltree/XMLDocument.h"
#include "xmltree/XMLElement.h"

#include <atomic>
#include <gtest/gtest.h>
#include <limits>
#include <thread>
#include <vector>

namespace xmltree {
namespace {

XMLElement::Predicate named(std::string name) {
    return [name](const XMLElement& element) { return element.name() == name; };
}

std::vector<std::string> attributeValues(const std::vector<XMLElement::Ptr>& elements,
                                         std::string_view attributeName) {
    std::vector<std::string> values;
    for (const auto& element : elements) {
        values.emplace_back(element->attribute(attributeName).value_or("-"));
    }
    return values;
}

TEST(XMLElement, MissYieldsDetachedErrorElementAndChainedMissesNeverFail) {
    auto a = XMLElement::create("a");
    a->addChild("b");

    auto c = a->child("c");
    EXPECT_EQ(c->name(), "c");
    EXPECT_EQ(c->error(), XMLErrorCode::elementNotFound);
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_TRUE(c->children().empty());
    EXPECT_FALSE(c->value().has_value());
    EXPECT_TRUE(c->attributes().empty());
    EXPECT_FALSE(c->all().has_value());
    EXPECT_EQ(c->first(), nullptr);
    EXPECT_EQ(c->last(), nullptr);
    EXPECT_EQ(c->count(), 0u);

    auto d = (*a)["c"]->child("d");
    EXPECT_EQ(d->name(), "d");
    EXPECT_EQ(d->error(), XMLErrorCode::elementNotFound);
    EXPECT_EQ(d->first(), nullptr);
    EXPECT_EQ(a->children().size(), 1u) << "a miss must not add to the tree";

    EXPECT_EQ(a->child("b")->first(), a->children().front());
    EXPECT_FALSE(a->child("b")->error().has_value());
}

TEST(XMLElement, AllFirstLastAndCountSeeSameNamedSiblingsInOrder) {
    auto parent = XMLElement::create("p");
    parent->addChild("x", std::nullopt, {{"n", "1"}});
    parent->addChild("y");
    parent->addChild("x", std::nullopt, {{"n", "2"}});
    parent->addChild("x", std::nullopt, {{"n", "3"}});

    auto x = parent->child("x");
    EXPECT_EQ(x->attribute("n"), "1");
    ASSERT_TRUE(x->all().has_value());
    EXPECT_EQ(attributeValues(*x->all(), "n"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(x->first()->attribute("n"), "1");
    EXPECT_EQ(x->last()->attribute("n"), "3");
    EXPECT_EQ(x->count(), 3u);
    EXPECT_EQ(parent->child("y")->count(), 1u);
    EXPECT_EQ(x->parent(), parent);
    EXPECT_FALSE(x->attribute("missing").has_value());
    // A top element has no parent, so it has no namesakes either.
    EXPECT_FALSE(parent->all().has_value());
}

TEST(XMLElement, DescendantSearchesRunDepthFirstPreOrderBelowTheElement) {
    // r holds x (holding y n=1 and z, which holds y n=2), then y n=3.
    auto r = XMLElement::create("y", std::nullopt, {{"n", "0"}});
    auto x = r->addChild("x");
    x->addChild("y", std::nullopt, {{"n", "1"}});
    x->addChild("z")->addChild("y", std::nullopt, {{"n", "2"}});
    r->addChild("y", std::nullopt, {{"n", "3"}});

    EXPECT_EQ(r->firstDescendant(named("y"))->attribute("n"), "1");
    EXPECT_EQ(attributeValues(r->allDescendants(named("y")), "n"),
              (std::vector<std::string>{"1", "2", "3"}));
    std::vector<std::string> order;
    r->allDescendants([&](const XMLElement& element) {
        order.push_back(element.name() + std::string(element.attribute("n").value_or("")));
        return false;
    });
    EXPECT_EQ(order, (std::vector<std::string>{"x", "y1", "z", "y2", "y3"}));
    EXPECT_EQ(r->firstDescendant(named("w")), nullptr);
    EXPECT_FALSE(r->hasDescendant(named("w")));
    EXPECT_TRUE(x->hasDescendant(named("z")));
    EXPECT_FALSE(x->child("z")->children().front()->hasDescendant(named("y")));
}

XMLElement::Ptr valued(std::optional<std::string> value) {
    return XMLElement::create("e", std::move(value));
}

TEST(XMLElement, BoolValueAcceptsTrueFalseOneAndZeroInAnyCase) {
    for (const char* text : {"true", "TrUe", "1"}) {
        EXPECT_EQ(valued(text)->boolValue(), true) << text;
    }
    for (const char* text : {"FALSE", "0"}) {
        EXPECT_EQ(valued(text)->boolValue(), false) << text;
    }
    for (const char* text : {"yes", " true", "01"}) {
        EXPECT_EQ(valued(text)->boolValue(), std::nullopt) << text;
    }
    EXPECT_EQ(valued(std::nullopt)->boolValue(), std::nullopt);
}

TEST(XMLElement, IntValueReadsSignedDecimalThatFitsIn64Bits) {
    EXPECT_EQ(valued("42")->intValue(), 42);
    EXPECT_EQ(valued("+42")->intValue(), 42);
    EXPECT_EQ(valued("-42")->intValue(), -42);
    EXPECT_EQ(valued("007")->intValue(), 7);
    EXPECT_EQ(valued("9223372036854775807")->intValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(valued("-9223372036854775808")->intValue(), std::numeric_limits<std::int64_t>::min());
    for (const char* invalid :
         {"9223372036854775808", "", "+", "-", "+-1", "--1", " 1", "1 ", "1.0", "0x10", "1e3"}) {
        EXPECT_EQ(valued(invalid)->intValue(), std::nullopt) << invalid;
    }
    EXPECT_EQ(valued(std::nullopt)->intValue(), std::nullopt);
}

TEST(XMLElement, DoubleValueReadsOnlyTextThatIsWhollyANumber) {
    EXPECT_EQ(valued("1.5")->doubleValue(), 1.5);
    EXPECT_EQ(valued("+.5")->doubleValue(), 0.5);
    EXPECT_EQ(valued("-2")->doubleValue(), -2.0);
    EXPECT_EQ(valued("1e3")->doubleValue(), 1000.0);
    EXPECT_EQ(valued("inf")->doubleValue(), std::numeric_limits<double>::infinity());
    for (const char* invalid : {"", "abc", " 1", "1 ", "1.5s", "+-1", "1e999"}) {
        EXPECT_EQ(valued(invalid)->doubleValue(), std::nullopt) << invalid;
    }
    EXPECT_EQ(valued(std::nullopt)->doubleValue(), std::nullopt);
}

TEST(XMLElement, HeldSubtreeSurvivesWhenItsTreeIsReleased) {
    auto root = XMLElement::create("root");
    auto kept = root->addChild("a")->addChild("b");
    kept->addChild("c")->addChild("d", "leaf");
    root.reset();

    EXPECT_EQ(kept->parent(), nullptr);
    ASSERT_EQ(kept->children().size(), 1u);
    EXPECT_EQ(kept->firstDescendant(named("d"))->value(), "leaf");
}

// A child refers to its parent by address, so every way a parent lets a child go must leave the
// child without a parent rather than pointing at an element that is gone.
TEST(XMLElement, ChildrenOutlivingTheirParentReportNoParentAndStayReadable) {
    auto root = XMLElement::create("root");
    auto direct = root->addChild("direct", "d");
    auto middle = root->addChild("middle");
    auto grandchild = middle->addChild("grandchild", "g");
    auto kept = root->addChild("kept");
    auto keptChild = kept->addChild("inner");
    middle.reset();
    root.reset();
    EXPECT_EQ(direct->parent(), nullptr) << "released by the root's destructor";
    EXPECT_EQ(direct->value(), "d");
    EXPECT_EQ(grandchild->parent(), nullptr) << "released on the destructor's own stack";
    EXPECT_EQ(grandchild->value(), "g");
    EXPECT_EQ(kept->parent(), nullptr);
    EXPECT_EQ(keptChild->parent(), kept) << "a held element keeps its children";

    // Reading a document again drops its former elements.
    auto document = XMLDocument::fromText("<a><b>text</b></a>");
    auto a = document->root();
    auto b = a->child("b");
    document->loadText("<c/>");
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(b->parent(), a);
    EXPECT_EQ(b->value(), "text");
    EXPECT_EQ(document->root()->name(), "c");
    EXPECT_EQ(document->root()->parent(), document);
}

// Letting go of a tree is not a change to a subtree someone else holds: readers of held children
// on other threads see either their parent, whole, or no parent, never one that is going away.
TEST(XMLElement, HeldChildrenAreReadOnOtherThreadsWhileTheirTreeIsReleased) {
    constexpr int rounds = 100;
    constexpr int readerCount = 3;
    std::atomic<int> wrongParents = 0;
    for (int round = 0; round < rounds; ++round) {
        auto root = XMLElement::create("root");
        std::vector<XMLElement::Ptr> leaves;
        {
            auto middle = root->addChild("middle");
            for (int index = 0; index < readerCount; ++index) {
                leaves.push_back(middle->addChild("leaf"));
            }
        }
        std::atomic<bool> start = false;
        std::vector<std::thread> readers;
        for (const auto& leaf : leaves) {
            readers.emplace_back([&start, &wrongParents, leaf] {
                while (!start.load()) {
                }
                for (int read = 0; read < 100; ++read) {
                    const auto parent = leaf->parent();
                    if (parent &&
                        (parent->name() != "middle" || parent->children().size() != readerCount)) {
                        ++wrongParents;
                    }
                }
            });
        }
        start = true;
        root.reset();
        for (auto& reader : readers) {
            reader.join();
        }
        for (const auto& leaf : leaves) {
            EXPECT_EQ(leaf->parent(), nullptr);
        }
    }
    EXPECT_EQ(wrongParents.load(), 0);
}

TEST(XMLElement, TakenChildrenAreDetachedAndLiveOnlyAsLongAsTheyAreHeld) {
    auto root = XMLElement::create("root");
    auto spine = root->addChild("spine");
    spine->addChild("clip", "one");
    spine->addChild("gap")->addChild("clip", "inner");
    std::weak_ptr<XMLElement> gap = spine->children()[1];

    auto taken = spine->takeChildren();
    EXPECT_TRUE(spine->children().empty());
    EXPECT_TRUE(spine->child("clip")->error().has_value());
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0]->value(), "one");
    EXPECT_EQ(taken[0]->parent(), nullptr);
    EXPECT_FALSE(taken[0]->first());
    // A taken element keeps its own subtree, whose elements still see it as their parent.
    EXPECT_EQ(taken[1]->child("clip")->parent(), taken[1]);

    taken[1].reset();
    EXPECT_TRUE(gap.expired());
    EXPECT_EQ(root->child("spine"), spine);
}

// Names are shared between elements and values boxed to keep large trees small; what an
// element reports must not show it.
TEST(XMLElement, NamesValuesAndErrorsReadBackAsGivenWhateverTheirStorage) {
    const std::string longName(200, 'n');
    auto root = XMLElement::create("root", "text");
    auto first = root->addChild("clip");
    auto second = root->addChild("clip", "");
    auto unusual = root->addChild(longName, "long");
    EXPECT_EQ(&first->name(), &second->name()) << "one shared copy of a repeated name";
    EXPECT_EQ(unusual->name(), longName);
    EXPECT_EQ(root->value(), "text");
    EXPECT_EQ(first->value(), std::nullopt);
    EXPECT_EQ(second->value(), std::optional<std::string>(""));
    second->setValue("changed");
    EXPECT_EQ(second->value(), "changed");
    second->setValue(std::nullopt);
    EXPECT_EQ(second->value(), std::nullopt);
    EXPECT_EQ(first->error(), std::nullopt);
    for (const auto code : {XMLErrorCode::elementNotFound, XMLErrorCode::rootElementMissing,
                            XMLErrorCode::parsingFailed}) {
        EXPECT_EQ(XMLElement::createError(longName, code)->error(), code);
    }
    EXPECT_EQ(root->child("missing")->error(), XMLErrorCode::elementNotFound);

    // Names made on several threads at once come out whole and shared.
    std::vector<std::thread> threads;
    std::vector<XMLElement::Ptr> made(8);
    for (std::size_t i = 0; i < made.size(); ++i) {
        threads.emplace_back([&made, i] {
            for (int k = 0; k < 200; ++k) {
                made[i] = XMLElement::create("thread-" + std::to_string(k % 20));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& element : made) {
        EXPECT_EQ(element->name(), "thread-19");
        EXPECT_EQ(&element->name(), &made.front()->name());
    }
}

TEST(XMLElement, VeryDeepTreeIsSearchedAndReleasedWithoutRecursion) {
    constexpr int depth = 200'000;
    auto root = XMLElement::create("level");
    XMLElement::Ptr deepest = root;
    for (int level = 1; level < depth; ++level) {
        deepest = deepest->addChild("level");
    }
    deepest->addChild("leaf", "bottom");
    deepest.reset();

    EXPECT_EQ(root->firstDescendant(named("leaf"))->value(), "bottom");
    EXPECT_EQ(root->allDescendants(named("level")).size(), static_cast<std::size_t>(depth - 1));
    root.reset(); // would overflow the stack if each level released the next recursively
}

} // namespace
} // namespace xmltree
