// LogicalNeuralNetwork members: definition fields, Create, TrainOn and Recognize, and the checks
// that keep a network that Create has not built (for its present counts) from being used.
#include <gtest/gtest.h>

#include "net_harness.h"

namespace {

// 6 inputs in RAMs of 3 inputs, 2 classes: operands of 2 x 3.
constexpr const char* kLnet623 =
    "LogicalNeuralNetwork l\nl.InputsNumber = 6 : l.InputsPerRAM = 3 : l.ClassesNum = 2 : l.Create()\n";

std::string Script(const std::string& rest) { return kLnet623 + rest; }

TEST(LogicalMembers, TrainOnAndRecognize) {
    EXPECT_EQ(RunNetScript(Script("Println l.Recognize([1, 0, 1; 0, 1, 1])\n"
                                  "l.TrainOn([1, 0, 1; 0, 1, 1], 1)\n"
                                  "Println l.Recognize([1, 0, 1; 0, 1, 1])\n"
                                  "Println l.Recognize([1, 0, 1; 0, 0, 0])\n"
                                  "Println l.Recognize([0, 0, 0; 0, 0, 0])\n"
                                  "l.TrainOn([0, 0, 0; 0, 0, 0], 2)\n"
                                  "Println l.Recognize([0, 0, 0; 0, 0, 0])\n"
                                  // Any non-zero element is a 1.
                                  "Println l.Recognize([7, 0, -2; 0, 5, 1])")),
              "0\r\n1\r\n1\r\n0\r\n2\r\n1\r\n");
}

TEST(LogicalMembers, RunErrors) {
    const ScriptCase cases[] = {
        {"l.TrainOn([1, 0, 1; 0, 1, 1], 0)", " Runtime Error : Error: Invalid \"ClassesNum\"."},
        {"l.TrainOn([1, 0, 1; 0, 1, 1], 3)", " Runtime Error : Error: Invalid \"ClassesNum\"."},
        {"l.InputsPerRAM = 0 : l.TrainOn([1], 1)", " Runtime Error : Error: Invalid \"InputsPerRAM\"."},
        {"l.InputsNumber = 0 : Println l.Recognize([1])", " Runtime Error : Error: Invalid \"InputsNum\"."},
        {"l.ClassesNum = 3 : l.TrainOn([1, 0, 1; 0, 1, 1], 3)",
         " Runtime Error : Error: The Logical Neural Network is not created with its present definition. (Use \"Create\")"},
        {"l.InputsPerRAM = 2 : Println l.Recognize([1, 0; 1, 0; 1, 1])",
         " Runtime Error : Error: The Logical Neural Network is not created with its present definition. (Use \"Create\")"},
        {"l.InputsNumber = 9 : Println l.Recognize([1, 0, 1; 0, 1, 1; 1, 1, 1])",
         " Runtime Error : Error: The Logical Neural Network is not created with its present definition. (Use \"Create\")"},
        {"l.TrainOn([1.5, 0, 1; 0, 1, 1], 1)", " Syntax Error : Expression must be integer."},
        {"l.ClassesNum = -2", " Syntax Error : This command takes POSITIVE Values."},
        {"l.InputsPerRAM = -2", " Syntax Error : This command takes POSITIVE Values."},
        {"l.InputsNumber = -2", " Syntax Error : This command takes POSITIVE Values."},
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(RunNetScript(Script(c.script)), EndedByError("", c.pane)) << c.script;
}

}  // namespace
