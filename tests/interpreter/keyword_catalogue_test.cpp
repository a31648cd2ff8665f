#include "interpreter/keyword_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<KeywordRecord>& Rows() { return BaseKeywordCatalogue(); }

std::vector<std::string> WordsWithBit(int bit) {
    std::vector<std::string> words;
    for (const KeywordRecord& r : Rows())
        if (r.kind & bit) words.push_back(r.word);
    return words;
}

TEST(KeywordCatalogueTest, HasOneHundredSixtyTwoRowsWhoseIdsAreTheirIndices) {
    ASSERT_EQ(Rows().size(), 162u);
    for (std::size_t i = 0; i < Rows().size(); ++i) EXPECT_EQ(Rows()[i].id, static_cast<int>(i));
    EXPECT_EQ(Rows()[161].word, "CreateChart");
    EXPECT_EQ(Rows()[0].word, "=");
    EXPECT_EQ(Rows()[1].word, "\"");
    EXPECT_EQ(Rows()[81].word, "'");
}

TEST(KeywordCatalogueTest, SampledRowsHaveTheirWords) {
    const std::map<int, std::string> sample = {
        {2, "/*"},       {10, "//"},          {19, "]"},         {41, "Mod"},
        {46, "Do"},      {56, "Subroutin"},   {72, "BiggestArray"}, {87, "Editting"},
        {92, "File"},    {116, "XX ShowDialog_RTL"}, {118, "XX As"}, {125, "FileWrite4bi"},
        {138, "FileRead4bu"}, {147, "FileEOF"}, {154, "RANDOM_ELEMENTS"}, {158, "From"},
    };
    for (const auto& [id, word] : sample) EXPECT_EQ(Rows()[static_cast<std::size_t>(id)].word, word) << id;
}

struct CategoryCase {
    int bit;
    std::vector<std::string> words;  // in row order
};

TEST(KeywordCatalogueTest, CategoriesHoldExactlyTheirWordsInRowOrder) {
    const CategoryCase cases[] = {
        {kCategoryFile,
         {"FileOpen", "FileClose", "Reading", "Writing", "Editting", "Text", "Binary", "FileReadString",
          "FileWriteString", "File", "FileWrite1b", "FileWrite2b", "FileWrite4bi", "FileWrite4bf", "FileWrite8b",
          "FileRead1b", "FileRead2b", "FileRead4bi", "FileRead4bf", "FileRead8b", "FileWrite1bu", "FileWrite2bu",
          "FileWrite4bu", "FileRead1bu", "FileRead2bu", "FileRead4bu", "FileSize", "FileTell", "FileSeekSet",
          "FileSeekCur", "FileSeekEnd", "FileExists", "FileIsOpen", "FileEOF"}},
        {kCategoryOperators,
         {"=", "\"", "/*", "*/", ")", "(", ":", ";", "//", ",", ".", "[", "]", "+", "-", "*", "/", "<", ">", "<=",
          ">=", "<>", "And", "Or", "Mod", "{", "}", "INT", "RND", "^", "'", "NOT"}},
        {kCategoryMath,
         {"Mod", "SinD", "CosD", "TanD", "SinR", "CosR", "TanR", "Sqrt", "Pow", "Abs", "ArcSinD", "ArcCosD",
          "ArcTanD", "ArcSinR", "ArcCosR", "ArcTanR", "Sinh", "Cosh", "Tanh", "INT", "RND", "ChangeRandomSeed", "Ln",
          "Log", "Exp", "PI", "RANDOM_ELEMENTS"}},
        {kCategoryKeywords,
         {"True", "False", "For", "To", "Next", "Step", "If", "Then", "Else", "Endif", "While", "Wend", "Do",
          "Subroutin", "EndSub", "Call", "ExitSub", "BiggestArray", "Reading", "Writing", "Editting", "Text",
          "Binary", "In", "Yes", "No", "LOOP", "WAIT", "From"}},
        {kCategoryCommands,
         {"Sleep", "MsgBoxError", "MsgBoxInfo", "Exit", "StopProgram", "ChangeRandomSeed", "Clock", "Beep",
          "SelectFile", "Execute", "Play", "PlayWave", "StopWave", "CopyToClipboard", "ReadMatrix", "WriteMatrix",
          "SaveObject", "LoadObject", "CreateChart"}},
        {kCategoryInterface,
         {"MsgBoxError", "MsgBoxInfo", "XX ShowDialog_RTL", "XX EndDialog", "XX As", "XX ShowDialog_LTR", "Ask"}},
        {kCategoryColors,
         {"RGB", "RED", "BLUE", "GREEN", "BROWN", "GREY", "YELLOW", "MAGENTA", "CYAN", "ORANGE", "LIGHT_RED",
          "LIGHT_BLUE", "LIGHT_GREEN", "LIGHT_BROWN", "LIGHT_GREY", "LIGHT_YELLOW", "LIGHT_MAGENTA", "LIGHT_CYAN",
          "LIGHT_ORANGE", "WHITE", "BLACK"}},
        {kCategoryTypes, {"Integer", "Float", "String", "Matrix", "File"}},
        {kCategoryDialogs, {"XX ShowDialog_RTL", "XX EndDialog", "XX As", "XX ShowDialog_LTR"}},
        {0x200, {}},
        {kCategoryNeuralNetworks, {}},
    };
    for (const CategoryCase& c : cases) EXPECT_EQ(WordsWithBit(c.bit), c.words) << "bit " << c.bit;
}

