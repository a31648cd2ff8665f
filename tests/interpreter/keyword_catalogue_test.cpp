#include "interpreter/keyword_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<KeywordRecord>& Rows() { return BaseKeywordCatalogue(); }

TEST(KeywordCatalogueTest, HasOneHundredSixtyTwoRowsWhoseIdsAreTheirIndices) {
    ASSERT_EQ(Rows().size(), 162u);
    for (std::size_t i = 0; i < Rows().size(); ++i) EXPECT_EQ(Rows()[i].id, static_cast<int>(i));
    EXPECT_EQ(Rows()[161].word, "CreateChart");
    EXPECT_EQ(Rows()[0].word, "=");
    EXPECT_EQ(Rows()[1].word, "\"");
    EXPECT_EQ(Rows()[81].word, "'");
}

// ---- lookup ----

int LinearFind(std::span<const KeywordRecord> rows, const std::string& word) {
    for (const KeywordRecord& r : rows)
        if (r.word == word) return r.id;
    return -1;
}

TEST(KeywordLookupTest, FindsTheSameRowAsALinearScanForEveryWord) {
    for (const KeywordRecord& r : Rows()) {
        EXPECT_EQ(FindKeyword(r.word.data(), r.word.size()), LinearFind(Rows(), r.word)) << r.word;
        EXPECT_EQ(FindKeyword(r.word), r.id) << r.word;
    }
}

TEST(KeywordIndexTest, TheFirstOfDuplicateWordsWins) {
    const std::vector<KeywordRecord> rows = {
        {"Alpha", 171, 0x400, "a"}, {"Beta", 172, 0x400, "b"}, {"Alpha", 173, 0x400, "c"}, {"", 174, 0, "d"},
    };
    const KeywordIndex index(rows);
    EXPECT_EQ(index.FindRow("Alpha"), 0);
    EXPECT_EQ(index.FindRow("Beta"), 1);
    EXPECT_EQ(index.FindRow(""), 3);
    EXPECT_EQ(index.FindRow("alpha"), -1);
    EXPECT_EQ(KeywordIndex().FindRow("Alpha"), -1);
    EXPECT_EQ(KeywordIndex(std::span<const KeywordRecord>()).FindRow(""), -1);
}

// ---- help tree ----

// A tree that records its items; sorted insertion places by byte order.
class RecordingTree : public HelpTreeTarget {
public:
    struct Node {
        std::string text;
        Node* parent = nullptr;
        std::vector<Node*> children;
    };

    TreeItem Insert(const std::string& text, TreeItem parent, bool sorted) override {
        nodes_.push_back(std::make_unique<Node>());
        Node* node = nodes_.back().get();
        node->text = text;
        node->parent = static_cast<Node*>(parent);
        std::vector<Node*>& siblings = node->parent ? node->parent->children : roots_;
        auto at = siblings.end();
        if (sorted)
            at = std::upper_bound(siblings.begin(), siblings.end(), text,
                                  [](const std::string& t, const Node* n) { return t < n->text; });
        siblings.insert(at, node);
        ++inserts_;
        return node;
    }

    static std::vector<std::string> Texts(const std::vector<Node*>& nodes) {
        std::vector<std::string> texts;
        for (const Node* n : nodes) texts.push_back(n->text);
        return texts;
    }
    static const Node* Child(const Node* parent, const std::string& text) {
        for (const Node* n : parent->children)
            if (n->text == text) return n;
        return nullptr;
    }

    const std::vector<Node*>& Roots() const { return roots_; }
    int Inserts() const { return inserts_; }

private:
    std::vector<std::unique_ptr<Node>> nodes_;
    std::vector<Node*> roots_;
    int inserts_ = 0;
};

using Node = RecordingTree::Node;

class HelpTreeTest : public ::testing::Test {
protected:
    void SetUp() override { items_ = BuildHelpTree(tree_, Rows()); }
    const Node* Help() const { return static_cast<const Node*>(items_.help); }
    const Node* Category(const std::string& name) const { return RecordingTree::Child(Help(), name); }

    RecordingTree tree_;
    HelpTreeItems items_;
};

TEST_F(HelpTreeTest, CategoriesListTheirWordsSortedWithTheHelpTextAsOnlyChild) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"Types", {"File", "Float", "Integer", "Matrix", "String"}},
        {"Interface", {"Ask", "MsgBoxError", "MsgBoxInfo"}},
        {"Dialogs", {}},
    };
    for (const auto& [name, words] : cases) EXPECT_EQ(RecordingTree::Texts(Category(name)->children), words) << name;
    const std::pair<const char*, std::size_t> counts[] = {
        {"File", 34}, {"Operators", 32}, {"Math", 27}, {"Keywords", 29}, {"Commands", 19}, {"Colors", 21},
    };
    for (const auto& [name, count] : counts) EXPECT_EQ(Category(name)->children.size(), count) << name;
    for (const Node* category : Help()->children) {
        const std::vector<std::string> texts = RecordingTree::Texts(category->children);
        EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end())) << category->text;
        for (const Node* word : category->children) {
            ASSERT_EQ(word->children.size(), 1u) << word->text;
            EXPECT_EQ(word->children[0]->children.size(), 0u);
            EXPECT_EQ(word->children[0]->text, Rows()[static_cast<std::size_t>(FindKeyword(word->text))].help);
        }
    }
}

}  // namespace
