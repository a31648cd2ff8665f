// The network variable record: ownership and copies of its network.
#include <gtest/gtest.h>

#include "netscript/loriant_parser.h"
#include "netscript/object_variable.h"
#include "network/feed_forward_network.h"
#include "network/logical_network.h"
#include "net_harness.h"

namespace {

ObjectVariable Record(int type, const char* name) {
    ObjectVariable record;
    record.name = name;
    record.type = type;
    record.index = 2;
    record.count = 3;
    record.scope = "main1";
    return record;
}

TEST(ObjectVariableRecord, ADeclaredRecordGetsANetworkNamedAfterIt) {
    ObjectVariable ff = Record(kTypeFeedForwardNetwork, "net");
    ff.CreateNetwork();
    ASSERT_NE(ff.FeedForward(), nullptr);
    EXPECT_EQ(ff.Logical(), nullptr);
    EXPECT_EQ(ff.FeedForward()->GetName(), "net");
    ObjectVariable logical = Record(kTypeLogicalNetwork, "l");
    logical.CreateNetwork();
    ASSERT_NE(logical.Logical(), nullptr);
    EXPECT_EQ(logical.FeedForward(), nullptr);
    EXPECT_EQ(logical.Logical()->GetName(), "l");
}

TEST(ObjectVariableRecord, ACopyWithoutASourceNetworkGetsADefaultOne) {
    for (int type : {kTypeFeedForwardNetwork, kTypeLogicalNetwork}) {
        const ObjectVariable source = Record(type, "x");
        ObjectVariable copy(source);
        EXPECT_TRUE(copy.HasNetwork()) << type;
        EXPECT_EQ(copy.name, "x");
        EXPECT_EQ(copy.index, 2);
        EXPECT_EQ(copy.count, 3);
        EXPECT_EQ(copy.scope, "main1");
        ObjectVariable assigned;
        assigned = source;
        EXPECT_TRUE(assigned.HasNetwork()) << type;
        EXPECT_EQ(assigned.type, type);
    }
    const ObjectVariable unnamed = Record(kTypeFeedForwardNetwork, "x");
    const ObjectVariable copy(unnamed);
    ASSERT_NE(copy.FeedForward(), nullptr);
    EXPECT_EQ(copy.FeedForward()->GetName(), "NoNameNeuralNetwork");
}

TEST(ObjectVariableRecord, CopiesAreIndependentNetworks) {
    ObjectVariable source = Record(kTypeFeedForwardNetwork, "net");
    source.CreateNetwork();
    source.FeedForward()->SetBias(0.5);
    source.FeedForward()->LearningConstant = 0.3;
    ObjectVariable copy(source);
    ASSERT_NE(copy.FeedForward(), source.FeedForward());
    EXPECT_EQ(copy.FeedForward()->GetBias(), 0.5);
    EXPECT_EQ(copy.FeedForward()->LearningConstant, 0.3);
    copy.FeedForward()->SetBias(1.5);
    EXPECT_EQ(source.FeedForward()->GetBias(), 0.5);

    ObjectVariable logical = Record(kTypeLogicalNetwork, "l");
    logical.CreateNetwork();
    LogicalNeuralNetwork& l = *logical.Logical();
    l.InputsNumber = 2;
    l.InputsPerRAM = 1;
    l.ClassesNum = 1;
    ASSERT_EQ(l.Create(), 1);
    const std::vector<std::uint8_t> one{1, 1};
    ASSERT_EQ(l.TrainOn(one, 0), 1);
    ObjectVariable logicalCopy(logical);
    EXPECT_EQ(logicalCopy.Logical()->Recognize(one), 1);
    const std::vector<std::uint8_t> zero{0, 0};
    logicalCopy.Logical()->TrainOn(zero, 0);
    EXPECT_EQ(l.Recognize(zero), 0);
}

TEST(ObjectVariableRecord, AssigningAnotherTypeReplacesTheNetworkKind) {
    ObjectVariable target = Record(kTypeLogicalNetwork, "t");
    target.CreateNetwork();
    ObjectVariable source = Record(kTypeFeedForwardNetwork, "s");
    source.CreateNetwork();
    target = source;
    EXPECT_NE(target.FeedForward(), nullptr);
    EXPECT_EQ(target.Logical(), nullptr);
}

TEST(ObjectVariableRecord, TableGrowthKeepsEveryNetworkDistinct) {
    NetHarness h;
    h.StartEmptyPass(1);
    CLoriantParser& parser = *h.parser;
    // More records than the first storage holds, so the table grows while holding networks.
    for (int i = 0; i < 700; ++i) ASSERT_EQ(parser.AddObjectVariable("n" + std::to_string(i), kTypeFeedForwardNetwork, 1), 1);
    ASSERT_GT(parser.objectVariables.GetCapacity(), CLoriantParser::kNetworkVariableStep + 1);
    parser.objectVariables[3].FeedForward()->SetBias(3.0);
    for (int i = 0; i < 700; ++i) {
        EXPECT_EQ(parser.objectVariables[i].FeedForward()->GetBias(), i == 3 ? 3.0 : 0.0) << i;
        EXPECT_EQ(parser.objectVariables[i].FeedForward()->GetName(), "n" + std::to_string(i));
    }
}

}  // namespace
