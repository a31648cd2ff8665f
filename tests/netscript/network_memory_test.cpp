// A network whose cells cannot fit in the memory the process can have is refused at once.
#include <gtest/gtest.h>

#include "interpreter/builtin_test_support.h"
#include "netscript/net_harness.h"

namespace {

TEST(NetworkMemoryTest, ALogicalNetworkTooBigForMemoryIsRefusedWithOneMessage) {
    DesktopScope desk;
    EXPECT_EQ(RunNetScript("LogicalNeuralNetwork l : l.InputsNumber = 100000 : l.InputsPerRAM = 30 : "
                           "l.ClassesNum = 100 : l.Create()"),
              EndedByError("", "ERROR : Not Enough Memory For \" l \"."));
    EXPECT_EQ(desk.recorder.boxes.size(), 1u);
}

}  // namespace