TEST(KeywordCatalogueTest, SixteenWordsHaveTwoCategoriesAndTheRestOne) {
    std::vector<std::string> twoCategories;
    for (const KeywordRecord& r : Rows()) {
        const int bits = __builtin_popcount(static_cast<unsigned>(r.kind));
        ASSERT_GE(bits, 1) << r.word;
        ASSERT_LE(bits, 2) << r.word;
        if (bits == 2) twoCategories.push_back(r.word);
    }
    const std::vector<std::string> expected = {
        "MsgBoxError", "MsgBoxInfo", "Mod", "INT", "RND", "ChangeRandomSeed", "Reading", "Writing",
        "Editting", "Text", "Binary", "File", "XX ShowDialog_RTL", "XX EndDialog", "XX As", "XX ShowDialog_LTR"};
    EXPECT_EQ(twoCategories, expected);
}

TEST(KeywordCatalogueTest, GivenHelpTextsAreExact) {
    const std::map<int, std::string> help = {
        {0, "Assignment operator"},
        {2, "Start bulk commnet"},
        {3, "End bulk commnent"},
        {6, "Column: Separating commands"},
        {7, "Semi Column: Separating commands"},
        {8, "True value (equals 1)"},
        {9, "False value (equals 0)"},
        {10, "One line commnents"},
        {12, "Class members access operator"},
        {14, "Integer types (-2147483648 , 2147483647)"},
        {18, "Define & Access arrays"},
        {41, "Remainder"},
        {47, "Combinatio of Reg,Green,Blue"},
        {48, "Starts a block (optional)"},
        {49, "Ends a block (optional) "},
        {56, "Sarts a subroutin"},
        {72, "Biggest size of array the program needs. (Optimisez speed)"},
        {74, "Random number (between 0 to n)"},
        {81, "Single qutation (for strings)"},
        {82, "Returns timer (miliseconds)"},
        {93, "Operator"},
        {115, "Makes a system sound according to the number given"},
        {116, "Shows a Right-to-left dialog"},
        {117, "End of defining a dialog"},
        {118, "Used in defining dialog's associated variables"},
        {119, "Shows a Left-to-right dialog"},
        {120, "Asks user a question and returns Yes or No"},
        {148, "Executes a program-files (equivalent to Play)"},
        {149, "Executes a program-files (equivalent to Execute)"},
        {152, "PlayWave parameters: Loop the playing"},
        {153, "PlayWave parameters: Waits until playing done"},
        {154, "Generates an array with random elements in a range."},
        {161, "Creates a chart window."},
    };
    for (const auto& [id, text] : help) EXPECT_EQ(Rows()[static_cast<std::size_t>(id)].help, text) << id;
    for (int id = 95; id <= 114; ++id) EXPECT_EQ(Rows()[static_cast<std::size_t>(id)].help, "Color") << id;
}

TEST(KeywordCatalogueTest, HelpOfTheClosingBracketIsThePersianTextInCodePage1256) {
    const std::string expected =
        "\xCA\xDA\xD1\xED\xDD\x20\xE6\x20\xDF\xC7\xD1\xC8\xD1\xCF\x20\xE3"
        "\xCA\xDB\xED\xD1\xE5\xC7\xED\x20\xC2\xD1\xC7\xED\xE5\x20\xC7\xED";
    EXPECT_EQ(expected.size(), 32u);
    EXPECT_EQ(Rows()[19].help, expected);
}

TEST(KeywordCatalogueTest, EveryHelpTextIsOneNonEmptyLineOfAtMost76Characters) {
    for (const KeywordRecord& r : Rows()) {
        EXPECT_FALSE(r.help.empty()) << r.word;
        EXPECT_LE(r.help.size(), 76u) << r.word;
        EXPECT_EQ(r.help.find_first_of("\r\n"), std::string::npos) << r.word;
    }
}

