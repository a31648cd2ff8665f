// The extension's keyword table, its lookup and its help branch.
#include <gtest/gtest.h>

#include <algorithm>

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

class HelpBranch : public ::testing::Test {
protected:
    void SetUp() override { parser.BuildHelpTree(tree); }
    NetView view;
    CLoriantParser parser{&view};
    RecordingHelpTree tree;
};

TEST_F(HelpBranch, NeuralNetwoksListsFortyWordsEachWithItsHelp) {
    const std::vector<std::string> words = tree.Children({"Help", "Neural Netwoks"});
    EXPECT_EQ(words.size(), 40u);
    for (const char* absent : {"Print", "Println", "ClearOutput"}) {
        EXPECT_EQ(std::count(words.begin(), words.end(), absent), 0) << absent;
    }
    for (const KeywordRecord& row : parser.objectKeywords) {
        if ((row.kind & 0x400) == 0) continue;
        EXPECT_EQ(tree.Children({"Help", "Neural Netwoks", row.word}), std::vector<std::string>{row.help}) << row.word;
    }
}

}  // namespace
