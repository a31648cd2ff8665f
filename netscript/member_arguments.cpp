// The argument readers of the network members: expected words, Integer / number / text
// arguments, and matrix operands into work matrices. Each returns 1, or 0 after reporting.
#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"

int CLoriantParser::ExpectEmptyArguments() {
    return Expect(kw::kOpenParen) && Expect(kw::kCloseParen);
}

int CLoriantParser::ReadNumberArgument(double& value) {
    Value argument;
    if (!ReadExpression2(argument)) return 0;
    if (argument.type == kTypeString) return FailWith(message::kStringsNotAllowed);
    // A File or Matrix has no number to give.
    if (!argument.IsNumber()) return FailWith(message::kCannotEvaluate);
    value = argument.AsDouble();
    return 1;
}

int CLoriantParser::ReadTextArgument(std::string& text) {
    Value argument;
    if (!ReadExpression2(argument)) return 0;
    text = ValueToText(argument, execute != 0);
    return 1;
}

int CLoriantParser::ReadAssignedInteger(int& value) {
    return Expect(kw::kEquals) && ReadIntegerExpression(value);
}

int CLoriantParser::AssignIntegerField(CFeedForwardNeuralNetwork* net, int CFeedForwardNeuralNetwork::*field) {
    int value = 0;
    if (!ReadAssignedInteger(value)) return 0;
    if (execute) net->*field = value;
    return 1;
}

int CLoriantParser::AssignNumberField(CFeedForwardNeuralNetwork* net, double CFeedForwardNeuralNetwork::*field) {
    double value = 0.0;
    if (!ReadAssignedNumber(value)) return 0;
    if (execute) net->*field = value;
    return 1;
}

int CLoriantParser::ReadAssignedNumber(double& value) {
    return Expect(kw::kEquals) && ReadNumberArgument(value);
}

int CLoriantParser::ReadMatrixOperand(CMatrix& work, int rowFrom, int rowTo, int colFrom, int colTo, bool integerOnly) {
    if (!execute) return ParseBracketList();
    return AssignMatrix(work, rowFrom, rowTo, colFrom, colTo, integerOnly ? 1 : 0);
}

int CLoriantParser::FailPositive(int value) { return value < 0 ? FailWith(message::kPositiveValues) : 1; }

int CLoriantParser::FailOutOfMemory(const std::string& name) {
    ShowDynaArrayOutOfMemory(name);
    return FailWith(DynaArrayOutOfMemoryText(name));
}
