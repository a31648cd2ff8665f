// The extension's help branch: its words, each with its help text.
#include <gtest/gtest.h>

#include <algorithm>

#include "net_harness.h"

namespace {

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
