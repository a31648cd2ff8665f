// The extension's keyword table, its lookup and its help branch.
#include <gtest/gtest.h>

#include <set>

#include "net_harness.h"

namespace {

TEST(NetworkKeywords, FindObjectKeywordGivesTheIdOfTheExactWord) {
    NetView view;
    CLoriantParser parser(&view);
    const struct {
        const char* word;
        int id;
    } cases[] = {
        {"Print", 171},      {"Println", 172},          {"ClearOutput", 173}, {"FF_NeuralNetwork", 174},
        {"toString", 183},   {"FCN_HARDLIM", 185},      {"FCN_TANSIG", 188},  {"Copy", 191},
        {"Train", 194},      {"StartLearning", 208},    {"LogicalNeuralNetwork", 209},
        {"Recognize", 215},  {"print", -2},             {"PRINT", -2},        {"", -2},
        {"Prin", -2},        {"Printl", -2},            {"For", -2},          {"ToString", -2},
    };
    for (const auto& c : cases) EXPECT_EQ(parser.FindObjectKeyword(c.word), c.id) << c.word;
}

TEST(NetworkKeywords, RowsRunFrom171To215WithoutTheTwoGaps) {
    NetView view;
    CLoriantParser parser(&view);
    ASSERT_EQ(parser.objectKeywords.GetCount(), 43);
    std::set<int> ids;
    int previous = 170;
    for (const KeywordRecord& row : parser.objectKeywords) {
        EXPECT_GT(row.id, previous) << row.word;
        previous = row.id;
        ids.insert(row.id);
        EXPECT_FALSE(row.help.empty()) << row.word;
        EXPECT_EQ(parser.FindObjectKeyword(row.word.c_str()), row.id) << row.word;
    }
    EXPECT_EQ(ids.count(189), 0u);
    EXPECT_EQ(ids.count(190), 0u);
    EXPECT_EQ(*ids.begin(), 171);
    EXPECT_EQ(*ids.rbegin(), 215);
}

TEST(NetworkKeywords, CategoriesAndTheGivenHelpTexts) {
    NetView view;
    CLoriantParser parser(&view);
    const struct {
        int id;
        int kind;
        const char* help;  // nullptr: the text is ours
    } cases[] = {
        {171, 0x10, "Prints to Output Window"},
        {172, 0x10, "Prints to Output Window and feeds to next line"},
        {173, 0x10, "Clears Output Window"},
        {174, 0x480, "Declares a Feed-Forward BP Neural Network data type"},
        {183, 0x400, "Converts output of the neural network to a sting"},
        {185, 0x400, "A function for the neural network"},
        {186, 0x400, "A function for the neural network"},
        {187, 0x400, "A function for the neural network"},
        {188, 0x400, "A function for the neural network"},
        {191, 0x400, "Copies output of the neural network to the Clipboard"},
        {194, 0x400, "Training object of a neural network"},
        {198, 0x400, "Threshold to accept a discrete outputs as a correct one, for calculating Performance."},
        {199, 0x400, "Steepness Coefficient of the tranfer functions in a neural network"},
        {201, 0x400, "Determines whether storms in a training process must be shown or not"},
        {202, 0x400, "Maximun Learning Error (acceptable error)"},
        {208, 0x400, "Starts a Learning Process"},
        {209, 0x480, "Declares a Logical Neural Network data type"},
        {210, 0x400, "Number of inputs per RAM in the Logical Neural Network data"},
        {214, 0x400, "Trains a Logical Neural Network on a data and class_number"},
        {175, 0x400, nullptr},
        {215, 0x400, nullptr},
    };
    for (const auto& c : cases) {
        const KeywordRecord* row = nullptr;
        for (const KeywordRecord& r : parser.objectKeywords) {
            if (r.id == c.id) row = &r;
        }
        ASSERT_NE(row, nullptr) << c.id;
        EXPECT_EQ(row->kind, c.kind) << row->word;
        if (c.help) {
            EXPECT_EQ(row->help, c.help) << row->word;
        }
    }
}

TEST(NetworkKeywords, RowsRefusedForWantOfMemoryAreNotFound) {
    NetView view;
    CLoriantParser parser(&view);
    // Every growth of the table fails: no row is stored, so no word may be found.
    DynaArrayAllocation::failHook = [](std::size_t) { return true; };
    parser.RegisterObjectKeywords();
    DynaArrayAllocation::failHook = nullptr;
    EXPECT_EQ(parser.objectKeywords.GetCount(), 0);
    EXPECT_EQ(parser.FindObjectKeyword("Print"), -2);
}

class HelpBranch : public ::testing::Test {
protected:
    void SetUp() override { parser.BuildHelpTree(tree); }
    NetView view;
    CLoriantParser parser{&view};
    RecordingHelpTree tree;
};

TEST_F(HelpBranch, NeuralNetwoksFollowsDialogsAsTheTenthCategory) {
    EXPECT_EQ(tree.Children({}), std::vector<std::string>{"Help"});
    EXPECT_EQ(tree.Children({"Help"}),
              (std::vector<std::string>{"Types", "Operators", "Keywords", "Commands", "Math", "Interface", "File",
                                        "Colors", "Dialogs", "Neural Netwoks"}));
    EXPECT_NE(parser.networkHelpItem, nullptr);
}

TEST_F(HelpBranch, NeuralNetwoksListsFortyWordsEachWithItsHelp) {
    const std::vector<std::string> words = tree.Children({"Help", "Neural Netwoks"});
    EXPECT_EQ(words.size(), 40u);
    EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
    for (const char* absent : {"Print", "Println", "ClearOutput"}) {
        EXPECT_EQ(std::count(words.begin(), words.end(), absent), 0) << absent;
    }
    for (const KeywordRecord& row : parser.objectKeywords) {
        if ((row.kind & 0x400) == 0) continue;
        EXPECT_EQ(tree.Children({"Help", "Neural Netwoks", row.word}), std::vector<std::string>{row.help}) << row.word;
    }
}

TEST_F(HelpBranch, TypesAndCommandsGainTheNetworkWords) {
    EXPECT_EQ(tree.Children({"Help", "Types"}),
              (std::vector<std::string>{"FF_NeuralNetwork", "File", "Float", "Integer", "LogicalNeuralNetwork",
                                        "Matrix", "String"}));
    const std::vector<std::string> commands = tree.Children({"Help", "Commands"});
    for (const char* word : {"ClearOutput", "Print", "Println"}) {
        EXPECT_EQ(std::count(commands.begin(), commands.end(), word), 1) << word;
    }
    EXPECT_EQ(tree.Children({"Help", "Commands", "Println"}),
              std::vector<std::string>{"Prints to Output Window and feeds to next line"});
}

}  // namespace
