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

}  // namespace