TEST(KeywordCatalogueTest, DefaultRecord) {
    const KeywordRecord r;
    EXPECT_EQ(r.word, "");
    EXPECT_EQ(r.id, -1);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.help, "");
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

TEST(KeywordLookupTest, NonWordsAreNotFound) {
    const std::string nonWords[] = {
        "",      "for",  "FOR",   "integer", "Integer ", " Integer", "Integ", "Integerr", "XX",  "XX As ",
        "ShowDialog_RTL", "=>", "==", "/**", "12", "x", "CreateChart2", "Neurons", "Print", std::string("=\0", 2),
        "PI\x01", "\xCA\xDA",
    };
    for (const std::string& word : nonWords) {
        EXPECT_EQ(FindKeyword(word.data(), word.size()), -1) << '"' << word << '"';
        EXPECT_EQ(LinearFind(Rows(), word), -1);
    }
}

TEST(KeywordLookupTest, WordsWithABlankAreFoundOnlyWhole) {
    // No script text produces them (the lexer ends a word at a blank), but the catalogue has them.
    EXPECT_EQ(FindKeyword("XX As"), 118);
    EXPECT_EQ(FindKeyword("XX ShowDialog_LTR"), 119);
}

TEST(KeywordLookupTest, LengthBoundsTheWord) {
    const char text[] = "ForNext";
    EXPECT_EQ(FindKeyword(text, 3), 26);
    EXPECT_EQ(FindKeyword(text + 3, 4), 28);
    EXPECT_EQ(FindKeyword(text, 7), -1);
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

TEST(KeywordIndexTest, ManyRowsAgreeWithALinearScan) {
    std::vector<KeywordRecord> rows;
    for (int i = 0; i < 3000; ++i) rows.emplace_back(std::string("w").append(std::to_string(i % 2500)), i, 0, "");
    const KeywordIndex index(rows);
    for (int i = 0; i < 2600; ++i) {
        const std::string word = "w" + std::to_string(i);
        const int expected = LinearFind(rows, word);
        EXPECT_EQ(index.FindRow(word), expected) << word;
    }
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

TEST_F(HelpTreeTest, HelpHoldsTheNineCategoriesInOrder) {
    ASSERT_EQ(RecordingTree::Texts(tree_.Roots()), std::vector<std::string>{"Help"});
    EXPECT_EQ(items_.help, tree_.Roots()[0]);
    EXPECT_EQ(RecordingTree::Texts(Help()->children),
              (std::vector<std::string>{"Types", "Operators", "Keywords", "Commands", "Math", "Interface", "File",
                                        "Colors", "Dialogs"}));
}

TEST_F(HelpTreeTest, CategoryItemsAreKeptByBit) {
    const std::pair<int, const char*> expected[] = {
        {kCategoryFile, "File"},         {kCategoryOperators, "Operators"}, {kCategoryMath, "Math"},
        {kCategoryKeywords, "Keywords"}, {kCategoryCommands, "Commands"},   {kCategoryInterface, "Interface"},
        {kCategoryColors, "Colors"},     {kCategoryTypes, "Types"},         {kCategoryDialogs, "Dialogs"},
    };
    for (auto [bit, name] : expected) {
        ASSERT_NE(items_.Category(bit), nullptr) << name;
        EXPECT_EQ(static_cast<const Node*>(items_.Category(bit))->text, name);
    }
    EXPECT_EQ(items_.Category(kCategoryNeuralNetworks), nullptr);
    EXPECT_EQ(items_.Category(0x200), nullptr);
    EXPECT_EQ(items_.Category(0x3), nullptr);
    EXPECT_EQ(items_.Category(0), nullptr);
}

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

TEST_F(HelpTreeTest, WordsOfTwoCategoriesAreListedUnderBoth) {
    const Node* modOperators = RecordingTree::Child(Category("Operators"), "Mod");
    const Node* modMath = RecordingTree::Child(Category("Math"), "Mod");
    ASSERT_NE(modOperators, nullptr);
    ASSERT_NE(modMath, nullptr);
    EXPECT_NE(modOperators, modMath);
    EXPECT_EQ(RecordingTree::Texts(modOperators->children), std::vector<std::string>{"Remainder"});
    EXPECT_EQ(RecordingTree::Texts(modMath->children), std::vector<std::string>{"Remainder"});
    EXPECT_NE(RecordingTree::Child(Category("File"), "File"), nullptr);
    EXPECT_NE(RecordingTree::Child(Category("Types"), "File"), nullptr);
}

TEST_F(HelpTreeTest, ColorsListRgbAmongTheColourNames) {
    const Node* colors = Category("Colors");
    ASSERT_NE(RecordingTree::Child(colors, "RGB"), nullptr);
    for (const Node* word : colors->children) {
        if (word->text == "RGB") continue;
        EXPECT_EQ(word->children[0]->text, "Color") << word->text;
    }
}

TEST_F(HelpTreeTest, TheClosingBracketShowsThePersianHelp) {
    const Node* bracket = RecordingTree::Child(Category("Operators"), "]");
    ASSERT_NE(bracket, nullptr);
    EXPECT_EQ(bracket->children[0]->text.size(), 32u);
    EXPECT_EQ(bracket->children[0]->text, Rows()[19].help);
}

TEST_F(HelpTreeTest, EveryListedWordIsInsertedWithItsHelpAndXXWordsAreLeftOut) {
    // 1 "Help" + 9 categories + two items for each (word, category) pair not beginning "XX".
    int pairs = 0;
    for (const KeywordRecord& r : Rows())
        if (r.word.rfind("XX", 0) != 0) pairs += __builtin_popcount(static_cast<unsigned>(r.kind));
    EXPECT_EQ(tree_.Inserts(), 10 + 2 * pairs);
}

TEST(HelpTreeEdgeTest, AnEmptyTableBuildsHelpWithNineEmptyCategories) {
    RecordingTree tree;
    const HelpTreeItems items = BuildHelpTree(tree, std::span<const KeywordRecord>());
    const Node* help = static_cast<const Node*>(items.help);
    ASSERT_EQ(help->children.size(), 9u);
    for (const Node* category : help->children) EXPECT_TRUE(category->children.empty()) << category->text;
}

TEST(HelpTreeEdgeTest, OnlyAnXXPrefixHidesAWord) {
    const std::vector<KeywordRecord> rows = {
        {"X", 0, kCategoryTypes, "one X"},      {"XX", 1, kCategoryTypes, "two X"},
        {"Xx", 2, kCategoryTypes, "X and x"},   {"xX", 3, kCategoryTypes, "x and X"},
        {"XXL", 4, kCategoryTypes, "XX prefix"}, {"", 5, kCategoryTypes, "empty"},
    };
    RecordingTree tree;
    const HelpTreeItems items = BuildHelpTree(tree, rows);
    EXPECT_EQ(RecordingTree::Texts(static_cast<const Node*>(items.Category(kCategoryTypes))->children),
              (std::vector<std::string>{"", "X", "Xx", "xX"}));
}

TEST(HelpTreeEdgeTest, AnExtensionAddsItsOwnCategoryAndListsItsWordsUnderExistingOnes) {
    RecordingTree tree;
    HelpTreeItems items = BuildHelpTree(tree, Rows());
    TreeItem networks = AddHelpCategory(tree, items, kCategoryNeuralNetworks);
    ASSERT_NE(networks, nullptr);
    EXPECT_EQ(items.Category(kCategoryNeuralNetworks), networks);
    EXPECT_EQ(AddHelpCategory(tree, items, 0x200), nullptr);
    const std::vector<KeywordRecord> rows = {
        {"Print", 171, kCategoryCommands, "Prints to Output Window"},
        {"FF_NeuralNetwork", 174, kCategoryTypes | kCategoryNeuralNetworks, "Declares"},
        {"XX Net", 175, kCategoryNeuralNetworks, "not hidden for the extension"},
    };
    ListKeywordsInHelpTree(tree, items, rows, false);
    const Node* help = static_cast<const Node*>(items.help);
    EXPECT_EQ(help->children.back()->text, "Neural Netwoks");
    EXPECT_EQ(help->children.size(), 10u);
    EXPECT_EQ(RecordingTree::Texts(static_cast<const Node*>(networks)->children),
              (std::vector<std::string>{"FF_NeuralNetwork", "XX Net"}));
    EXPECT_EQ(RecordingTree::Texts(static_cast<const Node*>(items.Category(kCategoryTypes))->children),
              (std::vector<std::string>{"FF_NeuralNetwork", "File", "Float", "Integer", "Matrix", "String"}));
    EXPECT_NE(RecordingTree::Child(static_cast<const Node*>(items.Category(kCategoryCommands)), "Print"), nullptr);
}

TEST(HelpTreeEdgeTest, CategoryNames) {
    EXPECT_STREQ(KeywordCategoryName(kCategoryNeuralNetworks), "Neural Netwoks");
    EXPECT_STREQ(KeywordCategoryName(kCategoryColors), "Colors");
    EXPECT_EQ(KeywordCategoryName(0x200), nullptr);
    EXPECT_EQ(KeywordCategoryName(0), nullptr);
}

}  // namespace
